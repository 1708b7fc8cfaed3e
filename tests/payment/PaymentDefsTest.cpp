// The payment vocabulary: text forms, document type sets and the country table.
#include <gtest/gtest.h>

#include <set>

#include "base/uVX_Text.h"
#include "payment/uVXPaymentDefs.h"

namespace {

TEST(PaymentDefsTest, NetworkTextsAreLowerCaseNamesExceptNhsAndNexi) {
  EXPECT_EQ(PaymentNetworkToString(vxPaymentNetwork::Bank), u"bank");
  EXPECT_EQ(PaymentNetworkToString(vxPaymentNetwork::Visa), u"visa");
  EXPECT_EQ(PaymentNetworkToString(vxPaymentNetwork::MIGLunch), u"miglunch");
  EXPECT_EQ(PaymentNetworkToString(vxPaymentNetwork::QuiWelfare), u"quiwelfare");
  EXPECT_EQ(PaymentNetworkToString(vxPaymentNetwork::NHS), u"NHS");
  EXPECT_EQ(PaymentNetworkToString(vxPaymentNetwork::Nexi), u"unrecognized");
  EXPECT_EQ(PaymentNetworkToString(vxPaymentNetwork::Other), u"other");
  // The numbering is fixed: Other is the 44th value.
  EXPECT_EQ(static_cast<int>(vxPaymentNetwork::Other), 43);
  EXPECT_EQ(static_cast<int>(vxPaymentNetwork::VPay), 22);
  EXPECT_EQ(PaymentNetworkToString(static_cast<vxPaymentNetwork>(22)), u"vpay");
  EXPECT_EQ(PaymentNetworkToString(static_cast<vxPaymentNetwork>(41)), u"scalapay");

  // Every network has its own non-empty text.
  std::set<std::u16string> texts;
  for (int i = 0; i < kPaymentNetworkCount; ++i) {
    auto text = PaymentNetworkToString(static_cast<vxPaymentNetwork>(i));
    EXPECT_FALSE(text.empty()) << i;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), 44u);
}

TEST(PaymentDefsTest, TransactionTypeTexts) {
  using T = vxPaymentTransactionType;
  EXPECT_EQ(TransactionTypeToString(T::ptt_Chip), u"CHIP");
  EXPECT_EQ(TransactionTypeToString(T::ptt_MagStripe), u"MAGSTRIPE");
  EXPECT_EQ(TransactionTypeToString(T::ptt_Manual), u"MANUAL");
  EXPECT_EQ(TransactionTypeToString(T::ptt_Cless), u"CLESS");
  EXPECT_EQ(TransactionTypeToString(T::ptt_ClessMagStripe), u"CLESSMAGSTRIPE");
  EXPECT_EQ(TransactionTypeToString(T::ptt_ClessChip), u"CLESSCHIP");
  EXPECT_EQ(TransactionTypeToString(T::ptt_RFID), u"");
  EXPECT_EQ(TransactionTypeToString(T::ptt_Other), u"OTHER");
}

TEST(PaymentDefsTest, DocumentTypeSetsHoldOneBitPerType) {
  using D = vxPaymentHandlerDocumentType;
  vxPaymentHandlerDocumentTypes none;
  EXPECT_TRUE(none.Empty());
  vxPaymentHandlerDocumentTypes open{D::dt_Open};
  EXPECT_EQ(open.Bits(), 1);
  vxPaymentHandlerDocumentTypes some{D::dt_PayReprint, D::dt_VerifyTran};
  EXPECT_EQ(some.Bits(), 0x24);
  EXPECT_TRUE(some.Contains(D::dt_VerifyTran));
  EXPECT_FALSE(some.Contains(D::dt_Pay));
  EXPECT_FALSE(some.Contains(D::dt_Open));
}

TEST(PaymentDefsTest, CountryTableHas249UniqueRowsInAlpha2Order) {
  const auto& table = CountryTable();
  ASSERT_EQ(table.size(), 249u);
  std::set<std::u16string_view> code2, code3, numbers;
  for (size_t i = 0; i < table.size(); ++i) {
    const auto& row = table[i];
    EXPECT_EQ(row.Code2.size(), 2u);
    EXPECT_EQ(row.Code3.size(), 3u);
    ASSERT_EQ(row.Number.size(), 3u);
    for (auto c : row.Number) {
      EXPECT_TRUE(c >= u'0' && c <= u'9') << vxtext::Utf8(row.Code2);
    }
    for (auto c : row.Code2) {
      EXPECT_TRUE(c >= u'A' && c <= u'Z');
    }
    for (auto c : row.Code3) {
      EXPECT_TRUE(c >= u'A' && c <= u'Z');
    }
    if (i > 0) {
      EXPECT_LT(table[i - 1].Code2, row.Code2);
    }
    code2.insert(row.Code2);
    code3.insert(row.Code3);
    numbers.insert(row.Number);
  }
  EXPECT_EQ(code2.size(), 249u);
  EXPECT_EQ(code3.size(), 249u);
  EXPECT_EQ(numbers.size(), 249u);
  EXPECT_EQ(table.front().Code2, u"AD");
  EXPECT_EQ(table.front().Code3, u"AND");
  EXPECT_EQ(table.front().Number, u"020");
  EXPECT_EQ(table.back().Code2, u"ZW");
  EXPECT_EQ(table.back().Code3, u"ZWE");
  EXPECT_EQ(table.back().Number, u"716");
}

TEST(PaymentDefsTest, FindCountryByNumberMatchesTheThreeDigitCodeExactly) {
  struct Known { const char16_t *number, *code2, *code3; };
  for (auto k : {Known{u"380", u"IT", u"ITA"}, Known{u"276", u"DE", u"DEU"}, Known{u"826", u"GB", u"GBR"},
                 Known{u"840", u"US", u"USA"}, Known{u"250", u"FR", u"FRA"}, Known{u"528", u"NL", u"NLD"},
                 Known{u"004", u"AF", u"AFG"}, Known{u"248", u"AX", u"ALA"}, Known{u"531", u"CW", u"CUW"},
                 Known{u"728", u"SS", u"SSD"}, Known{u"174", u"KM", u"COM"}}) {
    vxCountryMap country;
    EXPECT_TRUE(FindCountryByNumber(k.number, country)) << vxtext::Utf8(k.number);
    EXPECT_EQ(country.Code2, k.code2);
    EXPECT_EQ(country.Code3, k.code3);
    EXPECT_EQ(country.Number, k.number);
  }

  // No leading zero, a blank or an unknown code find nothing and leave the record as it was.
  for (auto number : {u"20", u"0380", u" 380", u"999", u""}) {
    vxCountryMap country{u"XX", u"XXX", u"000"};
    EXPECT_FALSE(FindCountryByNumber(number, country)) << vxtext::Utf8(number);
    EXPECT_EQ(country.Code2, u"XX");
    EXPECT_EQ(country.Code3, u"XXX");
    EXPECT_EQ(country.Number, u"000");
  }
}

}  // namespace
