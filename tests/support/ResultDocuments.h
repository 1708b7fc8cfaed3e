#pragma once
// The tests' own rendering of the result documents that do not depend on a device: written out
// independently of the module's code, so that one mistake cannot hide on both sides.
#include <string>
#include <string_view>

namespace vxtest {

// The five XML characters escaped, "&" first.
std::u16string Escaped(std::u16string_view aText);

// The whole document that a command (an export name: "PAY", "OPEN", ...) answers when it fails
// before its device operation, with aErrorText in ErrorText.
std::u16string FailureDocument(std::string_view aExport, std::u16string_view aErrorText);

// aText for a test's failure message: ASCII as it is, every other code unit as "?".
std::string Printable(std::u16string_view aText);

// The document GETSTATUS always answers.
std::u16string StatusDocument();

}  // namespace vxtest
