// The receipts a sale answers, at the default width of 32 columns and at 42, compared with the
// terminal's output lines laid out here by the rules of the receipt (headings centred, values
// against the right edge, QR codes left out), written independently of the module's code.
#include <gtest/gtest.h>

#include "E2EFixture.h"

namespace vxtest {
namespace {

std::string Decode(std::string_view aItem) {
  std::string out;
  for (size_t i = 0; i < aItem.size(); ++i) {
    const auto hex = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    if (aItem[i] == '+') {
      out += ' ';
    } else if (aItem[i] == '%' && i + 2 < aItem.size() && std::isxdigit(static_cast<unsigned char>(aItem[i + 1])) &&
               std::isxdigit(static_cast<unsigned char>(aItem[i + 2]))) {
      out += static_cast<char>(hex(aItem[i + 1]) * 16 + hex(aItem[i + 2]));
      i += 2;
    } else {
      out += aItem[i];
    }
  }
  return out;
}

// The value of aKey in an output line's key list ("key=...&name=...&value=...").
std::u16string KeyValue(const std::string& aList, std::string_view aKey) {
  size_t start = 0;
  while (start <= aList.size()) {
    size_t end = aList.find('&', start);
    if (end == std::string::npos) end = aList.size();
    const std::string item = Decode(std::string_view(aList).substr(start, end - start));
    const size_t equals = item.find('=');
    if (equals != std::string::npos && item.substr(0, equals) == aKey) return FromUtf8(item.substr(equals + 1));
    start = end + 1;
  }
  return {};
}

// One receipt copy laid out at aWidth columns.
std::u16string Layout(const Json& aReceipt, size_t aWidth) {
  static const char* const headings[] = {"header1", "header2", "merchantTitle", "cardholderHeader", "refused", "approved"};
  std::vector<std::u16string> lines(1);
  for (const Json& item : aReceipt["OutputContent"]["OutputText"]) {
    const std::string text = item.value("Text", "");
    const std::u16string key = KeyValue(text, "key");
    const std::u16string name = KeyValue(text, "name");
    const std::u16string value = KeyValue(text, "value");
    bool heading = false;
    for (const char* h : headings) heading = heading || key == Widen(h);
    std::u16string& line = lines.back();
    if (heading) {
      line = std::u16string(name.size() < aWidth ? (aWidth - name.size()) / 2 : 0, u' ') + name;
    } else if (key != u"QRCode") {
      if (!name.empty()) line = name;
      if (!value.empty()) {
        const size_t room = aWidth > line.size() ? aWidth - line.size() : 0;
        line += std::u16string(room > value.size() ? room - value.size() : 0, u' ') + value;
      }
    }
    if (item.value("EndOfLineFlag", false)) lines.emplace_back();
  }
  std::u16string joined;
  for (const std::u16string& line : lines) joined += line + u"\r\n";
  return joined;
}

class ReceiptE2ETest : public E2ETest {};

TEST_F(ReceiptE2ETest, CashierAndCustomerCopiesAt32And42Columns) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  for (size_t width : {size_t{32}, size_t{42}}) {
    SCOPED_TRACE(width);
    // 32 is the width when the request names none.
    const ResultDoc sale =
        till.Sale(u"12.62", width == 32 ? std::u16string() : Element(u"ReceiptColCount", Widen(std::to_string(width))));
    ASSERT_EQ(sale.Code(), 0) << Narrow(sale.Document());
    const Json receipts = LastRequest()["answer"]["SaleToPOIResponse"]["PaymentResponse"]["PaymentReceipt"];
    ASSERT_EQ(receipts.size(), 2u);
    for (const Json& receipt : receipts) {
      const bool cashier = receipt["DocumentQualifier"] == "CashierReceipt";
      const std::u16string text = sale[cashier ? "CashierReceiptText" : "ReceiptText"];
      EXPECT_EQ(Narrow(text), Narrow(Layout(receipt, width))) << (cashier ? "cashier copy" : "customer copy");
      // What a printer of that width gets: no line wider than the paper, the fields flush right.
      size_t full = 0;
      for (const std::u16string& line : ReceiptLines(text)) {
        EXPECT_LE(line.size(), width) << Narrow(line);
        if (line.size() == width) ++full;
      }
      EXPECT_GT(full, 3u);
    }
    // The card read by magnetic stripe asks for the customer's signature on the cashier's copy.
    EXPECT_EQ(sale.Text("SignatureRequested"), "True");
  }
}

TEST_F(ReceiptE2ETest, OnlyTheCopiesTheTerminalSends) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  fSim.Arrange({{"scenario", "receipts"}, {"copies", Json::array({"CashierReceipt"})}});
  const ResultDoc sale = till.Sale(u"5.00");
  ASSERT_EQ(sale.Code(), 0) << Narrow(sale.Document());
  EXPECT_EQ(sale.Text("ReceiptText"), "");
  EXPECT_NE(sale.Text("CashierReceiptText"), "");
}

}  // namespace
}  // namespace vxtest
