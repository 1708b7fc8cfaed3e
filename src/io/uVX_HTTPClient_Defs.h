#pragma once
// Types shared by the HTTP client and its users: the authentication scheme and the log event.
#include <cstdint>
#include <functional>
#include <string>

#include "base/uVX_Base_Defs.h"

enum class vxHTTPAuthType : uint8_t { at_None = 0, at_Basic = 1, at_Digest = 2, at_Bearer = 3 };

// A log sink bound to an object: entry type, title, message. An empty function logs nothing.
using vxWriteLogEvent = std::function<void(tVX_MessageType, const std::u16string&, const std::u16string&)>;
