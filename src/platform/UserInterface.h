#pragma once
// The few user-interface services of the module: a message box, the wait window, the
// notification-area icon, a named lock for single-instance mode and the framework's message loop.
// On a system without a display (the POSIX build) the visible pieces report that nothing was
// shown, so that the caller can write the text to its log instead; the named lock is real.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace port {

// A native window handle (HWND on Windows), 0 for none.
using WindowHandle = uintptr_t;

enum class MessageBoxKind : uint8_t { Information, Error };

// Shows a modal message box titled aTitle with an OK button and waits for the user. Answers
// false, at once, when there is no display to show it on (the caller then logs the text).
bool ShowMessageBox(std::u16string_view aTitle, std::u16string_view aText, MessageBoxKind aKind);

// A small borderless window that stays on top of all others, centred on the screen, dark blue
// (red 12, green 25, blue 117), holding one centred label in white bold 10-point type. Belongs to
// the thread that created it.
class WaitWindow {
 public:
  virtual ~WaitWindow() = default;
  // Sets the label (lines separated by CR LF); the client area becomes 1.3 times the label's
  // width, 50 pixels high, with the label centred both ways.
  virtual void SetText(std::u16string_view aText) = 0;
  // Shows the window without taking the focus and paints it at once.
  virtual void Show() = 0;
  virtual void Hide() = 0;
};

// nullptr when there is no display (POSIX) or the window cannot be created.
std::unique_ptr<WaitWindow> CreateWaitWindow();

// The notification-area icon record: the window that receives the icon's messages, the callback
// message number, the icon id and which of those fields are valid.
struct NotifyIconData {
  WindowHandle window = 0;
  uint32_t callbackMessage = 0;
  uint32_t id = 0;
  bool hasMessage = false;  // callbackMessage is valid
  bool hasIcon = false;     // show the program's main icon
};

// Adds or removes the icon. Answer false when the shell refused or there is no display.
bool AddNotifyIcon(const NotifyIconData& aData);
bool DeleteNotifyIcon(const NotifyIconData& aData);

// The first message number free for a program's own use (WM_USER).
constexpr uint32_t kFirstUserMessage = 0x0400;

// A lock shared by every process of the machine under one name; released when destroyed.
// Windows: a named mutex (held by the thread that took it). POSIX: a socket bound to a name in
// the abstract namespace, so that nothing is left on disk and the system frees it with the process.
class NamedLock {
 public:
  virtual ~NamedLock() = default;
};

// Opens or creates the lock aName and takes it without waiting; nullptr when another holder
// (another process, or another thread of this one) has it.
std::unique_ptr<NamedLock> TryAcquireNamedLock(std::u16string_view aName);

// Lets the framework handle the calling thread's pending window messages. No-op without a display.
void ProcessMessages();

// Asks the host program's message loop to end the program (a quit message to the calling thread's
// queue). No-op on POSIX: a shared object has no loop of its own and never ends its host.
void RequestTerminate();

}  // namespace port
