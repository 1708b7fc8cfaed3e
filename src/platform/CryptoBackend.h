#pragma once
// Internal to the crypto port: the pieces each backend supplies behind the checks that
// Crypto.cpp makes once for both targets.
#include <string_view>

#include "platform/Crypto.h"

namespace port::detail {

// Decodes text that Crypto.cpp has already found well-formed (alphabet, length, padding).
Bytes Base64DecodeWellFormed(std::string_view aText);

}  // namespace port::detail
