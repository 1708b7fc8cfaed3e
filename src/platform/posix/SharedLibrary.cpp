#include "platform/SharedLibrary.h"

#include <dlfcn.h>
#include <errno.h>

#include <string>

#include "platform/Utf8.h"

namespace port {
namespace {

class PosixSharedLibrary final : public SharedLibrary {
 public:
  explicit PosixSharedLibrary(void* aHandle) : fHandle(aHandle) {}
  ~PosixSharedLibrary() override { dlclose(fHandle); }

  void* Address(std::string_view aName) override { return dlsym(fHandle, std::string(aName).c_str()); }

 private:
  void* fHandle;
};

}  // namespace

SharedLibrary::LoadResult SharedLibrary::Load(std::u16string_view aPath) {
  LoadResult result;
  std::string path = ToUtf8(aPath);
  errno = 0;
  dlerror();
  void* handle = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    result.errorCode = static_cast<uint32_t>(path.empty() ? ENOENT : errno);
    const char* text = path.empty() ? nullptr : dlerror();
    result.errorText = FromUtf8(text ? text : "No library name given");
    return result;
  }
  result.library = std::make_unique<PosixSharedLibrary>(handle);
  return result;
}

}  // namespace port
