#pragma once
// The I/O handler of a fiscal printer driven through the UnifiedPOS fiscal printer control. Each
// fiscal operation writes a log line naming the control call and its arguments, makes the call
// and checks its result code: a failure never throws, it answers false and leaves a readable
// text in the custom error. The text channel (Write, the reads) is not supported.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/uVX_Currency.h"
#include "base/uVX_DateTime.h"
#include "io/uVXIOHandler.h"
#include "platform/FiscalPrinter.h"

class kIOHandler_OPOS : public kIOHandler {
 public:
  // DeviceName := the connection's DeviceName. The control is the system's (created here, on the
  // calling thread) unless one is given.
  kIOHandler_OPOS(const kConnection* aConnection, std::u16string_view aDirectory, std::u16string_view aFileName,
                  std::unique_ptr<port::FiscalPrinterControl> aControl = nullptr);
  // Disconnects when Connected, then frees the control.
  ~kIOHandler_OPOS() override;

  // Whether the last connect sequence ran to its end without the control raising an error,
  // whatever its result.
  bool Connected() override;
  // Opens, claims (for ConnectTimeout ms) and enables the device; true when it ends enabled.
  bool Connect() override;
  // Disables, releases and closes the device.
  bool Disconnect() override;
  void ClearBuffers() override;                      // nothing
  bool Write(std::u16string_view aMessage) override;  // throws "Write Unsupported"
  std::u16string ReadUpTo(const std::vector<uint8_t>& aChars) override;  // throws
  std::u16string ReadChars(int32_t aCharsNum) override;                  // throws
  std::u16string ReadAll() override;                                     // throws
  std::u16string DecodeError(int32_t aErrorCode) override;               // empty
  bool InputBufferContainsData() override;                               // throws
  void SetParameter(std::u16string_view aName, std::u16string_view aValue) override;

  // ---- fiscal receipt ----
  bool BeginFiscalReceipt();
  bool EndFiscalReceipt();
  // Quantities go to the printer in thousandths, truncated.
  bool PrintRecItem(std::u16string_view aCode, std::u16string_view aDescription, tVX_Currency aQuantity,
                    std::u16string_view aUOM, int32_t aVatCode, tVX_Currency aPrice, tVX_Currency aAmount);
  bool PrintRecItemVoid(std::u16string_view aCode, std::u16string_view aDescription, tVX_Currency aQuantity,
                        std::u16string_view aUOM, int32_t aVatCode, tVX_Currency aPrice, tVX_Currency aAmount);
  bool PrintRecRefund(std::u16string_view aCode, std::u16string_view aDescription, tVX_Currency aQuantity,
                      std::u16string_view aUOM, int32_t aVatCode, tVX_Currency aPrice, tVX_Currency aAmount);
  bool PrintRecItemAdjustment(int32_t aAdjType, std::u16string_view aDescription, tVX_Currency aAmount,
                              int32_t aVatCode);
  bool PrintRecSubtotal(tVX_Currency aAmount);
  bool PrintRecSubtotalAdjustment(int32_t aAdjType, std::u16string_view aDescription, tVX_Currency aAmount);
  bool PrintRecTotal(tVX_Currency aTotalAmount, tVX_Currency aPaymentAmount, std::u16string_view aDescription);
  bool PrintRecNotPaid(tVX_Currency aAmount, std::u16string_view aDescription);
  bool PrintRecMessage(std::u16string_view aText);
  bool PrintRecTaxid(std::u16string_view aTaxId);

  // ---- other documents, reports, the printer's clock and data ----
  bool ResetPrinter();
  bool BeginNonFiscal();
  bool PrintNormal(std::u16string_view aText);  // on the receipt station
  bool EndNonFiscal();
  bool BeginTraining();
  bool EndTraining();
  bool PrintXReport();
  bool PrintZReport();
  bool SetDate(tDateTime aDateTime);
  // The printer's date and time (seconds zero); the current local time when the call fails.
  // Throws tVX_Error when the printer answers a text that is no date.
  bool GetDate(tDateTime& aDate);
  bool GetData(int32_t aDataItem, int32_t aOptArgs, std::u16string& aOutput);
  bool DirectIO(int32_t aCommand, int32_t& aData, std::u16string& aString);
  bool SetPreLine(std::u16string_view aDescription);
  // aClear: the trailer becomes aDescription; otherwise aDescription and CR LF are appended.
  bool SetAdditionalTrailerLine(std::u16string_view aDescription, bool aClear);
  bool SetFiscalReceiptType(int32_t aReceiptType);

  // ---- property queries: each answers true and logs the value ----
  bool GetCoverOpen(bool& aResult);
  bool GetDayOpened(bool& aResult);
  bool GetRecEmpty(bool& aResult);
  bool GetRecNearEnd(bool& aResult);
  bool GetTrainingModeActive(bool& aResult);
  bool PrinterState(int32_t& aPrinterState);
  bool RemainingFiscalMemory(int32_t& aRemainingFiscalMemory);

  const std::u16string& DeviceName() const { return fDeviceName; }
  void SetDeviceName(std::u16string_view aValue) { fDeviceName = aValue; }

  // "[code] NAME", with " [extended] NAME" when aExtendedCode is not 0, then " - " and
  // aErrorString; UNKNOWN for codes outside the UnifiedPOS tables.
  static std::u16string FormatOposError(int32_t aResultCode, int32_t aExtendedCode, std::u16string_view aErrorString);

 private:
  // Resets the custom error and records aResultCode; on a non-zero code builds the error text
  // (with the extended code for 114), logs it and sets the custom error. True for 0.
  bool CheckResult(int32_t aResultCode);
  void Info(std::u16string_view aLine);
  // aText in single quotes, inner quotes doubled.
  static std::u16string Quoted(std::u16string_view aText);

  std::unique_ptr<port::FiscalPrinterControl> fOPOS;
  std::u16string fDeviceName;
  bool fConnected = false;
};
