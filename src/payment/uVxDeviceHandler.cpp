#include "payment/uVxDeviceHandler.h"

#include "base/uVX_Text.h"
#include "base/uVxReceipt.h"
#include "io/uVXIOHandler.h"
#include "io/uVXIOHandler_Connection.h"
#include "io/uVXIOHandler_Com.h"
#include "io/uVXIOHandler_Dll.h"
#include "io/uVXIOHandler_HTTP.h"
#include "io/uVXIOHandler_OPOS.h"
#include "io/uVXIOHandler_Serial.h"
#include "io/uVXIOHandler_Spool.h"
#include "io/uVXIOHandler_TCP.h"
#include "platform/Error.h"

namespace {

// The name part of a parameter line (before the first "=").
std::u16string_view LineName(std::u16string_view aLine) { return aLine.substr(0, aLine.find(u'=')); }

// The value part of a parameter line (after the first "="; empty without one).
std::u16string_view LineValue(std::u16string_view aLine) {
  auto eq = aLine.find(u'=');
  return eq == std::u16string_view::npos ? std::u16string_view() : aLine.substr(eq + 1);
}

}  // namespace

kDeviceHandler::kDeviceHandler() : fConnection(std::make_unique<kConnection>()) {}

kDeviceHandler::~kDeviceHandler() = default;

std::unique_ptr<port::XmlDocument> kDeviceHandler::Deserialize(std::u16string_view aXml) {
  auto document = port::XmlDocument::Parse(aXml);
  port::XmlElement root = document->Root();

  fType = krptUtil::GetNodeValueAsString(root, u"Type");
  fDriver = krptUtil::GetNodeValueAsString(root, u"Driver");
  fMethod = krptUtil::GetNodeValueAsString(root, u"Method");
  fDeviceHandle = krptUtil::GetNodeValueAsInteger(root, u"Handle");
  fLogId = krptUtil::GetNodeValueAsString(root, u"LogId");

  if (auto connection = root.FirstChild(u"Connection")) ReadConnection(connection);

  if (auto parameters = root.FirstChild(u"Parameters")) {
    for (const auto& parameter : parameters.Children())
      fParameters.push_back(vxtext::LowerCase(parameter.Name()) + u"=" + parameter.Text());
  }

  if (ParameterExists(u"DeviceName")) fConnection->SetDeviceName(GetParameter(u"DeviceName"));
  if (ParameterExists(u"ConnectTimeout")) {
    std::u16string text = GetParameter(u"ConnectTimeout");
    int32_t timeout = 0;
    if (!vxtext::TryStrToInt(text, timeout))
      throw tVX_Error(vxtext::FormatS(u"'%s' is not a valid integer value", text));
    fConnection->SetConnectTimeOut(timeout);  // the setter ignores 0 and below
  }
  return document;
}

// Reads the settings of the connection's own type; elements of other types are not looked at.
void kDeviceHandler::ReadConnection(const port::XmlElement& aConnection) {
  kConnection& c = *fConnection;
  c.SetConnectionType(c.ConvertConnectionType(krptUtil::GetNodeValueAsString(aConnection, u"Type")));
  c.SetConnectTimeOut(krptUtil::GetNodeValueAsInteger(aConnection, u"ConnectTimeout"));
  c.SetReadTimeOut(krptUtil::GetNodeValueAsInteger(aConnection, u"ReadTimeout"));

  const vxConnectionType type = c.ConnectionType();
  if (type == vxConnectionType::OPOS) c.SetDeviceName(krptUtil::GetNodeValueAsString(aConnection, u"DeviceName"));
  if (type == vxConnectionType::TCP || type == vxConnectionType::HTTP) {
    c.SetAddress(krptUtil::GetNodeValueAsString(aConnection, u"Address"));
    c.SetPort(krptUtil::GetNodeValueAsInteger(aConnection, u"Port"));
  }
  if (type == vxConnectionType::Serial) {
    c.SetSerialPort(krptUtil::GetNodeValueAsString(aConnection, u"SerialPort"));
    c.SetSpeed(krptUtil::GetNodeValueAsInteger(aConnection, u"Speed"));
    c.SetDataBits(krptUtil::GetNodeValueAsInteger(aConnection, u"DataBits"));
    c.SetParity(c.ConvertParity(krptUtil::GetNodeValueAsString(aConnection, u"Parity")));
    c.SetStopBits(krptUtil::GetNodeValueAsInteger(aConnection, u"StopBits"));
  }
  if (type == vxConnectionType::TCP || type == vxConnectionType::HTTP || type == vxConnectionType::Serial) {
    c.SetURL(krptUtil::GetNodeValueAsString(aConnection, u"URL"));
    c.SetAuthType(c.ConvertAuthType(krptUtil::GetNodeValueAsString(aConnection, u"AuthType")));
    c.SetUser(krptUtil::GetNodeValueAsString(aConnection, u"User"));
    c.SetPassword(krptUtil::GetNodeValueAsString(aConnection, u"Password"));
  }
  if (type == vxConnectionType::DLL) c.SetLibraryName(krptUtil::GetNodeValueAsString(aConnection, u"LibraryName"));
  if (type == vxConnectionType::Spool) c.SetPrinterName(krptUtil::GetNodeValueAsString(aConnection, u"PrinterName"));
}

int kDeviceHandler::FindParameter(std::u16string_view aName) const {
  for (size_t i = 0; i < fParameters.size(); ++i)
    if (vxtext::SameText(LineName(fParameters[i]), aName)) return static_cast<int>(i);
  return -1;
}

std::u16string kDeviceHandler::GetParameter(std::u16string_view aName) const {
  int index = FindParameter(aName);
  return index < 0 ? std::u16string() : std::u16string(LineValue(fParameters[index]));
}

bool kDeviceHandler::ParameterExists(std::u16string_view aName) const { return FindParameter(aName) >= 0; }

void kDeviceHandler::SetParameter(std::u16string_view aName, std::u16string_view aValue) {
  int index = FindParameter(aName);
  if (aValue.empty()) {
    if (index >= 0) fParameters.erase(fParameters.begin() + index);
    return;
  }
  std::u16string line = std::u16string(aName) + u"=" + std::u16string(aValue);
  if (index >= 0)
    fParameters[index] = std::move(line);
  else
    fParameters.push_back(std::move(line));
}

// The handler classes take what they need from the connection and do not keep it.
std::unique_ptr<kIOHandler> kDeviceHandler::CreateIOHandler(std::u16string_view aLogDir) const {
  const std::u16string name = fDriver + u"_" + fLogId;
  const kConnection* connection = fConnection.get();
  std::unique_ptr<kIOHandler> handler;
  switch (fConnection->ConnectionType()) {
    case vxConnectionType::OPOS: handler = std::make_unique<kIOHandler_OPOS>(connection, aLogDir, name); break;
    case vxConnectionType::TCP: handler = std::make_unique<kIOHandler_TCP>(connection, aLogDir, name); break;
    case vxConnectionType::HTTP: handler = std::make_unique<kIOHandler_HTTP>(connection, aLogDir, name); break;
    case vxConnectionType::Serial: handler = std::make_unique<kIOHandler_Serial>(connection, aLogDir, name); break;
    case vxConnectionType::DLL: handler = std::make_unique<kIOHandler_Dll>(connection, aLogDir, name); break;
    case vxConnectionType::Com: handler = std::make_unique<kIOHandler_Com>(connection, aLogDir, name); break;
    case vxConnectionType::Spool: handler = std::make_unique<kIOHandler_Spool>(connection, aLogDir, name); break;
  }
  if (!handler)  // a value outside the enumeration
    throw tVX_Error(u"Connection Type " + kConnection::ConnectionTypeToString(fConnection->ConnectionType()) +
                    u" is not valid");
  handler->SetHexLog(vxtext::SameText(GetParameter(u"HexLog"), u"true"));
  return handler;
}
