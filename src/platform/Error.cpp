#include "platform/Error.h"

#include "platform/Utf8.h"

tVX_Error::tVX_Error(std::u16string aMessage)
    : fMessage(std::move(aMessage)), fUtf8(port::ToUtf8(fMessage)) {}
