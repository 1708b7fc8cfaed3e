#pragma once
// The driver module loaded the way a point-of-sale host loads it: by path (dlopen / LoadLibraryW),
// its nine exports resolved by name, host strings (BSTR) allocated and freed with the functions the
// host uses (the module's own on Linux, oleaut32 on Windows).
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "vxpa.h"

namespace vxpa {

class HostModule {
 public:
  static constexpr std::array<std::string_view, 9> kExportNames = {
      "PAY", "REPRINT", "OPEN", "GETSTATUS", "DAYCLOSE", "GETTOTALS", "CLOSE", "VERSION", "VERIFYTRAN"};

  // Loads the module and resolves its exports. Throws std::runtime_error with the reason when the
  // module cannot be loaded or lacks one of them.
  explicit HostModule(const std::filesystem::path& aPath);
  // Unloads the module if Unload() has not.
  ~HostModule();
  HostModule(const HostModule&) = delete;
  HostModule& operator=(const HostModule&) = delete;

  // The file name of the module beside the running program (VXPA_ADYEN_10.dll / .so).
  static std::filesystem::path DefaultPath();

  // What one call answered. A null BSTR reads as nothing.
  struct Answer {
    vxpa_result Result = 0;  // the whole 32-bit return value
    std::optional<std::u16string> Output;
    std::optional<std::u16string> ErrorMessage;
  };
  // Calls the export aName with aArgument as a host string, frees everything it returned.
  // Throws std::invalid_argument for a name that is not an export.
  Answer Call(std::string_view aName, std::u16string_view aArgument);

  // The export's address, or nullptr for a name that is not an export.
  vxpa_export_fn Export(std::string_view aName) const;

  // Host strings, as the host makes and frees them.
  BSTR NewString(std::u16string_view aText) const;
  void FreeString(BSTR aValue) const;
  std::u16string Text(BSTR aValue) const;

  // Unloads the module now; returns when the system's unload call has returned. The exports are
  // unusable afterwards.
  void Unload();
  bool Loaded() const { return fHandle != nullptr; }

 private:
  void* Symbol(const char* aName) const;

  void* fHandle = nullptr;
  std::array<vxpa_export_fn, 9> fExports{};
#if !defined(_WIN32)
  BSTR (*fAllocLen)(const char16_t*, uint32_t) = nullptr;
  void (*fFree)(BSTR) = nullptr;
  uint32_t (*fLen)(BSTR) = nullptr;
#endif
};

}  // namespace vxpa
