#pragma once
// Reads a device log back: one entry per logged line (a message may span several text lines).
#include <filesystem>
#include <string>
#include <vector>

namespace vxtest {

struct LogEntry {
  bool error = false;
  std::u16string message;  // without the time stamp and the separator
};

std::vector<LogEntry> ReadLogEntries(const std::filesystem::path& aFile);
// The messages only, in order.
std::vector<std::u16string> ReadLogMessages(const std::filesystem::path& aFile);

}  // namespace vxtest
