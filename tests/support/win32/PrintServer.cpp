#include "support/PrintServer.h"

namespace vxtest {

// The Windows spooler under wine reads its printers from the print server that was configured
// when the process started, so a server started by the test cannot serve it.
std::unique_ptr<PrintServer> PrintServer::Start(const std::vector<PrintQueueSpec>&, std::string& aWhy) {
  aWhy = "no private print server for the Windows spooler";
  return nullptr;
}

bool RenderPdf(const std::string&, int, GreyImage&, std::string& aWhy) {
  aWhy = "no PDF renderer here";
  return false;
}

}  // namespace vxtest
