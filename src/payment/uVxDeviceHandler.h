#pragma once
// kDeviceHandler: the device configuration part of a request document (driver, handle, log id,
// connection, driver parameters). It reads that part, answers parameter queries, writes it back
// as XML and builds the device's I/O handler from it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/XmlDom.h"

class kConnection;
class kIOHandler;

class kDeviceHandler {
 public:
  // An empty parameter list and a connection with its defaults (OPOS, 1000 ms time-outs).
  kDeviceHandler();
  virtual ~kDeviceHandler();
  kDeviceHandler(const kDeviceHandler&) = delete;
  kDeviceHandler& operator=(const kDeviceHandler&) = delete;

  // Parses aXml and reads the configuration from the root's children. Answers the parsed
  // document so that a derived reader can take further parts from it. Throws tVX_Error with the
  // parser's or the rejected field's message; fields read before a failure keep their values.
  std::unique_ptr<port::XmlDocument> Deserialize(std::u16string_view aXml);
  // The configuration as a document rooted at "ReceiptPrinterManager".
  std::u16string Serialize() const;

  // The value of the first parameter whose name equals aName ignoring ASCII letter case; the
  // empty text when there is none.
  std::u16string GetParameter(std::u16string_view aName) const;
  bool ParameterExists(std::u16string_view aName) const;
  // Sets the first line named aName (the line takes aName as given), appending one when there is
  // none; an empty aValue removes that line.
  void SetParameter(std::u16string_view aName, std::u16string_view aValue);
  // The parameter lines, "name=value", in document order.
  const std::vector<std::u16string>& Parameters() const { return fParameters; }

  // The device's I/O handler for the connection type, logging into aLogDir under the name
  // Driver + "_" + LogId; HexLog follows the parameter of that name. The caller owns it.
  // Throws tVX_Error for a connection type that this module cannot serve.
  std::unique_ptr<kIOHandler> CreateIOHandler(std::u16string_view aLogDir) const;

  const std::u16string& Type() const { return fType; }
  void SetType(std::u16string_view aValue) { fType = aValue; }
  const std::u16string& Driver() const { return fDriver; }
  void SetDriver(std::u16string_view aValue) { fDriver = aValue; }
  const std::u16string& Method() const { return fMethod; }
  void SetMethod(std::u16string_view aValue) { fMethod = aValue; }
  kConnection& Connection() { return *fConnection; }
  const kConnection& Connection() const { return *fConnection; }
  int32_t DeviceHandle() const { return fDeviceHandle; }
  void SetDeviceHandle(int32_t aValue) { fDeviceHandle = aValue; }
  const std::u16string& LogId() const { return fLogId; }
  void SetLogId(std::u16string_view aValue) { fLogId = aValue; }

 protected:
  std::u16string fType;    // kept and written back, not interpreted
  std::u16string fDriver;  // name in the driver registry
  std::u16string fMethod;  // kept and written back; Serialize omits Handle for "open"
  std::unique_ptr<kConnection> fConnection;
  int32_t fDeviceHandle = 0;                // 0 when the request names no open device
  std::vector<std::u16string> fParameters;  // "name=value"; names read from XML in lower case
  std::u16string fLogId;

 private:
  void ReadConnection(const port::XmlElement& aConnection);
  // Index of the first line named aName (ASCII case-insensitive), or -1.
  int FindParameter(std::u16string_view aName) const;
};
