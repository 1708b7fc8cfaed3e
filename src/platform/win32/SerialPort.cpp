#include "platform/SerialPort.h"

#include <windows.h>

#include <string>

namespace port {
namespace {

class Win32SerialPort final : public SerialPort {
 public:
  explicit Win32SerialPort(HANDLE aHandle) : fHandle(aHandle) {}
  ~Win32SerialPort() override { CloseHandle(fHandle); }

  SerialStateResult SetLine(const SerialLine& aLine) override {
    DCB state{};
    state.DCBlength = sizeof(state);
    if (!GetCommState(fHandle, &state)) return SerialStateResult::ReadFailed;
    static const BYTE kParity[] = {NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY};
    static const BYTE kStopBits[] = {ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};
    state.BaudRate = aLine.baudRate;
    state.ByteSize = aLine.dataBits;
    state.Parity = kParity[static_cast<int>(aLine.parity)];
    state.StopBits = kStopBits[static_cast<int>(aLine.stopBits)];
    if (!SetCommState(fHandle, &state)) return SerialStateResult::WriteFailed;
    return SerialStateResult::Ok;
  }

  SerialStateResult SetReadTimeouts(uint32_t aIntervalMs, uint32_t aTotalMs) override {
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(fHandle, &timeouts)) return SerialStateResult::ReadFailed;
    timeouts.ReadIntervalTimeout = aIntervalMs;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = aTotalMs;
    if (!SetCommTimeouts(fHandle, &timeouts)) return SerialStateResult::WriteFailed;
    return SerialStateResult::Ok;
  }

  int32_t Read(uint8_t* aBuffer, uint32_t aCount, uint32_t& aErrorFlags) override {
    aErrorFlags = 0;
    DWORD got = 0;
    if (!ReadFile(fHandle, aBuffer, aCount, &got, nullptr)) {
      DWORD errors = 0;
      ClearCommError(fHandle, &errors, nullptr);
      aErrorFlags = errors;
      return -1;
    }
    return static_cast<int32_t>(got);
  }

  bool Write(std::string_view aBytes) override {
    DWORD written = 0;
    if (!WriteFile(fHandle, aBytes.data(), static_cast<DWORD>(aBytes.size()), &written, nullptr)) return false;
    return written == aBytes.size();
  }

  bool Purge() override {
    return PurgeComm(fHandle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR) != 0;
  }

  uint32_t SetDtr(bool aAssert) override { return Escape(aAssert ? SETDTR : CLRDTR); }
  uint32_t SetRts(bool aAssert) override { return Escape(aAssert ? SETRTS : CLRRTS); }

  int32_t BytesPending() override {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(fHandle, &errors, &status)) return -1;
    return static_cast<int32_t>(status.cbInQue);
  }

 private:
  uint32_t Escape(DWORD aFunction) {
    if (EscapeCommFunction(fHandle, aFunction)) return 0;
    DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
  }

  HANDLE fHandle;
};

}  // namespace

std::u16string SerialPort::DevicePath(uint32_t aComNumber) {
  std::string path = "\\\\.\\COM" + std::to_string(aComNumber);
  return std::u16string(path.begin(), path.end());
}

SerialPort::OpenResult SerialPort::Open(uint32_t aComNumber) {
  OpenResult result;
  std::u16string path = DevicePath(aComNumber);
  HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_NO_BUFFERING, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    result.notFound = error == ERROR_FILE_NOT_FOUND;
    result.errorCode = error;
    return result;
  }
  result.port = std::make_unique<Win32SerialPort>(handle);
  return result;
}

}  // namespace port
