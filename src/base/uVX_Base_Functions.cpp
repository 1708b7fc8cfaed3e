// Free functions of uVX_Base and the module-wide application object.
#include "base/uVX_Base.h"
#include "base/uVX_Text.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Process.h"

tVX_Application* TheApplication = nullptr;

void CreateTheApplication() {
  if (TheApplication == nullptr) TheApplication = new tVX_Application();
}

void FreeTheApplication() {
  delete TheApplication;
  TheApplication = nullptr;
}

std::u16string GetApplicationFolder() {
  std::u16string path = port::ExecutablePath();
  path.resize(path.size() - port::LastPathComponent(path).size());  // keeps the separator
  return path;
}

std::u16string GetApplicationName() { return port::RemoveExtension(port::LastPathComponent(port::ExecutablePath())); }

std::u16string GetCommandLineSwitch(std::u16string_view aSwitch, bool aWholeParameter) {
  return GetCommandLineSwitch(aSwitch, aWholeParameter, port::CommandLineArguments());
}

std::u16string GetCommandLineSwitch(std::u16string_view aSwitch, bool aWholeParameter,
                                    const std::vector<std::u16string>& aArguments) {
  std::u16string name = vxtext::LowerCase(aSwitch);
  for (const std::u16string& argument : aArguments) {
    std::u16string lower = vxtext::LowerCase(argument);
    bool match = lower == name || vxtext::StartsWith(lower, name + u":") || vxtext::StartsWith(lower, name + u"=");
    if (!match) continue;
    if (aWholeParameter) return argument;
    return argument.size() > name.size() ? argument.substr(name.size() + 1) : std::u16string();
  }
  return {};
}

std::u16string GetMachineName() {
  std::optional<std::u16string> name = port::EnvironmentVariable(u"COMPUTERNAME");
  return name ? *name : port::DefaultMachineName();
}

std::u16string GetTextField(std::u16string_view aText, int aIndex, char16_t aSeparator, bool aToEnd) {
  if (aIndex < 1) return {};
  size_t start = 0;
  for (int piece = 1; piece < aIndex; ++piece) {
    size_t next = aText.find(aSeparator, start);
    if (next == std::u16string_view::npos) return {};
    start = next + 1;
  }
  if (aToEnd) return std::u16string(aText.substr(start));
  size_t end = aText.find(aSeparator, start);
  return std::u16string(aText.substr(start, end == std::u16string_view::npos ? end : end - start));
}

void ShowApplicationMessage(tVX_MessageType aKind, std::u16string_view aMessage) {
  if (TheApplication != nullptr) {
    TheApplication->ShowMessage(aKind, aMessage);
    return;
  }
  port::ShowMessageBox(GetApplicationName(), aMessage,
                       aKind == tVX_MessageType::let_error ? port::MessageBoxKind::Error
                                                           : port::MessageBoxKind::Information);
}

std::u16string FormatShortDate(tDateTime aValue) {
  tVX_DateTimeParts parts = vxdate::Decode(aValue);
  return port::ShortDateText(parts.year, parts.month, parts.day);
}

std::u16string FormatLongTime(tDateTime aValue) {
  tVX_DateTimeParts parts = vxdate::Decode(aValue);
  return port::LongTimeText(parts.hour, parts.minute, parts.second);
}
