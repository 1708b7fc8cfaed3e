#pragma once
// A fiscal printer control without hardware: it records every call and answers the result codes,
// extended code, error string and property values it was given. The tests drive the fiscal
// printer handler with it on both targets; on systems without the OPOS control it is also what
// FiscalPrinterControl::Create answers, set up as a printer that does not exist.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FiscalPrinter.h"

namespace port {

class SimulatedFiscalPrinter final : public FiscalPrinterControl {
 public:
  // Property values the printer reports (and, for the written ones, holds).
  struct State {
    bool coverOpen = false, dayOpened = false, recEmpty = false, recNearEnd = false, trainingModeActive = false;
    int32_t printerState = 0, remainingFiscalMemory = 0;
    int32_t resultCodeExtended = 0;
    std::u16string errorString;
    std::u16string preLine, additionalTrailer;
    int32_t fiscalReceiptType = 0;
    bool deviceEnabled = false;
    bool refuseEnable = false;     // DeviceEnabled stays false when set to true
    std::u16string date;           // answered by GetDate
    std::u16string data;           // answered by GetData
    int32_t directIoData = 0;      // handed back by DirectIO
    std::u16string directIoString;
  };

  // A printer that accepts everything: every method answers 0.
  SimulatedFiscalPrinter() = default;
  // A printer that is not there: Open answers 109 (no such device) with aErrorString.
  static std::unique_ptr<SimulatedFiscalPrinter> Missing(std::u16string aErrorString);

  // From now on the method named aMethod (its UnifiedPOS name) answers aCode.
  void SetResult(std::string_view aMethod, int32_t aCode) { fResults[std::string(aMethod)] = aCode; }
  // From now on the method (or property, by its name) throws tVX_Error(aMessage).
  void SetFailure(std::string_view aMethod, std::u16string aMessage) { fFailures[std::string(aMethod)] = aMessage; }
  void ClearFailure(std::string_view aMethod) { fFailures.erase(std::string(aMethod)); }
  State& Values() { return fState; }
  // Every call and property write in order, as "Name(arg,arg)" or "Name=value"; amounts in
  // ten-thousandths, Booleans as true and false.
  const std::vector<std::u16string>& Calls() const { return fCalls; }

  int32_t Open(std::u16string_view aDeviceName) override;
  int32_t ClaimDevice(int32_t aTimeoutMs) override;
  int32_t ReleaseDevice() override;
  int32_t Close() override;
  bool DeviceEnabled() override;
  void SetDeviceEnabled(bool aValue) override;
  int32_t ResultCodeExtended() override { return fState.resultCodeExtended; }
  std::u16string ErrorString() override { return fState.errorString; }
  bool CoverOpen() override { return Read("CoverOpen", fState.coverOpen); }
  bool DayOpened() override { return Read("DayOpened", fState.dayOpened); }
  bool RecEmpty() override { return Read("RecEmpty", fState.recEmpty); }
  bool RecNearEnd() override { return Read("RecNearEnd", fState.recNearEnd); }
  bool TrainingModeActive() override { return Read("TrainingModeActive", fState.trainingModeActive); }
  int32_t PrinterState() override { return Read("PrinterState", fState.printerState); }
  int32_t RemainingFiscalMemory() override { return Read("RemainingFiscalMemory", fState.remainingFiscalMemory); }
  std::u16string AdditionalTrailer() override { return Read("AdditionalTrailer", fState.additionalTrailer); }
  void SetAdditionalTrailer(std::u16string_view aValue) override;
  void SetPreLine(std::u16string_view aValue) override;
  void SetFiscalReceiptType(int32_t aValue) override;

  int32_t BeginFiscalReceipt(bool aPrintHeader) override;
  int32_t EndFiscalReceipt(bool aPrintHeader) override;
  int32_t PrintRecItem(std::u16string_view aDescription, OposCurrency aPrice, int32_t aQuantity, int32_t aVatInfo,
                       OposCurrency aUnitPrice, std::u16string_view aUnitName) override;
  int32_t PrintRecItemVoid(std::u16string_view aDescription, OposCurrency aPrice, int32_t aQuantity, int32_t aVatInfo,
                           OposCurrency aUnitPrice, std::u16string_view aUnitName) override;
  int32_t PrintRecRefund(std::u16string_view aDescription, OposCurrency aAmount, int32_t aVatInfo) override;
  int32_t PrintRecItemAdjustment(int32_t aAdjustmentType, std::u16string_view aDescription, OposCurrency aAmount,
                                 int32_t aVatInfo) override;
  int32_t PrintRecSubtotal(OposCurrency aAmount) override;
  int32_t PrintRecSubtotalAdjustment(int32_t aAdjustmentType, std::u16string_view aDescription,
                                     OposCurrency aAmount) override;
  int32_t PrintRecTotal(OposCurrency aTotal, OposCurrency aPayment, std::u16string_view aDescription) override;
  int32_t PrintRecNotPaid(std::u16string_view aDescription, OposCurrency aAmount) override;
  int32_t PrintRecMessage(std::u16string_view aMessage) override;
  int32_t PrintRecTaxID(std::u16string_view aTaxId) override;
  int32_t ResetPrinter() override;
  int32_t BeginNonFiscal() override;
  int32_t PrintNormal(int32_t aStation, std::u16string_view aData) override;
  int32_t EndNonFiscal() override;
  int32_t BeginTraining() override;
  int32_t EndTraining() override;
  int32_t PrintXReport() override;
  int32_t PrintZReport() override;
  int32_t SetDate(std::u16string_view aDate) override;
  int32_t GetDate(std::u16string& aDate) override;
  int32_t GetData(int32_t aDataItem, int32_t& aOptArgs, std::u16string& aData) override;
  int32_t DirectIO(int32_t aCommand, int32_t& aData, std::u16string& aString) override;

 private:
  // Records the call, throws when a failure was set for aMethod, answers its result code.
  int32_t Call(std::string_view aMethod, std::u16string_view aArguments);
  void Write(std::string_view aProperty, std::u16string_view aValue);
  template <class T>
  T Read(std::string_view aProperty, const T& aValue) {
    Fail(aProperty);
    return aValue;
  }
  void Fail(std::string_view aName) const;

  State fState;
  std::map<std::string, int32_t> fResults;
  std::map<std::string, std::u16string> fFailures;
  std::vector<std::u16string> fCalls;
};

}  // namespace port
