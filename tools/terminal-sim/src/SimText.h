#pragma once
// Text forms of the terminal protocol: key lists (URL query style), ISO 8601 time stamps with a
// UTC offset, and amounts held as signed counts of ten-thousandths.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace termsim {

using KeyList = std::vector<std::pair<std::string, std::string>>;

// Percent-encodes every byte except A-Z a-z 0-9 - . _ ~; a blank becomes '+' when aBlankAsPlus,
// otherwise %20.
std::string FormEncode(std::string_view aText, bool aBlankAsPlus);
// "name=value&name=value", each side encoded with FormEncode.
std::string EncodeKeyList(const KeyList& aItems, bool aBlankAsPlus = true);

// Decodes %XX sequences (and '+' as a blank when aPlusAsBlank). Answers false for a '%' that is
// not followed by two hexadecimal digits.
bool PercentDecode(std::string_view aText, bool aPlusAsBlank, std::string& aOut);

// The first character of aText that a percent-encoded key list must not carry raw (a blank,
// control or non-ASCII byte, one of * < > # " { } | \ ^ [ ] `, or a '%' not followed by two
// upper-case hexadecimal digits); npos when there is none.
size_t FindUnencodedChar(std::string_view aText);

// Splits at '&' and then at the first '=' of each item, decoding both sides (no '+' rule).
// Answers false for a bad escape.
bool SplitKeyList(std::string_view aText, KeyList& aOut);

// The value of the first item named aName, nullopt when absent.
std::optional<std::string> KeyListValue(const KeyList& aItems, std::string_view aName);

using Clock = std::chrono::system_clock;

// YYYY-MM-DDTHH:MM:SS.mmm followed by Z or +hh:mm / -hh:mm. aOffsetMinutes: the offset to write
// the time at; nullopt: the local time zone's offset at that instant.
std::string FormatIsoTime(Clock::time_point aTime, std::optional<int> aOffsetMinutes);

// Wall-clock parts of an instant at an offset (nullopt: local zone), for receipts.
struct WallTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
WallTime ToWallTime(Clock::time_point aTime, std::optional<int> aOffsetMinutes);

// Empty when aText is an ISO 8601 time stamp of exactly the form FormatIsoTime writes (a zero
// offset must be written as Z); otherwise the reason.
std::string CheckIsoTime(std::string_view aText);

// "+05:30" / "-03:00" / "Z" to minutes; nullopt when malformed.
std::optional<int> ParseUtcOffset(std::string_view aText);

// Amounts: int64 counts of ten-thousandths.
using Amount = int64_t;
// Parses a plain decimal text ("12.5", "10", "0.35") with at most four decimals; no sign, no
// exponent.
std::optional<Amount> ParseAmount(std::string_view aText);
// Exactly two decimals, half away from zero: 125000 -> "12.50".
std::string FormatAmount2(Amount aAmount);

// True when the JSON text has no white space between its tokens.
bool IsCompactJson(std::string_view aText);

// True when arrays and objects in the JSON text nest at most aMaxDepth deep. Checked before
// parsing text from outside: copying and printing a parsed value recurse once per level.
bool JsonNestingWithin(std::string_view aText, int aMaxDepth);
constexpr int kMaxJsonDepth = 64;

}  // namespace termsim
