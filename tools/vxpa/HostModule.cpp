#include "HostModule.h"

#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vxpa {
namespace {

#if defined(_WIN32)
std::string LastErrorText() {
  DWORD code = GetLastError();
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result = "error " + std::to_string(code);
  if (text != nullptr) {
    std::wstring wide(text);
    LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ')) wide.pop_back();
    result += ": " + std::filesystem::path(wide).string();
  }
  return result;
}
#endif

}  // namespace

HostModule::HostModule(const std::filesystem::path& aPath) {
#if defined(_WIN32)
  fHandle = LoadLibraryW(aPath.c_str());
  if (fHandle == nullptr) {
    throw std::runtime_error("cannot load " + aPath.string() + " (" + LastErrorText() + ")");
  }
#else
  fHandle = dlopen(aPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (fHandle == nullptr) {
    const char* reason = dlerror();
    throw std::runtime_error("cannot load " + aPath.string() + " (" + (reason ? reason : "unknown reason") + ")");
  }
#endif
  try {
    for (size_t i = 0; i < kExportNames.size(); ++i) {
      std::string name(kExportNames[i]);
      fExports[i] = reinterpret_cast<vxpa_export_fn>(Symbol(name.c_str()));
    }
#if !defined(_WIN32)
    fAllocLen = reinterpret_cast<BSTR (*)(const char16_t*, uint32_t)>(Symbol("SysAllocStringLen"));
    fFree = reinterpret_cast<void (*)(BSTR)>(Symbol("SysFreeString"));
    fLen = reinterpret_cast<uint32_t (*)(BSTR)>(Symbol("SysStringLen"));
#endif
  } catch (...) {
    Unload();
    throw;
  }
}

HostModule::~HostModule() { Unload(); }

void* HostModule::Symbol(const char* aName) const {
#if defined(_WIN32)
  void* address = reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(fHandle), aName));
#else
  void* address = dlsym(fHandle, aName);
#endif
  if (address == nullptr) throw std::runtime_error(std::string("the module does not export ") + aName);
  return address;
}

void HostModule::Unload() {
  if (fHandle == nullptr) return;
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(fHandle));
#else
  dlclose(fHandle);
#endif
  fHandle = nullptr;
  fExports.fill(nullptr);
}

std::filesystem::path HostModule::DefaultPath() {
#if defined(_WIN32)
  std::wstring buffer(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(length);
  return std::filesystem::path(buffer).parent_path() / L"VXPA_ADYEN_10.dll";
#else
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return program.parent_path() / "VXPA_ADYEN_10.so";
#endif
}

vxpa_export_fn HostModule::Export(std::string_view aName) const {
  for (size_t i = 0; i < kExportNames.size(); ++i) {
    if (kExportNames[i] == aName) return fExports[i];
  }
  return nullptr;
}

BSTR HostModule::NewString(std::u16string_view aText) const {
  BSTR value;
#if defined(_WIN32)
  value = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(aText.data()), static_cast<UINT>(aText.size()));
#else
  value = fAllocLen(aText.data(), static_cast<uint32_t>(aText.size()));
#endif
  if (value == nullptr) throw std::bad_alloc();
  return value;
}

void HostModule::FreeString(BSTR aValue) const {
#if defined(_WIN32)
  SysFreeString(aValue);
#else
  fFree(aValue);
#endif
}

std::u16string HostModule::Text(BSTR aValue) const {
  if (aValue == nullptr) return {};
#if defined(_WIN32)
  return std::u16string(reinterpret_cast<const char16_t*>(aValue), SysStringLen(aValue));
#else
  return std::u16string(aValue, fLen(aValue));
#endif
}

HostModule::Answer HostModule::Call(std::string_view aName, std::u16string_view aArgument) {
  vxpa_export_fn function = Export(aName);
  if (function == nullptr) throw std::invalid_argument("not an export: " + std::string(aName));
  BSTR argument = NewString(aArgument);
  BSTR output = nullptr;
  BSTR error = nullptr;
  Answer answer;
  answer.Result = function(argument, &output, &error);
  FreeString(argument);
  if (output != nullptr) answer.Output = Text(output);
  if (error != nullptr) answer.ErrorMessage = Text(error);
  FreeString(output);
  FreeString(error);
  return answer;
}

}  // namespace vxpa
