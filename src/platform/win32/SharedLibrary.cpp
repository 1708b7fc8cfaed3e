#include "platform/SharedLibrary.h"

#include <windows.h>

#include <string>

#include "platform/win32/SysErrorText.h"

namespace port {
namespace {

class Win32SharedLibrary final : public SharedLibrary {
 public:
  explicit Win32SharedLibrary(HMODULE aHandle) : fHandle(aHandle) {}
  ~Win32SharedLibrary() override { FreeLibrary(fHandle); }

  void* Address(std::string_view aName) override {
    return reinterpret_cast<void*>(GetProcAddress(fHandle, std::string(aName).c_str()));
  }

 private:
  HMODULE fHandle;
};

}  // namespace

SharedLibrary::LoadResult SharedLibrary::Load(std::u16string_view aPath) {
  LoadResult result;
  std::wstring path(aPath.begin(), aPath.end());
  HMODULE handle = LoadLibraryW(path.c_str());
  if (!handle) {
    DWORD error = GetLastError();
    result.errorCode = error;
    result.errorText = win32::SysErrorText(error);
    return result;
  }
  result.library = std::make_unique<Win32SharedLibrary>(handle);
  return result;
}

}  // namespace port
