#pragma once
// The I/O handler of a device driven through a library: loads the library for its whole life
// and hands out the addresses of its procedures. The text channel does nothing.
#include <memory>
#include <string>
#include <string_view>

#include "io/uVXIOHandler.h"

namespace port {
class SharedLibrary;
}

class kIOHandler_Dll : public kIOHandler {
 public:
  // Loads the connection's LibraryName; throws "Unable to Load Library <name>. <system text>
  // [<code>]" when it cannot.
  kIOHandler_Dll(const kConnection* aConnection, std::u16string_view aDirectory, std::u16string_view aFileName);
  ~kIOHandler_Dll() override;  // unloads the library, with its log lines

  // The exported procedure aProcName; throws "Unable to get address for procedure <name>".
  void* GetAddress(std::u16string_view aProcName);

  bool Connected() override;                         // true
  bool Disconnect() override;                        // true
  void ClearBuffers() override;                      // nothing
  bool Write(std::u16string_view aMessage) override;  // true, sends nothing
  std::u16string ReadUpTo(const std::vector<uint8_t>& aChars) override;  // empty
  std::u16string ReadChars(int32_t aCharsNum) override;                  // empty
  std::u16string ReadAll() override;                                     // throws
  std::u16string DecodeError(int32_t aErrorCode) override;               // empty
  bool InputBufferContainsData() override;                               // throws
  void SetParameter(std::u16string_view aName, std::u16string_view aValue) override;

 private:
  std::unique_ptr<port::SharedLibrary> fLibraryHandle;
};
