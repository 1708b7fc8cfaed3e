// BSTRs from oleaut32: the host allocates and frees them with the same functions.
#include "platform/HostString.h"

#include <limits>
#include <new>

namespace port {

std::u16string HostStringText(BSTR aValue) {
  if (aValue == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(aValue), SysStringLen(aValue));
}

BSTR NewHostString(std::u16string_view aText) {
  if (aText.size() > std::numeric_limits<UINT>::max() / 4) throw std::bad_alloc();
  BSTR value = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(aText.data()), static_cast<UINT>(aText.size()));
  if (value == nullptr) throw std::bad_alloc();
  return value;
}

void FreeHostString(BSTR aValue) { SysFreeString(aValue); }

}  // namespace port
