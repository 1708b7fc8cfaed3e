#pragma once
// Host strings (BSTR) at the export boundary: oleaut32 on Windows, the module's own exported
// length-prefixed allocator elsewhere (include/vxpa.h).
#include <string>
#include <string_view>

#include "vxpa.h"

namespace port {

// The text of a host string, by its stored length (so NULs inside it are kept); a null BSTR is
// the empty text. The host string is not changed or freed.
std::u16string HostStringText(BSTR aValue);

// A new host string holding aText, which the host frees with SysFreeString. Throws
// std::bad_alloc when it cannot be allocated.
BSTR NewHostString(std::u16string_view aText);

// Frees a host string made by NewHostString or by the host; null is ignored.
void FreeHostString(BSTR aValue);

}  // namespace port
