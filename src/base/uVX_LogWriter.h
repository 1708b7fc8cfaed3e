#pragma once
// The one log-file writer. Write() stamps and queues a line and returns at once; a background
// thread appends the lines in order, opening and closing the file for each, rotating it past the
// size threshold and retrying when it cannot be opened.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/uVX_Base_Defs.h"

class tVX_LogThread;

class tVX_LogWriter {
 public:
  // aFileName is the base name: "_YYYYMMDD" (today) is added when aDaily, then ".log". The
  // folder aDirectory is created at once (with its parents); the file at the first line.
  // aMaxMessageLength > 0 cuts longer messages. Throws tVX_Error when the folder name is invalid.
  tVX_LogWriter(std::u16string_view aFileName, std::u16string_view aDirectory, int32_t aMaxMessageLength,
                bool aDaily);
  // Returns once every line queued before it has been written (or given up).
  ~tVX_LogWriter();
  tVX_LogWriter(const tVX_LogWriter&) = delete;
  tVX_LogWriter& operator=(const tVX_LogWriter&) = delete;

  // Thread-safe; never touches the disk. Throws tVX_Error("Log filename is empty ") when
  // FileName() is empty.
  void Write(tVX_MessageType aEntryType, std::u16string_view aMessage);

  std::u16string Directory() const;
  void SetDirectory(std::u16string_view aDirectory);
  std::u16string FileName() const;  // full path of the current file
  void SetFileName(std::u16string_view aFileName);
  int64_t GetLogFileSize() const;   // bytes, -1 when it cannot be read
  bool CheckLogfileSize() const;    // always true: the size is tested before every line
  int32_t MaxMessageLength() const;
  bool Daily() const;
  int32_t MaxLogFileSize() const;   // KiB
  tVX_LogThread& Thread();

 private:
  friend class tVX_LogThread;
  void AppendLogLine(const std::u16string& aLine);  // log thread only

  std::u16string fDirectory;
  int32_t fMaxMessageLength = 0;
  std::u16string fFileName;
  bool fDaily = false;
  int32_t fMaxLogfileSize = 5000;
  std::unique_ptr<tVX_LogThread> fThread;
};
