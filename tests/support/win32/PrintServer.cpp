#include "support/PrintServer.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <fstream>
#include <map>

#include "support/TempDir.h"
#include "support/win32/UnixCommand.h"

namespace vxtest {
namespace {

std::wstring Wide(const std::string& aText) { return std::wstring(aText.begin(), aText.end()); }

void WriteText(const std::filesystem::path& aPath, const std::string& aText) {
  std::ofstream out(aPath, std::ios::binary);
  out << aText;
}

// The sheet of a PWG media name ("iso_a4_210x297mm", "na_letter_8.5x11in") in points, as text.
bool SheetInPoints(const std::string& aMedia, std::string& aWidth, std::string& aHeight) {
  size_t sizeAt = aMedia.rfind('_');
  if (sizeAt == std::string::npos) return false;
  std::string size = aMedia.substr(sizeAt + 1);
  double perUnit = 0;
  if (size.size() > 2 && size.compare(size.size() - 2, 2, "mm") == 0) perUnit = 72.0 / 25.4;
  if (size.size() > 2 && size.compare(size.size() - 2, 2, "in") == 0) perUnit = 72.0;
  double width = 0, height = 0;
  if (perUnit == 0 || std::sscanf(size.c_str(), "%lfx%lf", &width, &height) != 2) return false;
  char text[32];
  std::snprintf(text, sizeof(text), "%.2f", width * perUnit);
  aWidth = text;
  std::snprintf(text, sizeof(text), "%.2f", height * perUnit);
  aHeight = text;
  return true;
}

// A PostScript printer description with one sheet at one resolution, printable but for the
// given margins at its left and top.
std::string Ppd(const std::string& aWidth, const std::string& aHeight, int aDpi, int aLeftPt, int aTopPt) {
  const std::string sheet = aWidth + " " + aHeight;
  // The imageable area is given from the lower left corner: left, bottom, right, top.
  char top[32];
  std::snprintf(top, sizeof(top), "%.2f", std::stod(aHeight) - aTopPt);
  const std::string printable = std::to_string(aLeftPt) + " 0 " + aWidth + " " + top;
  return "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
         "*LanguageEncoding: ISOLatin1\n*PCFileName: \"VXTEST.PPD\"\n*Manufacturer: \"Test\"\n*Product: \"(Test)\"\n"
         "*ModelName: \"Test Printer\"\n*ShortNickName: \"Test Printer\"\n*NickName: \"Test Printer\"\n"
         "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: False\n*DefaultColorSpace: Gray\n"
         "*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n"
         "*DefaultResolution: " + std::to_string(aDpi) + "dpi\n"
         "*OpenUI *PageSize: PickOne\n*DefaultPageSize: Sheet\n"
         "*PageSize Sheet/Sheet: \"<</PageSize[" + sheet + "]/ImagingBBox null>>setpagedevice\"\n"
         "*CloseUI: *PageSize\n*OpenUI *PageRegion: PickOne\n*DefaultPageRegion: Sheet\n"
         "*PageRegion Sheet/Sheet: \"<</PageSize[" + sheet + "]/ImagingBBox null>>setpagedevice\"\n"
         "*CloseUI: *PageRegion\n*DefaultImageableArea: Sheet\n*ImageableArea Sheet/Sheet: \"" + printable + "\"\n"
         "*DefaultPaperDimension: Sheet\n*PaperDimension Sheet/Sheet: \"" + sheet + "\"\n";
}

class SpoolerPrintServer final : public PrintServer {
 public:
  ~SpoolerPrintServer() override {
    for (const auto& entry : fQueues) {
      std::wstring name = Wide(entry.second.printer);
      HANDLE printer = nullptr;
      if (OpenPrinterW(name.data(), &printer, nullptr)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
      }
      DeletePrinterDriverW(nullptr, nullptr, name.data());
      // The spooler keeps the copy of the description it made.
      wchar_t directory[MAX_PATH];
      DWORD needed = 0;
      if (GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof(directory),
                                     &needed)) {
        DeleteFileW((std::wstring(directory) + L"\\3\\" + name + L".ppd").c_str());
      }
    }
  }

  bool Start(const std::vector<PrintQueueSpec>& aQueues, std::string& aWhy) {
    if (!wine::UnderWine()) {
      aWhy = "the test printers need wine (a Unix file as the port)";
      return false;
    }
    const std::string folder = wine::UnixPath(fFolder.Path().wstring());
    if (folder.empty()) {
      aWhy = "no Unix path for the test folder";
      return false;
    }
    // Printer names are per process: the printers live in the prefix, which other test
    // processes share.
    const std::string suffix = "-vx" + std::to_string(GetCurrentProcessId());
    for (const PrintQueueSpec& queue : aQueues) {
      Queue added;
      added.printer = queue.name + suffix;
      added.port = folder + "/" + queue.name + ".job";
      std::string width, height;
      if (!SheetInPoints(queue.media, width, height)) {
        aWhy = "unknown media " + queue.media;
        return false;
      }
      const std::filesystem::path ppd = fFolder.Path() / (added.printer + ".ppd");
      WriteText(ppd, Ppd(width, height, queue.dpi, queue.marginLeftPt, queue.marginTopPt));

      // One driver per printer, named after it, carries the printer's description.
      std::wstring name = Wide(added.printer), ppdPath = ppd.wstring(), port = Wide(added.port);
      wchar_t driverFile[] = L"wineps.drv", printProcessor[] = L"WinPrint", raw[] = L"RAW";
      DRIVER_INFO_3W driver{};
      driver.cVersion = 3;
      driver.pName = name.data();
      driver.pDriverPath = driverFile;
      driver.pConfigFile = driverFile;
      driver.pDataFile = ppdPath.data();
      driver.pDefaultDataType = raw;
      if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver),
                               APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY)) {
        aWhy = "cannot add the printer driver: error " + std::to_string(GetLastError());
        return false;
      }
      PRINTER_INFO_2W info{};
      info.pPrinterName = name.data();
      info.pPortName = port.data();
      info.pDriverName = name.data();
      info.pPrintProcessor = printProcessor;
      info.pDatatype = raw;
      HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
      fQueues[queue.name] = added;
      if (!printer) {
        aWhy = "cannot add the printer: error " + std::to_string(GetLastError());
        return false;
      }
      ClosePrinter(printer);
    }
    return true;
  }

  // The spooler hands a job to its port when the document ends; the file is complete once its
  // size stops changing.
  std::string ReceiveJob(const std::string& aQueue, int aTimeoutMs) override {
    auto queue = fQueues.find(aQueue);
    if (queue == fQueues.end()) return "";
    const std::string file = wine::OnZ(queue->second.port);
    std::string bytes;
    for (int waited = 0; waited < aTimeoutMs; waited += 50) {
      Sleep(50);
      if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
      std::string now = ReadFileBytes(std::filesystem::path(file));
      if (!now.empty() && now == bytes) break;
      bytes = now;
    }
    DeleteFileA(file.c_str());
    return bytes;
  }

  bool LastJobTitle(const std::string&, std::string&) override { return false; }

  std::string PrinterName(const std::string& aQueue) const override {
    auto queue = fQueues.find(aQueue);
    return queue == fQueues.end() ? aQueue : queue->second.printer;
  }

 private:
  struct Queue {
    std::string printer;  // the name the spooler knows
    std::string port;     // Unix path of the file that receives each job
  };

  TempDir fFolder;
  std::map<std::string, Queue> fQueues;
};

}  // namespace

std::unique_ptr<PrintServer> PrintServer::Start(const std::vector<PrintQueueSpec>& aQueues, std::string& aWhy) {
  auto server = std::make_unique<SpoolerPrintServer>();
  if (!server->Start(aQueues, aWhy)) return nullptr;
  return server;
}

bool RenderPage(const std::string& aDocument, int aDpi, GreyImage& aImage, std::string& aWhy) {
  if (!wine::UnderWine()) {
    aWhy = "rendering needs the Unix renderers (wine)";
    return false;
  }
  TempDir folder;
  const std::filesystem::path input = folder.Path() / "page.doc", output = folder.Path() / "page.pgm";
  WriteText(input, aDocument);
  const std::string unixFolder = wine::UnixPath(folder.Path().wstring());
  const std::string command =
      RenderCommand(aDocument, aDpi, unixFolder + "/page.doc", unixFolder + "/page.pgm");
  if (command.empty()) {
    aWhy = "neither PDF nor PostScript";
    return false;
  }
  if (!wine::RunUnix(command, 30000)) {
    aWhy = "the renderer failed: " + command;
    return false;
  }
  return ReadGreyImage(output, aImage, aWhy);
}

}  // namespace vxtest
