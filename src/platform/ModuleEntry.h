#pragma once
// The module's start and end. Defined by the layer that owns the module-wide state (the command
// wrappers and their registries); called by the load and unload hooks of the module binary
// (src/platform/*/module/: DllMain on Windows, a static object of the shared object elsewhere).
// Programs that link the module's code without those hooks (tests, benchmarks) call them directly.
namespace vxmodule {

// Creates the application object, then the device registry. Cheap: it writes no file and starts
// no thread. Does nothing when the module is already started. Throws on failure, leaving the
// module stopped.
void Start();

// Destroys every device still open (each one's log writer writes all its queued lines), then the
// application object. Does nothing when the module is not started. Never throws.
void Stop() noexcept;

bool Started();

}  // namespace vxmodule
