#include "io/uVXIOHandler_Dll.h"

#include "base/uVX_Text.h"
#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/SharedLibrary.h"

kIOHandler_Dll::kIOHandler_Dll(const kConnection* aConnection, std::u16string_view aDirectory,
                               std::u16string_view aFileName)
    : kIOHandler(u"kIOHandler_Dll", aConnection, aDirectory, aFileName) {
  const std::u16string name = aConnection ? aConnection->LibraryName() : std::u16string();
  WriteLog(tVX_MessageType::let_info, u"kIOHandler_Dll.Create", u"Loading DLL " + name);
  port::SharedLibrary::LoadResult loaded = port::SharedLibrary::Load(name);
  if (!loaded.library) {
    throw tVX_Error(u"Unable to Load Library " + name + u". " + loaded.errorText + u" [" +
                    vxtext::IntToStr(loaded.errorCode) + u"]");
  }
  fLibraryHandle = std::move(loaded.library);
  WriteLog(tVX_MessageType::let_info, u"kIOHandler_Dll.Create", u"DLL Loaded successfully");
}

kIOHandler_Dll::~kIOHandler_Dll() {
  if (!fLibraryHandle) return;
  WriteLog(tVX_MessageType::let_info, u"kIOHandler_Dll.Destroy", u"Unloading DLL");
  fLibraryHandle.reset();
  WriteLog(tVX_MessageType::let_info, u"kIOHandler_Dll.Destroy", u"DLL Unloaded Successfully");
}

void* kIOHandler_Dll::GetAddress(std::u16string_view aProcName) {
  void* address = fLibraryHandle->Address(port::EncodeCodePage(aProcName, port::AnsiCodePage()));
  if (!address) throw tVX_Error(u"Unable to get address for procedure " + std::u16string(aProcName));
  return address;
}

bool kIOHandler_Dll::Connected() { return true; }
bool kIOHandler_Dll::Disconnect() { return true; }
void kIOHandler_Dll::ClearBuffers() {}
bool kIOHandler_Dll::Write(std::u16string_view) { return true; }
std::u16string kIOHandler_Dll::ReadUpTo(const std::vector<uint8_t>&) { return u""; }
std::u16string kIOHandler_Dll::ReadChars(int32_t) { return u""; }
std::u16string kIOHandler_Dll::ReadAll() { throw tVX_Error(u"ReadAll Unsupported"); }
std::u16string kIOHandler_Dll::DecodeError(int32_t) { return u""; }
bool kIOHandler_Dll::InputBufferContainsData() { throw tVX_Error(u"InputBufferContainsData Unsupported"); }
void kIOHandler_Dll::SetParameter(std::u16string_view, std::u16string_view) {}
