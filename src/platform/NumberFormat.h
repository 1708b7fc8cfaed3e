#pragma once
// The separators the machine's locale writes numbers with, for printed reports.
#include <string>

namespace port {

struct NumberSeparators {
  std::u16string decimal;    // never empty: "." when the locale names none
  std::u16string thousands;  // may be empty: the locale groups no digits
};

// Windows: the user's default locale. POSIX: the LC_NUMERIC locale of the environment (LC_ALL,
// LC_NUMERIC, LANG), the C locale when that cannot be loaded.
NumberSeparators LocaleNumberSeparators();

}  // namespace port
