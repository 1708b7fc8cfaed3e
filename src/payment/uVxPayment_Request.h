#pragma once
// The command parts of a request document: a payment (also read for reprints and
// verifications), a day close and a totals request.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/uVX_Currency.h"
#include "base/uVX_DateTime.h"
#include "payment/uVXPaymentDefs.h"
#include "platform/XmlDom.h"

// The earlier payment that a refund or void refers to.
struct vxPaymentRefundReference {
  tDateTime PaymentDateTime = 0;
  std::u16string PaymentNumber;
};

class kPaymentReceipt {
 public:
  kPaymentReceipt() = default;
  kPaymentReceipt(const kPaymentReceipt&) = delete;
  kPaymentReceipt& operator=(const kPaymentReceipt&) = delete;

  // Reads the root's first Payment element, else its first Reprint, else its first VerifyTran.
  // Throws tVX_Error when there is none or a value is rejected; fields read before a failure keep
  // their values.
  void LoadFromDocument(port::XmlDocument& aDocument);

  VxPaymentChannel PaymentChannel() const { return fPaymentChannel; }
  void SetPaymentChannel(VxPaymentChannel aValue) { fPaymentChannel = aValue; }
  vxPaymentAction Action() const { return fAction; }
  void SetAction(vxPaymentAction aValue) { fAction = aValue; }
  vxPaymentPhase Phase() const { return fPhase; }
  void SetPhase(vxPaymentPhase aValue) { fPhase = aValue; }
  const std::u16string& MerchantCode() const { return fMerchantCode; }
  void SetMerchantCode(std::u16string_view aValue) { fMerchantCode = aValue; }
  const std::u16string& StoreCode() const { return fStoreCode; }
  void SetStoreCode(std::u16string_view aValue) { fStoreCode = aValue; }
  const std::u16string& TillCode() const { return fTillCode; }
  void SetTillCode(std::u16string_view aValue) { fTillCode = aValue; }
  const std::u16string& Reference() const { return fReference; }
  void SetReference(std::u16string_view aValue) { fReference = aValue; }
  const std::u16string& ReceiptSubType() const { return fReceiptSubType; }
  void SetReceiptSubType(std::u16string_view aValue) { fReceiptSubType = aValue; }
  tVX_Currency Amount() const { return fAmount; }
  void SetAmount(tVX_Currency aValue) { fAmount = aValue; }
  const std::u16string& Currency() const { return fCurrency; }
  void SetCurrency(std::u16string_view aValue) { fCurrency = aValue; }
  tVX_Currency TipAmount() const { return fTipAmount; }
  void SetTipAmount(tVX_Currency aValue) { fTipAmount = aValue; }
  bool RequestTipAmount() const { return fRequestTipAmount; }
  void SetRequestTipAmount(bool aValue) { fRequestTipAmount = aValue; }
  const std::u16string& Attributes() const { return fAttributes; }
  void SetAttributes(std::u16string_view aValue) { fAttributes = aValue; }
  tVX_Currency MaxAmount() const { return fMaxAmount; }
  void SetMaxAmount(tVX_Currency aValue) { fMaxAmount = aValue; }
  int32_t MaxItems() const { return fMaxItems; }
  void SetMaxItems(int32_t aValue) { fMaxItems = aValue; }
  bool TokenizeCard() const { return fTokenizeCard; }
  void SetTokenizeCard(bool aValue) { fTokenizeCard = aValue; }
  const std::u16string& TokenReference() const { return fTokenReference; }
  void SetTokenReference(std::u16string_view aValue) { fTokenReference = aValue; }
  VxPrintLocation PrintLocation() const { return fPrintLocation; }
  void SetPrintLocation(VxPrintLocation aValue) { fPrintLocation = aValue; }
  int32_t ReceiptColCount() const { return fReceiptColCount; }
  void SetReceiptColCount(int32_t aValue) { fReceiptColCount = aValue; }
  const vxPaymentRefundReference& RefundReference() const { return fRefundReference; }
  void SetRefundReference(const vxPaymentRefundReference& aValue) { fRefundReference = aValue; }
  const std::u16string& OperatorId() const { return fOperatorId; }
  void SetOperatorId(std::u16string_view aValue) { fOperatorId = aValue; }
  const std::u16string& ReceiptId() const { return fReceiptId; }
  void SetReceiptId(std::u16string_view aValue) { fReceiptId = aValue; }

 private:
  VxPaymentChannel fPaymentChannel = VxPaymentChannel::pc_Standard;
  vxPaymentAction fAction = vxPaymentAction::Pay;  // chooses the device operation
  vxPaymentPhase fPhase = vxPaymentPhase::None;
  std::u16string fMerchantCode;
  std::u16string fStoreCode;
  std::u16string fTillCode;
  std::u16string fReference;       // the host's reference of the transaction
  std::u16string fReceiptSubType;  // free classification of the sale
  tVX_Currency fAmount;
  std::u16string fCurrency;
  tVX_Currency fTipAmount;
  bool fRequestTipAmount = false;  // the terminal is to ask for a tip
  std::u16string fAttributes;
  tVX_Currency fMaxAmount;
  int32_t fMaxItems = 0;
  bool fTokenizeCard = false;
  std::u16string fTokenReference;
  VxPrintLocation fPrintLocation = VxPrintLocation::pl_ECR;
  int32_t fReceiptColCount = 32;  // receipt line width in characters
  vxPaymentRefundReference fRefundReference;
  std::u16string fOperatorId;
  std::u16string fReceiptId;  // the receipt to reprint or verify
};

// The fields shared by a day close and a totals request.
class kPaymentStoreRequest {
 public:
  kPaymentStoreRequest(const kPaymentStoreRequest&) = delete;
  kPaymentStoreRequest& operator=(const kPaymentStoreRequest&) = delete;

  const std::u16string& StoreCode() const { return fStoreCode; }
  void SetStoreCode(std::u16string_view aValue) { fStoreCode = aValue; }
  const std::u16string& TillCode() const { return fTillCode; }
  void SetTillCode(std::u16string_view aValue) { fTillCode = aValue; }
  VxPrintLocation PrintLocation() const { return fPrintLocation; }
  void SetPrintLocation(VxPrintLocation aValue) { fPrintLocation = aValue; }
  const std::u16string& Reference() const { return fReference; }
  void SetReference(std::u16string_view aValue) { fReference = aValue; }

 protected:
  kPaymentStoreRequest() = default;
  ~kPaymentStoreRequest() = default;
  // Reads the root's first element aNodeName; throws tVX_Error(aMissingMessage) without one.
  void LoadFromElement(port::XmlDocument& aDocument, std::u16string_view aNodeName,
                       std::u16string_view aMissingMessage);

 private:
  std::u16string fStoreCode;
  std::u16string fTillCode;
  VxPrintLocation fPrintLocation = VxPrintLocation::pl_ECR;
  std::u16string fReference;
};

class kPaymentDayClose : public kPaymentStoreRequest {
 public:
  // Reads the root's DayClose element.
  void LoadFromDocument(port::XmlDocument& aDocument);
};

class kPaymentTotals : public kPaymentStoreRequest {
 public:
  // Reads the root's GetTotals element.
  void LoadFromDocument(port::XmlDocument& aDocument);
};
