// The XML document model: the same expectations hold on both targets (pugixml and MSXML).
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "base/uVX_Text.h"
#include "platform/Error.h"
#include "platform/XmlDom.h"

using port::XmlDocument;
using port::XmlElement;

namespace {

// The failure message of parsing aText, or "(parsed)" when it parsed.
std::u16string ParseError(std::u16string_view aText) {
  try {
    XmlDocument::Parse(aText);
  } catch (const tVX_Error& e) {
    EXPECT_FALSE(e.Message().empty());
    return e.Message();
  }
  return u"(parsed)";
}

std::string Show(std::u16string_view aText) { return vxtext::Utf8(aText); }

// A canonical dump of an element's subtree built only from the public interface, so that trees
// from either library (and from a re-parse) compare as text.
std::u16string Dump(const XmlElement& aElement) {
  std::u16string out = u"<" + aElement.Name() + u" n=" + vxtext::IntToStr(int64_t(aElement.ChildNodeCount()));
  std::vector<XmlElement> children = aElement.Children();
  if (children.empty()) {
    try {
      out += u" t=[" + aElement.Text() + u"]";
    } catch (const tVX_Error&) {
      out += u" mixed";
    }
  }
  out += u">";
  for (const XmlElement& child : children) out += Dump(child);
  return out + u"</>";
}

TEST(XmlDomTest, KeepsCommentsAndInstructionsAsNodesButReadsOnlyPlainText) {
  auto doc = XmlDocument::Parse(u"<A><!--x-->5</A>");
  XmlElement root = doc->Root();
  EXPECT_EQ(root.Name(), u"A");
  EXPECT_EQ(root.ChildNodeCount(), 2u);
  EXPECT_TRUE(root.Children().empty());
  try {
    root.Text();
    FAIL() << "Text() of an element with two nodes";
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message(), u"Element \"A\" does not contain a single text node");
  }

  doc = XmlDocument::Parse(u"<?pi x?><R><?B y?><B>1</B><C><D/></C><B>2</B><b>3</b><E></E><F/></R><!--end-->");
  root = doc->Root();
  EXPECT_EQ(Dump(root),
            u"<R n=7><B n=1 t=[1]></><C n=1><D n=0 t=[]></></><B n=1 t=[2]></><b n=1 t=[3]></>"
            u"<E n=0 t=[]></><F n=0 t=[]></></>");
  EXPECT_EQ(root.FirstChild(u"B").Text(), u"1");  // the element, not the instruction, and the first
  EXPECT_EQ(root.FirstChild(u"b").Text(), u"3");
  EXPECT_TRUE(root.FirstChild(u"D").IsNull());  // direct children only
  EXPECT_THROW(root.FirstChild(u"C").Text(), tVX_Error);
  EXPECT_EQ(root.FirstChild(u"B"), root.Children()[0]);  // one handle per element
}

TEST(XmlDomTest, DropsBlankTextButKeepsEveryOtherCharacter) {
  auto doc = XmlDocument::Parse(
      u"<A>\n  <B> 5 </B>\r\n  <C>   </C><D>x&#10;</D><E>&#32;</E><G> <![CDATA[  ]]> </G><H>x<![CDATA[y]]></H>"
      u"<I>a\r\nb\rc&#13;</I><J><![CDATA[<&>\r\n]]></J><K> <!--c--> </K>\n</A>");
  XmlElement root = doc->Root();
  EXPECT_EQ(root.ChildNodeCount(), 9u);
  EXPECT_EQ(root.FirstChild(u"B").Text(), u" 5 ");
  EXPECT_EQ(root.FirstChild(u"C").ChildNodeCount(), 0u);
  EXPECT_EQ(root.FirstChild(u"C").Text(), u"");
  EXPECT_EQ(root.FirstChild(u"D").Text(), u"x\n");
  EXPECT_EQ(root.FirstChild(u"E").Text(), u"");    // blank however it is written
  EXPECT_EQ(root.FirstChild(u"G").Text(), u"  ");  // CDATA is never blank text
  EXPECT_EQ(root.FirstChild(u"H").ChildNodeCount(), 2u);
  EXPECT_THROW(root.FirstChild(u"H").Text(), tVX_Error);
  EXPECT_EQ(root.FirstChild(u"I").Text(), u"a\nb\nc\r");
  EXPECT_EQ(root.FirstChild(u"J").Text(), u"<&>\n");
  EXPECT_EQ(root.FirstChild(u"K").ChildNodeCount(), 1u);
}

TEST(XmlDomTest, DecodesEntitiesAndNormalisesAttributes) {
  auto doc = XmlDocument::Parse(
      u"<A b=\"x\r\ny\tz&#10;w\" c='&lt;&quot;&apos;&gt;' d=\"\" "
      u"e=\"\u00e9\">&lt;&gt;&amp;&apos;&quot;&#x20AC;&#128512;"
      u"\u00e9</A>");
  XmlElement root = doc->Root();
  EXPECT_EQ(root.Text(), u"<>&'\"\u20ac\U0001F600\u00e9");
  EXPECT_EQ(root.Attribute(u"b"), u"x y z\nw");
  EXPECT_EQ(root.Attribute(u"c"), u"<\"'>");
  EXPECT_EQ(root.Attribute(u"d"), u"");
  EXPECT_EQ(root.Attribute(u"e"), u"\u00e9");
  EXPECT_FALSE(root.Attribute(u"B").has_value());
  EXPECT_FALSE(root.Attribute(u"missing").has_value());
}

TEST(XmlDomTest, IgnoresTheDeclaredEncodingAndAByteOrderMark) {
  const std::u16string body = u"<A>\u00e9\u20ac\U0001F600</A>";
  for (std::u16string prolog :
       {u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", u"<?xml version='1.0' encoding='UTF-8'?>\n",
        u"<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"yes\" ?>", u"\uFEFF",
        u"\uFEFF<?xml version=\"1.1\"?>"}) {
    auto doc = XmlDocument::Parse(prolog + body);
    EXPECT_EQ(doc->Root().Text(), u"\u00e9\u20ac\U0001F600") << Show(prolog);
  }
}

TEST(XmlDomTest, ReadsNamespacedNamesAsWritten) {
  auto doc = XmlDocument::Parse(u"<p:A xmlns:p=\"urn:x\" xmlns=\"urn:d\"><p:B p:c=\"1\">2</p:B><B>3</B></p:A>");
  XmlElement root = doc->Root();
  EXPECT_EQ(root.Name(), u"p:A");
  EXPECT_EQ(root.FirstChild(u"p:B").Text(), u"2");
  EXPECT_EQ(root.FirstChild(u"p:B").Attribute(u"p:c"), u"1");
  EXPECT_EQ(root.FirstChild(u"B").Text(), u"3");
}

TEST(XmlDomTest, RefusesMalformedTextWithAPositionedMessage) {
  EXPECT_EQ(ParseError(u"<A>\n  <B>&e;</B></A>"), u"XML error at line 2, column 6: undefined entity &e;");
  EXPECT_EQ(ParseError(u""), u"XML error at line 1, column 1: no root element");
  EXPECT_EQ(ParseError(u"<A></B>"), u"XML error at line 1, column 4: end tag </B> does not match <A>");
  const char16_t* refused[] = {u"  \r\n ",
                               u"<!DOCTYPE A [<!ENTITY e \"x\">]><A>&e;</A>",
                               u"<A/><B/>",
                               u"<A/>x",
                               u"x<A/>",
                               u"<A b=\"1\" b=\"2\"/>",
                               u"<A b=\"<\"/>",
                               u"<A>]]></A>",
                               u"<A>&#0;</A>",
                               u"<A>&#xD800;</A>",
                               u"<A>&#x110000;</A>",
                               u"<A>&#99999999999;</A>",
                               u"<A>&#;</A>",
                               u"<A>&amp</A>",
                               u"<A>a & b</A>",
                               u"<A>\x01</A>",
                               u"<A>\uFFFE</A>",
                               u"<A b=\"1\"c=\"2\"/>",
                               u"<A b=1/>",
                               u"<1A/>",
                               u"<A\u00d7/>",
                               u"<p:A/>",
                               u"<A p:b=\"1\"/>",
                               u"<A xmlns:p=\"\"><p:B/></A>",
                               u"<:A/>",
                               u"<A:/>",
                               u"<a:b:c xmlns:a=\"u\"/>",
                               u" <?xml version=\"1.0\"?><A/>",
                               u"<A/><?xml version=\"1.0\"?>",
                               u"<?xml version=\"2.0\"?><A/>",
                               u"<?xml encoding=\"UTF-8\"?><A/>",
                               u"<?xml version=\"1.0\" standalone=\"maybe\"?><A/>",
                               u"<?xml version=\"1.0\"encoding=\"UTF-8\"?><A/>",
                               u"<A><!-- a -- b --></A>",
                               u"<A><!-- a ---></A>",
                               u"<A><![CDATA[x]]</A>",
                               u"<A><!ELEMENT A ANY></A>",
                               u"<A><?xml x?></A>",
                               u"<A></A >x",
                               u"<A>"};
  for (const char16_t* text : refused) EXPECT_NE(ParseError(text), u"(parsed)") << Show(text);

  std::u16string nul = u"<A>x";
  nul += char16_t(0);
  nul += u"y</A>";
  EXPECT_EQ(ParseError(nul), u"XML error at line 1, column 5: invalid character U+0000");
  std::u16string lone = u"<A>x";
  lone += char16_t(0xD800);
  lone += u"y</A>";
  EXPECT_EQ(ParseError(lone), u"XML error at line 1, column 5: invalid character U+D800");
  EXPECT_EQ(ParseError(std::u16string(u"<A>") + char16_t(0xDC00) + u"</A>"),
            u"XML error at line 1, column 4: invalid character U+DC00");
}

TEST(XmlDomTest, RefusesEveryTruncationOfADocument) {
  const std::u16string text = u"<?xml version=\"1.0\"?><R a=\"1\"><!--c--><B>x&amp;y</B><![CDATA[z]]><?p q?><C/></R>";
  ASSERT_EQ(ParseError(text), u"(parsed)");
  for (size_t length = 0; length < text.size(); ++length)
    EXPECT_NE(ParseError(text.substr(0, length)), u"(parsed)") << length;
}

TEST(XmlDomTest, BuildsDocumentsThatReadBackAlike) {
  auto doc = XmlDocument::Create(u"Result");
  XmlElement root = doc->Root();
  EXPECT_EQ(root.Name(), u"Result");
  EXPECT_EQ(root.ChildNodeCount(), 0u);
  XmlElement amount = root.AddChild(u"Amount", u"1 < 2 & \"3\" > ]]> 'x' \u00e9\u20ac\U0001F600");
  root.AddChild(u"Empty", u"");
  root.AddChild(u"Blank", u"  ");
  XmlElement group = root.AddChild(u"Group", u"");
  group.AddChild(u"Line", u"a\nb\tc");
  group.AddChild(u"Line", u"second");
  EXPECT_EQ(amount.Text(), u"1 < 2 & \"3\" > ]]> 'x' \u00e9\u20ac\U0001F600");
  EXPECT_EQ(root.Children().size(), 4u);
  EXPECT_EQ(root.FirstChild(u"Blank").Text(), u"");  // a blank text is no text, as when parsed

  std::u16string written = doc->Serialize();
  auto reread = XmlDocument::Parse(written);
  EXPECT_EQ(Dump(reread->Root()), Dump(root)) << Show(written);
  EXPECT_EQ(Dump(root),
            u"<Result n=4><Amount n=1 t=[1 < 2 & \"3\" > ]]> 'x' \u00e9\u20ac\U0001F600]></><Empty n=0 t=[]></>"
            u"<Blank n=0 t=[]></><Group n=2><Line n=1 t=[a\nb\tc]></><Line n=1 t=[second]></></></>");

  // Adding to a parsed document keeps the handles already given out current.
  auto parsed = XmlDocument::Parse(u"<R><A>1</A></R>");
  XmlElement r = parsed->Root();
  XmlElement a = r.FirstChild(u"A");
  XmlElement b = r.AddChild(u"B", u"2");
  EXPECT_EQ(r.ChildNodeCount(), 2u);
  EXPECT_EQ(r.Children().size(), 2u);
  EXPECT_EQ(r.FirstChild(u"B"), b);
  EXPECT_EQ(a.AddChild(u"C", u"3").Text(), u"3");
  EXPECT_THROW(a.Text(), tVX_Error);
  EXPECT_EQ(Dump(XmlDocument::Parse(parsed->Serialize())->Root()), Dump(r));
}

TEST(XmlDomTest, WritesLineEndsAndTabsSoThatTheyReadBack) {
  auto doc = XmlDocument::Parse(u"<R b=\"x&#10;&#13;&#9;y\"><A>t&#13;</A><B>a\tb&#13;&#10;c</B></R>");
  doc->Root().AddChild(u"C", u"1\r\n2\r3\n");
  auto reread = XmlDocument::Parse(doc->Serialize());
  XmlElement root = reread->Root();
  EXPECT_EQ(root.Attribute(u"b"), u"x\n\r\ty");
  EXPECT_EQ(root.FirstChild(u"A").Text(), u"t\r");
  EXPECT_EQ(root.FirstChild(u"B").Text(), u"a\tb\r\nc");
  EXPECT_EQ(root.FirstChild(u"C").Text(), u"1\r\n2\r3\n");
}

TEST(XmlDomTest, RefusesNamesAndTextsThatCannotBeWritten) {
  auto doc = XmlDocument::Create(u"R");
  XmlElement root = doc->Root();
  for (std::u16string_view name : {u"", u"1a", u"a b", u"p:x", u"a<", u"-a"}) {
    EXPECT_THROW(root.AddChild(name, u"x"), tVX_Error) << Show(name);
    EXPECT_THROW(XmlDocument::Create(name), tVX_Error) << Show(name);
  }
  EXPECT_THROW(root.AddChild(u"A", std::u16string(1, char16_t(0))), tVX_Error);
  EXPECT_THROW(root.AddChild(u"A", std::u16string(1, char16_t(0xDBFF))), tVX_Error);
  EXPECT_THROW(root.AddChild(u"A", u"\x1b"), tVX_Error);
  EXPECT_EQ(root.ChildNodeCount(), 0u);
  EXPECT_EQ(root.AddChild(u"\u00c9l\u00e9ment_1.x-y", u"ok").Name(), u"\u00c9l\u00e9ment_1.x-y");
}

TEST(XmlDomTest, WorksOnEveryThreadThatOwnsItsDocuments) {
  // Each thread sets up what the library needs by itself (COM on Windows), also with several
  // documents alive at once and destroyed out of order.
  auto work = [](int aSeed, std::u16string* aResult) {
    auto first = XmlDocument::Parse(u"<R><A>" + vxtext::IntToStr(aSeed) + u"</A></R>");
    auto second = XmlDocument::Create(u"S");
    second->Root().AddChild(u"B", first->Root().FirstChild(u"A").Text());
    first.reset();
    *aResult = XmlDocument::Parse(second->Serialize())->Root().FirstChild(u"B").Text();
  };
  std::u16string one, two;
  std::thread a(work, 1, &one), b(work, 2, &two);
  a.join();
  b.join();
  EXPECT_EQ(one, u"1");
  EXPECT_EQ(two, u"2");
}

TEST(XmlDomTest, NullHandlesAnswerNothing) {
  XmlElement none;
  EXPECT_TRUE(none.IsNull());
  EXPECT_EQ(none.Name(), u"");
  EXPECT_TRUE(none.Children().empty());
  EXPECT_TRUE(none.FirstChild(u"A").IsNull());
  EXPECT_EQ(none.ChildNodeCount(), 0u);
  EXPECT_EQ(none.Text(), u"");
  EXPECT_FALSE(none.Attribute(u"a").has_value());
  EXPECT_THROW(none.AddChild(u"A", u"x"), tVX_Error);
}

}  // namespace
