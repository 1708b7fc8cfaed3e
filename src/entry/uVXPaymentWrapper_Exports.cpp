// The nine exported functions. Each runs on the host's calling thread; nothing thrown inside the
// module ever leaves them.
#include <cstdint>
#include <string>

#include "entry/uVXPaymentWrapper_Commands.h"
#include "payment/uVxPaymentDrivers.h"
#include "platform/HostString.h"
#include "vxpa.h"

namespace {

// The code in the low 16 bits, the high 16 bits zero: a host reading 32 bits sees 65535 for -1.
vxpa_result ResultWord(int16_t aCode) { return static_cast<uint16_t>(aCode); }

// A new host string in *aTarget, or null for the empty text. A null address is not written.
void Deliver(const std::u16string& aText, BSTR* aTarget) {
  if (aTarget == nullptr || aText.empty()) return;
  *aTarget = port::NewHostString(aText);
}

// Clears the host's out-variables without freeing what they held: they may hold anything.
void ClearOutputs(BSTR* aFirst, BSTR* aSecond) {
  if (aFirst != nullptr) *aFirst = nullptr;
  if (aSecond != nullptr) *aSecond = nullptr;
}

template <class TWrapper>
vxpa_result RunCommand(BSTR aXml, BSTR* aOutput, BSTR* aErrorMessage) noexcept {
  ClearOutputs(aOutput, aErrorMessage);
  int16_t code = -1;
  try {
    std::u16string request = port::HostStringText(aXml);
    std::u16string output;
    std::u16string errorMessage;
    {
      TWrapper wrapper;
      try {
        wrapper.Process(request);
      } catch (...) {
        // The record keeps its starting values (Error true); it is rendered all the same.
      }
      wrapper.Format(output, errorMessage, code);
    }
    Deliver(output, aOutput);
    Deliver(errorMessage, aErrorMessage);
  } catch (...) {
    // Out of memory while building or delivering the answer: report a failure.
    code = -1;
  }
  return ResultWord(code);
}

}  // namespace

extern "C" {

vxpa_result VXPA_CALL PAY(BSTR aXml, BSTR* aOutput, BSTR* aErrorMessage) {
  return RunCommand<kPaymentWrapper_PAY>(aXml, aOutput, aErrorMessage);
}

vxpa_result VXPA_CALL REPRINT(BSTR aXml, BSTR* aOutput, BSTR* aErrorMessage) {
  return RunCommand<kPaymentWrapper_REPRINT>(aXml, aOutput, aErrorMessage);
}

vxpa_result VXPA_CALL OPEN(BSTR aXml, BSTR* aOutput, BSTR* aErrorMessage) {
  return RunCommand<kPaymentWrapper_OPEN>(aXml, aOutput, aErrorMessage);
}

vxpa_result VXPA_CALL GETSTATUS(BSTR aXml, BSTR* aOutput, BSTR* aErrorMessage) {
  return RunCommand<kPaymentWrapper_GETSTATUS>(aXml, aOutput, aErrorMessage);
}

vxpa_result VXPA_CALL DAYCLOSE(BSTR aXml, BSTR* aOutput, BSTR* aErrorMessage) {
  return RunCommand<kPaymentWrapper_DAYCLOSE>(aXml, aOutput, aErrorMessage);
}

vxpa_result VXPA_CALL GETTOTALS(BSTR aXml, BSTR* aOutput, BSTR* aErrorMessage) {
  return RunCommand<kPaymentWrapper_GETTOTALS>(aXml, aOutput, aErrorMessage);
}

vxpa_result VXPA_CALL CLOSE(BSTR aXml, BSTR* aOutput, BSTR* aErrorMessage) {
  return RunCommand<kPaymentWrapper_CLOSE>(aXml, aOutput, aErrorMessage);
}

vxpa_result VXPA_CALL VERIFYTRAN(BSTR aXml, BSTR* aOutput, BSTR* aErrorMessage) {
  return RunCommand<kPaymentWrapper_VERIFYTRAN>(aXml, aOutput, aErrorMessage);
}

// Always 0; *aVersion stays null for a driver that is not registered.
vxpa_result VXPA_CALL VERSION(BSTR aDriver, BSTR* aVersion, BSTR* aReserved) {
  ClearOutputs(aVersion, aReserved);
  try {
    std::u16string name = port::HostStringText(aDriver);
    if (const kPaymentClass* driver = FindPaymentDriver(name)) Deliver(driver->GetDriverVersion(), aVersion);
  } catch (...) {
    // No version text: *aVersion stays null.
  }
  return ResultWord(0);
}

}  // extern "C"
