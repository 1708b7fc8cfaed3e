// Load and unload of the shared object: one static object, built while the module loads and
// destroyed at dlclose or at process exit. The module state it ends needs no other static object
// of the module (a device is destroyed without the driver registry), so the order in which the
// static objects go does not matter. On POSIX systems a log thread can be joined there.
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
