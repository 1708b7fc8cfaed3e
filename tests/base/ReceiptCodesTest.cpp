// krptUtil's receipt words and text folding.
#include <gtest/gtest.h>

#include <functional>

#include "base/uVX_Text.h"
#include "base/uVxReceipt.h"
#include "platform/Error.h"

namespace {

using Effect = vxReceiptMessageLineEffect;
using EffectSet = vxReceiptMessageLineEffectSet;

std::u16string ErrorOf(const std::function<void()>& aDecode) {
  try {
    aDecode();
  } catch (const tVX_Error& e) {
    return e.Message();
  }
  return u"(decoded)";
}

// Every value of an enumeration with N members survives encoding and decoding, in any letter
// case; values past the last member encode as the empty text.
template <class E>
void ExpectRoundTrip(int aCount, std::u16string (*aEncode)(E), E (*aDecode)(std::u16string_view), int aFirst = 0) {
  for (int i = aFirst; i < aCount; ++i) {
    std::u16string word = aEncode(static_cast<E>(i));
    EXPECT_FALSE(word.empty()) << i;
    EXPECT_EQ(aDecode(word), static_cast<E>(i)) << vxtext::Utf8(word);
    EXPECT_EQ(aDecode(vxtext::UpperCase(word)), static_cast<E>(i)) << vxtext::Utf8(word);
  }
  EXPECT_EQ(aEncode(static_cast<E>(aCount)), u"");
}

TEST(ReceiptCodesTest, EncodesAndDecodesEveryValue) {
  ExpectRoundTrip(4, krptUtil::EncodeAlignment, krptUtil::DecodeAlignment, 1);
  ExpectRoundTrip(8, krptUtil::EncodeBarcodeType, krptUtil::DecodeBarcodeType);
  ExpectRoundTrip(3, krptUtil::EncodeCustomerIdType, krptUtil::DecodeCustomerIdType, 1);
  ExpectRoundTrip(18, krptUtil::EncodeLineType, krptUtil::DecodeLineType);
  ExpectRoundTrip(12, krptUtil::EncodePaymentType, krptUtil::DecodePaymentType);
  ExpectRoundTrip(5, krptUtil::EncodeReceiptType, krptUtil::DecodeReceiptType);
  ExpectRoundTrip(4, krptUtil::EncodeReferenceType, krptUtil::DecodeReferenceType);
  ExpectRoundTrip(8, krptUtil::EncodeEffect, krptUtil::DecodeEffect);
  ExpectRoundTrip(2, krptUtil::EncodeImageSource, krptUtil::DecodeImageSource);
  ExpectRoundTrip(2, krptUtil::EncodeTaxType, krptUtil::DecodeTaxType);

  EXPECT_EQ(krptUtil::EncodeAlignment(vxReceiptMessageLineAlignment::la_none), u"");
  EXPECT_EQ(krptUtil::EncodeCustomerIdType(vxReceiptCustomerIdType::cid_NA), u"");
  EXPECT_EQ(krptUtil::EncodeReceiptType(vxReceiptType::rt_Sale), u"Sale");
  EXPECT_EQ(krptUtil::EncodeReceiptType(vxReceiptType::rt_InvoiceSaleFromReceipt), u"InvoiceSaleFromReceipt");
  EXPECT_EQ(krptUtil::EncodeReferenceType(vxReceiptReferenceType::rrt_EFTReceipt), u"EFTReceipt");
  EXPECT_EQ(krptUtil::EncodeTaxType(vxReceiptTaxType::tt_SalesTax), u"SalesTax");
  EXPECT_EQ(krptUtil::EncodeLineType(vxReceiptLineType::rlt_DiscountPercentageOnSubTotal),
            u"discountpercentageonsubtotal");
  EXPECT_EQ(krptUtil::EncodePaymentType(vxReceiptPaymentType::Rpt_NHSCard), u"nhscard");
  EXPECT_EQ(krptUtil::EncodeBarcodeType(vxReceiptMessageBarcodeType::bt_Interleaved2Of5), u"interleaved2of5");
}

TEST(ReceiptCodesTest, DecodesTheSpecialWords) {
  EXPECT_EQ(krptUtil::DecodeBarcodeType(u"QRCode"), vxReceiptMessageBarcodeType::bt_QRCODE);
  EXPECT_EQ(krptUtil::DecodeReceiptType(u"SALE"), vxReceiptType::rt_Sale);
  EXPECT_EQ(krptUtil::DecodeImageSource(u""), vxReceiptMessageImageSource::is_FileSystem);
  EXPECT_EQ(krptUtil::DecodeCustomerIdType(u""), vxReceiptCustomerIdType::cid_NA);
  EXPECT_EQ(krptUtil::DecodeCustomerIdType(u"NA"), vxReceiptCustomerIdType::cid_NA);
  EXPECT_EQ(krptUtil::DecodeReferenceType(u"Receipt"), vxReceiptReferenceType::rrt_OriginalReceipt);
  EXPECT_EQ(krptUtil::DecodeReferenceType(u""), vxReceiptReferenceType::rrt_OriginalReceipt);
  EXPECT_EQ(krptUtil::DecodeReferenceType(u"EMPTIES"), vxReceiptReferenceType::rrt_Empties);
  EXPECT_EQ(krptUtil::DecodeLineAttribute(u"Product"), vxReceiptLineAttribute::rla_Product);
  EXPECT_EQ(krptUtil::DecodeLineAttribute(u"product "), vxReceiptLineAttribute::rla_Service);
  EXPECT_EQ(krptUtil::DecodeLineAttribute(u""), vxReceiptLineAttribute::rla_Service);
  EXPECT_EQ(krptUtil::DecodeEJReportDestination(u"Memory"), vxEJReportDestination::rd_Memory);
  EXPECT_EQ(krptUtil::DecodeEJReportDestination(u"printer"), vxEJReportDestination::rd_Printer);
  EXPECT_EQ(krptUtil::DecodeEJReportType(u"ZReport"), vxEJReportType::ejrt_ZReport);
  EXPECT_EQ(krptUtil::DecodeEJReportType(u"invoice"), vxEJReportType::ejrt_Invoice);
  EXPECT_EQ(krptUtil::DecodeEJReportType(u"CreditNote"), vxEJReportType::ejrt_CreditNote);
  EXPECT_EQ(krptUtil::DecodeEJRequestType(u"XML"), vxEJFilesRequestType::ej_xml);
}

TEST(ReceiptCodesTest, RefusesUnknownWordsNamingThemLowerCased) {
  struct Case {
    std::function<void(std::u16string_view)> decode;
    std::u16string_view message;
  };
  const Case cases[] = {
      {[](std::u16string_view w) { krptUtil::DecodeAlignment(w); }, u"Alignment %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeBarcodeType(w); }, u"BarcodeType %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeCustomerIdType(w); }, u"CustomerIdType %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeLineType(w); }, u"LineType %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodePaymentType(w); }, u"PaymentType %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeReceiptType(w); }, u"ReceiptType %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeEffect(w); }, u"Effect %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeEffects(w); }, u"Effect %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeImageSource(w); }, u"Image Source %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeTaxType(w); }, u"TaxType %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeEJReportDestination(w); }, u"ReportDestination %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeEJReportType(w); }, u"ReportType %s is invalid"},
      {[](std::u16string_view w) { krptUtil::DecodeEJRequestType(w); }, u"ReferenceType %s is invalid"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf([&] { c.decode(u"Bad%sWORD"); }), vxtext::FormatS(c.message, u"bad%sword"));
    EXPECT_EQ(ErrorOf([&] { c.decode(u" Bold"); }), vxtext::FormatS(c.message, u" bold"));  // no trimming
  }
  EXPECT_EQ(ErrorOf([] { krptUtil::DecodeAlignment(u""); }), u"Alignment  is invalid");  // la_none has no word
  EXPECT_EQ(ErrorOf([] { krptUtil::DecodeAlignment(u"none"); }), u"Alignment none is invalid");
  EXPECT_EQ(ErrorOf([] { krptUtil::DecodeTaxType(u""); }), u"TaxType  is invalid");
}

TEST(ReceiptCodesTest, EncodesAndDecodesEffectSets) {
  EXPECT_EQ(krptUtil::EncodeEffects({Effect::le_underline, Effect::le_bold}), u"bold,underline");
  EXPECT_EQ(krptUtil::EncodeEffects({}), u"");
  EXPECT_EQ(krptUtil::EncodeEffects(EffectSet::FromBits(0xFF)),
            u"bold,italic,underline,doubleheight,doublewidth,doublesize,invertcolors,condensed");
  EXPECT_EQ(krptUtil::DecodeEffects(u"bold,,italic"), (EffectSet{Effect::le_bold}));
  EXPECT_EQ(krptUtil::DecodeEffects(u""), EffectSet());
  EXPECT_EQ(krptUtil::DecodeEffects(u",bold"), EffectSet());
  EXPECT_EQ(krptUtil::DecodeEffects(u"CONDENSED,Bold,bold,"), (EffectSet{Effect::le_bold, Effect::le_condensed}));
  EXPECT_EQ(ErrorOf([] { krptUtil::DecodeEffects(u"bold, italic"); }), u"Effect  italic is invalid");
  for (unsigned bits = 0; bits < 256; ++bits) {
    EffectSet set = EffectSet::FromBits(uint8_t(bits));
    EXPECT_EQ(krptUtil::DecodeEffects(krptUtil::EncodeEffects(set)), set) << bits;
  }
  EffectSet set{Effect::le_invertcolors};
  EXPECT_EQ(set.Bits(), 0x40);
  set.Exclude(Effect::le_invertcolors);
  EXPECT_TRUE(set.Empty());
}

TEST(ReceiptCodesTest, NormalizesTextToPrintableAscii) {
  EXPECT_EQ(krptUtil::NormalizeText(u"TOTALE \u20ac 10"), u"TOT. E 10");
  EXPECT_EQ(krptUtil::NormalizeText(u"\u00c0\u00d9\u00c8\u00c9\u00d2\u00d6\u00c7\u00cf\u00cc\u20ac"), u"AUEEOOCIIE");
  EXPECT_EQ(krptUtil::NormalizeText(u"caff\u00e8 \u00c1"), u"caff   ");  // only the listed letters fold
  EXPECT_EQ(krptUtil::NormalizeText(u"TOTALETOTALE totale"), u"TOT.TOT. totale");
  EXPECT_EQ(krptUtil::NormalizeText(u"TOT\u00c0LE"), u"TOT.");  // folding comes first
  EXPECT_EQ(krptUtil::NormalizeText(u"a\tb\r\n\x7f~\U0001F600"), u"a b  \x7f~  ");
  EXPECT_EQ(krptUtil::NormalizeText(u""), u"");
}

}  // namespace
