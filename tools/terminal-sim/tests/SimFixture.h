#pragma once
// A simulator started in the test process on a free port, and a client for it.
#include "Simulator.h"
#include "TestClient.h"

#include <gtest/gtest.h>

#include <memory>

namespace simtest {

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(termsim::SimOptions{}); }

  void Start(termsim::SimOptions aOptions) {
    fSim.reset();
    fSim = std::make_unique<termsim::Simulator>(std::move(aOptions));
    fSim->Start();
    fClient = std::make_unique<NexoClient>(fSim->BaseUrl(), "terminal-sim secret");
  }

  NexoClient& Client() { return *fClient; }

  // A payment that must be approved; answers its PaymentResponse.
  Json Pay(const std::string& aServiceId, const std::string& aAmount, const std::string& aSaleId = "STORE1-TILL1") {
    const Exchange exchange = Client().Send(PaymentRequest(aSaleId, aServiceId, aAmount));
    EXPECT_EQ(exchange.error, "");
    EXPECT_EQ(exchange.Result("PaymentResponse"), "Success") << exchange.plainText;
    return exchange.Body("PaymentResponse");
  }

  static std::string PoiTransactionId(const Json& aBody) {
    return aBody["POIData"]["POITransactionID"]["TransactionID"].get<std::string>();
  }

  std::unique_ptr<termsim::Simulator> fSim;
  std::unique_ptr<NexoClient> fClient;
};

// The receipt copy with this qualifier rendered as plain lines: headings, "name: value" fields;
// QR codes are skipped. Enough to check what a receipt says.
inline std::vector<std::string> ReceiptLines(const Json& aBody, const std::string& aQualifier) {
  std::vector<std::string> lines;
  if (!aBody.contains("PaymentReceipt")) return lines;
  for (const auto& receipt : aBody["PaymentReceipt"]) {
    if (receipt["DocumentQualifier"] != aQualifier) continue;
    std::string line;
    for (const auto& item : receipt["OutputContent"]["OutputText"]) {
      const std::string text = item["Text"].get<std::string>();
      const std::string key = KeyValue(text, "key");
      if (key != "QRCode") {
        const std::string name = KeyValue(text, "name");
        const std::string value = KeyValue(text, "value");
        if (!name.empty()) line = name;
        if (!value.empty()) line += (line.empty() ? "" : ": ") + value;
      }
      if (item["EndOfLineFlag"].get<bool>()) {
        lines.push_back(line);
        line.clear();
      }
    }
  }
  return lines;
}

inline bool HasLine(const std::vector<std::string>& aLines, const std::string& aLine) {
  for (const auto& line : aLines) {
    if (line == aLine) return true;
  }
  return false;
}

}  // namespace simtest
