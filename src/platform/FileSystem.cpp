// The target-independent path text helpers; the separators come from the target's implementation.
#include "platform/FileSystem.h"

namespace port {

namespace {

// Index one past the last separator (or drive colon), 0 when there is none.
size_t LastComponentStart(std::u16string_view aPath) {
  for (size_t i = aPath.size(); i > 0; --i) {
    char16_t c = aPath[i - 1];
    if (IsPathSeparator(c)) return i;
    if (c == u':' && PathSeparator() == u'\\' && i == 2) return i;  // "C:name"
  }
  return 0;
}

}  // namespace

std::u16string JoinPath(std::u16string_view aDirectory, std::u16string_view aName) {
  if (IsPathRooted(aName) || aDirectory.empty()) return std::u16string(aName);
  std::u16string out(aDirectory);
  if (!IsPathSeparator(out.back())) out.push_back(PathSeparator());
  out.append(aName);
  return out;
}

std::u16string LastPathComponent(std::u16string_view aPath) {
  return std::u16string(aPath.substr(LastComponentStart(aPath)));
}

std::u16string RemoveExtension(std::u16string_view aPath) {
  size_t start = LastComponentStart(aPath);
  size_t dot = aPath.rfind(u'.');
  if (dot == std::u16string_view::npos || dot < start) return std::u16string(aPath);
  return std::u16string(aPath.substr(0, dot));
}

}  // namespace port
