#pragma once
// A private print server for tests, with queues whose every job the test reads byte for byte.
// Linux: cupsd in a temporary folder, listening on 127.0.0.1 and on a socket of its own, with raw
// queues whose device is socket://127.0.0.1:<port>, each port held by a listener of this object;
// the process's print client is pointed at it while it runs. Under wine: printers of the Windows
// spooler, each with a PPD of its own (media, resolution, no margins) and a Unix file as its
// port, which receives each job. Elsewhere Start answers nullptr.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vxtest {

struct PrintQueueSpec {
  std::string name;
  std::string media = "iso_a4_210x297mm";  // the queue's default media (PWG name)
  int dpi = 300;                           // the queue's default resolution
  // Unprintable edges at the left and the top of the sheet, in points. Only the Windows spooler
  // has them (a PPD's imageable area); a raw CUPS queue prints to the edges.
  int marginLeftPt = 0;
  int marginTopPt = 0;
};

class PrintServer {
 public:
  static std::unique_ptr<PrintServer> Start(const std::vector<PrintQueueSpec>& aQueues, std::string& aWhy);
  // Stops the server by its process id and removes its folder.
  virtual ~PrintServer() = default;
  PrintServer(const PrintServer&) = delete;
  PrintServer& operator=(const PrintServer&) = delete;

  // The next job that reaches aQueue's device, complete; empty when none came within aTimeoutMs.
  virtual std::string ReceiveJob(const std::string& aQueue, int aTimeoutMs) = 0;
  // The name under which the system's spooler knows aQueue.
  virtual std::string PrinterName(const std::string& aQueue) const = 0;
  // The title of the last job aQueue took; false where the server does not keep it (wine's
  // spooler forgets a job once its port has it).
  virtual bool LastJobTitle(const std::string& aQueue, std::string& aTitle) = 0;

 protected:
  PrintServer() = default;
};

// A page rendered in grey levels (0 black .. 255 white), rows from the top.
struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  uint8_t At(int aX, int aY) const { return pixels[static_cast<size_t>(aY) * width + aX]; }
};

// Renders the first page of a PDF (with pdftoppm) or PostScript document (with Ghostscript) at
// aDpi. False with aWhy set when it cannot.
bool RenderPage(const std::string& aDocument, int aDpi, GreyImage& aImage, std::string& aWhy);

// Reads a binary grey map (PGM, 8 bits) as the renderers write it.
bool ReadGreyImage(const std::filesystem::path& aFile, GreyImage& aImage, std::string& aWhy);

// The renderer's command line for aDocument, reading aInput and writing the grey map aOutput.
std::string RenderCommand(const std::string& aDocument, int aDpi, const std::string& aInput,
                          const std::string& aOutput);

}  // namespace vxtest
