// Answers that fail the message security, one per check, through the exports: each ends the
// payment with Error true and the check's message, and the device goes on with the next payment.
#include <gtest/gtest.h>

#include "E2EFixture.h"

namespace vxtest {
namespace {

class SecurityE2ETest : public E2ETest {};

TEST_F(SecurityE2ETest, EachRefusedAnswerEndsThePaymentWithItsMessage) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  struct Case {
    const char* scenario;
    const char* errorText;
  } cases[] = {
      {"tamper-blob", "HMAC is different from what expected"},
      {"wrong-hmac", "HMAC is different from what expected"},
      {"crypto-version-2", "AdyenCryptoVersion has to be 1"},
      {"key-version", "Key Version 2 different from setup"},
      {"no-trailer", "Value 'SecurityTrailer' not found"},
      {"nonce-length", "Nonce has to be 16 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scenario);
    fSim.Arrange({{"scenario", c.scenario}});
    const ResultDoc refused = till.Sale(u"7.00");
    EXPECT_EQ(refused.Code(), -1);
    EXPECT_EQ(refused.Text("Error"), "True");
    EXPECT_EQ(refused.Text("ErrorText"), c.errorText);
    // Nothing of an answer that failed its checks reaches the host.
    EXPECT_EQ(refused.Text("DeviceId"), "");
    EXPECT_EQ(refused.Text("TraceAuditId"), "");
    EXPECT_EQ(refused.Text("LogFileName"), "");
    EXPECT_EQ(LastRequest()["scenarios"], Json::array({c.scenario}));

    const ResultDoc next = till.Sale(u"7.00");
    EXPECT_EQ(next.Code(), 0) << Narrow(next.Document());
  }
}

}  // namespace
}  // namespace vxtest
