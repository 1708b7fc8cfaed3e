#include "payment/uVxPayment_Handler.h"

kPaymentHandler::kPaymentHandler()
    : fPaymentReceipt(std::make_unique<kPaymentReceipt>()),
      fDayClose(std::make_unique<kPaymentDayClose>()),
      fTotals(std::make_unique<kPaymentTotals>()) {}

kPaymentHandler::~kPaymentHandler() = default;

void kPaymentHandler::Deserialize(std::u16string_view aXml, vxPaymentHandlerDocumentTypes aDocumentTypes) {
  using D = vxPaymentHandlerDocumentType;
  std::unique_ptr<port::XmlDocument> document = kDeviceHandler::Deserialize(aXml);
  if (aDocumentTypes.Contains(D::dt_Pay) || aDocumentTypes.Contains(D::dt_PayReprint) ||
      aDocumentTypes.Contains(D::dt_VerifyTran))
    fPaymentReceipt->LoadFromDocument(*document);
  else if (aDocumentTypes.Contains(D::dt_DayClose))
    fDayClose->LoadFromDocument(*document);
  else if (aDocumentTypes.Contains(D::dt_GetTotals))
    fTotals->LoadFromDocument(*document);
}
