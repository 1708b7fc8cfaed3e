#pragma once
// Transaction status messages: the request that asks the terminal for the outcome of the last or
// of a named payment or reversal, with its receipt copies, and the reader that turns the
// terminal's repetition of that earlier answer into a payment result.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "drivers/adyen/uVXPA_ADYEN_10_Envelope.h"
#include "payment/uVxPayment_Request.h"
#include "payment/uVxPayment_Results.h"

namespace adyen {

// The ErrorCondition of a transaction that is still running: ask again.
inline constexpr char16_t kInProgressCondition[] = u"InProgress";

// A transaction status request (category "TransactionStatus", body TransactionStatusRequest:
// ReceiptReprintFlag true, DocumentQualifier ["CashierReceipt","CustomerReceipt"], and a
// MessageReference naming the earlier transaction when the request's ReceiptId is neither empty
// nor "LAST"). The request's sale reference must already be the one to send (1 to 10 characters):
// it is the ServiceID.
std::u16string BuildTransactionStatusRequestMessage(std::u16string_view aPOIID, const kPaymentReceipt& aReceipt);

// How a status answer ended.
enum class vxAdyenStatusOutcome : uint8_t {
  so_Success,     // the earlier transaction was found, repeated and read as approved
  so_Failure,     // not found, refused, or the repeated transaction itself failed
  so_InProgress,  // the earlier transaction is still running; ErrorText holds "InProgress"
};

// Reads a transaction status answer into aResult: DeviceId from the header; on success the
// repeated payment (or reversal) response is read as a payment answer, after the request's action
// has been set to Pay (or Refund) to match it; on failure ErrorText is the standard error text with
// "message", "errors" and "refusalReason", or just "InProgress". A successful answer that repeats
// neither a payment nor a reversal is a failure with an empty ErrorText.
vxAdyenStatusOutcome ReadTransactionStatusResponse(std::u16string_view aPlainResponse, kPaymentReceipt& aReceipt,
                                                  _int_PAY_result& aResult);

// A terminal that answers "InProgress" is asked again, one request after the other, with a pause
// between attempts so that a busy terminal is not flooded, and not more often than the bound:
// about three minutes of attempts, the time one exchange may wait for its answer.
inline constexpr int32_t kInProgressPauseMs = 1000;
inline constexpr int32_t kInProgressMaxAttempts = 180;

// Runs aAttempt, and again after a pause of kInProgressPauseMs while it answers InProgress, at
// most aMaxAttempts times in all. Answers the last attempt's outcome (InProgress when the bound
// was reached) and, through aAttempts, how many attempts were made.
vxAdyenStatusOutcome RepeatWhileInProgress(const std::function<vxAdyenStatusOutcome()>& aAttempt,
                                          int32_t aMaxAttempts = kInProgressMaxAttempts,
                                          int32_t* aAttempts = nullptr);

}  // namespace adyen
