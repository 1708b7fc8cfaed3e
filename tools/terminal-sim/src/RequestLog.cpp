#include "RequestLog.h"

namespace termsim {

std::string SafeDump(const Json& aValue, int aIndent) {
  return aValue.dump(aIndent, ' ', false, Json::error_handler_t::replace);
}

RequestLog::RequestLog(const std::string& aFile) {
  if (!aFile.empty()) fFile.open(aFile, std::ios::app | std::ios::binary);
}

void RequestLog::Add(Json aEntry) {
  Json entry = {{"seq", fNextSeq++}};
  for (auto& [name, value] : aEntry.items()) entry[name] = std::move(value);
  if (fFile.is_open()) {
    fFile << SafeDump(entry) << '\n';
    fFile.flush();
  }
  fEntries.push_back(std::move(entry));
  if (fEntries.size() > kMaxEntries) fEntries.erase(fEntries.begin());
}

Json RequestLog::Since(int64_t aSince) const {
  Json out = Json::array();
  for (const auto& entry : fEntries) {
    if (entry["seq"].get<int64_t>() > aSince) out.push_back(entry);
  }
  return out;
}

}  // namespace termsim
