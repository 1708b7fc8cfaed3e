// tVX_Application: creation, module log, batch mode, messages to the user, notification icon,
// single-instance mode, timers.
#include "base/uVX_Base.h"
#include "base/uVX_LogWriter.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"

namespace {

std::u16string LogFilesFolder() { return port::JoinPath(GetApplicationFolder(), u"LogFiles"); }

}  // namespace

tVX_Application::tVX_Application() {
  // 1.
  fWait = std::make_unique<tVX_Wait>(this);
  fSetup = std::make_unique<tVX_Setup>();
  fTerminateOnExceptionIfBatch = true;
  // 2. The module log: not daily, no message cap; the folder is created now, the file at the first line.
  fLogger = std::make_unique<tVX_LogWriter>(GetApplicationName(), LogFilesFolder(), 0, false);
  // 3. The message table starts empty (a member).
  // 4.
  std::vector<std::u16string> arguments = port::CommandLineArguments();
  fIsBatch = !GetCommandLineSwitch(u"/BATCH", true, arguments).empty();
  fIsDebug = !GetCommandLineSwitch(u"/DEBUG", true, arguments).empty();
  fIsTest = !GetCommandLineSwitch(u"/TEST", true, arguments).empty();
  // 5. A module has no framework loop of its own to hook: the command wrappers catch every error,
  //    and a host that wants the behaviour calls OnApplicationException.
  // 6.
  fInfo = std::make_unique<tVX_ApplicationInfo>();
  fInfo->Load();
  // 7. The timer stack starts empty (a member).
  // 8.
  LoadMessages(u"MESSAGES");
}

tVX_Application::~tVX_Application() {
  DeleteNotifyIcon();
  // Leaving single-instance mode here keeps the lock from outliving the object: a module loaded
  // again by the same process could not take it otherwise.
  fSingleInstanceMutexHandle.reset();
  fSetup.reset();
  fLogger.reset();  // returns once every queued line is written
  fWait.reset();
  fMessages.clear();
  fInfo.reset();
}

void tVX_Application::Log(tVX_MessageType aEntryType, std::u16string_view aMessage) {
  if (aEntryType == tVX_MessageType::let_error) {
    std::lock_guard<std::mutex> guard(fLastErrorLock);
    fLastError = aMessage;
  }
  fLogger->Write(aEntryType, aMessage);
}

std::u16string tVX_Application::LastError() const {
  std::lock_guard<std::mutex> guard(fLastErrorLock);
  return fLastError;
}

std::u16string tVX_Application::GetLogDirectory() const { return fLogger->Directory(); }

std::u16string tVX_Application::GetLogFileName() const { return fLogger->FileName(); }

void tVX_Application::ChangeLogDirectory(std::u16string_view aNewDir) {
  fLogger->SetDirectory(port::JoinPath(LogFilesFolder(), aNewDir));  // a rooted aNewDir stays as it is
}

void tVX_Application::ChangeLogFilename(std::u16string_view aNewFileName) { fLogger->SetFileName(aNewFileName); }

void tVX_Application::ShowMessage(tVX_MessageType aKind, std::u16string_view aMessage) {
  bool waitShown = fWait->Started();
  if (waitShown) fWait->Stop();
  if (fIsBatch) {
    Log(tVX_MessageType::let_error, aMessage);
  } else {
    auto kind = aKind == tVX_MessageType::let_error ? port::MessageBoxKind::Error : port::MessageBoxKind::Information;
    if (!port::ShowMessageBox(GetApplicationName(), aMessage, kind)) Log(aKind, aMessage);  // no display
  }
  if (waitShown) fWait->Start(u"");
}

void tVX_Application::OnApplicationException(std::u16string_view aMessage) {
  if (!aMessage.empty()) ShowMessage(tVX_MessageType::let_error, aMessage);
  if (fIsBatch && fTerminateOnExceptionIfBatch) port::RequestTerminate();
}

void tVX_Application::Terminate() {
  port::ProcessMessages();
  port::SleepMs(500);
  port::RequestTerminate();
}

void tVX_Application::CreateNotifyIcon(port::WindowHandle aForm) {
  fIconData = port::NotifyIconData();
  fIconData.window = aForm;
  fIconData.callbackMessage = port::kFirstUserMessage + 100;
  fIconData.id = 1;
  fIconData.hasMessage = true;
  fIconData.hasIcon = true;
  port::AddNotifyIcon(fIconData);
  fNotifyIcon = true;
}

void tVX_Application::DeleteNotifyIcon() {
  if (!fNotifyIcon) return;
  fIconData.hasMessage = false;
  fIconData.hasIcon = false;
  port::DeleteNotifyIcon(fIconData);
  fNotifyIcon = false;
}

void tVX_Application::SetSingleInstance(bool aValue) {
  if (aValue == fSingleInstance) return;
  if (aValue) {
    std::unique_ptr<port::NamedLock> lock = port::TryAcquireNamedLock(GetApplicationName());
    if (!lock) {
      ShowMessage(tVX_MessageType::let_error, u"Impossible to enter single instance mode.");
      port::RequestTerminate();
      return;
    }
    fSingleInstanceMutexHandle = std::move(lock);
  } else {
    fSingleInstanceMutexHandle.reset();
  }
  fSingleInstance = aValue;
}

void tVX_Application::StartTimer() { fTimers.push(vxdate::Now()); }

int64_t tVX_Application::GetTimerValue() const {
  if (fTimers.empty()) throw tVX_Error(u"No timer is running");
  // The time of day alone is compared (see the header).
  return static_cast<int64_t>(vxdate::TimeOfDayMs(vxdate::Now())) - vxdate::TimeOfDayMs(fTimers.top());
}

int64_t tVX_Application::StopTimer() {
  int64_t elapsed = GetTimerValue();
  fTimers.pop();
  return elapsed;
}
