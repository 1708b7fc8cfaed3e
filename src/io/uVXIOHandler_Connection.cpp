#include "io/uVXIOHandler_Connection.h"

#include "base/uVX_Text.h"
#include "platform/Error.h"

vxConnectionType kConnection::ConvertConnectionType(std::u16string_view aString) {
  const std::u16string text = vxtext::LowerCase(aString);
  if (text == u"opos") return vxConnectionType::OPOS;
  if (text == u"tcp") return vxConnectionType::TCP;
  if (text == u"http") return vxConnectionType::HTTP;
  if (text == u"serial") return vxConnectionType::Serial;
  if (text == u"dll") return vxConnectionType::DLL;
  if (text == u"com") return vxConnectionType::Com;
  if (text == u"spool") return vxConnectionType::Spool;
  throw tVX_Error(u"Connection Type " + std::u16string(aString) + u" is not valid");
}

std::u16string kConnection::ConnectionTypeToString(vxConnectionType aValue) {
  switch (aValue) {
    case vxConnectionType::OPOS: return u"OPOS";
    case vxConnectionType::TCP: return u"TCP";
    case vxConnectionType::HTTP: return u"HTTP";
    case vxConnectionType::Serial: return u"SERIAL";
    case vxConnectionType::DLL: return u"DLL";
    case vxConnectionType::Com: return u"COM";
    case vxConnectionType::Spool: return u"SPOOL";
  }
  return {};
}

vxParity kConnection::ConvertParity(std::u16string_view aString) {
  const std::u16string text = vxtext::LowerCase(aString);
  if (text == u"none") return vxParity::None;
  if (text == u"even") return vxParity::Even;
  if (text == u"odd") return vxParity::Odd;
  throw tVX_Error(u"Connection Parity " + std::u16string(aString) + u" is not valid");
}

std::u16string kConnection::ParityToString(vxParity aValue) {
  switch (aValue) {
    case vxParity::None: return u"NONE";
    case vxParity::Even: return u"EVEN";
    case vxParity::Odd: return u"ODD";
  }
  return {};
}

vxHTTPAuthType kConnection::ConvertAuthType(std::u16string_view aString) {
  const std::u16string text = vxtext::LowerCase(aString);
  if (text == u"basic") return vxHTTPAuthType::at_Basic;
  if (text == u"digest") return vxHTTPAuthType::at_Digest;
  if (text == u"bearer") return vxHTTPAuthType::at_Bearer;
  return vxHTTPAuthType::at_None;  // "none", the empty text and anything unknown
}

std::u16string kConnection::AuthTypeToString(vxHTTPAuthType aValue) {
  switch (aValue) {
    case vxHTTPAuthType::at_None: return u"NONE";
    case vxHTTPAuthType::at_Basic: return u"BASIC";
    case vxHTTPAuthType::at_Digest: return u"DIGEST";
    case vxHTTPAuthType::at_Bearer: return u"BEARER";
  }
  return {};
}
