#include "platform/UserInterface.h"

#include <string>
#include <windows.h>
#include <shellapi.h>

namespace port {
namespace {

std::wstring ToWide(std::u16string_view aText) { return std::wstring(aText.begin(), aText.end()); }

class MutexLock final : public NamedLock {
 public:
  explicit MutexLock(HANDLE aMutex) : fMutex(aMutex) {}
  ~MutexLock() override {
    ReleaseMutex(fMutex);
    CloseHandle(fMutex);
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  HANDLE fMutex;
};

// The host program's own icon: its MAINICON resource, else its first icon, else the system's.
HICON ProgramIcon() {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  if (icon != nullptr) return icon;
  wchar_t path[MAX_PATH] = {};
  if (GetModuleFileNameW(nullptr, path, MAX_PATH) > 0) {
    icon = ExtractIconW(GetModuleHandleW(nullptr), path, 0);
    if (icon != nullptr && icon != reinterpret_cast<HICON>(1)) return icon;
  }
  return LoadIconW(nullptr, IDI_APPLICATION);
}

NOTIFYICONDATAW ToRecord(const NotifyIconData& aData) {
  NOTIFYICONDATAW record{};
  record.cbSize = sizeof record;
  record.hWnd = reinterpret_cast<HWND>(aData.window);
  record.uID = aData.id;
  if (aData.hasMessage) {
    record.uFlags |= NIF_MESSAGE;
    record.uCallbackMessage = aData.callbackMessage;
  }
  if (aData.hasIcon) {
    record.uFlags |= NIF_ICON;
    record.hIcon = ProgramIcon();
  }
  return record;
}

}  // namespace

bool ShowMessageBox(std::u16string_view aTitle, std::u16string_view aText, MessageBoxKind aKind) {
  std::wstring title = ToWide(aTitle);
  std::wstring text = ToWide(aText);
  UINT style = MB_OK | MB_TASKMODAL | (aKind == MessageBoxKind::Error ? MB_ICONERROR : MB_ICONINFORMATION);
  return MessageBoxW(nullptr, text.c_str(), title.c_str(), style) != 0;
}

bool AddNotifyIcon(const NotifyIconData& aData) {
  NOTIFYICONDATAW record = ToRecord(aData);
  return Shell_NotifyIconW(NIM_ADD, &record) != FALSE;
}

bool DeleteNotifyIcon(const NotifyIconData& aData) {
  NOTIFYICONDATAW record = ToRecord(aData);
  return Shell_NotifyIconW(NIM_DELETE, &record) != FALSE;
}

std::unique_ptr<NamedLock> TryAcquireNamedLock(std::u16string_view aName) {
  std::wstring name = ToWide(aName);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return nullptr;
  DWORD wait = WaitForSingleObject(mutex, 0);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::make_unique<MutexLock>(mutex);
}

void ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to consume: leave it for the host's loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void RequestTerminate() { PostQuitMessage(0); }

}  // namespace port
