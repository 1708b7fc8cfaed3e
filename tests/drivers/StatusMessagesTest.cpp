// Transaction status: the request with and without a reference to the earlier transaction, and
// the reader of the terminal's repetition of that transaction's answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "drivers/adyen/uVXPA_ADYEN_10_Status.h"

using namespace adyen;

namespace {

using Outcome = vxAdyenStatusOutcome;

const char16_t kHeader[] =
    uR"({"ProtocolVersion":"3.0","MessageClass":"Service","MessageCategory":"TransactionStatus","MessageType":"Request",)"
    uR"("SaleID":"S1-T1","ServiceID":"5140709123","POIID":"P-1"})";

std::u16string StatusRequest(std::u16string_view aReceiptId, vxPaymentAction aAction) {
  kPaymentReceipt request;
  request.SetStoreCode(u"S1");
  request.SetTillCode(u"T1");
  request.SetReference(u"5140709123");
  request.SetReceiptId(aReceiptId);
  request.SetAction(aAction);
  return BuildTransactionStatusRequestMessage(u"P-1", request);
}

TEST(StatusRequest, LastTransactionWithoutReference) {
  const std::u16string expected = u"{\"SaleToPOIRequest\":{\"MessageHeader\":" + std::u16string(kHeader) +
                                  uR"(,"TransactionStatusRequest":{"ReceiptReprintFlag":true,)"
                                  uR"("DocumentQualifier":["CashierReceipt","CustomerReceipt"]}}})";
  EXPECT_EQ(StatusRequest(u"", vxPaymentAction::Pay), expected);
  EXPECT_EQ(StatusRequest(u"LAST", vxPaymentAction::Void), expected);
}

TEST(StatusRequest, NamedTransactionByItsServiceIdAndCategory) {
  const std::u16string prefix = u"{\"SaleToPOIRequest\":{\"MessageHeader\":" + std::u16string(kHeader) +
                                uR"(,"TransactionStatusRequest":{"ReceiptReprintFlag":true,)"
                                uR"("DocumentQualifier":["CashierReceipt","CustomerReceipt"],)";
  EXPECT_EQ(StatusRequest(u"5140709123", vxPaymentAction::Void),
            prefix + uR"("MessageReference":{"SaleID":"S1-T1","ServiceID":"5140709123","MessageCategory":"Reversal"}}}})");
  EXPECT_EQ(StatusRequest(u"0000000001", vxPaymentAction::Refund),
            prefix + uR"("MessageReference":{"SaleID":"S1-T1","ServiceID":"0000000001","MessageCategory":"Reversal"}}}})");
  // The id is sent whole, however long; only the exact word LAST means the last transaction.
  EXPECT_EQ(StatusRequest(u"123456789012", vxPaymentAction::Pay),
            prefix + uR"("MessageReference":{"SaleID":"S1-T1","ServiceID":"123456789012","MessageCategory":"Payment"}}}})");
  EXPECT_EQ(StatusRequest(u"last", vxPaymentAction::Pay),
            prefix + uR"("MessageReference":{"SaleID":"S1-T1","ServiceID":"last","MessageCategory":"Payment"}}}})");
}

// A status answer around aBody, its header naming terminal "P-STATUS".
std::u16string Answer(std::u16string_view aBody) {
  return uR"({"SaleToPOIResponse":{"MessageHeader":{"MessageCategory":"TransactionStatus","POIID":"P-STATUS"},)"
         uR"("TransactionStatusResponse":)" +
         std::u16string(aBody) + u"}}";
}

// A successful status answer repeating aRepeated (e.g. "PaymentResponse":{...}).
std::u16string Repeating(std::u16string_view aRepeated) {
  return Answer(uR"({"Response":{"Result":"Success"},"RepeatedMessageResponse":{)"
                uR"("MessageHeader":{"MessageCategory":"Payment","POIID":"P-REPEATED"},)"
                uR"("RepeatedResponseMessageBody":{)" +
                std::u16string(aRepeated) + u"}}}");
}

const char16_t kCashierOnlyPayment[] = uR"("PaymentResponse":{"Response":{"Result":"Success"},
  "POIData":{"POITransactionID":{"TransactionID":"POI-1","TimeStamp":"2024-03-15T13:07:09.123Z"}},
  "PaymentResult":{"AmountsResp":{"AuthorizedAmount":12.5,"Currency":"EUR","TipAmount":1}},
  "PaymentReceipt":[{"DocumentQualifier":"CashierReceipt",
    "OutputContent":{"OutputText":[{"Text":"key=header1&name=SHOP","EndOfLineFlag":true},
                                   {"Text":"key=total&name=Total&value=12.50","EndOfLineFlag":true}]}}]})";

TEST(StatusResponse, RepeatedPaymentIsReadAsAPaymentWithItsReceipts) {
  kPaymentReceipt request;
  request.SetAction(vxPaymentAction::Refund);
  request.SetReceiptColCount(20);
  _int_PAY_result r;
  r.ErrorText = u"InProgress";  // left by an earlier attempt; success does not clear it
  EXPECT_EQ(ReadTransactionStatusResponse(Repeating(kCashierOnlyPayment), request, r), Outcome::so_Success);
  EXPECT_EQ(request.Action(), vxPaymentAction::Pay);
  EXPECT_EQ(r.DeviceId, u"P-REPEATED");
  EXPECT_EQ(r.TraceAuditId, u"POI-1");
  EXPECT_EQ(r.PaymentAmount, tVX_Currency::FromUnits(125000));
  EXPECT_EQ(r.PaymentCurrency, u"EUR");
  EXPECT_EQ(r.TippedAmount, tVX_Currency::FromUnits(10000));
  EXPECT_EQ(r.ReceiptText, u"");
  EXPECT_EQ(r.CashierReceiptText, u"        SHOP\r\nTotal          12.50\r\n\r\n");
  EXPECT_EQ(r.ErrorText, u"InProgress");
}

TEST(StatusResponse, RepeatedReversalTurnsTheActionIntoRefund) {
  kPaymentReceipt request;
  request.SetCurrency(u"CHF");
  _int_PAY_result r;
  EXPECT_EQ(ReadTransactionStatusResponse(
                Repeating(uR"("ReversalResponse":{"Response":{"Result":"Success"},"ReversedAmount":7.25,)"
                          uR"("POIData":{"POITransactionID":{"TransactionID":"POI-2"}}})"),
                request, r),
            Outcome::so_Success);
  EXPECT_EQ(request.Action(), vxPaymentAction::Refund);
  EXPECT_EQ(r.PaymentAmount, tVX_Currency::FromUnits(72500));
  EXPECT_EQ(r.PaymentCurrency, u"CHF");
  EXPECT_EQ(r.TippedAmount, tVX_Currency());
  EXPECT_EQ(r.RefundReference, u"POI-2");
}

TEST(StatusResponse, RepeatedDeclineIsAFailureExplainedByTheDecline) {
  kPaymentReceipt request;
  _int_PAY_result r;
  EXPECT_EQ(ReadTransactionStatusResponse(
                Repeating(uR"("PaymentResponse":{"Response":{"Result":"Failure","ErrorCondition":"Refusal",)"
                          uR"("AdditionalResponse":"refusalReason=Not+enough+balance"}})"),
                request, r),
            Outcome::so_Failure);
  EXPECT_EQ(r.ErrorText, u"Refusal - Not enough balance");
}

TEST(StatusResponse, NotFoundInProgressAndEmptyRepetitions) {
  kPaymentReceipt request;
  request.SetAction(vxPaymentAction::Void);
  _int_PAY_result r;
  EXPECT_EQ(ReadTransactionStatusResponse(
                Answer(uR"({"Response":{"Result":"Failure","ErrorCondition":"NotFound",)"
                       uR"("AdditionalResponse":"message=Transaction+not+found&errors=E1&refusalReason=R%26D"}})"),
                request, r),
            Outcome::so_Failure);
  EXPECT_EQ(r.ErrorText, u"NotFound - Transaction not found - E1 - R&D");
  EXPECT_EQ(r.DeviceId, u"P-STATUS");

  EXPECT_EQ(ReadTransactionStatusResponse(
                Answer(uR"({"Response":{"Result":"Failure","ErrorCondition":"InProgress",)"
                       uR"("AdditionalResponse":"message=Transaction+in+progress"}})"),
                request, r),
            Outcome::so_InProgress);
  EXPECT_EQ(r.ErrorText, u"InProgress");

  // Only "Success" exactly is a success; an answer repeating nothing readable fails without a text.
  EXPECT_EQ(ReadTransactionStatusResponse(Answer(uR"({"Response":{"Result":"success"}})"), request, r),
            Outcome::so_Failure);
  EXPECT_EQ(ReadTransactionStatusResponse(Repeating(uR"("LoginResponse":{})"), request, r), Outcome::so_Failure);
  EXPECT_EQ(r.ErrorText, u"");
  EXPECT_EQ(request.Action(), vxPaymentAction::Void);
  EXPECT_EQ(ReadTransactionStatusResponse(u"not json", request, r), Outcome::so_Failure);
  EXPECT_EQ(r.DeviceId, u"");
}

}  // namespace

namespace {

using Clock = std::chrono::steady_clock;

// An attempt that answers the given outcomes in turn and notes when it was made.
struct ScriptedAttempts {
  std::vector<Outcome> script;
  std::vector<Clock::time_point> times;
  Outcome operator()() {
    times.push_back(Clock::now());
    return script[std::min(times.size(), script.size()) - 1];
  }
};

int64_t MsBetween(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count();
}

TEST(StatusRepeat, InProgressIsAskedAgainAfterAPause) {
  ScriptedAttempts attempts{{Outcome::so_InProgress, Outcome::so_InProgress, Outcome::so_Success}, {}};
  int32_t made = 0;
  EXPECT_EQ(RepeatWhileInProgress(std::ref(attempts), kInProgressMaxAttempts, &made), Outcome::so_Success);
  EXPECT_EQ(made, 3);
  ASSERT_EQ(attempts.times.size(), 3u);
  EXPECT_GE(MsBetween(attempts.times[0], attempts.times[1]), kInProgressPauseMs - 50);
  EXPECT_GE(MsBetween(attempts.times[1], attempts.times[2]), kInProgressPauseMs - 50);
}

TEST(StatusRepeat, AnyOtherOutcomeEndsAtOnce) {
  for (Outcome first : {Outcome::so_Success, Outcome::so_Failure}) {
    ScriptedAttempts attempts{{first, Outcome::so_Success}, {}};
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(RepeatWhileInProgress(std::ref(attempts)), first);
    EXPECT_EQ(attempts.times.size(), 1u);
    EXPECT_LT(MsBetween(start, Clock::now()), kInProgressPauseMs / 2);
  }
  ScriptedAttempts failing{{Outcome::so_InProgress, Outcome::so_Failure, Outcome::so_Success}, {}};
  EXPECT_EQ(RepeatWhileInProgress(std::ref(failing)), Outcome::so_Failure);
  EXPECT_EQ(failing.times.size(), 2u);
}

TEST(StatusRepeat, AStillBusyTerminalIsLeftAfterTheBound) {
  ScriptedAttempts attempts{{Outcome::so_InProgress}, {}};
  int32_t made = 0;
  EXPECT_EQ(RepeatWhileInProgress(std::ref(attempts), 3, &made), Outcome::so_InProgress);
  EXPECT_EQ(made, 3);
  EXPECT_EQ(attempts.times.size(), 3u);
  EXPECT_GE(MsBetween(attempts.times[0], attempts.times[2]), 2 * kInProgressPauseMs - 100);
}

}  // namespace
