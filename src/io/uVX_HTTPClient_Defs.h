#pragma once
// Types shared by the HTTP client and the I/O handlers: the authentication scheme of an HTTP
// device and the log callback through which the HTTP client reports each step.
#include <cstdint>
#include <functional>
#include <string>

#include "base/uVX_Base_Defs.h"

enum class vxHTTPAuthType : uint8_t { at_None = 0, at_Basic = 1, at_Digest = 2, at_Bearer = 3 };

// Bound to an object by the owner, typically kIOHandler::WriteLog:
//   aClient.SetOnWriteLog(std::bind_front(&kIOHandler::WriteLog, &aHandler));
using vxWriteLogEvent =
    std::function<void(tVX_MessageType aEntryType, const std::u16string& aTitle, const std::u16string& aMessage)>;
