// tVX_Setup: named values in memory.
#include "base/uVX_Base.h"
#include "base/uVX_Text.h"

void tVX_Setup::Define(std::u16string_view aName) { SetValue(aName, tVX_SetupValue()); }

tVX_SetupValue tVX_Setup::GetValue(std::u16string_view aName) const {
  for (const tVX_SetupEntry& entry : fList)
    if (vxtext::SameText(entry.Name(), aName)) return entry.Value();
  return {};
}

void tVX_Setup::SetValue(std::u16string_view aName, tVX_SetupValue aValue) {
  for (tVX_SetupEntry& entry : fList) {
    if (vxtext::SameText(entry.Name(), aName)) {
      entry.SetValue(std::move(aValue));
      return;
    }
  }
  fList.emplace_back(aName, std::move(aValue));
}
