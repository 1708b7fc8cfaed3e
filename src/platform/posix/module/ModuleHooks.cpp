// Load and unload of the shared object: one static object, built while the module loads and
// destroyed at dlclose or at process exit. Objects built before it (during the loading) outlive
// it, so the driver registrations are still there while it tears the devices down.
#include "platform/ModuleEntry.h"

namespace {

class tModuleLifetime {
 public:
  tModuleLifetime() {
    try {
      vxmodule::Start();
    } catch (...) {
      // Left stopped: every command then answers its failure instead of the process ending here.
    }
  }
  ~tModuleLifetime() { vxmodule::Stop(); }
  tModuleLifetime(const tModuleLifetime&) = delete;
  tModuleLifetime& operator=(const tModuleLifetime&) = delete;
};

tModuleLifetime gModuleLifetime;

}  // namespace
