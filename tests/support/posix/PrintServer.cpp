#include "support/PrintServer.h"

#include <cups/cups.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "platform/TcpSocket.h"
#include "support/TempDir.h"

namespace vxtest {
namespace {

void WriteText(const std::filesystem::path& aPath, const std::string& aText) {
  std::ofstream out(aPath, std::ios::binary);
  out << aText;
}

class CupsPrintServer final : public PrintServer {
 public:
  ~CupsPrintServer() override {
    if (fPid > 0) {
      kill(fPid, SIGTERM);
      for (int i = 0; i < 200; ++i) {
        if (waitpid(fPid, nullptr, WNOHANG) == fPid) {
          fPid = 0;
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      if (fPid > 0) {
        kill(fPid, SIGKILL);
        waitpid(fPid, nullptr, 0);
      }
    }
    unsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
  }

  bool Start(const std::vector<PrintQueueSpec>& aQueues, std::string& aWhy) {
    for (const PrintQueueSpec& queue : aQueues) {
      if (queue.marginLeftPt != 0 || queue.marginTopPt != 0) {
        aWhy = "a raw CUPS queue has no unprintable margins";
        return false;
      }
    }
    const std::filesystem::path root = fFolder.Path();
    for (const char* sub : {"spool", "cache", "state", "log"}) std::filesystem::create_directory(root / sub);
    // cupsd's helpers run as an unprivileged user and must reach the spool folder.
    chmod(root.c_str(), 0755);
    chmod((root / "spool").c_str(), 0777);
    std::string socket = (root / "cups.sock").string();

    // A free port for the server's own TCP listener.
    uint16_t serverPort = port::TcpListener::Listen(0)->Port();
    std::ostringstream printers;
    for (const PrintQueueSpec& queue : aQueues) {
      std::unique_ptr<port::TcpListener> device = port::TcpListener::Listen(0);
      printers << "<Printer " << queue.name << ">\nInfo " << queue.name << "\nDeviceURI socket://127.0.0.1:"
               << device->Port() << "\nState Idle\nAccepting Yes\nShared No\nOption media " << queue.media
               << "\nOption printer-resolution " << queue.dpi << "dpi\n</Printer>\n";
      fDevices[queue.name] = std::move(device);
    }
    WriteText(root / "printers.conf", printers.str());
    WriteText(root / "cupsd.conf", "Listen 127.0.0.1:" + std::to_string(serverPort) + "\nListen " + socket +
                                       "\nLogLevel warn\nBrowsing Off\nWebInterface No\nDefaultAuthType None\n"
                                       "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n");
    WriteText(root / "cups-files.conf",
              "ServerRoot " + root.string() + "\nRequestRoot " + (root / "spool").string() + "\nCacheDir " +
                  (root / "cache").string() + "\nStateDir " + (root / "state").string() + "\nTempDir " +
                  (root / "spool").string() + "\nErrorLog " + (root / "log/error_log").string() + "\nAccessLog " +
                  (root / "log/access_log").string() + "\nPageLog " + (root / "log/page_log").string() +
                  "\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nSandboxing Relaxed\n");

    if (access("/usr/sbin/cupsd", X_OK) != 0) {
      aWhy = "cupsd is not installed";
      return false;
    }
    const std::string conf = (root / "cupsd.conf").string(), files = (root / "cups-files.conf").string();
    fPid = fork();
    if (fPid == 0) {
      execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    if (fPid < 0) {
      aWhy = "cannot start cupsd";
      return false;
    }
    // Point this process's print client at the server before talking to it.
    setenv("CUPS_SERVER", socket.c_str(), 1);
    cupsSetServer(socket.c_str());
    for (int i = 0; i < 500; ++i) {
      if (waitpid(fPid, nullptr, WNOHANG) == fPid) {
        fPid = 0;
        aWhy = "cupsd ended at once; see " + (root / "log/error_log").string();
        return false;
      }
      http_t* http = httpConnect2(socket.c_str(), 0, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1, 100, nullptr);
      if (http) {
        httpClose(http);
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    aWhy = "cupsd did not answer";
    return false;
  }

  std::string PrinterName(const std::string& aQueue) const override { return aQueue; }

  bool LastJobTitle(const std::string& aQueue, std::string& aTitle) override {
    cups_job_t* jobs = nullptr;
    int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, aQueue.c_str(), 0, CUPS_WHICHJOBS_ALL);
    int last = -1;
    for (int i = 0; i < count; ++i) {
      if (last < 0 || jobs[i].id > jobs[last].id) last = i;
    }
    if (last >= 0) aTitle = jobs[last].title ? jobs[last].title : "";
    cupsFreeJobs(count, jobs);
    return last >= 0;
  }

  std::string ReceiveJob(const std::string& aQueue, int aTimeoutMs) override {
    auto device = fDevices.find(aQueue);
    if (device == fDevices.end()) return "";
    std::unique_ptr<port::TcpConnection> connection = device->second->Accept(aTimeoutMs);
    if (!connection) return "";
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(aTimeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
      port::TcpStatus status = connection->Read(bytes, 65536, 500);
      if (status == port::TcpStatus::Closed || status == port::TcpStatus::Error) break;
    }
    return bytes;
  }

 private:
  TempDir fFolder;
  pid_t fPid = 0;
  std::map<std::string, std::unique_ptr<port::TcpListener>> fDevices;
};

}  // namespace

std::unique_ptr<PrintServer> PrintServer::Start(const std::vector<PrintQueueSpec>& aQueues, std::string& aWhy) {
  auto server = std::make_unique<CupsPrintServer>();
  if (!server->Start(aQueues, aWhy)) return nullptr;
  return server;
}

bool RenderPage(const std::string& aDocument, int aDpi, GreyImage& aImage, std::string& aWhy) {
  TempDir folder;
  const std::filesystem::path input = folder.Path() / "page.doc", output = folder.Path() / "page.pgm";
  WriteText(input, aDocument);
  const std::string command = RenderCommand(aDocument, aDpi, input.string(), output.string());
  if (command.empty()) {
    aWhy = "neither PDF nor PostScript";
    return false;
  }
  if (system((command + " >/dev/null 2>&1").c_str()) != 0) {
    aWhy = "the renderer failed: " + command;
    return false;
  }
  return ReadGreyImage(output, aImage, aWhy);
}

}  // namespace vxtest
