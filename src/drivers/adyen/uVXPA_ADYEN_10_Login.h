#pragma once
// The login and logout messages that bracket a reconciliation or totals request.
#include <string>
#include <string_view>

#include "drivers/adyen/uVXPA_ADYEN_10_Envelope.h"

namespace adyen {

// A login request (category "Login", body LoginRequest: DateTime, SaleSoftware,
// SaleTerminalData, OperatorLanguage, OperatorID). aDateTime is the current local time in ISO
// 8601 form; aDriverVersion is GetDriverVersion.
std::u16string BuildLoginRequestMessage(const tAdyenHeader& aHeader, std::u16string_view aDateTime,
                                        std::u16string_view aDriverVersion);
// A logout request (category "Logout", body LogoutRequest: an empty object).
std::u16string BuildLogoutRequestMessage(const tAdyenHeader& aHeader);

// Reads the body aBodyName ("LoginResponse" or "LogoutResponse") of the plain answer. Answers
// whether its Result is "Success". On failure aErrorText becomes the ErrorCondition; then, on
// success too, " - " and each non-empty value of "message" and "errors" are appended to it.
bool ReadLoginResponse(std::u16string_view aPlainResponse, std::u16string_view aBodyName, std::u16string& aErrorText);

}  // namespace adyen
