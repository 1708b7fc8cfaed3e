// The module's own BSTR allocator, exported to the host: the length in bytes (uint32_t) in the
// four bytes before the first code unit, a 16-bit NUL after the last one. Memory comes from
// malloc inside the module, so every string goes back to the module's SysFreeString.
#include "platform/HostString.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {

// The largest count of code units whose byte length fits the 32-bit prefix.
constexpr uint32_t kMaxUnits = (std::numeric_limits<uint32_t>::max() - 8) / 2;

unsigned char* Block(BSTR aValue) { return reinterpret_cast<unsigned char*>(aValue) - sizeof(uint32_t); }

}  // namespace

extern "C" {

BSTR SysAllocStringLen(const char16_t* aText, uint32_t aUnits) {
  if (aUnits > kMaxUnits) return nullptr;
  size_t bytes = static_cast<size_t>(aUnits) * sizeof(char16_t);
  auto* block = static_cast<unsigned char*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(char16_t)));
  if (block == nullptr) return nullptr;
  uint32_t prefix = static_cast<uint32_t>(bytes);
  std::memcpy(block, &prefix, sizeof prefix);
  auto* text = reinterpret_cast<char16_t*>(block + sizeof(uint32_t));
  if (aText != nullptr && aUnits > 0) {
    std::memcpy(text, aText, bytes);
  } else {
    std::memset(text, 0, bytes);
  }
  text[aUnits] = u'\0';
  return text;
}

BSTR SysAllocString(const char16_t* aText) {
  if (aText == nullptr) return nullptr;
  size_t units = std::char_traits<char16_t>::length(aText);
  if (units > kMaxUnits) return nullptr;
  return SysAllocStringLen(aText, static_cast<uint32_t>(units));
}

void SysFreeString(BSTR aValue) {
  if (aValue != nullptr) std::free(Block(aValue));
}

uint32_t SysStringByteLen(BSTR aValue) {
  if (aValue == nullptr) return 0;
  uint32_t prefix = 0;
  std::memcpy(&prefix, Block(aValue), sizeof prefix);
  return prefix;
}

uint32_t SysStringLen(BSTR aValue) { return SysStringByteLen(aValue) / sizeof(char16_t); }

}  // extern "C"

namespace port {

std::u16string HostStringText(BSTR aValue) {
  if (aValue == nullptr) return {};
  return std::u16string(aValue, SysStringLen(aValue));
}

BSTR NewHostString(std::u16string_view aText) {
  if (aText.size() > kMaxUnits) throw std::bad_alloc();
  BSTR value = SysAllocStringLen(aText.data(), static_cast<uint32_t>(aText.size()));
  if (value == nullptr) throw std::bad_alloc();
  return value;
}

void FreeHostString(BSTR aValue) { SysFreeString(aValue); }

}  // namespace port
