// krptUtil's readers over parsed request documents.
#include <gtest/gtest.h>

#include "base/uVX_Base_XmlDates.h"
#include "base/uVX_Text.h"
#include "base/uVxReceipt.h"
#include "platform/Error.h"

using port::XmlDocument;

namespace {

class ReceiptReadersTest : public testing::Test {
 protected:
  port::XmlElement Load(std::u16string_view aText) {
    fDocument = XmlDocument::Parse(aText);
    return fDocument->Root();
  }
  std::unique_ptr<XmlDocument> fDocument;
};

template <class Read>
std::u16string ErrorOf(Read aRead) {
  try {
    aRead();
  } catch (const tVX_Error& e) {
    return e.Message();
  }
  return u"(read)";
}

TEST_F(ReceiptReadersTest, MissingChildrenGiveTheEmptyValueOfTheirType) {
  port::XmlElement root = Load(u"<R><X><Amount>5</Amount></X><amount>6</amount></R>");
  // Only direct children, by exact name.
  EXPECT_FALSE(krptUtil::HasNode(root, u"Amount"));
  EXPECT_TRUE(krptUtil::HasNode(root, u"amount"));
  EXPECT_EQ(krptUtil::GetNodeValueAsString(root, u"Amount"), u"");
  EXPECT_EQ(krptUtil::GetNodeValueAsInteger(root, u"Amount"), 0);
  EXPECT_EQ(krptUtil::GetNodeValueAsCurrency(root, u"Amount").Units(), 0);
  EXPECT_TRUE(krptUtil::GetNodeValueAsBoolean(root, u"Amount", true));
  EXPECT_FALSE(krptUtil::GetNodeValueAsBoolean(root, u"Amount", false));
  EXPECT_EQ(krptUtil::GetNodeValueAsDate(root, u"Amount"), 0);
  EXPECT_EQ(krptUtil::GetNodeValueAsDateTime(root, u"Amount"), 0);
  EXPECT_EQ(krptUtil::TryGetNodeValueAsDateTime(root, u"Amount"), 0);
}

TEST_F(ReceiptReadersTest, EmptyElementsReadAsZeroOrEmptyText) {
  for (std::u16string_view text : {u"<R><N/></R>", u"<R><N></N></R>", u"<R><N>  </N></R>"}) {
    port::XmlElement root = Load(text);
    EXPECT_EQ(krptUtil::GetNodeValueAsString(root, u"N"), u"");
    EXPECT_EQ(krptUtil::GetNodeValueAsInteger(root, u"N"), 0);
    EXPECT_EQ(krptUtil::GetNodeValueAsCurrency(root, u"N").Units(), 0);
    EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsBoolean(root, u"N", true); }),
              u"Error in processing node N as boolean.\r\n'' is not a valid boolean value");
    EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsDate(root, u"N"); }),
              u"Error in processing node N as date.\r\nDate Format invalid: []");
    EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsDateTime(root, u"N"); }),
              u"Error in processing node N as datetime.\r\nDateTime Format invalid: []");
  }
}

TEST_F(ReceiptReadersTest, ConvertsTextsAndReportsTheCauseVerbatim) {
  port::XmlElement root = Load(
      u"<R><Amount>12.5</Amount><Grouped>1,234.50</Grouped><Word>abc</Word><Big>-1e2</Big><Cdata><![CDATA[0.0001]]></"
      u"Cdata>"
      u"<Int>-2147483648</Int><Over>2147483648</Over><Pct>10%</Pct><Fmt>%s%d</Fmt><Blank> 5</Blank>"
      u"<Amount>99</Amount><Text> a &amp; b </Text></R>");
  EXPECT_EQ(krptUtil::GetNodeValueAsCurrency(root, u"Amount").Units(), 125000);  // the first of two
  EXPECT_EQ(krptUtil::GetNodeValueAsCurrency(root, u"Big").Units(), -1000000);
  EXPECT_EQ(krptUtil::GetNodeValueAsCurrency(root, u"Cdata").Units(), 1);
  EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsCurrency(root, u"Word"); }),
            u"Error in processing node Word as currency.\r\n'abc' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsCurrency(root, u"Grouped"); }),
            u"Error in processing node Grouped as currency.\r\n'1,234.50' is not a valid floating point value");
  EXPECT_EQ(krptUtil::GetNodeValueAsInteger(root, u"Int"), INT32_MIN);
  EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsInteger(root, u"Over"); }),
            u"Error in processing node Over as integer.\r\n'2147483648' is not a valid integer value");
  EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsInteger(root, u"Pct"); }),
            u"Error in processing node Pct as integer.\r\n'10%' is not a valid integer value");
  EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsInteger(root, u"Fmt"); }),
            u"Error in processing node Fmt as integer.\r\n'%s%d' is not a valid integer value");
  EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsInteger(root, u"Blank"); }),
            u"Error in processing node Blank as integer.\r\n' 5' is not a valid integer value");
  EXPECT_EQ(krptUtil::GetNodeValueAsString(root, u"Text"), u" a & b ");  // not trimmed
}

TEST_F(ReceiptReadersTest, ReadsBooleansAsWordsOrNumbers) {
  port::XmlElement root = Load(
      u"<R><a>TRUE</a><b>True</b><c>1</c><d>-2</d><e>1.5</e><f>0.001</f><g>1e3</g>"
      u"<h>false</h><i>FALSE</i><j>0</j><k>-0.0</k><l>0e5</l><m>yes</m><n>true </n><o>1.2.3</o><p>.</p></R>");
  for (std::u16string_view name : {u"a", u"b", u"c", u"d", u"e", u"f", u"g"})
    EXPECT_TRUE(krptUtil::GetNodeValueAsBoolean(root, name, false)) << vxtext::Utf8(name);
  for (std::u16string_view name : {u"h", u"i", u"j", u"k", u"l"})
    EXPECT_FALSE(krptUtil::GetNodeValueAsBoolean(root, name, true)) << vxtext::Utf8(name);
  for (std::u16string_view name : {u"m", u"n", u"o", u"p"})
    EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsBoolean(root, name, true); }),
              u"Error in processing node " + std::u16string(name) + u" as boolean.\r\n'" +
                  krptUtil::GetNodeValueAsString(root, name) + u"' is not a valid boolean value");
}

TEST_F(ReceiptReadersTest, ReadsDatesAndDateTimes) {
  port::XmlElement root = Load(
      u"<R><D>2024-01-08</D><S>2024/01/08</S><Bad>2024-13-01</Bad><T>2024-01-08T06:45:56.5</T><Z>2024-01-08 "
      u"06:45:56.123Z</Z></R>");
  tDateTime expected = 0;
  ASSERT_TRUE(vxdate::TryEncodeDate(2024, 1, 8, expected));
  EXPECT_EQ(krptUtil::GetNodeValueAsDate(root, u"D"), expected);
  EXPECT_EQ(krptUtil::GetNodeValueAsDate(root, u"S"), expected);
  EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsDate(root, u"Bad"); }),
            u"Error in processing node Bad as date.\r\nDate Format invalid: [2024-13-01]");
  EXPECT_EQ(DateTimeToXmlString(true, krptUtil::GetNodeValueAsDateTime(root, u"T")), u"2024-01-08T06:45:56.005");
  EXPECT_EQ(DateTimeToXmlString(true, krptUtil::GetNodeValueAsDateTime(root, u"Z")), u"2024-01-08T06:45:56.123");
  EXPECT_EQ(krptUtil::TryGetNodeValueAsDateTime(root, u"Z"), krptUtil::GetNodeValueAsDateTime(root, u"Z"));
  EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsDateTime(root, u"D"); }),
            u"Error in processing node D as datetime.\r\nDateTime Format invalid: [2024-01-08]");
  EXPECT_EQ(krptUtil::TryGetNodeValueAsDateTime(root, u"D"), 0);
  EXPECT_EQ(krptUtil::TryGetNodeValueAsDateTime(root, u"Bad"), 0);
}

TEST_F(ReceiptReadersTest, ElementsWithMoreThanTextFailInEveryReader) {
  for (std::u16string_view text :
       {u"<R><N><X>1</X></N></R>", u"<R><N><!--c-->5</N></R>", u"<R><N>1<![CDATA[2]]></N></R>"}) {
    port::XmlElement root = Load(text);
    const std::u16string cause = u"\r\nElement \"N\" does not contain a single text node";
    EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsString(root, u"N"); }),
              u"Error in processing node N as string." + cause);
    EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsInteger(root, u"N"); }),
              u"Error in processing node N as integer." + cause);
    EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsCurrency(root, u"N"); }),
              u"Error in processing node N as currency." + cause);
    EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsBoolean(root, u"N", false); }),
              u"Error in processing node N as boolean." + cause);
    EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsDate(root, u"N"); }),
              u"Error in processing node N as date." + cause);
    EXPECT_EQ(ErrorOf([&] { krptUtil::GetNodeValueAsDateTime(root, u"N"); }),
              u"Error in processing node N as datetime." + cause);
    EXPECT_EQ(krptUtil::TryGetNodeValueAsDateTime(root, u"N"), 0);
  }
}

TEST_F(ReceiptReadersTest, ReadsOwnAttributesAndAddsNodes) {
  port::XmlElement root = Load(u"<R kind=\"sale\" empty=\"\"><C kind=\"child\"/></R>");
  EXPECT_EQ(krptUtil::GetAttributeValueAsString(root, u"kind"), u"sale");
  EXPECT_EQ(krptUtil::GetAttributeValueAsString(root, u"empty"), u"");
  EXPECT_EQ(krptUtil::GetAttributeValueAsString(root, u"Kind"), u"");
  EXPECT_EQ(krptUtil::GetAttributeValueAsString(root, u"missing"), u"");

  port::XmlElement added = krptUtil::AddNode(root, u"Amount", u"12.50");
  EXPECT_EQ(added.Name(), u"Amount");
  EXPECT_EQ(root.Children().back(), added);
  EXPECT_EQ(krptUtil::GetNodeValueAsCurrency(root, u"Amount").Units(), 125000);
  krptUtil::AddNode(added, u"Inner", u"x");
  EXPECT_THROW(krptUtil::GetNodeValueAsCurrency(root, u"Amount"), tVX_Error);
  krptUtil::AddNode(root, u"Flag", u"");
  EXPECT_EQ(krptUtil::GetNodeValueAsInteger(root, u"Flag"), 0);
  EXPECT_THROW(krptUtil::AddNode(port::XmlElement(), u"A", u"1"), tVX_Error);
}

}  // namespace
