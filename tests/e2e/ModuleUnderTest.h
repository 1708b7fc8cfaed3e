#pragma once
// The built module, loaded once per test program the way a host loads it (from beside the test
// program), and the host's view of one call.
#include <optional>
#include <string>
#include <string_view>

#include "HostModule.h"
#include "support/ResultDocuments.h"

namespace vxtest {

// The module shared by the tests of this program; loaded on first use, unloaded at exit.
vxpa::HostModule& Module();

// One call of an export with aArgument, everything it returned read and freed.
vxpa::HostModule::Answer Call(std::string_view aExport, std::u16string_view aArgument);

}  // namespace vxtest
