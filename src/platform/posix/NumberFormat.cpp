#include "platform/NumberFormat.h"

#include <langinfo.h>
#include <locale.h>

#include "platform/Utf8.h"

namespace port {

NumberSeparators LocaleNumberSeparators() {
  NumberSeparators separators{u".", u""};
  locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) return separators;  // the C locale's own
  const char* decimal = nl_langinfo_l(RADIXCHAR, locale);
  const char* thousands = nl_langinfo_l(THOUSEP, locale);
  if (decimal != nullptr && *decimal != '\0') separators.decimal = FromUtf8(decimal);
  if (thousands != nullptr) separators.thousands = FromUtf8(thousands);
  freelocale(locale);
  return separators;
}

}  // namespace port
