#pragma once
// The terminal simulators that the test fixture started (cmake/terminal-sim-fixture.sh), seen
// from a test program: their ports, the scenarios a test arranges for its next requests (through
// the control file, so that a test under wine needs no HTTP client of its own) and the requests
// they received (from their request logs).
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace vxtest {

using Json = nlohmann::json;

enum class SimScheme { Http, Https };

class SimTerminal {
 public:
  // The simulator's settings (its defaults), as a device must be configured to reach it.
  static constexpr char16_t kPOIID[] = u"SIM-00000001";
  static constexpr char16_t kKeyIdentifier[] = u"SimKey";
  static constexpr char16_t kKeyVersion[] = u"1";
  static constexpr char16_t kSecret[] = u"terminal-sim secret";

  // Throws std::runtime_error, saying how to start it, when the fixture's simulator is not running.
  explicit SimTerminal(SimScheme aScheme = SimScheme::Http);

  uint16_t Port() const { return fPort; }
  // "http://127.0.0.1:PORT" (or https)
  std::u16string Url() const;

  // The scenarios (a control object or an array of them) for the next requests. Scenarios left
  // pending by an earlier test are dropped first; Arrange(Json::array()) only drops them.
  void Arrange(const Json& aScenarios) const;

  // The sequence number of the last request logged so far (0 when none).
  int64_t LastSeq() const;
  // The requests logged after aSeq, oldest first: seq, category, saleId, serviceId, request
  // (decrypted), plainText, answer (plain), httpStatus, refusal, scenarios, body (as received).
  std::vector<Json> RequestsSince(int64_t aSeq) const;

 private:
  std::string fDir;     // the fixture's folder
  std::string fScheme;  // "http" or "https"
  uint16_t fPort = 0;
};

}  // namespace vxtest
