#pragma once
// Scenarios chosen at run time (control endpoint, control file or command line) that make the
// terminal misbehave or answer differently for the next N requests.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace termsim {

using Json = nlohmann::ordered_json;

enum class ScenarioKind : uint8_t {
  Decline,         // the payment (or reversal) is refused
  LoginRefusal,    // the login is refused
  Http401,         // HTTP 401 with an "errors" array, request not processed
  Http500,         // HTTP 500 with an HTML page, request not processed
  TamperBlob,      // one bit of the answer's ciphertext flipped
  WrongHmac,       // the answer's Hmac does not match its text
  CryptoVersion2,  // AdyenCryptoVersion 2 in the answer
  KeyVersion,      // another KeyVersion in the answer
  NoTrailer,       // the answer has no SecurityTrailer
  NonceLength,     // the answer's Nonce decodes to another length than 16 bytes
  Delay,           // the answer is sent after a pause
  Drop,            // the connection is closed without an answer
  InProgress,      // a transaction status is answered "InProgress"
  Receipts,        // only the named receipt copies are sent
  Card,            // the card presented for the payment
  Gratuity,        // the tip the customer adds when asked for one
};

struct Scenario {
  ScenarioKind kind = ScenarioKind::Delay;
  std::string name;
  std::string category;  // applies only to requests of this MessageCategory; empty: to every request
  int remaining = 1;     // requests still to affect
  Json params;           // the control object as given
};

struct ScenarioInfo {
  const char* name;
  ScenarioKind kind;
  const char* defaultCategory;  // "" for any request
  const char* help;
};

// Every scenario with its name, default category and one line of help.
const std::vector<ScenarioInfo>& ScenarioCatalogue();

// The scenarios that apply to one request.
struct AppliedScenarios {
  std::vector<Scenario> list;
  const Scenario* Find(ScenarioKind aKind) const;
  Json Names() const;
};

// The scenarios waiting to be used. Not thread-safe: the simulator guards it.
class ScenarioBook {
 public:
  // Adds one scenario from a control object {"scenario":NAME, "count":N, "category":C, ...}.
  // Throws std::invalid_argument naming what is wrong.
  void Add(const Json& aControl);
  // The scenarios that apply to a request of aCategory ("" when the category is unknown: only
  // those without a category match); each one's count goes down by one, and a used-up one leaves.
  AppliedScenarios Take(const std::string& aCategory);
  Json Describe() const;
  void Clear() { fPending.clear(); }

 private:
  std::vector<Scenario> fPending;
};

// The seven message categories the terminal serves.
bool IsKnownCategory(const std::string& aCategory);

}  // namespace termsim
