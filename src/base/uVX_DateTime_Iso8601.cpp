#include <cstdint>

#include "base/uVX_DateTime.h"
#include "base/uVX_Text.h"

namespace vxdate {

namespace {

port::LocalTime ToLocalTime(const tVX_DateTimeParts& p) {
  port::LocalTime t;
  t.year = p.year;
  t.month = p.month;
  t.day = p.day;
  t.hour = p.hour;
  t.minute = p.minute;
  t.second = p.second;
  t.millisecond = p.millisecond;
  return t;
}

// A cursor over the text: fixed-width digit groups and single separators.
struct tIsoReader {
  std::u16string_view text;
  size_t pos = 0;

  bool AtEnd() const { return pos >= text.size(); }
  bool Accept(char16_t c) {
    if (AtEnd() || text[pos] != c) return false;
    ++pos;
    return true;
  }
  bool Digits(int aCount, int& aValue) {
    aValue = 0;
    for (int i = 0; i < aCount; ++i, ++pos) {
      if (AtEnd() || text[pos] < u'0' || text[pos] > u'9') return false;
      aValue = aValue * 10 + (text[pos] - u'0');
    }
    return true;
  }
};

}  // namespace

std::u16string ToIso8601(tDateTime aValue, int aOffsetMinutes) {
  tVX_DateTimeParts p = Decode(aValue);
  std::u16string s = vxtext::ZeroPad(p.year, 4) + u"-" + vxtext::ZeroPad(p.month, 2) + u"-" +
                     vxtext::ZeroPad(p.day, 2) + u"T" + vxtext::ZeroPad(p.hour, 2) + u":" +
                     vxtext::ZeroPad(p.minute, 2) + u":" + vxtext::ZeroPad(p.second, 2) + u"." +
                     vxtext::ZeroPad(p.millisecond, 3);
  if (aOffsetMinutes == 0) return s + u"Z";
  int magnitude = aOffsetMinutes < 0 ? -aOffsetMinutes : aOffsetMinutes;
  return s + (aOffsetMinutes < 0 ? u"-" : u"+") + vxtext::ZeroPad(magnitude / 60, 2) + u":" +
         vxtext::ZeroPad(magnitude % 60, 2);
}

std::u16string ToIso8601Local(tDateTime aValue) {
  return ToIso8601(aValue, port::UtcOffsetMinutesAt(ToLocalTime(Decode(aValue))));
}

std::u16string NowIso8601() {
  port::LocalTime now = port::Now();
  return ToIso8601(FromLocalTime(now), port::UtcOffsetMinutesAt(now));
}

bool TryParseIso8601(std::u16string_view aText, tVX_DateTimeParts& aParts, int& aOffsetMinutes, bool& aHasOffset) {
  tIsoReader r{aText};
  tVX_DateTimeParts p;
  p.second = 0;
  p.millisecond = 0;
  if (!r.Digits(4, p.year) || !r.Accept(u'-') || !r.Digits(2, p.month) || !r.Accept(u'-') || !r.Digits(2, p.day) ||
      !r.Accept(u'T') || !r.Digits(2, p.hour) || !r.Accept(u':') || !r.Digits(2, p.minute))
    return false;
  if (r.Accept(u':')) {
    if (!r.Digits(2, p.second)) return false;
    if (r.Accept(u'.') || r.Accept(u',')) {
      int digits = 0;
      while (!r.AtEnd() && r.text[r.pos] >= u'0' && r.text[r.pos] <= u'9') {
        if (digits < 3) p.millisecond = p.millisecond * 10 + (r.text[r.pos] - u'0');
        ++digits;
        ++r.pos;
      }
      if (digits == 0) return false;
      for (int i = digits; i < 3; ++i) p.millisecond *= 10;
    }
  }
  int offset = 0;
  bool hasOffset = false;
  if (r.Accept(u'Z')) {
    hasOffset = true;
  } else if (!r.AtEnd() && (r.text[r.pos] == u'+' || r.text[r.pos] == u'-')) {
    bool negative = r.text[r.pos++] == u'-';
    int hours = 0, minutes = 0;
    if (!r.Digits(2, hours)) return false;
    if (r.Accept(u':')) {
      if (!r.Digits(2, minutes)) return false;
    } else if (!r.AtEnd() && !r.Digits(2, minutes)) {
      return false;
    }
    if (hours > 23 || minutes > 59) return false;
    offset = (negative ? -1 : 1) * (hours * 60 + minutes);
    hasOffset = true;
  }
  if (!r.AtEnd()) return false;
  tDateTime check = 0;
  if (!TryEncodeDateTime(p, check)) return false;
  aParts = p;
  aOffsetMinutes = offset;
  aHasOffset = hasOffset;
  return true;
}

bool TryIso8601ToLocal(std::u16string_view aText, tDateTime& aResult) {
  tVX_DateTimeParts p;
  int offset = 0;
  bool hasOffset = false;
  if (!TryParseIso8601(aText, p, offset, hasOffset)) return false;
  tDateTime written = 0;
  TryEncodeDateTime(p, written);
  if (!hasOffset) {
    aResult = written;
    return true;
  }
  // Back to UTC on the calendar (whole minutes), then into the local zone of that instant.
  tDateTime utc = written - static_cast<double>(offset) / 1440.0;
  tVX_DateTimeParts u = Decode(utc);
  u.millisecond = p.millisecond;
  aResult = FromLocalTime(port::UtcToLocal(ToLocalTime(u)));
  return true;
}

}  // namespace vxdate
