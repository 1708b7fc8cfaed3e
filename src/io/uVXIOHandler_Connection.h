#pragma once
// The connection settings of a device, read from the Connection element of its configuration,
// from which the factory builds the device's I/O handler.
#include <cstdint>
#include <string>
#include <string_view>

#include "io/uVX_HTTPClient_Defs.h"

enum class vxConnectionType : uint8_t { OPOS = 0, TCP = 1, HTTP = 2, Serial = 3, DLL = 4, Com = 5, Spool = 6 };
enum class vxParity : uint8_t { None = 0, Even = 1, Odd = 2 };
enum class vxSpoolOutputType : uint8_t { Raw = 0, Normal = 1 };

class kConnection {
 public:
  vxConnectionType ConnectionType() const { return fConnectionType; }
  void SetConnectionType(vxConnectionType aValue) { fConnectionType = aValue; }
  const std::u16string& Address() const { return fAddress; }
  void SetAddress(std::u16string_view aValue) { fAddress = aValue; }
  int32_t Port() const { return fPort; }
  void SetPort(int32_t aValue) { fPort = aValue; }
  const std::u16string& URL() const { return fURL; }
  void SetURL(std::u16string_view aValue) { fURL = aValue; }
  vxHTTPAuthType AuthType() const { return fAuthType; }
  void SetAuthType(vxHTTPAuthType aValue) { fAuthType = aValue; }
  const std::u16string& User() const { return fUser; }
  void SetUser(std::u16string_view aValue) { fUser = aValue; }
  const std::u16string& Password() const { return fPassword; }
  void SetPassword(std::u16string_view aValue) { fPassword = aValue; }
  const std::u16string& SerialPort() const { return fSerialPort; }
  void SetSerialPort(std::u16string_view aValue) { fSerialPort = aValue; }
  int32_t Speed() const { return fSpeed; }
  void SetSpeed(int32_t aValue) { fSpeed = aValue; }
  int32_t DataBits() const { return fDataBits; }
  void SetDataBits(int32_t aValue) { fDataBits = aValue; }
  vxParity Parity() const { return fParity; }
  void SetParity(vxParity aValue) { fParity = aValue; }
  int32_t StopBits() const { return fStopBits; }
  void SetStopBits(int32_t aValue) { fStopBits = aValue; }
  const std::u16string& DeviceName() const { return fDeviceName; }
  void SetDeviceName(std::u16string_view aValue) { fDeviceName = aValue; }
  const std::u16string& LibraryName() const { return fLibraryName; }
  void SetLibraryName(std::u16string_view aValue) { fLibraryName = aValue; }
  const std::u16string& PrinterName() const { return fPrinterName; }
  void SetPrinterName(std::u16string_view aValue) { fPrinterName = aValue; }
  // Milliseconds; the setters ignore values of 0 or less, so the previous value stays.
  int32_t ConnectTimeOut() const { return fConnectTimeOut; }
  void SetConnectTimeOut(int32_t aValue) {
    if (aValue > 0) fConnectTimeOut = aValue;
  }
  int32_t ReadTimeOut() const { return fReadTimeOut; }
  void SetReadTimeOut(int32_t aValue) {
    if (aValue > 0) fReadTimeOut = aValue;
  }

  // Texts are compared ignoring ASCII case. An unknown connection type or parity throws
  // tVX_Error quoting the text unchanged; an unknown authentication text gives at_None.
  static vxConnectionType ConvertConnectionType(std::u16string_view aString);
  static std::u16string ConnectionTypeToString(vxConnectionType aValue);  // "OPOS", "SERIAL", ...
  static vxParity ConvertParity(std::u16string_view aString);
  static std::u16string ParityToString(vxParity aValue);  // "NONE", "EVEN", "ODD"
  static vxHTTPAuthType ConvertAuthType(std::u16string_view aString);
  static std::u16string AuthTypeToString(vxHTTPAuthType aValue);  // "NONE", "BASIC", "DIGEST", "BEARER"

 private:
  vxConnectionType fConnectionType = vxConnectionType::OPOS;
  std::u16string fAddress;
  int32_t fPort = 0;
  std::u16string fURL;
  vxHTTPAuthType fAuthType = vxHTTPAuthType::at_None;
  std::u16string fUser;
  std::u16string fPassword;
  std::u16string fSerialPort;
  int32_t fSpeed = 0;
  int32_t fDataBits = 0;
  vxParity fParity = vxParity::None;
  int32_t fStopBits = 0;
  std::u16string fDeviceName;
  std::u16string fLibraryName;
  std::u16string fPrinterName;
  int32_t fConnectTimeOut = 1000;
  int32_t fReadTimeOut = 1000;
};
