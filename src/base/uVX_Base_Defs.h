#pragma once
#include <cstdint>

// The level of a log entry.
enum class tVX_MessageType : uint8_t { let_info = 0, let_error = 1 };
