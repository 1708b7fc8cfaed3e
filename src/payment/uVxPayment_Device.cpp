#include "payment/uVxPayment_Device.h"

#include "base/uVX_Base.h"
#include "base/uVX_DateTime.h"
#include "io/uVXIOHandler.h"
#include "payment/uVxPayment_Handler.h"
#include "platform/FileSystem.h"

namespace {

// Section lines that open a command's part of the device log.
constexpr std::u16string_view kPayLine = u"------------------------------------------------------------ Pay";
constexpr std::u16string_view kVerifyTranLine =
    u"------------------------------------------------------------ VerifyTran";
constexpr std::u16string_view kDayCloseLine = u"------------------------------------------------------- DayClose";
constexpr std::u16string_view kGetTotalsLine = u"------------------------------------------------------- GetTotals";

// Steps shared by payments and verifications: section line, log file name, time stamp and the
// classification that stands when the driver reports none.
void BeginPayment(kIOHandler& aIOHandler, std::u16string_view aLine, _int_PAY_result& aResult) {
  aIOHandler.Debug(tVX_MessageType::let_info, aLine);
  aResult.LogFileName = aIOHandler.GetLogFileName();
  aResult.PaymentDateTime = vxdate::Now();
  aResult.TransactionType = vxPaymentTransactionType::ptt_Other;
  aResult.PaymentNetwork = vxPaymentNetwork::Other;
}

// A message that the driver left in the I/O handler explains the outcome; the Error flag stays
// the driver's to set.
template <class TResult>
void CopyIOError(const kIOHandler& aIOHandler, TResult& aResult) {
  if (aIOHandler.ErrorFound()) aResult.ErrorText = aIOHandler.ErrorMessage();
}

}  // namespace

kPaymentDevice::kPaymentDevice(const kPaymentHandler& aHandler)
    : fIOHandler(aHandler.CreateIOHandler(GetLogDirectory())) {
  fIOHandler->SetVersion(GetDriverVersion());
}

kPaymentDevice::~kPaymentDevice() = default;

std::u16string kPaymentDevice::GetLogDirectory() {
  return port::JoinPath(GetApplicationFolder(), std::u16string(u"LogFiles") + port::PathSeparator() + u"Payment");
}

std::u16string kPaymentDevice::GetDriverVersion() {
  const auto& info = TheApplication->Info();
  return u"Version " + info.Version() + u" - " + FormatShortDate(info.ReleaseDate());
}

void kPaymentDevice::Pub_Pay(kPaymentHandler& aHandler, _int_PAY_result& aResult) {
  BeginPayment(*fIOHandler, kPayLine, aResult);
  kPaymentReceipt& receipt = aHandler.PaymentReceipt();
  switch (receipt.Action()) {
    case vxPaymentAction::Refund: DoRefund(receipt, aResult); break;
    case vxPaymentAction::Void: DoVoid(receipt, aResult); break;
    default: DoPay(receipt, aResult); break;
  }
  CopyIOError(*fIOHandler, aResult);
}

void kPaymentDevice::Pub_VerifyTran(kPaymentHandler& aHandler, _int_PAY_result& aResult) {
  BeginPayment(*fIOHandler, kVerifyTranLine, aResult);
  DoVerifyTran(aHandler.PaymentReceipt(), aResult);
  CopyIOError(*fIOHandler, aResult);
}

// A reprint writes no section line and reports no log file name.
void kPaymentDevice::Pub_Reprint(kPaymentHandler& aHandler, _int_REPRINT_result& aResult) {
  DoReprint(aHandler.PaymentReceipt(), aResult);
  CopyIOError(*fIOHandler, aResult);
}

void kPaymentDevice::Pub_DayClose(kPaymentHandler& aHandler, _int_DAYCLOSE_result& aResult) {
  fIOHandler->Debug(tVX_MessageType::let_info, kDayCloseLine);
  aResult.LogFileName = fIOHandler->GetLogFileName();
  aResult.ClosureDateTime = vxdate::Now();
  DoDayClose(aHandler.DayClose(), aResult);
  CopyIOError(*fIOHandler, aResult);
}

void kPaymentDevice::Pub_GetTotals(kPaymentHandler& aHandler, _int_GETTOTALS_result& aResult) {
  fIOHandler->Debug(tVX_MessageType::let_info, kGetTotalsLine);
  aResult.LogFileName = fIOHandler->GetLogFileName();
  aResult.DateTime = vxdate::Now();
  DoGetTotals(aHandler.Totals(), aResult);
  CopyIOError(*fIOHandler, aResult);
}
