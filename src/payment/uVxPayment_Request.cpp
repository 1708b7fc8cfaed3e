#include "payment/uVxPayment_Request.h"

#include "base/uVxReceipt.h"
#include "platform/Error.h"

namespace {

// The request words below are compared exactly (upper case as shown); an empty or missing
// element gives the default.

// Empty keeps aCurrent.
VxPrintLocation ReadPrintLocation(const port::XmlElement& aNode, VxPrintLocation aCurrent) {
  std::u16string value = krptUtil::GetNodeValueAsString(aNode, u"PrintLocation");
  if (value.empty()) return aCurrent;
  if (value == u"ECR") return VxPrintLocation::pl_ECR;
  if (value == u"EFT") return VxPrintLocation::pl_EFT;
  throw tVX_Error(u"Payment Location " + value + u" invalid. Allowed values are: ECR,EFT.");
}

VxPaymentChannel ReadPaymentChannel(const port::XmlElement& aNode) {
  std::u16string value = krptUtil::GetNodeValueAsString(aNode, u"PaymentChannel");
  if (value.empty() || value == u"STD") return VxPaymentChannel::pc_Standard;
  if (value == u"MVP") return VxPaymentChannel::pc_MealVoucherProvider;
  if (value == u"NHS") return VxPaymentChannel::pc_NationalHealthService;
  throw tVX_Error(u"Payment Channel " + value + u" invalid. Allowed values are: STD,MVP,NHS.");
}

// VOID is accepted although the message lists only PAY and REFUND: hosts know that text.
vxPaymentAction ReadAction(const port::XmlElement& aNode) {
  std::u16string value = krptUtil::GetNodeValueAsString(aNode, u"Action");
  if (value.empty() || value == u"PAY") return vxPaymentAction::Pay;
  if (value == u"REFUND") return vxPaymentAction::Refund;
  if (value == u"VOID") return vxPaymentAction::Void;
  throw tVX_Error(u"Action " + value + u" invalid. Allowed values are: PAY,REFUND.");
}

vxPaymentPhase ReadPhase(const port::XmlElement& aNode) {
  std::u16string value = krptUtil::GetNodeValueAsString(aNode, u"Phase");
  if (value.empty() || value == u"NONE") return vxPaymentPhase::None;
  if (value == u"DO") return vxPaymentPhase::Do;
  if (value == u"BEGIN") return vxPaymentPhase::Begin;
  if (value == u"COMMIT") return vxPaymentPhase::Commit;
  if (value == u"ROLLBACK") return vxPaymentPhase::Rollback;
  throw tVX_Error(u"Phase " + value + u" invalid. Allowed values are: BEGIN,DO,COMMIT,ROLLBACK.");
}

}  // namespace

void kPaymentReceipt::LoadFromDocument(port::XmlDocument& aDocument) {
  port::XmlElement root = aDocument.Root();
  // Any command that reads a payment accepts any of the three element names.
  port::XmlElement node = root.FirstChild(u"Payment");
  if (!node) node = root.FirstChild(u"Reprint");
  if (!node) node = root.FirstChild(u"VerifyTran");
  if (!node) throw tVX_Error(u"Payment/Reprint/VerifyTran node not found");

  fMerchantCode = krptUtil::GetNodeValueAsString(node, u"MerchantCode");
  fStoreCode = krptUtil::GetNodeValueAsString(node, u"StoreCode");
  fTillCode = krptUtil::GetNodeValueAsString(node, u"TillCode");
  fReference = krptUtil::GetNodeValueAsString(node, u"Reference");
  fReceiptSubType = krptUtil::GetNodeValueAsString(node, u"ReceiptSubType");
  fAmount = krptUtil::GetNodeValueAsCurrency(node, u"Amount");
  fCurrency = krptUtil::GetNodeValueAsString(node, u"Currency");
  fTipAmount = krptUtil::GetNodeValueAsCurrency(node, u"TipAmount");
  fRequestTipAmount = krptUtil::GetNodeValueAsBoolean(node, u"RequestTipAmount", false);
  fAttributes = krptUtil::GetNodeValueAsString(node, u"Attributes");
  fMaxItems = krptUtil::GetNodeValueAsInteger(node, u"MaxItems");
  fMaxAmount = krptUtil::GetNodeValueAsCurrency(node, u"MaxAmount");
  fTokenizeCard = krptUtil::GetNodeValueAsBoolean(node, u"TokenizeCard", false);
  fTokenReference = krptUtil::GetNodeValueAsString(node, u"TokenReference");

  int32_t columns = krptUtil::GetNodeValueAsInteger(node, u"ReceiptColCount");
  if (columns > 0) fReceiptColCount = columns;

  fPrintLocation = ReadPrintLocation(node, fPrintLocation);
  fPaymentChannel = ReadPaymentChannel(node);
  fAction = ReadAction(node);
  fPhase = ReadPhase(node);
  fOperatorId = krptUtil::GetNodeValueAsString(node, u"OperatorId");

  if (port::XmlElement reference = node.FirstChild(u"RefundReference")) {
    fRefundReference.PaymentNumber = krptUtil::GetNodeValueAsString(reference, u"PaymentId");
    fRefundReference.PaymentDateTime = krptUtil::GetNodeValueAsDateTime(reference, u"PaymentDateTime");
  }
  fReceiptId = krptUtil::GetNodeValueAsString(node, u"ReceiptId");
}

void kPaymentStoreRequest::LoadFromElement(port::XmlDocument& aDocument, std::u16string_view aNodeName,
                                           std::u16string_view aMissingMessage) {
  port::XmlElement node = aDocument.Root().FirstChild(aNodeName);
  if (!node) throw tVX_Error(std::u16string(aMissingMessage));
  fStoreCode = krptUtil::GetNodeValueAsString(node, u"StoreCode");
  fTillCode = krptUtil::GetNodeValueAsString(node, u"TillCode");
  fPrintLocation = ReadPrintLocation(node, fPrintLocation);
  fReference = krptUtil::GetNodeValueAsString(node, u"Reference");
}

void kPaymentDayClose::LoadFromDocument(port::XmlDocument& aDocument) {
  LoadFromElement(aDocument, u"DayClose", u"DayClose node not found");
}

void kPaymentTotals::LoadFromDocument(port::XmlDocument& aDocument) {
  LoadFromElement(aDocument, u"GetTotals", u"GetTotals node not found");
}
