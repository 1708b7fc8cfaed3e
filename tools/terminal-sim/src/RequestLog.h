#pragma once
// The requests the terminal received, in order, as tests read them back: decrypted message,
// category, identifiers, what the terminal answered and which scenarios applied.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace termsim {

using Json = nlohmann::ordered_json;

class RequestLog {
 public:
  // aFile: also append each entry as one JSON line to this file ("" for none).
  explicit RequestLog(const std::string& aFile);

  // Numbers the entry ("seq": 1, 2, ...) and keeps it; the oldest entries go past kMaxEntries.
  void Add(Json aEntry);
  // The entries whose seq is greater than aSince, oldest first.
  Json Since(int64_t aSince) const;
  void Clear() { fEntries.clear(); }

  static constexpr size_t kMaxEntries = 10000;

 private:
  std::vector<Json> fEntries;
  int64_t fNextSeq = 1;
  std::ofstream fFile;
};

// Text of a JSON value that may hold bytes that are not UTF-8 (they become U+FFFD).
std::string SafeDump(const Json& aValue, int aIndent = -1);

}  // namespace termsim
