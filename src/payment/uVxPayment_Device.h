#pragma once
// kPaymentDevice: the abstract payment device, the one face of a driver that the command wrappers
// see. It owns the device's I/O handler (its channel, its log and its error holder), does the
// common work of each command (section line in the log, log file name, time stamp, default
// classification, choice of operation by the request's action, copy of a transport error into
// the result) and leaves the terminal dialogue to the driver's eight operations.
#include <cstdint>
#include <memory>
#include <string>

#include "payment/uVxPayment_Results.h"

class kIOHandler;
class kPaymentHandler;
class kPaymentReceipt;
class kPaymentDayClose;
class kPaymentTotals;

class kPaymentDevice {
 public:
  // Builds the I/O handler from the request's connection, logging beneath the host program's
  // folder in LogFiles/Payment, and gives it the driver version. A driver's constructor runs
  // this first and then reads its own settings; any failure propagates (nothing is registered).
  explicit kPaymentDevice(const kPaymentHandler& aHandler);
  virtual ~kPaymentDevice();
  kPaymentDevice(const kPaymentDevice&) = delete;
  kPaymentDevice& operator=(const kPaymentDevice&) = delete;

  // The handle in the device registry: 0 after construction, set by the registry.
  int32_t Handle() const { return fHandle; }
  void SetHandle(int32_t aHandle) { fHandle = aHandle; }
  kIOHandler& IOHandler() const { return *fIOHandler; }

  // One operation per command. Each fills aResult, which the caller provides with every field
  // empty, zero or false. A driver's failure propagates unchanged; an error left in the I/O
  // handler after the driver's operation is copied into aResult.ErrorText (the Error flag stays
  // the driver's to set). The request objects are the command's own and the driver may write
  // into them (the sale reference it chose, the action a status answer reports).
  void Pub_Pay(kPaymentHandler& aHandler, _int_PAY_result& aResult);
  void Pub_VerifyTran(kPaymentHandler& aHandler, _int_PAY_result& aResult);
  void Pub_Reprint(kPaymentHandler& aHandler, _int_REPRINT_result& aResult);
  void Pub_DayClose(kPaymentHandler& aHandler, _int_DAYCLOSE_result& aResult);
  void Pub_GetTotals(kPaymentHandler& aHandler, _int_GETTOTALS_result& aResult);

  // "Version " + module version + " - " + release date in the locale's short date format.
  // Class-level: the VERSION export asks the registered class, without a device.
  static std::u16string GetDriverVersion();
  // The folder of every device log: LogFiles/Payment beneath the host program's folder.
  static std::u16string GetLogDirectory();

 protected:
  // The driver's operations, in this slot order. Each fills the result it is given and answers
  // true when the command succeeded (the base ignores the answer: aResult.Error carries it). A
  // driver may change the request (a reference it replaces is then carried by the request).
  virtual bool DoPay(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) = 0;
  virtual bool DoRefund(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) = 0;
  virtual bool DoVoid(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) = 0;
  virtual bool DoReprint(kPaymentReceipt& aReceipt, _int_REPRINT_result& aResult) = 0;
  virtual bool DoDayClose(kPaymentDayClose& aDayClose, _int_DAYCLOSE_result& aResult) = 0;
  virtual bool DoGetTotals(kPaymentTotals& aTotals, _int_GETTOTALS_result& aResult) = 0;
  // Nothing calls it; a driver may answer false.
  virtual bool Reserved() = 0;
  virtual bool DoVerifyTran(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) = 0;

  int32_t fHandle = 0;
  std::unique_ptr<kIOHandler> fIOHandler;  // never null after construction
};
