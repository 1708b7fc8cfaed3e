#include "drivers/adyen/uVXPA_ADYEN_10.h"

#include "base/uVX_Base.h"
#include "base/uVX_Text.h"
#include "io/uVXIOHandler_HTTP.h"
#include "payment/uVxPaymentDrivers.h"
#include "platform/Error.h"
#include "platform/Process.h"

namespace {

// Adds the driver to the registry when the module loads (the registry is a function-local
// static, so it exists whatever the order in which units initialise).
const kPaymentDriverRegistration gRegistration(kPayment_ADYEN::kDriverName, kPaymentClass::Of<kPayment_ADYEN>());

kIOHandler_HTTP* AsHttpHandler(kIOHandler& aHandler) {
  auto* http = dynamic_cast<kIOHandler_HTTP*>(&aHandler);
  if (http == nullptr) throw tVX_Error(u"Invalid class typecast: the connection of this driver must be HTTP");
  return http;
}

}  // namespace

kPayment_ADYEN::kPayment_ADYEN(const kPaymentHandler& aHandler) : kPaymentDevice(aHandler) {
  fPOIID = aHandler.GetParameter(u"POIID");
  fSecurity.fKeyIdentifier = aHandler.GetParameter(u"KeyIdentifier");
  int32_t version = -1;
  fSecurity.fKeyVersion = vxtext::TryStrToInt(aHandler.GetParameter(u"KeyVersion"), version) ? version : -1;
  fSecurity.fSecret = aHandler.GetParameter(u"Secret");

  fIOHandlerHTTP = AsHttpHandler(*fIOHandler);
  fIOHandlerHTTP->fURL += vxtext::EndsWith(fIOHandlerHTTP->fURL, u"/") ? u"nexo" : u"/nexo";

  if (fPOIID.empty()) throw tVX_Error(u"POIID is mandatory");
  if (fSecurity.fKeyIdentifier.empty()) throw tVX_Error(u"KeyIdentifier is mandatory");
  if (fSecurity.fKeyVersion < 0) throw tVX_Error(u"KeyVersion is mandatory");
  if (fSecurity.fSecret.empty()) throw tVX_Error(u"Secret is mandatory");

  PrepareSecurity();

  kIOHandler* log = fIOHandler.get();
  fSecurity.SetOnWriteLog([log](tVX_MessageType aType, const std::u16string& aTitle, const std::u16string& aMessage) {
    log->WriteLog(aType, aTitle, aMessage);
  });
  fSaleContext = {fPOIID, GetDriverVersion(), port::OsName(), port::OsVersion(), GetMachineName()};
}

kPayment_ADYEN::~kPayment_ADYEN() = default;

std::u16string kPayment_ADYEN::NewServiceReference() { return adyen::NewServiceReference(); }

void kPayment_ADYEN::PrepareSecurity() {
  fSecurity.DeriveKeys();
  fSecurity.GenerateNonce();
}

bool kPayment_ADYEN::Reserved() { return false; }

