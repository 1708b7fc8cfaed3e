#pragma once
// A dynamic library loaded into the process (LoadLibraryW on Windows, dlopen on Linux), unloaded
// when the object is destroyed.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace port {

class SharedLibrary {
 public:
  struct LoadResult {
    std::unique_ptr<SharedLibrary> library;  // null on failure
    std::u16string errorText;                // the system's text for the failure
    uint32_t errorCode = 0;                  // GetLastError on Windows; errno (0 when unset) on Linux
  };

  // Loads aPath (a name alone is searched for as the system searches for libraries).
  static LoadResult Load(std::u16string_view aPath);

  virtual ~SharedLibrary() = default;
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The address of the exported symbol aName, or nullptr when the library has none.
  virtual void* Address(std::string_view aName) = 0;

 protected:
  SharedLibrary() = default;
};

}  // namespace port
