#pragma once
// The I/O handler of a printer reached through the system's print spooler. Each write is one
// complete job: raw bytes as they are, or (OutputType Normal) the caller's bitmap centred on the
// printable area, taken to be at 300 dots per inch and shrunk when it does not fit.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/uVXIOHandler.h"
#include "platform/Spooler.h"

class kIOHandler_Spool : public kIOHandler {
 public:
  // Printer := the connection's PrinterName; OutputType := Normal.
  kIOHandler_Spool(const kConnection* aConnection, std::u16string_view aDirectory, std::u16string_view aFileName);

  // Normal: prints Bitmap (aMessage is not used); Raw: aMessage as a raw job.
  bool Write(std::u16string_view aMessage) override;
  // A raw job of these bytes unchanged.
  bool WriteBytes(std::string_view aBytes);

  bool Connected() override;     // true
  bool Disconnect() override;    // true
  void ClearBuffers() override;  // nothing
  std::u16string ReadUpTo(const std::vector<uint8_t>& aChars) override;  // empty
  std::u16string ReadChars(int32_t aCharsNum) override;                  // empty
  std::u16string ReadAll() override;                                     // throws
  std::u16string DecodeError(int32_t aErrorCode) override;               // empty
  bool InputBufferContainsData() override;                               // throws
  void SetParameter(std::u16string_view aName, std::u16string_view aValue) override;

  vxSpoolOutputType OutputType() const { return fOutputType; }
  void SetOutputType(vxSpoolOutputType aValue) { fOutputType = aValue; }
  // The picture of the next Normal write; not owned, it must outlive that write.
  const port::Bitmap* Bitmap() const { return fBitmap; }
  void SetBitmap(const port::Bitmap* aValue) { fBitmap = aValue; }
  const std::u16string& PrinterName() const { return fPrinterName; }

 private:
  // Converts aMessage to one-byte text (CodePage, or the system's ANSI code page when it is 0 or
  // less) and prints it raw.
  bool WriteRaw(std::u16string_view aMessage);
  // Throws "kIOHandler_Spool.WriteNormal: Printer <name> not found" when no installed printer has
  // the name (compared in lower case).
  bool WriteNormal();
  // One raw job; a failure leaves the system's text in ErrorMessage (ErrorFound and ErrorCode
  // are not changed) and answers false.
  bool SpoolRaw(std::string_view aBytes);

  std::u16string fPrinterName;
  vxSpoolOutputType fOutputType = vxSpoolOutputType::Normal;
  const port::Bitmap* fBitmap = nullptr;
};
