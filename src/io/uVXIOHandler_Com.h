#pragma once
// An empty channel: connects, sends nothing and reads nothing.
#include "io/uVXIOHandler.h"

class kIOHandler_Com : public kIOHandler {
 public:
  kIOHandler_Com(const kConnection* aConnection, std::u16string_view aDirectory, std::u16string_view aFileName);

  bool Connected() override;                         // true
  bool Disconnect() override;                        // true
  void ClearBuffers() override;                      // nothing
  bool Write(std::u16string_view aMessage) override;  // false: nothing is sent
  std::u16string ReadUpTo(const std::vector<uint8_t>& aChars) override;  // empty
  std::u16string ReadChars(int32_t aCharsNum) override;                  // empty
  std::u16string ReadAll() override;                                     // throws
  std::u16string DecodeError(int32_t aErrorCode) override;               // empty
  bool InputBufferContainsData() override;                               // throws
  void SetParameter(std::u16string_view aName, std::u16string_view aValue) override;
};
