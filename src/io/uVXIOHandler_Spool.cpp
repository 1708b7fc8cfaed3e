#include "io/uVXIOHandler_Spool.h"

#include <cmath>

#include "base/uVX_Text.h"
#include "platform/CodePage.h"
#include "platform/Error.h"

namespace {

const char16_t kRawDocumentName[] = u"Zarvik Receipt";
const char16_t kNormalDocumentTitle[] = u"Cassivo Spool Output";

// Resolution at which a bitmap is taken to be drawn.
constexpr int kBitmapDpi = 300;

}  // namespace

kIOHandler_Spool::kIOHandler_Spool(const kConnection* aConnection, std::u16string_view aDirectory,
                                   std::u16string_view aFileName)
    : kIOHandler(u"kIOHandler_Spool", aConnection, aDirectory, aFileName) {
  if (aConnection) fPrinterName = aConnection->PrinterName();
}

bool kIOHandler_Spool::Write(std::u16string_view aMessage) {
  if (fOutputType == vxSpoolOutputType::Raw) return WriteRaw(aMessage);
  return WriteNormal();
}

bool kIOHandler_Spool::WriteBytes(std::string_view aBytes) { return SpoolRaw(aBytes); }

bool kIOHandler_Spool::WriteRaw(std::u16string_view aMessage) {
  const uint32_t codePage = CodePage() <= 0 ? port::AnsiCodePage() : static_cast<uint32_t>(CodePage());
  return SpoolRaw(port::EncodeCodePage(aMessage, codePage));
}

bool kIOHandler_Spool::SpoolRaw(std::string_view aBytes) {
  std::u16string error;
  if (port::PrintRaw(fPrinterName, kRawDocumentName, aBytes, error)) return true;
  SetErrorMessage(error);
  return false;
}

bool kIOHandler_Spool::WriteNormal() {
  // Without a picture there is nothing to print: no job is started.
  if (!fBitmap || fBitmap->width <= 0 || fBitmap->height <= 0) {
    throw tVX_Error(u"kIOHandler_Spool.WriteNormal: No bitmap to print");
  }
  const std::u16string wanted = vxtext::LowerCase(fPrinterName);
  std::u16string printer;
  bool installed = false;
  for (const std::u16string& name : port::InstalledPrinters()) {
    if (vxtext::LowerCase(name) == wanted) {
      printer = name;
      installed = true;
      break;
    }
  }
  if (!installed) throw tVX_Error(u"kIOHandler_Spool.WriteNormal: Printer " + fPrinterName + u" not found");

  std::unique_ptr<port::PrintDocument> document = port::PrintDocument::Begin(printer, kNormalDocumentTitle);
  const port::PageMetrics page = document->Metrics();
  const port::Bitmap& bitmap = *fBitmap;
  double scale = page.dpiX == kBitmapDpi ? 1.0 : static_cast<double>(page.dpiX) / kBitmapDpi;
  if (page.printableWidth < bitmap.width * scale) scale = static_cast<double>(page.printableWidth) / bitmap.width;
  if (page.printableHeight < bitmap.height * scale) scale = static_cast<double>(page.printableHeight) / bitmap.height;
  const int32_t w = static_cast<int32_t>(std::trunc(bitmap.width * scale));
  const int32_t h = static_cast<int32_t>(std::trunc(bitmap.height * scale));
  // Drawing coordinates start at the printable area's corner already: adding the physical
  // offsets again would push the picture off centre by the unprintable margin and cut off a
  // picture that was shrunk to the printable width.
  const int32_t x = (page.printableWidth - w) / 2;
  const int32_t y = (page.printableHeight - h) / 2;
  if (scale == 1.0) document->Draw(bitmap, x, y);
  else document->StretchDraw(bitmap, x, y, w, h);
  document->End();
  return true;
}

bool kIOHandler_Spool::Connected() { return true; }
bool kIOHandler_Spool::Disconnect() { return true; }
void kIOHandler_Spool::ClearBuffers() {}
std::u16string kIOHandler_Spool::ReadUpTo(const std::vector<uint8_t>&) { return u""; }
std::u16string kIOHandler_Spool::ReadChars(int32_t) { return u""; }
std::u16string kIOHandler_Spool::ReadAll() { throw tVX_Error(u"ReadAll Unsupported"); }
std::u16string kIOHandler_Spool::DecodeError(int32_t) { return u""; }
bool kIOHandler_Spool::InputBufferContainsData() { throw tVX_Error(u"InputBufferContainsData Unsupported"); }
void kIOHandler_Spool::SetParameter(std::u16string_view, std::u16string_view) {}
