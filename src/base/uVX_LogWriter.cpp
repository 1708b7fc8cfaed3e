#include "base/uVX_LogWriter.h"

#include "base/uVX_LogWriter_Thread.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Utf8.h"

namespace {

constexpr int kAttempts = 10;
constexpr int kAttemptPauseMs = 50;

void AppendDigits(std::u16string& aOut, int aValue, int aWidth) {
  char16_t digits[10];
  for (int i = aWidth - 1; i >= 0; --i) {
    digits[i] = static_cast<char16_t>(u'0' + aValue % 10);
    aValue /= 10;
  }
  aOut.append(digits, static_cast<size_t>(aWidth));
}

// "yyyy-mm-dd hh:mm:ss:zzz"
void AppendLineStamp(std::u16string& aOut, const port::LocalTime& aTime) {
  AppendDigits(aOut, aTime.year, 4);
  aOut.push_back(u'-');
  AppendDigits(aOut, aTime.month, 2);
  aOut.push_back(u'-');
  AppendDigits(aOut, aTime.day, 2);
  aOut.push_back(u' ');
  AppendDigits(aOut, aTime.hour, 2);
  aOut.push_back(u':');
  AppendDigits(aOut, aTime.minute, 2);
  aOut.push_back(u':');
  AppendDigits(aOut, aTime.second, 2);
  aOut.push_back(u':');
  AppendDigits(aOut, aTime.millisecond, 3);
}

std::u16string DateStamp(const port::LocalTime& aTime) {  // YYYYMMDD
  std::u16string out;
  AppendDigits(out, aTime.year, 4);
  AppendDigits(out, aTime.month, 2);
  AppendDigits(out, aTime.day, 2);
  return out;
}

// The name a full file gets: X.log -> X_YYYYMMDDHHMMSSmmm.log.
std::u16string RotatedName(const std::u16string& aPath, const port::LocalTime& aTime) {
  std::u16string out = port::RemoveExtension(aPath);
  out.push_back(u'_');
  out += DateStamp(aTime);
  AppendDigits(out, aTime.hour, 2);
  AppendDigits(out, aTime.minute, 2);
  AppendDigits(out, aTime.second, 2);
  AppendDigits(out, aTime.millisecond, 3);
  out += u".log";
  return out;
}

// A name without a last component (empty, or ending in a separator) gives no file at all.
std::shared_ptr<const std::u16string> FileIn(std::u16string_view aDirectory, std::u16string_view aName) {
  std::u16string name = port::LastPathComponent(aName);
  return std::make_shared<const std::u16string>(name.empty() ? std::u16string() : port::JoinPath(aDirectory, name));
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

tVX_LogWriter::tVX_LogWriter(std::u16string_view aFileName, std::u16string_view aDirectory,
                             int32_t aMaxMessageLength, bool aDaily)
    : fDirectory(aDirectory), fMaxMessageLength(aMaxMessageLength), fDaily(aDaily) {
  std::u16string name(aFileName);
  if (aDaily) name += u"_" + DateStamp(port::Now());
  name += u".log";
  fFileName = std::make_shared<const std::u16string>(port::JoinPath(fDirectory, name));
  port::CreateFolders(fDirectory);
  fThread = std::make_unique<tVX_LogThread>(*this);
}

tVX_LogWriter::~tVX_LogWriter() {
  // Drains the queue while this writer is still whole.
  fThread.reset();
}

void tVX_LogWriter::Write(tVX_MessageType aEntryType, std::u16string_view aMessage) {
  std::shared_ptr<const std::u16string> file = CurrentFile();
  if (file->empty()) throw tVX_Error(u"Log filename is empty ");
  port::LocalTime now = port::Now();
  std::u16string_view separator = aEntryType == tVX_MessageType::let_error ? u" - ERROR - " : u" - ";
  size_t length = aMessage.size();
  if (fMaxMessageLength > 0 && length > static_cast<size_t>(fMaxMessageLength)) {
    length = static_cast<size_t>(fMaxMessageLength);
    // Do not leave half of a surrogate pair behind.
    if (IsHighSurrogate(aMessage[length - 1])) --length;
  }
  tVX_LogLine line{std::move(file), {}};
  line.fText.reserve(23 + separator.size() + length);
  AppendLineStamp(line.fText, now);
  line.fText.append(separator);
  line.fText.append(aMessage.substr(0, length));
  fThread->Add(std::move(line));
}

void tVX_LogWriter::AppendLogLine(const tVX_LogLine& aLine) noexcept {
  try {
    const std::u16string& path = *aLine.fFile;
    if (CheckLogfileSize()) {
      int64_t size = port::FileSize(path);
      // The outcome is ignored: a file that cannot be renamed takes the line anyway and the
      // next line tries again.
      if (size >= 0 && size > static_cast<int64_t>(fMaxLogfileSize) * 1024)
        port::RenameFile(path, RotatedName(path, port::Now()));
    }
    std::string bytes = port::ToUtf8(aLine.fText);
    bytes += "\r\n";
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
      if ((port::FileExists(path) || port::CreateEmptyFile(path)) && port::AppendToFile(path, bytes)) return;
      if (attempt < kAttempts) port::SleepMs(kAttemptPauseMs);
    }
    // Given up: the line is dropped without a report.
  } catch (...) {
    // Out of memory: the line is dropped like an unwritable one.
  }
}

std::shared_ptr<const std::u16string> tVX_LogWriter::CurrentFile() const {
  std::lock_guard<std::mutex> lock(fNameLock);
  return fFileName;
}

std::u16string tVX_LogWriter::Directory() const {
  std::lock_guard<std::mutex> lock(fNameLock);
  return fDirectory;
}

void tVX_LogWriter::SetDirectory(std::u16string_view aDirectory) {
  port::CreateFolders(aDirectory);
  std::lock_guard<std::mutex> lock(fNameLock);
  fDirectory = aDirectory;
  fFileName = FileIn(fDirectory, *fFileName);
}

std::u16string tVX_LogWriter::FileName() const { return *CurrentFile(); }

void tVX_LogWriter::SetFileName(std::u16string_view aFileName) {
  std::lock_guard<std::mutex> lock(fNameLock);
  fFileName = FileIn(fDirectory, aFileName);
}

int64_t tVX_LogWriter::GetLogFileSize() const { return port::FileSize(FileName()); }
bool tVX_LogWriter::CheckLogfileSize() const { return true; }
int32_t tVX_LogWriter::MaxMessageLength() const { return fMaxMessageLength; }
bool tVX_LogWriter::Daily() const { return fDaily; }
int32_t tVX_LogWriter::MaxLogFileSize() const { return fMaxLogfileSize; }
tVX_LogThread& tVX_LogWriter::Thread() { return *fThread; }
