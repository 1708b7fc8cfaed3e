#include "platform/StringTable.h"

#include "platform/Utf8.h"

namespace port {
namespace {

struct Entry {
  unsigned id;
  const char* text;
};

constexpr Entry kTable[] = {
#define MODULE_STRING(id, text) {id, text},
#include "platform/ModuleStrings.inc"
#undef MODULE_STRING
};

}  // namespace

std::u16string LoadModuleString(unsigned aId, int aMaxChars) {
  for (const Entry& e : kTable) {
    if (e.id != aId) continue;
    std::u16string text = FromUtf8(e.text);
    if (aMaxChars >= 0 && text.size() > static_cast<size_t>(aMaxChars)) text.resize(aMaxChars);
    return text;
  }
  return {};
}

std::optional<std::string> LoadModuleData(std::u16string_view) { return std::nullopt; }

}  // namespace port
