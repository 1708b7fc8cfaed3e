#pragma once
// The one log-file writer. Write() stamps and queues a line and returns at once; a background
// thread appends the lines in order, opening and closing the file for each, rotating it past the
// size threshold and retrying when it cannot be opened.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "base/uVX_Base_Defs.h"

class tVX_LogThread;

// One finished line (without its line end) and the file it goes to: the file that was current
// when Write was called, so a later FileName or Directory change does not move queued lines.
struct tVX_LogLine {
  std::shared_ptr<const std::u16string> fFile;
  std::u16string fText;
};

class tVX_LogWriter {
 public:
  // aFileName is the base name: "_YYYYMMDD" (today) is added when aDaily, then ".log". The
  // folder aDirectory is created at once (with its parents); the file at the first line.
  // aMaxMessageLength > 0 cuts longer messages. Throws tVX_Error when the folder name is invalid.
  tVX_LogWriter(std::u16string_view aFileName, std::u16string_view aDirectory, int32_t aMaxMessageLength,
                bool aDaily);
  // Returns once every line queued before it has been written (or given up), also while the
  // module is being unloaded (see platform/Thread.h).
  ~tVX_LogWriter();
  tVX_LogWriter(const tVX_LogWriter&) = delete;
  tVX_LogWriter& operator=(const tVX_LogWriter&) = delete;

  // Thread-safe; never touches the disk. Throws tVX_Error("Log filename is empty ") when
  // FileName() is empty.
  void Write(tVX_MessageType aEntryType, std::u16string_view aMessage);

  std::u16string Directory() const;
  // Creates the folder (and parents) and moves FileName() into it; the old file stays where it
  // is. Throws tVX_Error, changing nothing, when the folder name is invalid.
  void SetDirectory(std::u16string_view aDirectory);
  std::u16string FileName() const;  // full path of the current file
  // Directory() joined with the last component of aFileName, taken as it is (no date, no
  // ".log"); a name without a last component leaves FileName() empty.
  void SetFileName(std::u16string_view aFileName);
  int64_t GetLogFileSize() const;   // bytes, -1 when it cannot be read
  bool CheckLogfileSize() const;    // always true: the size is tested before every line
  int32_t MaxMessageLength() const;
  bool Daily() const;
  int32_t MaxLogFileSize() const;   // KiB
  tVX_LogThread& Thread();

 private:
  friend class tVX_LogThread;
  // Rotates when needed and appends one line with up to 10 attempts. Runs on the log thread, or
  // on the destroying thread once the log thread has stopped taking lines. Never throws.
  void AppendLogLine(const tVX_LogLine& aLine) noexcept;
  std::shared_ptr<const std::u16string> CurrentFile() const;

  mutable std::mutex fNameLock;  // guards fDirectory and fFileName (read by writing threads)
  std::u16string fDirectory;
  int32_t fMaxMessageLength = 0;
  std::shared_ptr<const std::u16string> fFileName;
  bool fDaily = false;
  int32_t fMaxLogfileSize = 5000;
  std::unique_ptr<tVX_LogThread> fThread;
};
