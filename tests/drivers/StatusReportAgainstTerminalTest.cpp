// The status, reconciliation and totals requests put through the terminal simulator's own strict
// checks of headers and bodies. Linux builds only: the simulator is a Linux program.
#ifdef VX_WITH_TERMINAL_SIM
#include <gtest/gtest.h>

#include <string>

#include "Validation.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Reconciliation.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Status.h"
#include "platform/Utf8.h"

namespace {

std::string Verdict(const std::u16string& aPlain) {
  termsim::Json root = termsim::Json::parse(port::ToUtf8(aPlain));
  const termsim::Json& request = root["SaleToPOIRequest"];
  std::string header = termsim::CheckHeader(request["MessageHeader"], "SIM-00000001");
  if (!header.empty()) return header;
  return termsim::CheckRequestBody(request["MessageHeader"]["MessageCategory"].get<std::string>(), request,
                                   "SIM-00000001");
}

TEST(StatusReportAgainstTerminalTest, StatusRequestsWithAndWithoutReferencePass) {
  for (const char16_t* receiptId : {u"", u"LAST", u"5140709123"}) {
    for (vxPaymentAction action : {vxPaymentAction::Pay, vxPaymentAction::Void}) {
      kPaymentReceipt r;
      r.SetStoreCode(u"S1");
      r.SetTillCode(u"T1");
      r.SetReference(u"0123456789");
      r.SetReceiptId(receiptId);
      r.SetAction(action);
      EXPECT_EQ(Verdict(adyen::BuildTransactionStatusRequestMessage(u"SIM-00000001", r)), "")
          << port::ToUtf8(receiptId);
    }
  }
}

TEST(StatusReportAgainstTerminalTest, ReconciliationAndTotalsPass) {
  adyen::tAdyenHeader header{u"Reconciliation", u"S1-T1", u"5140709123", u"SIM-00000001"};
  EXPECT_EQ(Verdict(adyen::BuildReconciliationRequestMessage(header)), "");
  header.MessageCategory = u"GetTotals";
  EXPECT_EQ(Verdict(adyen::BuildGetTotalsRequestMessage(header)), "");
}

}  // namespace
#endif
