#include "platform/SimulatedFiscalPrinter.h"

#include "platform/Error.h"

namespace port {
namespace {

std::u16string Ascii(std::string_view aText) { return std::u16string(aText.begin(), aText.end()); }
std::u16string Text(int64_t aValue) { return Ascii(std::to_string(aValue)); }
std::u16string Text(int32_t aValue) { return Ascii(std::to_string(aValue)); }
std::u16string Text(bool aValue) { return aValue ? u"true" : u"false"; }

// The arguments joined by ",".
template <class... T>
std::u16string Args(const T&... aValues) {
  std::u16string joined;
  auto add = [&joined](const std::u16string& aValue) {
    if (!joined.empty()) joined.push_back(u',');
    joined += aValue;
  };
  (add(aValues), ...);
  return joined;
}

std::u16string S(std::u16string_view aText) { return std::u16string(aText); }

}  // namespace

std::unique_ptr<SimulatedFiscalPrinter> SimulatedFiscalPrinter::Missing(std::u16string aErrorString) {
  auto printer = std::make_unique<SimulatedFiscalPrinter>();
  printer->SetResult("Open", 109);
  printer->Values().errorString = std::move(aErrorString);
  return printer;
}

void SimulatedFiscalPrinter::Fail(std::string_view aName) const {
  auto failure = fFailures.find(std::string(aName));
  if (failure != fFailures.end()) throw tVX_Error(failure->second);
}

int32_t SimulatedFiscalPrinter::Call(std::string_view aMethod, std::u16string_view aArguments) {
  fCalls.push_back(Ascii(aMethod) + u"(" + std::u16string(aArguments) + u")");
  Fail(aMethod);
  auto result = fResults.find(std::string(aMethod));
  return result == fResults.end() ? 0 : result->second;
}

void SimulatedFiscalPrinter::Write(std::string_view aProperty, std::u16string_view aValue) {
  fCalls.push_back(Ascii(aProperty) + u"=" + std::u16string(aValue));
  Fail(aProperty);
}

int32_t SimulatedFiscalPrinter::Open(std::u16string_view aDeviceName) { return Call("Open", aDeviceName); }
int32_t SimulatedFiscalPrinter::ClaimDevice(int32_t aTimeoutMs) { return Call("ClaimDevice", Text(aTimeoutMs)); }
int32_t SimulatedFiscalPrinter::ReleaseDevice() { return Call("ReleaseDevice", u""); }
int32_t SimulatedFiscalPrinter::Close() { return Call("Close", u""); }

bool SimulatedFiscalPrinter::DeviceEnabled() { return Read("DeviceEnabled", fState.deviceEnabled); }

void SimulatedFiscalPrinter::SetDeviceEnabled(bool aValue) {
  Write("DeviceEnabled", Text(aValue));
  fState.deviceEnabled = aValue && !fState.refuseEnable;
}

void SimulatedFiscalPrinter::SetAdditionalTrailer(std::u16string_view aValue) {
  Write("AdditionalTrailer", aValue);
  fState.additionalTrailer = aValue;
}

void SimulatedFiscalPrinter::SetPreLine(std::u16string_view aValue) {
  Write("PreLine", aValue);
  fState.preLine = aValue;
}

void SimulatedFiscalPrinter::SetFiscalReceiptType(int32_t aValue) {
  Write("FiscalReceiptType", Text(aValue));
  fState.fiscalReceiptType = aValue;
}

int32_t SimulatedFiscalPrinter::BeginFiscalReceipt(bool aPrintHeader) {
  return Call("BeginFiscalReceipt", Text(aPrintHeader));
}
int32_t SimulatedFiscalPrinter::EndFiscalReceipt(bool aPrintHeader) {
  return Call("EndFiscalReceipt", Text(aPrintHeader));
}
int32_t SimulatedFiscalPrinter::PrintRecItem(std::u16string_view aDescription, OposCurrency aPrice, int32_t aQuantity,
                                             int32_t aVatInfo, OposCurrency aUnitPrice,
                                             std::u16string_view aUnitName) {
  return Call("PrintRecItem",
              Args(S(aDescription), Text(aPrice), Text(aQuantity), Text(aVatInfo), Text(aUnitPrice), S(aUnitName)));
}
int32_t SimulatedFiscalPrinter::PrintRecItemVoid(std::u16string_view aDescription, OposCurrency aPrice,
                                                 int32_t aQuantity, int32_t aVatInfo, OposCurrency aUnitPrice,
                                                 std::u16string_view aUnitName) {
  return Call("PrintRecItemVoid",
              Args(S(aDescription), Text(aPrice), Text(aQuantity), Text(aVatInfo), Text(aUnitPrice), S(aUnitName)));
}
int32_t SimulatedFiscalPrinter::PrintRecRefund(std::u16string_view aDescription, OposCurrency aAmount,
                                               int32_t aVatInfo) {
  return Call("PrintRecRefund", Args(S(aDescription), Text(aAmount), Text(aVatInfo)));
}
int32_t SimulatedFiscalPrinter::PrintRecItemAdjustment(int32_t aAdjustmentType, std::u16string_view aDescription,
                                                       OposCurrency aAmount, int32_t aVatInfo) {
  return Call("PrintRecItemAdjustment", Args(Text(aAdjustmentType), S(aDescription), Text(aAmount), Text(aVatInfo)));
}
int32_t SimulatedFiscalPrinter::PrintRecSubtotal(OposCurrency aAmount) {
  return Call("PrintRecSubtotal", Text(aAmount));
}
int32_t SimulatedFiscalPrinter::PrintRecSubtotalAdjustment(int32_t aAdjustmentType, std::u16string_view aDescription,
                                                           OposCurrency aAmount) {
  return Call("PrintRecSubtotalAdjustment", Args(Text(aAdjustmentType), S(aDescription), Text(aAmount)));
}
int32_t SimulatedFiscalPrinter::PrintRecTotal(OposCurrency aTotal, OposCurrency aPayment,
                                              std::u16string_view aDescription) {
  return Call("PrintRecTotal", Args(Text(aTotal), Text(aPayment), S(aDescription)));
}
int32_t SimulatedFiscalPrinter::PrintRecNotPaid(std::u16string_view aDescription, OposCurrency aAmount) {
  return Call("PrintRecNotPaid", Args(S(aDescription), Text(aAmount)));
}
int32_t SimulatedFiscalPrinter::PrintRecMessage(std::u16string_view aMessage) {
  return Call("PrintRecMessage", aMessage);
}
int32_t SimulatedFiscalPrinter::PrintRecTaxID(std::u16string_view aTaxId) { return Call("PrintRecTaxID", aTaxId); }
int32_t SimulatedFiscalPrinter::ResetPrinter() { return Call("ResetPrinter", u""); }
int32_t SimulatedFiscalPrinter::BeginNonFiscal() { return Call("BeginNonFiscal", u""); }
int32_t SimulatedFiscalPrinter::PrintNormal(int32_t aStation, std::u16string_view aData) {
  return Call("PrintNormal", Args(Text(aStation), S(aData)));
}
int32_t SimulatedFiscalPrinter::EndNonFiscal() { return Call("EndNonFiscal", u""); }
int32_t SimulatedFiscalPrinter::BeginTraining() { return Call("BeginTraining", u""); }
int32_t SimulatedFiscalPrinter::EndTraining() { return Call("EndTraining", u""); }
int32_t SimulatedFiscalPrinter::PrintXReport() { return Call("PrintXReport", u""); }
int32_t SimulatedFiscalPrinter::PrintZReport() { return Call("PrintZReport", u""); }
int32_t SimulatedFiscalPrinter::SetDate(std::u16string_view aDate) { return Call("SetDate", aDate); }

int32_t SimulatedFiscalPrinter::GetDate(std::u16string& aDate) {
  int32_t code = Call("GetDate", u"");
  aDate = fState.date;
  return code;
}

int32_t SimulatedFiscalPrinter::GetData(int32_t aDataItem, int32_t& aOptArgs, std::u16string& aData) {
  int32_t code = Call("GetData", Args(Text(aDataItem), Text(aOptArgs)));
  aData = fState.data;
  return code;
}

int32_t SimulatedFiscalPrinter::DirectIO(int32_t aCommand, int32_t& aData, std::u16string& aString) {
  int32_t code = Call("DirectIO", Args(Text(aCommand), Text(aData), aString));
  aData = fState.directIoData;
  aString = fState.directIoString;
  return code;
}

}  // namespace port
