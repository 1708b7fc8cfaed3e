// The requests this driver builds, put through the terminal simulator's own strict checks of
// headers and bodies (written independently from the same protocol description). Linux builds
// only: the simulator is a Linux program.
#ifdef VX_WITH_TERMINAL_SIM
#include <gtest/gtest.h>

#include <string>

#include "Validation.h"
#include "base/uVX_DateTime.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Login.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Payment.h"
#include "platform/Utf8.h"

namespace {

const adyen::tAdyenSaleContext kContext{u"SIM-00000001", u"Version 1.10 - 08/01/2024", u"Linux",
                                        u"Linux 6.1 (Build 1, x86_64)", u"till-\u00e9"};

// The terminal's verdict on a plain request: "" when it passes.
std::string Verdict(const std::u16string& aPlain) {
  termsim::Json root = termsim::Json::parse(port::ToUtf8(aPlain));
  const termsim::Json& request = root["SaleToPOIRequest"];
  std::string header = termsim::CheckHeader(request["MessageHeader"], "SIM-00000001");
  if (!header.empty()) return header;
  return termsim::CheckRequestBody(request["MessageHeader"]["MessageCategory"].get<std::string>(), request,
                                   "SIM-00000001");
}

TEST(MessagesAgainstTerminalTest, PaymentsInEveryVariantPass) {
  for (int variant = 0; variant < 8; ++variant) {
    kPaymentReceipt r;
    r.SetStoreCode(u"S1");
    r.SetTillCode(u"T1");
    r.SetReference(u"12345");
    r.SetCurrency(u"EUR");
    r.SetAmount(tVX_Currency::FromUnits(125000));
    r.SetTipAmount(tVX_Currency::FromUnits(variant & 1 ? 20000 : 0));
    r.SetRequestTipAmount((variant & 2) != 0);
    r.SetPrintLocation(variant & 4 ? VxPrintLocation::pl_EFT : VxPrintLocation::pl_ECR);
    r.SetTokenizeCard(variant == 7);
    r.SetTokenReference(u"shopper 7");
    EXPECT_EQ(Verdict(adyen::BuildPaymentRequestMessage(kContext, r, vxdate::NowIso8601())), "") << variant;
  }
}

TEST(MessagesAgainstTerminalTest, ReversalAndLoginPass) {
  kPaymentReceipt r;
  r.SetStoreCode(u"S1");
  r.SetTillCode(u"T1");
  r.SetReference(u"9");
  r.SetCurrency(u"EUR");
  r.SetAmount(tVX_Currency::FromUnits(125000));
  r.SetTipAmount(tVX_Currency::FromUnits(5000));
  r.SetAction(vxPaymentAction::Void);
  r.SetRefundReference({vxdate::Now(), u"POI-1"});
  EXPECT_EQ(Verdict(adyen::BuildReversalRequestMessage(kContext, r, vxdate::NowIso8601())), "");

  adyen::tAdyenHeader header{u"Login", u"S1-T1", u"5140709123", u"SIM-00000001"};
  EXPECT_EQ(Verdict(adyen::BuildLoginRequestMessage(header, vxdate::NowIso8601(), kContext.DriverVersion)), "");
  header.MessageCategory = u"Logout";
  EXPECT_EQ(Verdict(adyen::BuildLogoutRequestMessage(header)), "");
}

}  // namespace
#endif
