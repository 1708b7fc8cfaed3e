#pragma once
// Reading back what an I/O handler wrote to its log file: the lines without their time stamps,
// error lines keeping their "ERROR - " mark.
#include <string>
#include <vector>

#include "base/uVX_Text.h"
#include "support/TempDir.h"

namespace vxtest {

// The file a handler named aFileName logs to in aFolder once it is destroyed.
inline std::vector<std::string> LogLines(const std::u16string& aLogFile) {
  std::string bytes = ReadFileBytes(std::filesystem::path(aLogFile));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    // "yyyy-mm-dd hh:mm:ss:zzz - " comes first.
    lines.push_back(line.size() >= 26 ? line.substr(26) : line);
    start = end + 2;
  }
  return lines;
}

inline bool HasLine(const std::vector<std::string>& aLines, const std::string& aLine) {
  for (const std::string& line : aLines) {
    if (line == aLine) return true;
  }
  return false;
}

// Index of aLine in aLines, or -1.
inline int IndexOf(const std::vector<std::string>& aLines, const std::string& aLine) {
  for (size_t i = 0; i < aLines.size(); ++i) {
    if (aLines[i] == aLine) return static_cast<int>(i);
  }
  return -1;
}

inline std::string U8(const std::u16string& aText) { return vxtext::Utf8(aText); }

}  // namespace vxtest
