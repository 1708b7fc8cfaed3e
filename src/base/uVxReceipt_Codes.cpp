// krptUtil: the words that stand for the receipt enumerations in XML, and text folding.
#include <array>
#include <utility>

#include "base/uVX_Text.h"
#include "base/uVxReceipt.h"
#include "platform/Error.h"

namespace {

template <size_t N>
using Words = std::array<std::u16string_view, N>;

// Indexed by ordinal; an empty word marks a value that is written as the empty text and that
// no word decodes to.
constexpr Words<4> kAlignments = {u"", u"right", u"center", u"left"};
constexpr Words<8> kBarcodeTypes = {u"ean13",  u"ean8", u"code39", u"code128",
                                    u"qrcode", u"upca", u"upce",   u"interleaved2of5"};
constexpr Words<3> kCustomerIdTypes = {u"", u"passport", u"nationalid"};
constexpr Words<18> kLineTypes = {u"productsale",
                                  u"productreturn",
                                  u"weightedproductsale",
                                  u"vouchersale",
                                  u"voucherredeem",
                                  u"giftcardsale",
                                  u"giftcardredeem",
                                  u"subtotal",
                                  u"text",
                                  u"discountamount",
                                  u"discountpercentage",
                                  u"discountamountonsubtotal",
                                  u"discountpercentageonsubtotal",
                                  u"markupamount",
                                  u"markuppercentage",
                                  u"markupamountonsubtotal",
                                  u"markuppercentageonsubtotal",
                                  u"collectamount"};
constexpr Words<12> kPaymentTypes = {u"cash",    u"cheque",           u"creditcard",       u"debitcard",
                                     u"credit",  u"creditonproducts", u"creditonservices", u"giftcard",
                                     u"voucher", u"mealvoucher",      u"nhscard",          u"change"};
constexpr Words<5> kReceiptTypes = {u"Sale", u"Refund", u"Void", u"InvoiceSale", u"InvoiceSaleFromReceipt"};
constexpr Words<4> kReferenceTypes = {u"OriginalReceipt", u"EFTReceipt", u"NotAvailable", u"Empties"};
constexpr Words<8> kEffects = {u"bold",        u"italic",     u"underline",    u"doubleheight",
                               u"doublewidth", u"doublesize", u"invertcolors", u"condensed"};
constexpr Words<2> kImageSources = {u"resource", u"filesystem"};
constexpr Words<2> kTaxTypes = {u"VAT", u"SalesTax"};
constexpr Words<2> kReportDestinations = {u"printer", u"memory"};
constexpr Words<5> kReportTypes = {u"zreport", u"fiscalreceipt", u"nonfiscalreceipt", u"creditnote", u"invoice"};
constexpr Words<1> kRequestTypes = {u"xml"};

template <class E, size_t N>
std::u16string Encode(const Words<N>& aWords, E aValue) {
  size_t ordinal = static_cast<size_t>(aValue);
  return ordinal < N ? std::u16string(aWords[ordinal]) : std::u16string();
}

// The value whose word equals aLowered in any case; false when there is none.
template <class E, size_t N>
bool TryDecode(const Words<N>& aWords, std::u16string_view aLowered, E& aValue) {
  for (size_t i = 0; i < N; ++i) {
    if (!aWords[i].empty() && vxtext::LowerCase(aWords[i]) == aLowered) {
      aValue = static_cast<E>(i);
      return true;
    }
  }
  return false;
}

template <class E, size_t N>
E Decode(const Words<N>& aWords, std::u16string_view aWord, std::u16string_view aMessage) {
  std::u16string lowered = vxtext::LowerCase(aWord);
  E value{};
  if (!TryDecode(aWords, lowered, value)) throw tVX_Error(vxtext::FormatS(aMessage, lowered));
  return value;
}

}  // namespace

std::u16string krptUtil::EncodeAlignment(vxReceiptMessageLineAlignment aValue) { return Encode(kAlignments, aValue); }
std::u16string krptUtil::EncodeBarcodeType(vxReceiptMessageBarcodeType aValue) { return Encode(kBarcodeTypes, aValue); }
std::u16string krptUtil::EncodeCustomerIdType(vxReceiptCustomerIdType aValue) {
  return Encode(kCustomerIdTypes, aValue);
}
std::u16string krptUtil::EncodeLineType(vxReceiptLineType aValue) { return Encode(kLineTypes, aValue); }
std::u16string krptUtil::EncodePaymentType(vxReceiptPaymentType aValue) { return Encode(kPaymentTypes, aValue); }
std::u16string krptUtil::EncodeReceiptType(vxReceiptType aValue) { return Encode(kReceiptTypes, aValue); }
std::u16string krptUtil::EncodeReferenceType(vxReceiptReferenceType aValue) { return Encode(kReferenceTypes, aValue); }
std::u16string krptUtil::EncodeEffect(vxReceiptMessageLineEffect aValue) { return Encode(kEffects, aValue); }
std::u16string krptUtil::EncodeImageSource(vxReceiptMessageImageSource aValue) { return Encode(kImageSources, aValue); }
std::u16string krptUtil::EncodeTaxType(vxReceiptTaxType aValue) { return Encode(kTaxTypes, aValue); }

std::u16string krptUtil::EncodeEffects(vxReceiptMessageLineEffectSet aEffects) {
  std::u16string text;
  for (size_t i = 0; i < kEffects.size(); ++i) {
    auto effect = static_cast<vxReceiptMessageLineEffect>(i);
    if (!aEffects.Contains(effect)) continue;
    if (!text.empty()) text += u',';
    text += kEffects[i];
  }
  return text;
}

vxReceiptMessageLineAlignment krptUtil::DecodeAlignment(std::u16string_view aValue) {
  return Decode<vxReceiptMessageLineAlignment>(kAlignments, aValue, u"Alignment %s is invalid");
}

vxReceiptMessageBarcodeType krptUtil::DecodeBarcodeType(std::u16string_view aValue) {
  return Decode<vxReceiptMessageBarcodeType>(kBarcodeTypes, aValue, u"BarcodeType %s is invalid");
}

vxReceiptCustomerIdType krptUtil::DecodeCustomerIdType(std::u16string_view aValue) {
  if (aValue.empty() || vxtext::LowerCase(aValue) == u"na") return vxReceiptCustomerIdType::cid_NA;
  return Decode<vxReceiptCustomerIdType>(kCustomerIdTypes, aValue, u"CustomerIdType %s is invalid");
}

vxReceiptLineType krptUtil::DecodeLineType(std::u16string_view aValue) {
  return Decode<vxReceiptLineType>(kLineTypes, aValue, u"LineType %s is invalid");
}

vxReceiptPaymentType krptUtil::DecodePaymentType(std::u16string_view aValue) {
  return Decode<vxReceiptPaymentType>(kPaymentTypes, aValue, u"PaymentType %s is invalid");
}

vxReceiptType krptUtil::DecodeReceiptType(std::u16string_view aValue) {
  return Decode<vxReceiptType>(kReceiptTypes, aValue, u"ReceiptType %s is invalid");
}

vxReceiptReferenceType krptUtil::DecodeReferenceType(std::u16string_view aValue) {
  vxReceiptReferenceType value = vxReceiptReferenceType::rrt_OriginalReceipt;
  TryDecode(kReferenceTypes, vxtext::LowerCase(aValue), value);
  return value;
}

vxReceiptMessageLineEffect krptUtil::DecodeEffect(std::u16string_view aValue) {
  return Decode<vxReceiptMessageLineEffect>(kEffects, aValue, u"Effect %s is invalid");
}

vxReceiptMessageImageSource krptUtil::DecodeImageSource(std::u16string_view aValue) {
  if (aValue.empty()) return vxReceiptMessageImageSource::is_FileSystem;
  return Decode<vxReceiptMessageImageSource>(kImageSources, aValue, u"Image Source %s is invalid");
}

vxReceiptTaxType krptUtil::DecodeTaxType(std::u16string_view aValue) {
  return Decode<vxReceiptTaxType>(kTaxTypes, aValue, u"TaxType %s is invalid");
}

vxReceiptLineAttribute krptUtil::DecodeLineAttribute(std::u16string_view aValue) {
  return vxtext::LowerCase(aValue) == u"product" ? vxReceiptLineAttribute::rla_Product
                                                 : vxReceiptLineAttribute::rla_Service;
}

vxEJReportDestination krptUtil::DecodeEJReportDestination(std::u16string_view aValue) {
  return Decode<vxEJReportDestination>(kReportDestinations, aValue, u"ReportDestination %s is invalid");
}

vxEJReportType krptUtil::DecodeEJReportType(std::u16string_view aValue) {
  return Decode<vxEJReportType>(kReportTypes, aValue, u"ReportType %s is invalid");
}

vxEJFilesRequestType krptUtil::DecodeEJRequestType(std::u16string_view aValue) {
  return Decode<vxEJFilesRequestType>(kRequestTypes, aValue, u"ReferenceType %s is invalid");
}

vxReceiptMessageLineEffectSet krptUtil::DecodeEffects(std::u16string_view aEffects) {
  vxReceiptMessageLineEffectSet effects;
  for (;;) {
    size_t comma = aEffects.find(u',');
    std::u16string_view piece = aEffects.substr(0, comma);
    if (piece.empty()) break;
    effects.Include(DecodeEffect(piece));
    if (comma == std::u16string_view::npos) break;
    aEffects.remove_prefix(comma + 1);
  }
  return effects;
}

std::u16string krptUtil::NormalizeText(std::u16string_view aText) {
  static constexpr std::pair<char16_t, char16_t> kFolded[] = {
      {u'\u00C0', u'A'}, {u'\u00D9', u'U'}, {u'\u00C8', u'E'}, {u'\u00C9', u'E'}, {u'\u00D2', u'O'},
      {u'\u00D6', u'O'}, {u'\u00C7', u'C'}, {u'\u00CF', u'I'}, {u'\u00CC', u'I'}, {u'\u20AC', u'E'}};
  std::u16string text(aText);
  for (char16_t& c : text)
    for (const auto& [from, to] : kFolded)
      if (c == from) c = to;
  text = vxtext::ReplaceAll(text, u"TOTALE", u"TOT.");
  for (char16_t& c : text)
    if (c < 32 || c > 127) c = u' ';
  return text;
}
