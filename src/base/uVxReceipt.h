#pragma once
// Reading values out of request documents, and the receipt vocabulary with its XML words.
// krptUtil holds no state; every operation may run on any thread, on a document the calling
// thread owns.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/uVX_Currency.h"
#include "base/uVX_DateTime.h"
#include "platform/XmlDom.h"

// clang-format off
enum class vxReceiptLineType : uint8_t {
  rlt_ProductSale, rlt_ProductReturn, rlt_WeightedProductSale, rlt_VoucherSale, rlt_VoucherRedeem,
  rlt_GiftCardSale, rlt_GiftCardRedeem, rlt_SubTotal, rlt_Text, rlt_DiscountAmount, rlt_DiscountPercentage,
  rlt_DiscountAmountOnSubtotal, rlt_DiscountPercentageOnSubTotal, rlt_MarkupAmount, rlt_MarkupPercentage,
  rlt_MarkupAmountOnSubtotal, rlt_MarkupPercentageOnSubTotal, rlt_CollectAmount
};
enum class vxReceiptLineAttribute : uint8_t { rla_Product, rla_Service };
enum class vxReceiptReferenceType : uint8_t { rrt_OriginalReceipt, rrt_EFTReceipt, rrt_NotAvailable, rrt_Empties };
enum class vxReceiptType : uint8_t { rt_Sale, rt_Refund, rt_Void, rt_InvoiceSale, rt_InvoiceSaleFromReceipt };
enum class vxReceiptPaymentType : uint8_t {
  rpt_Cash, rpt_Cheque, rpt_CreditCard, rpt_DebitCard, rpt_Credit, rpt_CreditOnProducts, rpt_CreditOnServices,
  Rpt_GiftCard, Rpt_Voucher, Rpt_MealVoucher, Rpt_NHSCard, Rpt_Change
};
enum class vxReceiptTaxType : uint8_t { tt_VAT, tt_SalesTax };
enum class vxReceiptMessageLineAlignment : uint8_t { la_none, la_right, la_center, la_left };
enum class vxReceiptMessageBarcodeType : uint8_t {
  bt_EAN13, bt_EAN8, bt_CODE39, bt_CODE128, bt_QRCODE, bt_UPCA, bt_UPCE, bt_Interleaved2Of5
};
enum class vxReceiptMessageLineEffect : uint8_t {
  le_bold, le_italic, le_underline, le_doubleheight, le_doublewidth, le_doublesize, le_invertcolors, le_condensed
};
enum class vxEJReportType : uint8_t {
  ejrt_ZReport, ejrt_FiscalReceipt, ejrt_NonFiscalReceipt, ejrt_CreditNote, ejrt_Invoice
};
enum class vxEJReportDestination : uint8_t { rd_Printer, rd_Memory };
enum class vxEJFilesRequestType : uint8_t { ej_xml };
enum class vxReceiptMessageImageSource : uint8_t { is_Resource, is_FileSystem };
enum class vxReceiptCustomerIdType : uint8_t { cid_NA, cid_Passport, cid_NationalId };
// clang-format on

// A set of line effects: bit n stands for the effect with ordinal n.
class vxReceiptMessageLineEffectSet {
 public:
  constexpr vxReceiptMessageLineEffectSet() = default;
  constexpr vxReceiptMessageLineEffectSet(std::initializer_list<vxReceiptMessageLineEffect> aEffects) {
    for (vxReceiptMessageLineEffect effect : aEffects) Include(effect);
  }
  static constexpr vxReceiptMessageLineEffectSet FromBits(uint8_t aBits) {
    vxReceiptMessageLineEffectSet set;
    set.fBits = aBits;
    return set;
  }

  constexpr uint8_t Bits() const { return fBits; }
  constexpr bool Empty() const { return fBits == 0; }
  constexpr bool Contains(vxReceiptMessageLineEffect aEffect) const { return (fBits & Bit(aEffect)) != 0; }
  constexpr void Include(vxReceiptMessageLineEffect aEffect) { fBits = uint8_t(fBits | Bit(aEffect)); }
  constexpr void Exclude(vxReceiptMessageLineEffect aEffect) { fBits = uint8_t(fBits & ~Bit(aEffect)); }
  constexpr bool operator==(const vxReceiptMessageLineEffectSet&) const = default;

 private:
  static constexpr uint8_t Bit(vxReceiptMessageLineEffect aEffect) { return uint8_t(1u << (uint8_t(aEffect) & 7)); }
  uint8_t fBits = 0;
};

class krptUtil {
 public:
  krptUtil() = delete;

  // The readers look only at the direct children of aParentNode and take the first named exactly
  // aNodeName. A missing child gives the empty text, 0, aDefaultValue or the zero date-time; a
  // value that cannot be read or converted throws tVX_Error "Error in processing node <name> as
  // <type>." + CR LF + the cause. Integer and currency read the empty text as 0.
  static std::u16string GetNodeValueAsString(const port::XmlElement& aParentNode, std::u16string_view aNodeName);
  static int32_t GetNodeValueAsInteger(const port::XmlElement& aParentNode, std::u16string_view aNodeName);
  // "." is the decimal separator whatever the machine's settings; no digit grouping.
  static tVX_Currency GetNodeValueAsCurrency(const port::XmlElement& aParentNode, std::u16string_view aNodeName);
  // true/false in any case, or a number (zero is false); the empty text fails.
  static bool GetNodeValueAsBoolean(const port::XmlElement& aParentNode, std::u16string_view aNodeName,
                                    bool aDefaultValue);
  static tDateTime GetNodeValueAsDate(const port::XmlElement& aParentNode, std::u16string_view aNodeName);
  static tDateTime GetNodeValueAsDateTime(const port::XmlElement& aParentNode, std::u16string_view aNodeName);
  // GetNodeValueAsDateTime, with the zero date-time instead of any failure.
  static tDateTime TryGetNodeValueAsDateTime(const port::XmlElement& aParentNode, std::u16string_view aNodeName);
  // The attribute of aNode itself; the empty text when it has none.
  static std::u16string GetAttributeValueAsString(const port::XmlElement& aNode, std::u16string_view aAttrName);
  static bool HasNode(const port::XmlElement& aParentNode, std::u16string_view aNodeName);
  // Appends an element aNodeName holding aNodeValue as the last child of aParentNode.
  static port::XmlElement AddNode(port::XmlElement aParentNode, std::u16string_view aNodeName,
                                  std::u16string_view aNodeValue);
  // Folds a text to printable ASCII: a few upper-case accented letters and the euro sign to
  // their letter, "TOTALE" to "TOT.", then every other character outside 32..127 to a blank.
  static std::u16string NormalizeText(std::u16string_view aText);

  // Encoders write the exact word of a value (the empty text for a value without one); decoders
  // lower-case the word and fail with "<Kind> <word> is invalid" unless noted.
  static std::u16string EncodeAlignment(vxReceiptMessageLineAlignment aValue);
  static std::u16string EncodeBarcodeType(vxReceiptMessageBarcodeType aValue);
  static std::u16string EncodeCustomerIdType(vxReceiptCustomerIdType aValue);
  static std::u16string EncodeLineType(vxReceiptLineType aValue);
  static std::u16string EncodePaymentType(vxReceiptPaymentType aValue);
  static std::u16string EncodeReceiptType(vxReceiptType aValue);
  static std::u16string EncodeReferenceType(vxReceiptReferenceType aValue);
  static std::u16string EncodeEffect(vxReceiptMessageLineEffect aValue);
  static std::u16string EncodeImageSource(vxReceiptMessageImageSource aValue);
  static std::u16string EncodeTaxType(vxReceiptTaxType aValue);
  // The words of the members in value order, joined by "," ("" for the empty set).
  static std::u16string EncodeEffects(vxReceiptMessageLineEffectSet aEffects);

  static vxReceiptMessageLineAlignment DecodeAlignment(std::u16string_view aValue);
  static vxReceiptMessageBarcodeType DecodeBarcodeType(std::u16string_view aValue);
  // "na" and the empty text give cid_NA.
  static vxReceiptCustomerIdType DecodeCustomerIdType(std::u16string_view aValue);
  static vxReceiptLineType DecodeLineType(std::u16string_view aValue);
  static vxReceiptPaymentType DecodePaymentType(std::u16string_view aValue);
  static vxReceiptType DecodeReceiptType(std::u16string_view aValue);
  // Never fails: any word not listed gives rrt_OriginalReceipt.
  static vxReceiptReferenceType DecodeReferenceType(std::u16string_view aValue);
  static vxReceiptMessageLineEffect DecodeEffect(std::u16string_view aValue);
  // The empty text gives is_FileSystem.
  static vxReceiptMessageImageSource DecodeImageSource(std::u16string_view aValue);
  static vxReceiptTaxType DecodeTaxType(std::u16string_view aValue);
  // Never fails: any word but "product" gives rla_Service.
  static vxReceiptLineAttribute DecodeLineAttribute(std::u16string_view aValue);
  static vxEJReportDestination DecodeEJReportDestination(std::u16string_view aValue);
  static vxEJReportType DecodeEJReportType(std::u16string_view aValue);
  static vxEJFilesRequestType DecodeEJRequestType(std::u16string_view aValue);
  // The pieces between commas, from the first up to the first empty one, each by DecodeEffect
  // (not trimmed).
  static vxReceiptMessageLineEffectSet DecodeEffects(std::u16string_view aEffects);
};
