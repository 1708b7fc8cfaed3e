#include <gtest/gtest.h>

#include "io/uVXIOHandler_Connection.h"
#include "platform/Error.h"

namespace {

std::u16string ErrorOf(void (*aCall)()) {
  try {
    aCall();
  } catch (const tVX_Error& e) {
    return e.Message();
  }
  return u"(no error)";
}

TEST(Connection, ConnectionTypeTextsIgnoreCase) {
  EXPECT_EQ(kConnection::ConvertConnectionType(u"OpOs"), vxConnectionType::OPOS);
  EXPECT_EQ(kConnection::ConvertConnectionType(u"tcp"), vxConnectionType::TCP);
  EXPECT_EQ(kConnection::ConvertConnectionType(u"Http"), vxConnectionType::HTTP);
  EXPECT_EQ(kConnection::ConvertConnectionType(u"Serial"), vxConnectionType::Serial);
  EXPECT_EQ(kConnection::ConvertConnectionType(u"DLL"), vxConnectionType::DLL);
  EXPECT_EQ(kConnection::ConvertConnectionType(u"com"), vxConnectionType::Com);
  EXPECT_EQ(kConnection::ConvertConnectionType(u"SPOOL"), vxConnectionType::Spool);
  EXPECT_EQ(ErrorOf([] { kConnection::ConvertConnectionType(u"Usb"); }), u"Connection Type Usb is not valid");
  EXPECT_EQ(ErrorOf([] { kConnection::ConvertConnectionType(u""); }), u"Connection Type  is not valid");
  EXPECT_EQ(ErrorOf([] { kConnection::ConvertConnectionType(u" tcp"); }), u"Connection Type  tcp is not valid");

  const std::u16string names[] = {u"OPOS", u"TCP", u"HTTP", u"SERIAL", u"DLL", u"COM", u"SPOOL"};
  for (int i = 0; i < 7; ++i) {
    auto type = static_cast<vxConnectionType>(i);
    EXPECT_EQ(kConnection::ConnectionTypeToString(type), names[i]);
    EXPECT_EQ(kConnection::ConvertConnectionType(names[i]), type);
  }
}

TEST(Connection, ParityAndAuthenticationTexts) {
  EXPECT_EQ(kConnection::ConvertParity(u"None"), vxParity::None);
  EXPECT_EQ(kConnection::ConvertParity(u"EVEN"), vxParity::Even);
  EXPECT_EQ(kConnection::ConvertParity(u"odd"), vxParity::Odd);
  EXPECT_EQ(ErrorOf([] { kConnection::ConvertParity(u"Mark"); }), u"Connection Parity Mark is not valid");
  EXPECT_EQ(kConnection::ParityToString(vxParity::None), u"NONE");
  EXPECT_EQ(kConnection::ParityToString(vxParity::Even), u"EVEN");
  EXPECT_EQ(kConnection::ParityToString(vxParity::Odd), u"ODD");

  EXPECT_EQ(kConnection::ConvertAuthType(u"BASIC"), vxHTTPAuthType::at_Basic);
  EXPECT_EQ(kConnection::ConvertAuthType(u"Digest"), vxHTTPAuthType::at_Digest);
  EXPECT_EQ(kConnection::ConvertAuthType(u"bearer"), vxHTTPAuthType::at_Bearer);
  EXPECT_EQ(kConnection::ConvertAuthType(u"none"), vxHTTPAuthType::at_None);
  EXPECT_EQ(kConnection::ConvertAuthType(u"token"), vxHTTPAuthType::at_None);
  EXPECT_EQ(kConnection::ConvertAuthType(u""), vxHTTPAuthType::at_None);
  EXPECT_EQ(kConnection::AuthTypeToString(vxHTTPAuthType::at_None), u"NONE");
  EXPECT_EQ(kConnection::AuthTypeToString(vxHTTPAuthType::at_Basic), u"BASIC");
  EXPECT_EQ(kConnection::AuthTypeToString(vxHTTPAuthType::at_Digest), u"DIGEST");
  EXPECT_EQ(kConnection::AuthTypeToString(vxHTTPAuthType::at_Bearer), u"BEARER");
}

TEST(Connection, DefaultsAndTimeOutsThatIgnoreNonPositiveValues) {
  kConnection c;
  EXPECT_EQ(c.ConnectionType(), vxConnectionType::OPOS);
  EXPECT_EQ(c.Parity(), vxParity::None);
  EXPECT_EQ(c.AuthType(), vxHTTPAuthType::at_None);
  EXPECT_EQ(c.Port(), 0);
  EXPECT_EQ(c.ConnectTimeOut(), 1000);
  EXPECT_EQ(c.ReadTimeOut(), 1000);
  c.SetReadTimeOut(0);
  c.SetConnectTimeOut(-5);
  EXPECT_EQ(c.ReadTimeOut(), 1000);
  EXPECT_EQ(c.ConnectTimeOut(), 1000);
  c.SetReadTimeOut(250);
  c.SetConnectTimeOut(1);
  c.SetReadTimeOut(0);
  EXPECT_EQ(c.ReadTimeOut(), 250);
  EXPECT_EQ(c.ConnectTimeOut(), 1);
}

}  // namespace
