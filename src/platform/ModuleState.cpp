#include "platform/ModuleState.h"

#include <atomic>

namespace port {

namespace {
std::atomic<UnloadKind> gUnloading{UnloadKind::None};
}

void SetModuleUnloading(UnloadKind aKind) { gUnloading.store(aKind); }
UnloadKind ModuleUnloading() { return gUnloading.load(); }

}  // namespace port
