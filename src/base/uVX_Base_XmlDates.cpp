#include "base/uVX_Base_XmlDates.h"

#include <cmath>

#include "base/uVX_Text.h"
#include "platform/Error.h"

namespace {

// The characters aFrom to aFrom + aCount - 1 (counted from 1) that the text has: fewer, or
// none, near its end.
std::u16string_view Characters(std::u16string_view aText, size_t aFrom, size_t aCount) {
  return aFrom - 1 < aText.size() ? aText.substr(aFrom - 1, aCount) : std::u16string_view();
}

bool TryField(std::u16string_view aText, size_t aFrom, size_t aCount, int& aValue) {
  int32_t value = 0;
  if (!vxtext::TryStrToInt(Characters(aText, aFrom, aCount), value)) return false;
  aValue = value;
  return true;
}

// The date part shared by both readers.
bool TryDateFields(std::u16string_view aText, tVX_DateTimeParts& aParts) {
  return TryField(aText, 1, 4, aParts.year) && TryField(aText, 6, 2, aParts.month) && TryField(aText, 9, 2, aParts.day);
}

// Days from 1899-12-30 to 0001-01-01 and to 10000-01-01.
constexpr double kFirstDay = -693593.0;
constexpr double kPastLastDay = 2958466.0;

}  // namespace

std::u16string DateTimeToXmlString(bool aWithMilliseconds, tDateTime aValue) {
  if (!std::isfinite(aValue) || aValue <= kFirstDay - 1.0 || aValue >= kPastLastDay) aValue = vxdate::kZeroDateTime;
  tVX_DateTimeParts p = vxdate::Decode(aValue);
  if (p.year < 1 || p.year > 9999) p = vxdate::Decode(vxdate::kZeroDateTime);
  std::u16string text = vxtext::ZeroPad(p.year, 4) + u"-" + vxtext::ZeroPad(p.month, 2) + u"-" +
                        vxtext::ZeroPad(p.day, 2) + u"T" + vxtext::ZeroPad(p.hour, 2) + u":" +
                        vxtext::ZeroPad(p.minute, 2) + u":" + vxtext::ZeroPad(p.second, 2);
  if (aWithMilliseconds) text += u"." + vxtext::ZeroPad(p.millisecond, 3);
  return text;
}

tDateTime XmlStringToDate(std::u16string_view aText) {
  tVX_DateTimeParts parts;
  tDateTime result = 0;
  if (!TryDateFields(aText, parts) || !vxdate::TryEncodeDate(parts.year, parts.month, parts.day, result))
    throw tVX_Error(u"Date Format invalid: [" + std::u16string(aText) + u"]");
  return result;
}

tDateTime XmlStringToDateTime(std::u16string_view aText) {
  tVX_DateTimeParts parts;
  tDateTime result = 0;
  bool valid = TryDateFields(aText, parts) && TryField(aText, 12, 2, parts.hour) &&
               TryField(aText, 15, 2, parts.minute) && TryField(aText, 18, 2, parts.second);
  if (valid && !TryField(aText, 21, 3, parts.millisecond)) parts.millisecond = 0;
  if (!valid || !vxdate::TryEncodeDateTime(parts, result))
    throw tVX_Error(u"DateTime Format invalid: [" + std::u16string(aText) + u"]");
  return result;
}
