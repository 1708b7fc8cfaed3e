#include "drivers/adyen/uVXPA_ADYEN_10_Login.h"

#include <utility>

namespace adyen {

std::u16string BuildLoginRequestMessage(const tAdyenHeader& aHeader, std::u16string_view aDateTime,
                                        std::u16string_view aDriverVersion) {
  tJson software = tJson::object();
  software["ManufacturerID"] = "Quarnby";
  software["ApplicationName"] = "Cassivo Adyen Zarvik Driver";
  software["SoftwareVersion"] = JsonText(aDriverVersion);
  software["CertificationCode"] = "X";
  tJson terminal = tJson::object();
  terminal["TotalsGroupID"] = "Global";

  tJson body = tJson::object();
  body["DateTime"] = JsonText(aDateTime);
  body["SaleSoftware"] = std::move(software);
  body["SaleTerminalData"] = std::move(terminal);
  body["OperatorLanguage"] = "en";
  body["OperatorID"] = "OPR";
  return BuildRequestMessage(aHeader, u"LoginRequest", std::move(body));
}

std::u16string BuildLogoutRequestMessage(const tAdyenHeader& aHeader) {
  return BuildRequestMessage(aHeader, u"LogoutRequest", tJson::object());
}

bool ReadLoginResponse(std::u16string_view aPlainResponse, std::u16string_view aBodyName, std::u16string& aErrorText) {
  kAdyenResponse response(aPlainResponse);
  tAdyenResponseStatus status = ReadResponseStatus(response.Body(aBodyName));
  if (!status.Success) aErrorText = status.ErrorCondition;
  aErrorText = AppendAdditionalTexts(std::move(aErrorText), status.AdditionalResponse, {u"message", u"errors"});
  return status.Success;
}

}  // namespace adyen
