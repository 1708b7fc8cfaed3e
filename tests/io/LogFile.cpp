#include "LogFile.h"

#include "platform/Utf8.h"
#include "support/TempDir.h"

namespace vxtest {

namespace {

// "2024-01-08 06:45:56:123" followed by " - " or " - ERROR - ".
bool StartsWithStamp(const std::string& aLine) {
  static const char kPattern[] = "dddd-dd-dd dd:dd:dd:ddd - ";
  if (aLine.size() < sizeof kPattern - 1) return false;
  for (size_t i = 0; i + 1 < sizeof kPattern; ++i) {
    if (kPattern[i] == 'd' ? !(aLine[i] >= '0' && aLine[i] <= '9') : aLine[i] != kPattern[i]) return false;
  }
  return true;
}

}  // namespace

std::vector<LogEntry> ReadLogEntries(const std::filesystem::path& aFile) {
  std::string text = ReadFileBytes(aFile);
  std::vector<LogEntry> entries;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    if (StartsWithStamp(line)) {
      LogEntry entry;
      std::string rest = line.substr(26);
      if (rest.rfind("ERROR - ", 0) == 0) {
        entry.error = true;
        rest = rest.substr(8);
      }
      entry.message = port::FromUtf8(rest);
      entries.push_back(entry);
    } else if (!entries.empty()) {
      entries.back().message += u"\r\n" + port::FromUtf8(line);
    }
  }
  return entries;
}

std::vector<std::u16string> ReadLogMessages(const std::filesystem::path& aFile) {
  std::vector<std::u16string> messages;
  for (const auto& entry : ReadLogEntries(aFile)) messages.push_back(entry.message);
  return messages;
}

}  // namespace vxtest
