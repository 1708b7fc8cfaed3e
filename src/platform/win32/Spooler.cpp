#include "platform/Spooler.h"

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/win32/SysErrorText.h"

namespace port {
namespace {

std::wstring Wide(std::u16string_view aText) { return std::wstring(aText.begin(), aText.end()); }

BITMAPINFO TopDownInfo(const Bitmap& aBitmap) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = aBitmap.width;
  info.bmiHeader.biHeight = -aBitmap.height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

bool Usable(const Bitmap& aBitmap) {
  return aBitmap.width > 0 && aBitmap.height > 0 &&
         aBitmap.pixels.size() >= static_cast<size_t>(aBitmap.width) * static_cast<size_t>(aBitmap.height);
}

class GdiPrintDocument final : public PrintDocument {
 public:
  explicit GdiPrintDocument(HDC aDc) : fDc(aDc) {}
  ~GdiPrintDocument() override {
    if (!fEnded) AbortDoc(fDc);
    DeleteDC(fDc);
  }

  PageMetrics Metrics() const override {
    PageMetrics metrics;
    metrics.printableWidth = GetDeviceCaps(fDc, HORZRES);
    metrics.printableHeight = GetDeviceCaps(fDc, VERTRES);
    metrics.offsetX = GetDeviceCaps(fDc, PHYSICALOFFSETX);
    metrics.offsetY = GetDeviceCaps(fDc, PHYSICALOFFSETY);
    metrics.dpiX = GetDeviceCaps(fDc, LOGPIXELSX);
    return metrics;
  }

  void Draw(const Bitmap& aBitmap, int32_t aX, int32_t aY) override {
    if (!Usable(aBitmap)) return;
    BITMAPINFO info = TopDownInfo(aBitmap);
    SetDIBitsToDevice(fDc, aX, aY, static_cast<DWORD>(aBitmap.width), static_cast<DWORD>(aBitmap.height), 0, 0, 0,
                      static_cast<UINT>(aBitmap.height), aBitmap.pixels.data(), &info, DIB_RGB_COLORS);
  }

  void StretchDraw(const Bitmap& aBitmap, int32_t aX, int32_t aY, int32_t aWidth, int32_t aHeight) override {
    if (!Usable(aBitmap)) return;
    BITMAPINFO info = TopDownInfo(aBitmap);
    SetStretchBltMode(fDc, COLORONCOLOR);
    StretchDIBits(fDc, aX, aY, aWidth, aHeight, 0, 0, aBitmap.width, aBitmap.height, aBitmap.pixels.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
  }

  void End() override {
    fEnded = true;
    bool ok = EndPage(fDc) > 0;
    ok = EndDoc(fDc) > 0 && ok;
    if (!ok) throw tVX_Error(win32::SysErrorText(GetLastError()));
  }

 private:
  HDC fDc;
  bool fEnded = false;
};

}  // namespace

std::vector<std::u16string> InstalledPrinters() {
  std::vector<std::u16string> names;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0, count = 0;
  EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
  if (needed == 0) return names;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &count)) return names;
  const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (info[i].pPrinterName) names.emplace_back(reinterpret_cast<const char16_t*>(info[i].pPrinterName));
  }
  return names;
}

bool PrintRaw(std::u16string_view aPrinter, std::u16string_view aDocumentName, std::string_view aBytes,
              std::u16string& aErrorText) {
  std::wstring printer = Wide(aPrinter);
  std::wstring document = Wide(aDocumentName);
  wchar_t dataType[] = L"RAW";
  HANDLE handle = nullptr;
  bool ok = false;
  DWORD error = 0;
  if (OpenPrinterW(printer.data(), &handle, nullptr)) {
    DOC_INFO_1W info{document.data(), nullptr, dataType};
    if (StartDocPrinterW(handle, 1, reinterpret_cast<BYTE*>(&info)) != 0) {
      if (StartPagePrinter(handle)) {
        DWORD written = 0;
        ok = WritePrinter(handle, const_cast<char*>(aBytes.data()), static_cast<DWORD>(aBytes.size()), &written) &&
             written == aBytes.size();
      }
      if (!ok) error = GetLastError();
      EndPagePrinter(handle);
      EndDocPrinter(handle);
    } else {
      error = GetLastError();
    }
    ClosePrinter(handle);
  } else {
    error = GetLastError();
  }
  if (!ok) aErrorText = win32::SysErrorText(error);
  return ok;
}

std::unique_ptr<PrintDocument> PrintDocument::Begin(std::u16string_view aPrinter, std::u16string_view aTitle) {
  std::wstring printer = Wide(aPrinter);
  std::wstring title = Wide(aTitle);
  HDC dc = CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr);
  if (!dc) throw tVX_Error(win32::SysErrorText(GetLastError()));
  DOCINFOW info{};
  info.cbSize = sizeof(info);
  info.lpszDocName = title.c_str();
  if (StartDocW(dc, &info) <= 0) {
    DWORD error = GetLastError();
    DeleteDC(dc);
    throw tVX_Error(win32::SysErrorText(error));
  }
  auto document = std::make_unique<GdiPrintDocument>(dc);
  if (StartPage(dc) <= 0) throw tVX_Error(win32::SysErrorText(GetLastError()));
  return document;
}

}  // namespace port
