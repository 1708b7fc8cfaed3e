#include "ModuleUnderTest.h"

#include <memory>

namespace vxtest {

vxpa::HostModule& Module() {
  static std::unique_ptr<vxpa::HostModule> module = std::make_unique<vxpa::HostModule>(vxpa::HostModule::DefaultPath());
  return *module;
}

vxpa::HostModule::Answer Call(std::string_view aExport, std::u16string_view aArgument) {
  return Module().Call(aExport, aArgument);
}

}  // namespace vxtest
