#include "SimText.h"

#include <cstdio>
#include <ctime>
#include <string_view>

namespace termsim {

namespace {

bool IsUnreserved(unsigned char aChar) {
  return (aChar >= 'A' && aChar <= 'Z') || (aChar >= 'a' && aChar <= 'z') || (aChar >= '0' && aChar <= '9') ||
         aChar == '-' || aChar == '.' || aChar == '_' || aChar == '~';
}

int HexValue(char aChar) {
  if (aChar >= '0' && aChar <= '9') return aChar - '0';
  if (aChar >= 'A' && aChar <= 'F') return aChar - 'A' + 10;
  if (aChar >= 'a' && aChar <= 'f') return aChar - 'a' + 10;
  return -1;
}

bool IsDigits(std::string_view aText, size_t aPos, size_t aCount) {
  if (aPos + aCount > aText.size()) return false;
  for (size_t i = aPos; i < aPos + aCount; ++i) {
    if (aText[i] < '0' || aText[i] > '9') return false;
  }
  return true;
}

int Number(std::string_view aText, size_t aPos, size_t aCount) {
  int value = 0;
  for (size_t i = aPos; i < aPos + aCount; ++i) value = value * 10 + (aText[i] - '0');
  return value;
}

int LocalOffsetMinutes(std::time_t aTime) {
  std::tm local{};
  localtime_r(&aTime, &local);
  return static_cast<int>(local.tm_gmtoff / 60);
}

}  // namespace

std::string FormEncode(std::string_view aText, bool aBlankAsPlus) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : aText) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreserved(byte)) {
      out += c;
    } else if (byte == ' ' && aBlankAsPlus) {
      out += '+';
    } else {
      out += '%';
      out += kDigits[byte >> 4];
      out += kDigits[byte & 15];
    }
  }
  return out;
}

std::string EncodeKeyList(const KeyList& aItems, bool aBlankAsPlus) {
  std::string out;
  for (const auto& [name, value] : aItems) {
    if (!out.empty()) out += '&';
    out += FormEncode(name, aBlankAsPlus);
    out += '=';
    out += FormEncode(value, aBlankAsPlus);
  }
  return out;
}

bool PercentDecode(std::string_view aText, bool aPlusAsBlank, std::string& aOut) {
  aOut.clear();
  for (size_t i = 0; i < aText.size(); ++i) {
    const char c = aText[i];
    if (c == '%') {
      if (i + 2 >= aText.size()) return false;
      const int high = HexValue(aText[i + 1]);
      const int low = HexValue(aText[i + 2]);
      if (high < 0 || low < 0) return false;
      aOut += static_cast<char>(high * 16 + low);
      i += 2;
    } else if (c == '+' && aPlusAsBlank) {
      aOut += ' ';
    } else {
      aOut += c;
    }
  }
  return true;
}

size_t FindUnencodedChar(std::string_view aText) {
  static constexpr std::string_view kSpecials = "*<>#\"{}|\\^[]`";
  for (size_t i = 0; i < aText.size(); ++i) {
    const auto byte = static_cast<unsigned char>(aText[i]);
    if (byte <= 32 || byte >= 128 || kSpecials.find(static_cast<char>(byte)) != std::string_view::npos) return i;
    if (byte == '%') {
      auto upperHex = [&](size_t k) {
        return k < aText.size() && ((aText[k] >= '0' && aText[k] <= '9') || (aText[k] >= 'A' && aText[k] <= 'F'));
      };
      if (!upperHex(i + 1) || !upperHex(i + 2)) return i;
      i += 2;
    }
  }
  return std::string_view::npos;
}

bool SplitKeyList(std::string_view aText, KeyList& aOut) {
  aOut.clear();
  if (aText.empty()) return true;
  size_t start = 0;
  while (true) {
    const size_t end = aText.find('&', start);
    const std::string_view item = aText.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    const size_t eq = item.find('=');
    std::string name, value;
    if (!PercentDecode(item.substr(0, eq), false, name)) return false;
    if (eq != std::string_view::npos && !PercentDecode(item.substr(eq + 1), false, value)) return false;
    aOut.emplace_back(std::move(name), std::move(value));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return true;
}

std::optional<std::string> KeyListValue(const KeyList& aItems, std::string_view aName) {
  for (const auto& [name, value] : aItems) {
    if (name == aName) return value;
  }
  return std::nullopt;
}

WallTime ToWallTime(Clock::time_point aTime, std::optional<int> aOffsetMinutes) {
  const std::time_t seconds = Clock::to_time_t(aTime);
  const int offset = aOffsetMinutes ? *aOffsetMinutes : LocalOffsetMinutes(seconds);
  const std::time_t shifted = seconds + static_cast<std::time_t>(offset) * 60;
  std::tm parts{};
  gmtime_r(&shifted, &parts);
  return WallTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

std::string FormatIsoTime(Clock::time_point aTime, std::optional<int> aOffsetMinutes) {
  const std::time_t seconds = Clock::to_time_t(aTime);
  const int offset = aOffsetMinutes ? *aOffsetMinutes : LocalOffsetMinutes(seconds);
  auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(aTime.time_since_epoch()).count() % 1000;
  if (millis < 0) millis += 1000;
  const WallTime wall = ToWallTime(aTime, offset);
  char text[48];
  std::snprintf(text, sizeof(text), "%04d-%02d-%02dT%02d:%02d:%02d.%03d", wall.year, wall.month, wall.day, wall.hour,
                wall.minute, wall.second, static_cast<int>(millis));
  std::string out = text;
  if (offset == 0) {
    out += 'Z';
  } else {
    const int magnitude = offset < 0 ? -offset : offset;
    std::snprintf(text, sizeof(text), "%c%02d:%02d", offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    out += text;
  }
  return out;
}

std::string CheckIsoTime(std::string_view aText) {
  // 2024-03-15T14:07:09.123+01:00
  const bool shape = aText.size() >= 24 && IsDigits(aText, 0, 4) && aText[4] == '-' && IsDigits(aText, 5, 2) &&
                     aText[7] == '-' && IsDigits(aText, 8, 2) && aText[10] == 'T' && IsDigits(aText, 11, 2) &&
                     aText[13] == ':' && IsDigits(aText, 14, 2) && aText[16] == ':' && IsDigits(aText, 17, 2) &&
                     aText[19] == '.' && IsDigits(aText, 20, 3);
  if (!shape) return "'" + std::string(aText) + "' is not a date-time with milliseconds";
  const int month = Number(aText, 5, 2), day = Number(aText, 8, 2);
  if (month < 1 || month > 12 || day < 1 || day > 31 || Number(aText, 11, 2) > 23 || Number(aText, 14, 2) > 59 ||
      Number(aText, 17, 2) > 60) {
    return "'" + std::string(aText) + "' is not a valid date-time";
  }
  const std::string_view zone = aText.substr(23);
  const auto offset = ParseUtcOffset(zone);
  if (!offset) return "'" + std::string(aText) + "' has no valid UTC offset";
  if (*offset == 0 && zone != "Z") return "'" + std::string(aText) + "' must write a zero UTC offset as Z";
  return {};
}

std::optional<int> ParseUtcOffset(std::string_view aText) {
  if (aText == "Z") return 0;
  if (aText.size() != 6 || (aText[0] != '+' && aText[0] != '-') || !IsDigits(aText, 1, 2) || aText[3] != ':' ||
      !IsDigits(aText, 4, 2)) {
    return std::nullopt;
  }
  const int hours = Number(aText, 1, 2), minutes = Number(aText, 4, 2);
  if (hours > 14 || minutes > 59) return std::nullopt;
  const int total = hours * 60 + minutes;
  return aText[0] == '-' ? -total : total;
}

std::optional<Amount> ParseAmount(std::string_view aText) {
  if (aText.empty() || aText.size() > 20) return std::nullopt;
  Amount whole = 0;
  size_t i = 0;
  for (; i < aText.size() && aText[i] != '.'; ++i) {
    if (aText[i] < '0' || aText[i] > '9') return std::nullopt;
    whole = whole * 10 + (aText[i] - '0');
  }
  if (i == 0) return std::nullopt;
  Amount fraction = 0;
  int decimals = 0;
  if (i < aText.size()) {
    ++i;  // the '.'
    if (i == aText.size()) return std::nullopt;
    for (; i < aText.size(); ++i) {
      if (aText[i] < '0' || aText[i] > '9' || ++decimals > 4) return std::nullopt;
      fraction = fraction * 10 + (aText[i] - '0');
    }
  }
  for (; decimals < 4; ++decimals) fraction *= 10;
  if (whole > 100000000000LL) return std::nullopt;
  return whole * 10000 + fraction;
}

std::string FormatAmount2(Amount aAmount) {
  const bool negative = aAmount < 0;
  const Amount magnitude = negative ? -aAmount : aAmount;
  const Amount cents = (magnitude + 50) / 100;
  char text[40];
  std::snprintf(text, sizeof(text), "%s%lld.%02lld", negative ? "-" : "", static_cast<long long>(cents / 100),
                static_cast<long long>(cents % 100));
  return text;
}

bool IsCompactJson(std::string_view aText) {
  bool inString = false;
  for (size_t i = 0; i < aText.size(); ++i) {
    const char c = aText[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      return false;
    }
  }
  return true;
}

bool JsonNestingWithin(std::string_view aText, int aMaxDepth) {
  bool inString = false;
  int depth = 0;
  for (size_t i = 0; i < aText.size(); ++i) {
    const char c = aText[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > aMaxDepth) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

}  // namespace termsim
