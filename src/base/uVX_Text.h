#pragma once
// Small text helpers over the module's UTF-16 text. Case mapping is ASCII-only on purpose: the
// keys, switches and words compared by the module are ASCII, and the result must not depend on
// the machine's locale.
#include <cstdint>
#include <string>
#include <string_view>

namespace vxtext {

// u"abc" from an ASCII or UTF-8 literal ("Version " etc.); UTF-8 is decoded.
std::u16string Widen(std::string_view aUtf8);
// UTF-8 bytes of the text, for files, libraries and diagnostics.
std::string Utf8(std::u16string_view aText);

std::u16string UpperCase(std::u16string_view aText);
std::u16string LowerCase(std::u16string_view aText);
bool SameText(std::u16string_view a, std::u16string_view b);  // ASCII case-insensitive equality
bool StartsWith(std::u16string_view aText, std::u16string_view aPrefix);
bool EndsWith(std::u16string_view aText, std::u16string_view aSuffix);
std::u16string Trim(std::u16string_view aText);  // strips characters <= U+0020 at both ends

// Every occurrence of aFrom replaced by aTo, scanning left to right without rescanning.
std::u16string ReplaceAll(std::u16string_view aText, std::u16string_view aFrom, std::u16string_view aTo);
// aPattern with its first "%s" replaced by aValue (the value is inserted verbatim, so a "%" in
// it is never interpreted).
std::u16string FormatS(std::u16string_view aPattern, std::u16string_view aValue);

std::u16string IntToStr(int64_t aValue);
// Optional sign and decimal digits only, within 32 bits; no blanks.
bool TryStrToInt(std::u16string_view aText, int32_t& aValue);
bool TryStrToInt64(std::u16string_view aText, int64_t& aValue);
// aValue written with at least aWidth digits, zero-padded (negative values keep their sign first).
std::u16string ZeroPad(int64_t aValue, int aWidth);

}  // namespace vxtext
