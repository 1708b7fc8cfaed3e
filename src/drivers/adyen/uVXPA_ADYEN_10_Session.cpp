// Login and logout: the dialogue that brackets a reconciliation or a totals request.
#include "base/uVX_DateTime.h"
#include "drivers/adyen/uVXPA_ADYEN_10.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Login.h"

void kPayment_ADYEN::BuildLoginRequest(std::u16string_view aStoreCode, std::u16string_view aTillCode) {
  adyen::tAdyenHeader header{u"Login", adyen::SaleIDOf(aStoreCode, aTillCode), NewServiceReference(), fPOIID};
  fSecurity.fInputMessage = adyen::BuildLoginRequestMessage(header, vxdate::NowIso8601(), fSaleContext.DriverVersion);
}

void kPayment_ADYEN::BuildLogoutRequest(std::u16string_view aStoreCode, std::u16string_view aTillCode) {
  adyen::tAdyenHeader header{u"Logout", adyen::SaleIDOf(aStoreCode, aTillCode), NewServiceReference(), fPOIID};
  fSecurity.fInputMessage = adyen::BuildLogoutRequestMessage(header);
}

bool kPayment_ADYEN::ParseLoginResponse(std::u16string& aErrorText) {
  return adyen::ReadLoginResponse(fSecurity.fJSONResponseDecrypted, u"LoginResponse", aErrorText);
}

bool kPayment_ADYEN::ParseLogoutResponse(std::u16string& aErrorText) {
  return adyen::ReadLoginResponse(fSecurity.fJSONResponseDecrypted, u"LogoutResponse", aErrorText);
}

bool kPayment_ADYEN::Login(std::u16string_view aStoreCode, std::u16string_view aTillCode, std::u16string& aErrorText) {
  aErrorText.clear();
  BuildLoginRequest(aStoreCode, aTillCode);
  if (!Exchange(u"kAdyen.Login")) return false;
  return ParseLoginResponse(aErrorText);
}

bool kPayment_ADYEN::Logout(std::u16string_view aStoreCode, std::u16string_view aTillCode, std::u16string& aErrorText) {
  aErrorText.clear();
  BuildLogoutRequest(aStoreCode, aTillCode);
  if (!Exchange(u"kAdyen.Logout")) return false;
  return ParseLogoutResponse(aErrorText);
}
