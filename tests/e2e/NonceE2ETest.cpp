// The nonce of the message security as the terminal sees it: one device sends the same 16-byte
// nonce with every request, and a device opened later draws a new one.
#include <gtest/gtest.h>

#include "E2EFixture.h"

namespace vxtest {
namespace {

std::string NonceOf(const Json& aEntry) {
  const nlohmann::ordered_json body = nlohmann::ordered_json::parse(aEntry["body"].get<std::string>());
  const nlohmann::ordered_json& trailer = body["SaleToPOIRequest"]["SecurityTrailer"];
  // The trailer's members in their order, numbers as numbers.
  std::vector<std::string> names;
  for (const auto& [name, value] : trailer.items()) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"KeyVersion", "KeyIdentifier", "Hmac", "Nonce", "AdyenCryptoVersion"}));
  EXPECT_TRUE(trailer["KeyVersion"].is_number());
  EXPECT_TRUE(trailer["AdyenCryptoVersion"].is_number());
  EXPECT_EQ(trailer["Hmac"].get<std::string>().size(), 44u);
  return trailer["Nonce"].get<std::string>();
}

class NonceE2ETest : public E2ETest {};

TEST_F(NonceE2ETest, OneNoncePerDeviceAndANewOneForTheNextDevice) {
  std::vector<std::string> first;
  {
    Till till(fSim, Settings(u"_a"));
    ASSERT_EQ(till.Open().Code(), 0);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(till.Sale(u"1.00").Code(), 0);
  }
  {
    Till till(fSim, Settings(u"_b"));
    ASSERT_EQ(till.Open().Code(), 0);
    ASSERT_EQ(till.Sale(u"1.00").Code(), 0);
  }
  const std::vector<Json> requests = Requests();
  ASSERT_EQ(requests.size(), 4u);
  std::vector<std::string> nonces;
  for (const Json& entry : requests) {
    EXPECT_EQ(entry["refusal"], "");  // the terminal accepted every request's security
    nonces.push_back(NonceOf(entry));
  }
  EXPECT_EQ(nonces[0].size(), 24u);
  EXPECT_TRUE(nonces[0].ends_with("=="));
  EXPECT_EQ(nonces[1], nonces[0]);
  EXPECT_EQ(nonces[2], nonces[0]);
  EXPECT_NE(nonces[3], nonces[0]);
  // The same plain request never encrypts the same way on two devices.
  EXPECT_NE(Json::parse(requests[3]["body"].get<std::string>())["SaleToPOIRequest"]["NexoBlob"],
            Json::parse(requests[0]["body"].get<std::string>())["SaleToPOIRequest"]["NexoBlob"]);
}

}  // namespace
}  // namespace vxtest
