// Hostile input for the XML document model: every text either parses into a tree that can be
// walked, or is refused with a tVX_Error; nothing crashes, hangs or exhausts the stack.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "base/uVX_Text.h"
#include "platform/Error.h"
#include "platform/XmlDom.h"

using port::XmlDocument;
using port::XmlElement;

namespace {

std::u16string Repeat(std::u16string_view aPiece, size_t aCount) {
  std::u16string text;
  text.reserve(aPiece.size() * aCount);
  for (size_t i = 0; i < aCount; ++i) text += aPiece;
  return text;
}

std::u16string Nested(size_t aDepth) { return Repeat(u"<a>", aDepth) + u"x" + Repeat(u"</a>", aDepth); }

std::u16string ErrorOf(std::u16string_view aText) {
  try {
    XmlDocument::Parse(aText);
  } catch (const tVX_Error& e) {
    return e.Message();
  }
  return u"(parsed)";
}

bool EndsWith(std::u16string_view aText, std::u16string_view aEnd) {
  return aText.size() >= aEnd.size() && aText.substr(aText.size() - aEnd.size()) == aEnd;
}

// Visits every element without recursion, reading names, texts and attributes.
size_t WalkAll(const XmlElement& aRoot) {
  size_t visited = 0;
  std::vector<XmlElement> pending{aRoot};
  while (!pending.empty()) {
    XmlElement element = pending.back();
    pending.pop_back();
    ++visited;
    element.Name();
    element.Attribute(u"a");
    try {
      element.Text();
    } catch (const tVX_Error&) {
    }
    for (const XmlElement& child : element.Children()) pending.push_back(child);
  }
  return visited;
}

TEST(XmlHostileTest, LimitsTheNestingDepth) {
  auto doc = XmlDocument::Parse(Nested(XmlDocument::kMaxDepth));
  EXPECT_EQ(WalkAll(doc->Root()), XmlDocument::kMaxDepth);
  EXPECT_TRUE(EndsWith(ErrorOf(Nested(XmlDocument::kMaxDepth + 1)), u"elements nested deeper than 256 levels"));
  EXPECT_TRUE(EndsWith(ErrorOf(Nested(100000)), u"elements nested deeper than 256 levels"));
  EXPECT_TRUE(EndsWith(ErrorOf(Repeat(u"<a>", 100000)), u"elements nested deeper than 256 levels"));
}

TEST(XmlHostileTest, LimitsTheSizeOfTheTextInUtf8) {
  std::u16string big = u"<A>" + std::u16string(2000000, u'x') + u"\u20ac</A>";
  auto doc = XmlDocument::Parse(big);
  std::u16string text = doc->Root().Text();
  EXPECT_EQ(text.size(), 2000001u);
  EXPECT_EQ(text.back(), u'\u20ac');

  std::u16string tooBig = u"<A>" + std::u16string(XmlDocument::kMaxDocumentBytes, u'x') + u"</A>";
  EXPECT_TRUE(EndsWith(ErrorOf(tooBig), u"the text is larger than 8 MiB"));
  // Fewer characters than the limit, but more bytes once written as UTF-8.
  std::u16string wide = u"<A>" + std::u16string(XmlDocument::kMaxDocumentBytes / 3 + 1, u'\u20ac') + u"</A>";
  EXPECT_TRUE(EndsWith(ErrorOf(wide), u"the text is larger than 8 MiB"));
}

TEST(XmlHostileTest, LimitsAttributesNamespacesAndNames) {
  auto attributes = [](size_t aCount) {
    std::u16string text = u"<A";
    for (size_t i = 0; i < aCount; ++i) text += u" a" + vxtext::IntToStr(int64_t(i)) + u"=\"\"";
    return text + u"/>";
  };
  EXPECT_EQ(ErrorOf(attributes(XmlDocument::kMaxAttributes)), u"(parsed)");
  EXPECT_TRUE(
      EndsWith(ErrorOf(attributes(XmlDocument::kMaxAttributes + 1)), u"more than 256 attributes on one element"));
  EXPECT_TRUE(EndsWith(ErrorOf(attributes(100000)), u"more than 256 attributes on one element"));

  // Declarations count while in scope: 64 on each of many siblings are fine, 65 nested are not.
  std::u16string declarations;
  for (size_t i = 0; i < XmlDocument::kMaxNamespaces; ++i)
    declarations += u" xmlns:p" + vxtext::IntToStr(int64_t(i)) + u"=\"u\"";
  EXPECT_EQ(ErrorOf(u"<A>" + Repeat(u"<p0:B" + declarations + u"/>", 100) + u"</A>"), u"(parsed)");
  EXPECT_TRUE(EndsWith(ErrorOf(u"<A xmlns=\"u\"><B" + declarations + u"/></A>"),
                       u"more than 64 namespace declarations in scope"));

  std::u16string longName(XmlDocument::kMaxNameLength, u'n');
  EXPECT_EQ(ErrorOf(u"<" + longName + u"/>"), u"(parsed)");
  EXPECT_TRUE(EndsWith(ErrorOf(u"<" + longName + u"n/>"), u"name longer than 10000 characters"));
}

TEST(XmlHostileTest, SurvivesGarbageAndMutatedDocuments) {
  const std::u16string sample =
      u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Request a=\"1\" xmlns:p=\"urn:p\"><!--c--><p:B>x&amp;y&#x41;</p:B>"
      u"<![CDATA[z]]><?p q?><C d='&lt;'/><D>\u00e9\U0001F600</D></Request>";
  const char16_t pieces[] = {u'<', u'>', u'/', u'&', u';', u'#',  u'"', u'\'',  u'=',   u'!',   u'-',      u'[',
                             u']', u'?', u':', u'x', u' ', u'\n', 0,    0xD800, 0xDC00, 0xFFFF, u'\u00e9', 0xFEFF};
  std::mt19937 random(20240108);
  auto start = std::chrono::steady_clock::now();
  size_t parsed = 0;
  for (int round = 0; round < 1500; ++round) {
    std::u16string text;
    if (round % 3 == 0) {  // pure garbage
      size_t length = random() % 200;
      for (size_t i = 0; i < length; ++i)
        text += round % 2 ? pieces[random() % std::size(pieces)] : char16_t(random() & 0xFFFF);
    } else {  // a few characters of a valid document changed, inserted or removed
      text = sample;
      for (int edits = 1 + random() % 3; edits > 0; --edits) {
        size_t at = random() % text.size();
        char16_t piece = pieces[random() % std::size(pieces)];
        switch (random() % 3) {
          case 0:
            text[at] = piece;
            break;
          case 1:
            text.insert(text.begin() + at, piece);
            break;
          default:
            text.erase(at, 1 + random() % 5);
            break;
        }
      }
    }
    try {
      auto doc = XmlDocument::Parse(text);
      EXPECT_GE(WalkAll(doc->Root()), 1u);
      ++parsed;
    } catch (const tVX_Error& e) {
      EXPECT_FALSE(e.Message().empty());
    }
  }
  EXPECT_GT(parsed, 0u);  // some edits leave a valid document, which must then be usable
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
