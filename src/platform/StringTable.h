#pragma once
// The module's own string table (version information and history).
#include <optional>
#include <string>
#include <string_view>

namespace port {

// The string with id aId, at most aMaxChars units; empty when the table has no such string.
std::u16string LoadModuleString(unsigned aId, int aMaxChars = 1024);

// The bytes of the module's raw-data resource named aName; nullopt when the module has none
// (always on POSIX, where the module carries no such resources).
std::optional<std::string> LoadModuleData(std::u16string_view aName);

}  // namespace port
