#pragma once
// MD5 as lower-case hexadecimal, for tests that check HTTP Digest answers on their own.
#include <string>
#include <string_view>

namespace vxtest {

std::string Md5Hex(std::string_view aBytes);

}  // namespace vxtest
