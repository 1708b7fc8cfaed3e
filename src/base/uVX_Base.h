#pragma once
// The application object of the module (version information, module log, setup store, messages,
// timers, wait window, notification icon, single-instance lock) and the free helpers around the
// host program: its folder, name, command line and machine name, and locale date/time texts. The
// XML date conversions of uVX_Base_XmlDates.h come with it.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <stack>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/uVX_Base_Defs.h"
#include "base/uVX_Base_XmlDates.h"
#include "base/uVX_DateTime.h"
#include "platform/UserInterface.h"

class tVX_Application;
class tVX_LogWriter;

// ---- version information ----

// One entry of the version history: a version, its release date, its author and change notes.
class tVX_ApplicationHistory {
 public:
  explicit tVX_ApplicationHistory(std::u16string aVersion) : fVersion(std::move(aVersion)) {}

  const std::u16string& Version() const { return fVersion; }
  tDateTime ReleaseDate() const { return fReleaseDate; }
  void SetReleaseDate(tDateTime aValue) { fReleaseDate = aValue; }
  const std::u16string& Author() const { return fAuthor; }
  void SetAuthor(std::u16string aValue) { fAuthor = std::move(aValue); }
  const std::vector<std::u16string>& Text() const { return fText; }
  void AddText(std::u16string aLine) { fText.push_back(std::move(aLine)); }

 private:
  std::u16string fVersion;
  tDateTime fReleaseDate = 0;
  std::u16string fAuthor;
  std::vector<std::u16string> fText;
};

// A string table read by id: the string with that id, empty when there is none.
using tVX_StringSource = std::function<std::u16string(unsigned aId)>;

// The module's description, notice, version and history, read from its string table: strings
// "KEY=value" numbered from 10000; reading ends after eleven ids in a row without a string.
class tVX_ApplicationInfo {
 public:
  static constexpr unsigned kFirstStringId = 10000;
  static constexpr int kMaxMissingIds = 10;  // a longer run of missing ids ends the table

  tVX_ApplicationInfo() = default;
  tVX_ApplicationInfo(const tVX_ApplicationInfo&) = delete;
  tVX_ApplicationInfo& operator=(const tVX_ApplicationInfo&) = delete;

  // Reads the module's own string table.
  void Load();
  // Reads aStrings instead (the same rules), replacing what was loaded before. Throws tVX_Error
  // when a "$RELEASEDATE" does not form a valid date.
  void Load(const tVX_StringSource& aStrings);

  const std::u16string& Description() const { return fDescription; }
  const std::u16string& Copyright() const { return fCopyright; }
  const std::u16string& Version() const { return fVersion; }  // of the last history entry
  tDateTime ReleaseDate() const { return fReleaseDate; }      // of the last history entry
  // "[" version " - " release date in the locale's short date format "]".
  std::u16string VersionString() const;
  const std::vector<std::unique_ptr<tVX_ApplicationHistory>>& History() const { return fHistory; }

 private:
  void Process(std::u16string_view aString, tVX_ApplicationHistory*& aOpen);

  std::u16string fDescription;
  std::u16string fCopyright;
  std::u16string fVersion;
  tDateTime fReleaseDate = 0;
  std::vector<std::unique_ptr<tVX_ApplicationHistory>> fHistory;
};

// ---- setup store ----

// A dynamically typed setup value; std::monostate is the empty value.
using tVX_SetupValue = std::variant<std::monostate, bool, int64_t, double, std::u16string>;

class tVX_SetupEntry {
 public:
  tVX_SetupEntry(std::u16string_view aName, tVX_SetupValue aValue) : fName(aName), fValue(std::move(aValue)) {}
  const std::u16string& Name() const { return fName; }
  const tVX_SetupValue& Value() const { return fValue; }
  void SetValue(tVX_SetupValue aValue) { fValue = std::move(aValue); }

 private:
  std::u16string fName;  // as first given
  tVX_SetupValue fValue;
};

// Named values kept in memory only, in insertion order; names compare ignoring ASCII case.
// Not guarded: meant for one thread.
class tVX_Setup {
 public:
  tVX_Setup() = default;
  tVX_Setup(const tVX_Setup&) = delete;
  tVX_Setup& operator=(const tVX_Setup&) = delete;

  void Define(std::u16string_view aName);  // SetValue(aName, empty)
  tVX_SetupValue GetValue(std::u16string_view aName) const;  // empty when undefined
  void SetValue(std::u16string_view aName, tVX_SetupValue aValue);
  const std::vector<tVX_SetupEntry>& List() const { return fList; }

 private:
  std::vector<tVX_SetupEntry> fList;
};

// ---- wait window ----

// "Please wait" window shown while the program works. The window itself is created at the first
// Start, on the thread that shows it; without a display it is never created and only the state
// is kept.
class tVX_Wait {
 public:
  // aOwner (not owned, may be null) gives the language of the label.
  explicit tVX_Wait(const tVX_Application* aOwner);
  ~tVX_Wait();
  tVX_Wait(const tVX_Wait&) = delete;
  tVX_Wait& operator=(const tVX_Wait&) = delete;

  void Start(std::u16string_view aText);
  void Stop();
  // The label: "Wait please ..." for language "en", "Attendere prego ..." otherwise, then aText
  // on a line of its own when not empty.
  void SetText(std::u16string_view aText);
  bool Started() const { return fStarted; }
  const std::u16string& LabelText() const { return fLabel; }

 private:
  const tVX_Application* fOwner;
  std::unique_ptr<port::WaitWindow> fForm;
  std::u16string fLabel;
  bool fStarted = false;
  const std::u16string fText_IT = u"Attendere prego ...";
  const std::u16string fText_EN = u"Wait please ...";
};

// ---- application object ----

// A value for the placeholders of a message: %s takes text, %d/%u/%x integers, %f/%g/%e numbers.
using tVX_MessageValue = std::variant<std::u16string, int64_t, double>;

class tVX_Application {
 public:
  // Creates the wait window state and setup store, the module log (folder "LogFiles" beside the
  // host program, created at once; file named after the host program), reads the batch, debug
  // and test switches, loads the version information and the message table.
  tVX_Application();
  // Removes the notification icon, leaves single-instance mode, drains and closes the module log.
  ~tVX_Application();
  tVX_Application(const tVX_Application&) = delete;
  tVX_Application& operator=(const tVX_Application&) = delete;

  // Thread-safe. A let_error message is also kept as LastError.
  void Log(tVX_MessageType aEntryType, std::u16string_view aMessage);
  std::u16string GetLogDirectory() const;
  std::u16string GetLogFileName() const;
  // A relative aNewDir is taken beneath "LogFiles" in the host program's folder. The folder is
  // created; later lines go to a file of the same name there.
  void ChangeLogDirectory(std::u16string_view aNewDir);
  void ChangeLogFilename(std::u16string_view aNewFileName);

  // The localised text of aMessageId ("<language>.<id>", else "<default language>.<id>", else the
  // id itself) with its placeholders filled from aValues. A placeholder without a value stays as
  // written. The one-argument form also turns each four-character "\r\n" into CR LF.
  // (<windows.h> defines GetMessage as a macro: include this header only where it is not.)
  std::u16string GetMessage(std::u16string_view aMessageId) const;
  std::u16string GetMessage(std::u16string_view aMessageId, const std::vector<tVX_MessageValue>& aValues) const;
  // Adds the messages of the module's raw-data resource aResourceName, if there is one.
  void LoadMessages(std::u16string_view aResourceName);
  // Adds messages from lines "key:value[:...]"; a key already present keeps its first value.
  void LoadMessagesFromText(std::u16string_view aText);

  void ForceIsBatch() { fIsBatch = true; }

  // Shows the program's icon in the notification area for window aForm (callback message
  // WM_USER + 100, icon id 1); DeleteNotifyIcon removes it.
  void CreateNotifyIcon(port::WindowHandle aForm);
  void DeleteNotifyIcon();

  bool SingleInstance() const { return fSingleInstance; }
  // On: takes the machine-wide lock named after the host program; when another process holds
  // it, shows "Impossible to enter single instance mode." and asks the program to end.
  void SetSingleInstance(bool aValue);

  // Stopwatch timers, nested. Elapsed milliseconds compare the time of day alone, so a timer
  // running across midnight reports a negative value. StopTimer/GetTimerValue throw tVX_Error
  // when no timer runs.
  void StartTimer();
  int64_t StopTimer();
  int64_t GetTimerValue() const;
  int GetTimerCount() const { return static_cast<int>(fTimers.size()); }

  // Lets pending window messages run, waits 500 ms, then asks the program to end.
  void Terminate();
  // An error nobody handled: shown (or logged in batch mode); in batch mode with
  // TerminateOnExceptionIfBatch the program is asked to end.
  void OnApplicationException(std::u16string_view aMessage);
  // What ShowApplicationMessage does for this object: the wait window is hidden meanwhile; in
  // batch mode the message goes to the module log as an error, otherwise into a modal box (or,
  // without a display, to the module log at the level of aKind).
  void ShowMessage(tVX_MessageType aKind, std::u16string_view aMessage);

  tVX_Setup& Setup() { return *fSetup; }
  tVX_Wait& Wait() { return *fWait; }
  const port::NotifyIconData& IconData() const { return fIconData; }
  bool NotifyIcon() const { return fNotifyIcon; }
  bool HideOnMinimize() const { return fHideOnMinimize; }
  void SetHideOnMinimize(bool aValue) { fHideOnMinimize = aValue; }
  std::u16string LastError() const;
  bool IsBatch() const { return fIsBatch; }
  bool IsDebug() const { return fIsDebug; }
  bool IsTest() const { return fIsTest; }
  bool TerminateOnExceptionIfBatch() const { return fTerminateOnExceptionIfBatch; }
  void SetTerminateOnExceptionIfBatch(bool aValue) { fTerminateOnExceptionIfBatch = aValue; }
  const std::u16string& DefaultLanguage() const { return fDefaultLanguage; }
  void SetDefaultLanguage(std::u16string aValue) { fDefaultLanguage = std::move(aValue); }
  const std::u16string& Language() const { return fLanguage; }
  void SetLanguage(std::u16string aValue) { fLanguage = std::move(aValue); }
  const tVX_ApplicationInfo& Info() const { return *fInfo; }

 private:
  std::unique_ptr<tVX_Setup> fSetup;
  std::unique_ptr<tVX_Wait> fWait;
  port::NotifyIconData fIconData;
  bool fNotifyIcon = false;
  bool fHideOnMinimize = false;
  std::unique_ptr<tVX_LogWriter> fLogger;
  mutable std::mutex fLastErrorLock;  // Log may run on any thread
  std::u16string fLastError;
  bool fIsBatch = false;
  bool fIsDebug = false;
  bool fIsTest = false;
  bool fSingleInstance = false;
  std::unique_ptr<port::NamedLock> fSingleInstanceMutexHandle;
  bool fTerminateOnExceptionIfBatch = false;
  std::u16string fDefaultLanguage;
  std::u16string fLanguage;
  std::map<std::u16string, std::u16string> fMessages;
  std::unique_ptr<tVX_ApplicationInfo> fInfo;
  std::stack<tDateTime> fTimers;  // start times
};

// The module-wide application object: created by CreateTheApplication when the module is loaded
// (before the registries) and freed by FreeTheApplication when it is unloaded (after them). Null
// outside that time. Both run on the thread that loads and unloads the module.
extern tVX_Application* TheApplication;
void CreateTheApplication();
void FreeTheApplication();

// ---- free functions ----

// The host program's folder, with a trailing separator.
std::u16string GetApplicationFolder();
// The host executable's file name without folder and extension.
std::u16string GetApplicationName();

// The first parameter that equals aSwitch or starts with aSwitch followed by ":" or "=", compared
// ignoring ASCII case; empty when none does. aWholeParameter: the parameter as written; otherwise
// what follows the ":" or "=". The first form looks through the host program's parameters.
std::u16string GetCommandLineSwitch(std::u16string_view aSwitch, bool aWholeParameter);
std::u16string GetCommandLineSwitch(std::u16string_view aSwitch, bool aWholeParameter,
                                    const std::vector<std::u16string>& aArguments);

// The environment variable COMPUTERNAME; when it is not set, the host name on POSIX systems
// (which do not set it) and empty on Windows.
std::u16string GetMachineName();

// The aIndex-th (from 1) piece of aText between aSeparator characters; with aToEnd, everything
// from that piece's start to the end. Empty when aText has fewer pieces.
std::u16string GetTextField(std::u16string_view aText, int aIndex, char16_t aSeparator, bool aToEnd);

// Shows a message to the user (let_info: information, let_error: error) through TheApplication
// (see tVX_Application::ShowMessage); without an application object, straight in a message box.
void ShowApplicationMessage(tVX_MessageType aKind, std::u16string_view aMessage);

// The date part in the machine locale's short date format; the time part in its long time format.
std::u16string FormatShortDate(tDateTime aValue);
std::u16string FormatLongTime(tDateTime aValue);
