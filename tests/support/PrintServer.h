#pragma once
// A private print server for tests: cupsd in a temporary folder, listening on 127.0.0.1 and on a
// socket of its own, with raw queues whose device is socket://127.0.0.1:<port>, each port held
// by a listener of this object so that the test reads every job byte for byte. The process's
// print client is pointed at it while it runs. Linux only: elsewhere Start answers nullptr.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vxtest {

struct PrintQueueSpec {
  std::string name;
  std::string media = "iso_a4_210x297mm";  // the queue's default media (PWG name)
  int dpi = 300;                           // the queue's default resolution
};

class PrintServer {
 public:
  static std::unique_ptr<PrintServer> Start(const std::vector<PrintQueueSpec>& aQueues, std::string& aWhy);
  // Stops the server by its process id and removes its folder.
  virtual ~PrintServer() = default;
  PrintServer(const PrintServer&) = delete;
  PrintServer& operator=(const PrintServer&) = delete;

  // The next job that reaches aQueue's device, read until the server closes the connection;
  // empty when none came within aTimeoutMs.
  virtual std::string ReceiveJob(const std::string& aQueue, int aTimeoutMs) = 0;

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

// Renders the first page of a PDF at aDpi (with pdftoppm). False with aWhy set when it cannot.
bool RenderPdf(const std::string& aPdf, int aDpi, GreyImage& aImage, std::string& aWhy);

}  // namespace vxtest
