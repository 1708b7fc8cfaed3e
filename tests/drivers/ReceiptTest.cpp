// Receipt layout: headings centred, fields with values on the right edge, QR codes left out,
// at widths 32 and 42, and the choice of copy by document qualifier.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivers/adyen/uVXPA_ADYEN_10_Receipt.h"

namespace {

// Output lines given as (text, end of line) pairs.
std::u16string Render(const std::vector<std::pair<std::u16string, bool>>& aItems, int32_t aWidth) {
  std::u16string json = u"[";
  for (const auto& [text, eol] : aItems) {
    if (json.size() > 1) json += u",";
    json += u"{\"Text\":\"" + text + u"\"" + (eol ? u",\"EndOfLineFlag\":true}" : u"}");
  }
  tJson lines = adyen::ParseJson(json + u"]");
  return adyen::RenderReceiptLines(&lines, aWidth);
}

std::u16string Spaces(size_t n) { return std::u16string(n, u' '); }

TEST(ReceiptTest, HeadingsAreCentredRoundingDown) {
  EXPECT_EQ(Render({{u"key=header1&name=SALE", true}}, 32), Spaces(14) + u"SALE\r\n\r\n");
  EXPECT_EQ(Render({{u"key=approved&name=SALES", false}}, 32), Spaces(13) + u"SALES\r\n");
  EXPECT_EQ(Render({{u"key=merchantTitle&name=SALES", false}}, 42), Spaces(18) + u"SALES\r\n");
  std::u16string longName(40, u'X');
  EXPECT_EQ(Render({{u"key=header2&name=" + longName, false}}, 32), longName + u"\r\n");
  // A heading replaces what the line held.
  EXPECT_EQ(Render({{u"key=x&name=Left", false}, {u"key=cardholderHeader&name=AB", false}}, 6), u"  AB\r\n");
}

TEST(ReceiptTest, FieldsAlignTheirValueToTheRightEdge) {
  EXPECT_EQ(Render({{u"key=pan&name=Card&value=1234", true}}, 32), u"Card" + Spaces(24) + u"1234\r\n\r\n");
  EXPECT_EQ(Render({{u"key=pan&name=Card&value=1234", false}}, 42), u"Card" + Spaces(34) + u"1234\r\n");
  // Too long together: joined without a blank, nothing cut.
  EXPECT_EQ(Render({{u"key=a&name=ABCDEFGHIJKLMNOPQRST&value=0123456789012345", false}}, 32),
            u"ABCDEFGHIJKLMNOPQRST0123456789012345\r\n");
  // A second name on the same line replaces the first; its value aligns against it.
  EXPECT_EQ(Render({{u"key=a&name=First&value=1", false}, {u"key=b&name=Second&value=22", true}}, 12),
            u"Second    22\r\n\r\n");
  // A value alone joins the name before it.
  EXPECT_EQ(Render({{u"key=a&name=Total", false}, {u"key=b&value=EUR+12.50", true}}, 20),
            u"Total      EUR 12.50\r\n\r\n");
  // A value alone on a fresh line sits at the right edge; an item without text writes nothing.
  EXPECT_EQ(Render({{u"key=v&value=9", true}, {u"", true}}, 5), u"    9\r\n\r\n\r\n");
  // Lengths count UTF-16 code units of the decoded text.
  EXPECT_EQ(Render({{u"key=a&name=Gr%C3%BC%C3%9Fe&value=%E2%82%AC1", false}}, 12), u"Gr\u00fc\u00dfe     \u20ac1\r\n");
}

TEST(ReceiptTest, QrCodesWriteNothingButMayEndTheLine) {
  EXPECT_EQ(Render({{u"key=header1&name=A", true}, {u"key=QRCode&name=QR&value=data", true}, {u"name=B", false}}, 4),
            u" A\r\n\r\nB\r\n");
  EXPECT_EQ(Render({{u"key=a&name=Keep", false}, {u"key=QRCode&name=QR", false}}, 4), u"Keep\r\n");
}

TEST(ReceiptTest, CopiesByQualifierAndSignatureFlagOfTheLast) {
  tJson receipts = adyen::ParseJson(uR"([
    {"DocumentQualifier":"CashierReceipt","RequiredSignatureFlag":true,
     "OutputContent":{"OutputText":[{"Text":"key=header1&name=MERCHANT","EndOfLineFlag":true}]}},
    {"DocumentQualifier":"CustomerReceipt",
     "OutputContent":{"OutputText":[{"Text":"name=first"}]}},
    {"DocumentQualifier":"Other","RequiredSignatureFlag":true,
     "OutputContent":{"OutputText":[{"Text":"name=second"}]}},
    {"DocumentQualifier":"CashierReceipt"}])");
  _int_PAY_result r;
  adyen::RenderPaymentReceipt(&receipts[0], 32, r);
  EXPECT_TRUE(r.SignatureRequested);
  EXPECT_EQ(r.CashierReceiptText, Spaces(12) + u"MERCHANT\r\n\r\n");
  EXPECT_EQ(r.ReceiptText, u"");
  adyen::RenderPaymentReceipt(&receipts[1], 32, r);
  EXPECT_FALSE(r.SignatureRequested);
  EXPECT_EQ(r.ReceiptText, u"first\r\n");
  adyen::RenderPaymentReceipt(&receipts[2], 32, r);
  EXPECT_EQ(r.ReceiptText, u"second\r\n");
  // Without output lines: an empty receipt, not a failure.
  adyen::RenderPaymentReceipt(&receipts[3], 32, r);
  EXPECT_EQ(r.CashierReceiptText, u"\r\n");
  EXPECT_FALSE(r.SignatureRequested);
}

}  // namespace
