#pragma once
// Conversions between the module's UTF-16 text and the bytes of a Windows code page: what a device
// on a serial line, a TCP socket or a printer expects instead of UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

namespace port {

// Code page 0 is the one-byte-per-character mapping on both targets: each UTF-16 code unit 0..255
// becomes the byte of the same value (and back), any unit above 255 becomes '?'. Any other value
// is a Windows code page number (1252, 437, 850, 65001, ...).
inline constexpr uint32_t kLatin1CodePage = 0;

// aText in code page aCodePage. Characters the code page cannot show become '?' (no best-fit
// look-alikes; a surrogate pair gives one '?' per code unit). Throws tVX_Error("Code page <n> is not supported") for an unknown code page.
std::string EncodeCodePage(std::u16string_view aText, uint32_t aCodePage);

// aBytes read as code page aCodePage. Throws tVX_Error like EncodeCodePage.
std::u16string DecodeCodePage(std::string_view aBytes, uint32_t aCodePage);

// The system's 8-bit "ANSI" code page: the active one on Windows, 1252 on Linux.
uint32_t AnsiCodePage();

}  // namespace port
