#pragma once
// The fiscal printer control of the UnifiedPOS standard (control version 1.11): the methods and
// properties that the fiscal printer handler uses, under their UnifiedPOS names. Every method
// answers the control's result code, 0 meaning success; the control's own failures (a broken
// COM call) throw tVX_Error. A control is used on the thread that created it.
//
// Windows: the OPOS Fiscal Printer control through COM, by its programmatic id
// "OPOS.FiscalPrinter". Elsewhere there is no such control: Create answers a simulated one
// with no device behind it (see SimulatedFiscalPrinter.h).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace port {

// Amounts are the platform currency: the value times 10000 as a signed 64-bit integer.
using OposCurrency = int64_t;

class FiscalPrinterControl {
 public:
  // The system's control, created on the calling thread. Throws tVX_Error with the system's
  // text when the control is not installed.
  static std::unique_ptr<FiscalPrinterControl> Create();

  virtual ~FiscalPrinterControl() = default;
  FiscalPrinterControl(const FiscalPrinterControl&) = delete;
  FiscalPrinterControl& operator=(const FiscalPrinterControl&) = delete;

  // ---- device life ----
  virtual int32_t Open(std::u16string_view aDeviceName) = 0;
  virtual int32_t ClaimDevice(int32_t aTimeoutMs) = 0;
  virtual int32_t ReleaseDevice() = 0;
  virtual int32_t Close() = 0;
  virtual bool DeviceEnabled() = 0;
  virtual void SetDeviceEnabled(bool aValue) = 0;

  // ---- results and state ----
  virtual int32_t ResultCodeExtended() = 0;
  virtual std::u16string ErrorString() = 0;
  virtual bool CoverOpen() = 0;
  virtual bool DayOpened() = 0;
  virtual bool RecEmpty() = 0;
  virtual bool RecNearEnd() = 0;
  virtual bool TrainingModeActive() = 0;
  virtual int32_t PrinterState() = 0;
  virtual int32_t RemainingFiscalMemory() = 0;
  virtual std::u16string AdditionalTrailer() = 0;
  virtual void SetAdditionalTrailer(std::u16string_view aValue) = 0;
  virtual void SetPreLine(std::u16string_view aValue) = 0;
  virtual void SetFiscalReceiptType(int32_t aValue) = 0;

  // ---- fiscal receipt ----
  virtual int32_t BeginFiscalReceipt(bool aPrintHeader) = 0;
  virtual int32_t EndFiscalReceipt(bool aPrintHeader) = 0;
  virtual int32_t PrintRecItem(std::u16string_view aDescription, OposCurrency aPrice, int32_t aQuantity,
                               int32_t aVatInfo, OposCurrency aUnitPrice, std::u16string_view aUnitName) = 0;
  virtual int32_t PrintRecItemVoid(std::u16string_view aDescription, OposCurrency aPrice, int32_t aQuantity,
                                   int32_t aVatInfo, OposCurrency aUnitPrice, std::u16string_view aUnitName) = 0;
  virtual int32_t PrintRecRefund(std::u16string_view aDescription, OposCurrency aAmount, int32_t aVatInfo) = 0;
  virtual int32_t PrintRecItemAdjustment(int32_t aAdjustmentType, std::u16string_view aDescription,
                                         OposCurrency aAmount, int32_t aVatInfo) = 0;
  virtual int32_t PrintRecSubtotal(OposCurrency aAmount) = 0;
  virtual int32_t PrintRecSubtotalAdjustment(int32_t aAdjustmentType, std::u16string_view aDescription,
                                             OposCurrency aAmount) = 0;
  virtual int32_t PrintRecTotal(OposCurrency aTotal, OposCurrency aPayment, std::u16string_view aDescription) = 0;
  virtual int32_t PrintRecNotPaid(std::u16string_view aDescription, OposCurrency aAmount) = 0;
  virtual int32_t PrintRecMessage(std::u16string_view aMessage) = 0;
  virtual int32_t PrintRecTaxID(std::u16string_view aTaxId) = 0;

  // ---- other documents and the printer ----
  virtual int32_t ResetPrinter() = 0;
  virtual int32_t BeginNonFiscal() = 0;
  virtual int32_t PrintNormal(int32_t aStation, std::u16string_view aData) = 0;
  virtual int32_t EndNonFiscal() = 0;
  virtual int32_t BeginTraining() = 0;
  virtual int32_t EndTraining() = 0;
  virtual int32_t PrintXReport() = 0;
  virtual int32_t PrintZReport() = 0;
  // The printer's clock as "ddmmyyyyhhnn".
  virtual int32_t SetDate(std::u16string_view aDate) = 0;
  virtual int32_t GetDate(std::u16string& aDate) = 0;
  virtual int32_t GetData(int32_t aDataItem, int32_t& aOptArgs, std::u16string& aData) = 0;
  virtual int32_t DirectIO(int32_t aCommand, int32_t& aData, std::u16string& aString) = 0;

 protected:
  FiscalPrinterControl() = default;
};

}  // namespace port
