#pragma once
// The module's own string table (version information and history).
#include <string>

namespace port {

// The string with id aId, at most aMaxChars units; empty when the table has no such string.
std::u16string LoadModuleString(unsigned aId, int aMaxChars = 1024);

}  // namespace port
