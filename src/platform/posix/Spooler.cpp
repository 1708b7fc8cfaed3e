#include "platform/Spooler.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>
#include <cups/ipp.h>
#include <cups/pwg.h>
#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <string>

#include "platform/Error.h"
#include "platform/Utf8.h"

namespace port {
namespace {

// The pixel library under cairo builds its tables in a load-time constructor and never frees
// them. Unloaded together with this module (a host's dlclose), those tables would become
// unreachable memory; keeping the library for the life of the process keeps them reachable.
[[maybe_unused]] const bool gPixelLibraryKept =
    dlopen("libpixman-1.so.0", RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;

std::u16string CupsErrorText() {
  const char* text = cupsLastErrorString();
  return FromUtf8(text && *text ? text : "Print server error");
}

// Creates a job on aPrinter and sends aBytes as its one document of type aFormat.
bool SubmitJob(const std::string& aPrinter, const std::string& aTitle, std::string_view aBytes, const char* aFormat,
               std::u16string& aErrorText) {
  int job = cupsCreateJob(CUPS_HTTP_DEFAULT, aPrinter.c_str(), aTitle.c_str(), 0, nullptr);
  if (job <= 0) {
    aErrorText = CupsErrorText();
    return false;
  }
  bool sent = cupsStartDocument(CUPS_HTTP_DEFAULT, aPrinter.c_str(), job, aTitle.c_str(), aFormat, 1) ==
              HTTP_STATUS_CONTINUE;
  if (sent && !aBytes.empty()) {
    sent = cupsWriteRequestData(CUPS_HTTP_DEFAULT, aBytes.data(), aBytes.size()) == HTTP_STATUS_CONTINUE;
  }
  // The document is finished in every case: the request must be completed before the
  // connection can carry the next one.
  ipp_status_t status = cupsFinishDocument(CUPS_HTTP_DEFAULT, aPrinter.c_str());
  if (sent && status <= IPP_STATUS_OK_CONFLICTING) return true;
  aErrorText = CupsErrorText();
  cupsCancelJob2(CUPS_HTTP_DEFAULT, aPrinter.c_str(), job, 0);
  return false;
}

// Page geometry of a queue, read from its defaults: media-default (A4 when absent),
// printer-resolution-default (300 dpi when absent) and the margins of media-col-default.
struct PageGeometry {
  int widthMm100 = 21000, lengthMm100 = 29700;  // the sheet, in hundredths of a millimetre
  int left = 0, top = 0, right = 0, bottom = 0;  // margins, likewise
  int dpi = 300;
};

PageGeometry QueryGeometry(const std::string& aPrinter) {
  PageGeometry geometry;
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                   aPrinter.c_str());
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  static const char* const kWanted[] = {"media-default", "media-col-default", "printer-resolution-default"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, kWanted);
  ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
  if (!response) return geometry;
  if (ipp_attribute_t* media = ippFindAttribute(response, "media-default", IPP_TAG_ZERO)) {
    const char* name = ippGetString(media, 0, nullptr);
    pwg_media_t* size = name ? pwgMediaForPWG(name) : nullptr;
    if (!size && name) size = pwgMediaForLegacy(name);
    if (size && size->width > 0 && size->length > 0) {
      geometry.widthMm100 = size->width;
      geometry.lengthMm100 = size->length;
    }
  }
  if (ipp_attribute_t* col = ippFindAttribute(response, "media-col-default", IPP_TAG_BEGIN_COLLECTION)) {
    ipp_t* members = ippGetCollection(col, 0);
    auto margin = [members](const char* aName, int& aValue) {
      if (ipp_attribute_t* value = ippFindAttribute(members, aName, IPP_TAG_INTEGER)) aValue = ippGetInteger(value, 0);
    };
    margin("media-left-margin", geometry.left);
    margin("media-top-margin", geometry.top);
    margin("media-right-margin", geometry.right);
    margin("media-bottom-margin", geometry.bottom);
  }
  if (ipp_attribute_t* res = ippFindAttribute(response, "printer-resolution-default", IPP_TAG_RESOLUTION)) {
    int y = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    int x = ippGetResolution(res, 0, &y, &units);
    if (units == IPP_RES_PER_CM) x = static_cast<int>(std::lround(x * 2.54));
    if (x > 0) geometry.dpi = x;
  }
  ippDelete(response);
  return geometry;
}

int Mm100ToPixels(int aMm100, int aDpi) { return static_cast<int>(std::lround(aMm100 / 2540.0 * aDpi)); }

cairo_status_t AppendToString(void* aClosure, const unsigned char* aData, unsigned int aLength) {
  static_cast<std::string*>(aClosure)->append(reinterpret_cast<const char*>(aData), aLength);
  return CAIRO_STATUS_SUCCESS;
}

// The page as a one-page PDF: device pixels become points at the queue's resolution.
class CupsPrintDocument final : public PrintDocument {
 public:
  CupsPrintDocument(std::string aPrinter, std::string aTitle)
      : fPrinter(std::move(aPrinter)), fTitle(std::move(aTitle)) {
    PageGeometry geometry = QueryGeometry(fPrinter);
    fDpi = geometry.dpi;
    fMetrics.dpiX = geometry.dpi;
    fMetrics.offsetX = Mm100ToPixels(geometry.left, fDpi);
    fMetrics.offsetY = Mm100ToPixels(geometry.top, fDpi);
    fMetrics.printableWidth = Mm100ToPixels(geometry.widthMm100 - geometry.left - geometry.right, fDpi);
    fMetrics.printableHeight = Mm100ToPixels(geometry.lengthMm100 - geometry.top - geometry.bottom, fDpi);
    fSurface = cairo_pdf_surface_create_for_stream(AppendToString, &fPdf, geometry.widthMm100 / 2540.0 * 72.0,
                                                   geometry.lengthMm100 / 2540.0 * 72.0);
    fCairo = cairo_create(fSurface);
    if (cairo_status(fCairo) != CAIRO_STATUS_SUCCESS) {
      std::string reason = cairo_status_to_string(cairo_status(fCairo));
      Release();
      throw tVX_Error(FromUtf8("Cannot draw the page: " + reason));
    }
    // Device coordinates start at the printable area, one unit per device pixel.
    cairo_scale(fCairo, 72.0 / fDpi, 72.0 / fDpi);
    cairo_translate(fCairo, fMetrics.offsetX, fMetrics.offsetY);
  }
  ~CupsPrintDocument() override { Release(); }

  PageMetrics Metrics() const override { return fMetrics; }

  void Draw(const Bitmap& aBitmap, int32_t aX, int32_t aY) override {
    StretchDraw(aBitmap, aX, aY, aBitmap.width, aBitmap.height);
  }

  void StretchDraw(const Bitmap& aBitmap, int32_t aX, int32_t aY, int32_t aWidth, int32_t aHeight) override {
    if (aBitmap.width <= 0 || aBitmap.height <= 0 || aWidth <= 0 || aHeight <= 0 ||
        aBitmap.pixels.size() < static_cast<size_t>(aBitmap.width) * static_cast<size_t>(aBitmap.height)) {
      return;
    }
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, aBitmap.width, aBitmap.height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(image);
      throw tVX_Error(u"Cannot draw the page: the picture is too large");
    }
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int32_t row = 0; row < aBitmap.height; ++row) {
      std::memcpy(data + static_cast<size_t>(row) * stride, &aBitmap.pixels[static_cast<size_t>(row) * aBitmap.width],
                  static_cast<size_t>(aBitmap.width) * 4);
    }
    cairo_surface_mark_dirty(image);
    cairo_save(fCairo);
    cairo_translate(fCairo, aX, aY);
    cairo_scale(fCairo, static_cast<double>(aWidth) / aBitmap.width, static_cast<double>(aHeight) / aBitmap.height);
    cairo_set_source_surface(fCairo, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(fCairo), CAIRO_FILTER_NEAREST);
    cairo_rectangle(fCairo, 0, 0, aBitmap.width, aBitmap.height);
    cairo_fill(fCairo);
    cairo_restore(fCairo);
    cairo_surface_destroy(image);
  }

  void End() override {
    cairo_show_page(fCairo);
    cairo_destroy(fCairo);
    fCairo = nullptr;
    cairo_surface_finish(fSurface);
    cairo_status_t status = cairo_surface_status(fSurface);
    cairo_surface_destroy(fSurface);
    fSurface = nullptr;
    if (status != CAIRO_STATUS_SUCCESS) {
      throw tVX_Error(FromUtf8(std::string("Cannot draw the page: ") + cairo_status_to_string(status)));
    }
    std::u16string error;
    if (!SubmitJob(fPrinter, fTitle, fPdf, "application/pdf", error)) throw tVX_Error(error);
  }

 private:
  void Release() {
    if (fCairo) cairo_destroy(fCairo);
    if (fSurface) cairo_surface_destroy(fSurface);
    fCairo = nullptr;
    fSurface = nullptr;
  }

  std::string fPrinter;
  std::string fTitle;
  std::string fPdf;
  int fDpi = 300;
  PageMetrics fMetrics;
  cairo_surface_t* fSurface = nullptr;
  cairo_t* fCairo = nullptr;
};

}  // namespace

std::vector<std::u16string> InstalledPrinters() {
  std::vector<std::u16string> names;
  cups_dest_t* dests = nullptr;
  int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  for (int i = 0; i < count; ++i) {
    if (!dests[i].instance) names.push_back(FromUtf8(dests[i].name));
  }
  cupsFreeDests(count, dests);
  return names;
}

bool PrintRaw(std::u16string_view aPrinter, std::u16string_view aDocumentName, std::string_view aBytes,
              std::u16string& aErrorText) {
  return SubmitJob(ToUtf8(aPrinter), ToUtf8(aDocumentName), aBytes, CUPS_FORMAT_RAW, aErrorText);
}

std::unique_ptr<PrintDocument> PrintDocument::Begin(std::u16string_view aPrinter, std::u16string_view aTitle) {
  return std::make_unique<CupsPrintDocument>(ToUtf8(aPrinter), ToUtf8(aTitle));
}

}  // namespace port
