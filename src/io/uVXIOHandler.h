#pragma once
// The I/O handler: every device's channel to the outside, its log and the holder of the last
// error its operations report. A subclass per transport implements the channel; the base owns the
// device's log writer, writes the START and STOP banners and formats the log lines.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/uVX_Base_Defs.h"
#include "base/uVX_Currency.h"
#include "io/uVXIOHandler_Connection.h"

class tVX_LogWriter;

class kIOHandler {
 public:
  // Writes the STOP banner (when there is a log) and frees the log writer. A subclass frees its
  // own channel first (its members go before the base).
  virtual ~kIOHandler();
  kIOHandler(const kIOHandler&) = delete;
  kIOHandler& operator=(const kIOHandler&) = delete;

  // ---- the channel, in slot order ----
  virtual bool Connected() = 0;
  // Opens the channel. The base writes the banner (a line of asterisks, the class name, Version
  // and the two time-outs) and returns true; subclasses call it first.
  virtual bool Connect();
  virtual bool Disconnect() = 0;  // true when the channel is closed
  virtual void ClearBuffers() = 0;
  virtual bool Write(std::u16string_view aMessage) = 0;
  // Reads until one of the terminator bytes arrives or the read time-out passes.
  virtual std::u16string ReadUpTo(const std::vector<uint8_t>& aChars) = 0;
  virtual std::u16string ReadChars(int32_t aCharsNum) = 0;
  virtual std::u16string ReadAll() = 0;
  virtual std::u16string DecodeError(int32_t aErrorCode) = 0;
  virtual bool InputBufferContainsData() = 0;
  virtual void SetParameter(std::u16string_view aName, std::u16string_view aValue) = 0;

  // ---- log ----
  // Without a log writer (no directory or no file name given) the logging operations do nothing.
  // aTitle + ":" + aMessage, with " [" + the hex dump of aMessage + "]" appended when HexLog is
  // set. Has the form of vxWriteLogEvent, so the HTTP client's log event can be bound to it.
  void WriteLog(tVX_MessageType aEntryType, std::u16string_view aTitle, std::u16string_view aMessage);
  // aMessage as it is.
  void Debug(tVX_MessageType aEntryType, std::u16string_view aMessage);
  // Full path of the current log file; empty without a log writer.
  std::u16string GetLogFileName() const;

  // ---- the last custom error ----
  void SetCustomError(int32_t aErrorCode, std::u16string_view aErrorMessage);
  void ResetCustomError();
  bool ErrorFound() const { return fErrorFound; }
  int32_t ErrorCode() const { return fErrorCode; }
  const std::u16string& ErrorMessage() const { return fErrorMessage; }

  // ---- settings ----
  // Logs the change; aNewTimeout <= 0 changes nothing. The previous value is kept for
  // ResetTemporaryReadTimeout.
  void SetTemporaryReadTimeout(int32_t aNewTimeout);
  void ResetTemporaryReadTimeout();
  bool HexLog() const { return fHexLog; }
  void SetHexLog(bool aValue) { fHexLog = aValue; }
  int32_t ConnectTimeout() const { return fConnectTimeout; }  // milliseconds
  void SetConnectTimeout(int32_t aValue) { fConnectTimeout = aValue; }
  int32_t ReadTimeout() const { return fReadTimeout; }  // milliseconds
  void SetReadTimeout(int32_t aValue) { fReadTimeout = aValue; }
  const std::u16string& Version() const { return fVersion; }
  void SetVersion(std::u16string_view aValue) { fVersion = aValue; }
  // Windows code page of text written by the TCP and spool handlers; 0 keeps the handler's own.
  int32_t CodePage() const { return fCodePage; }
  void SetCodePage(int32_t aValue) { fCodePage = aValue; }
  const std::u16string& ClassName() const { return fClassName; }

 protected:
  // aConnection may be null (the time-outs then stay at 1000 ms). With a directory and a file
  // name, creates the daily log writer (file aFileName + "_YYYYMMDD.log" in aDirectory) and
  // writes the START banner. Throws tVX_Error when the directory name is invalid.
  kIOHandler(std::u16string_view aClassName, const kConnection* aConnection, std::u16string_view aDirectory,
             std::u16string_view aFileName);

  // Each UTF-16 code unit as lower-case hex of at least two digits, separated by blanks.
  static std::u16string HexDump(std::u16string_view aText);
  // An amount for the log: "." separator, at most four decimals, no grouping (12.5).
  static std::u16string FormatAmount(tVX_Currency aValue);
  // The same as ResetCustomError.
  void ResetError();
  bool HasLog() const { return fLogger != nullptr; }

 private:
  std::u16string fClassName;
  bool fErrorFound = false;
  int32_t fErrorCode = 0;
  std::u16string fErrorMessage;
  bool fHexLog = false;
  int32_t fConnectTimeout = 1000;
  int32_t fReadTimeout = 1000;
  std::u16string fVersion;
  int32_t fCodePage = 0;
  std::unique_ptr<tVX_LogWriter> fLogger;
  int32_t fTemporaryReadTimeout = 0;
};
