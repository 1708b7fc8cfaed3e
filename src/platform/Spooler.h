#pragma once
// Printing through the system's print spooler: the Windows spooler and GDI, or CUPS on Linux.
// Every job is complete in itself: nothing stays open between two jobs. Calls are made from one
// thread at a time.
//
// On Linux the client talks to the CUPS server that libcups chooses (the CUPS_SERVER variable,
// the client configuration, or the local scheduler). Raw jobs go as raw documents; a drawn page
// goes as a one-page PDF of the queue's default media size, drawn with cairo.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace port {

// A picture in memory: width times height pixels, rows from top to bottom, each 0x00RRGGBB.
struct Bitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

// The names of the printers installed on this system, as the spooler spells them.
std::vector<std::u16string> InstalledPrinters();

// One raw job of one page on aPrinter named aDocumentName: aBytes reach the printer unchanged.
// True when every byte was handed to the spooler; otherwise false with aErrorText holding the
// system's text for the failure.
bool PrintRaw(std::u16string_view aPrinter, std::u16string_view aDocumentName, std::string_view aBytes,
              std::u16string& aErrorText);

// What a page offers, in device pixels: the printable area, the distance from the sheet's edges
// to it, and the horizontal resolution in dots per inch.
struct PageMetrics {
  int32_t printableWidth = 0;   // HORZRES
  int32_t printableHeight = 0;  // VERTRES
  int32_t offsetX = 0;          // PHYSICALOFFSETX
  int32_t offsetY = 0;          // PHYSICALOFFSETY
  int32_t dpiX = 0;             // LOGPIXELSX
};

// A one-page document being drawn. Coordinates are device pixels from the top left corner of
// the printable area. Destroying a document that was not ended abandons it: nothing is printed.
class PrintDocument {
 public:
  // Begins a document titled aTitle on the installed printer aPrinter. Throws tVX_Error with the
  // system's text when the printer cannot take it.
  static std::unique_ptr<PrintDocument> Begin(std::u16string_view aPrinter, std::u16string_view aTitle);

  virtual ~PrintDocument() = default;
  PrintDocument(const PrintDocument&) = delete;
  PrintDocument& operator=(const PrintDocument&) = delete;

  virtual PageMetrics Metrics() const = 0;
  // aBitmap with one device pixel per bitmap pixel, its top left corner at (aX, aY).
  virtual void Draw(const Bitmap& aBitmap, int32_t aX, int32_t aY) = 0;
  // aBitmap stretched over the aWidth by aHeight rectangle at (aX, aY).
  virtual void StretchDraw(const Bitmap& aBitmap, int32_t aX, int32_t aY, int32_t aWidth, int32_t aHeight) = 0;
  // Ends the page and the document and hands it to the spooler. Throws tVX_Error on failure.
  virtual void End() = 0;

 protected:
  PrintDocument() = default;
};

}  // namespace port
