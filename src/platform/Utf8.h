#pragma once
// The one pair of conversions between the module's UTF-16 text and UTF-8 bytes. Used only at the
// edges: files, UTF-8 libraries, the wire.
#include <string>
#include <string_view>

namespace port {

// Unpaired surrogates become U+FFFD; never fails.
std::string ToUtf8(std::u16string_view aText);
// Invalid or truncated sequences (and overlong forms) become U+FFFD; never fails.
std::u16string FromUtf8(std::string_view aBytes);
// True when aBytes is well-formed UTF-8.
bool IsValidUtf8(std::string_view aBytes);

}  // namespace port
