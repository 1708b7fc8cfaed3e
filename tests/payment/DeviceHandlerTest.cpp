// The device configuration part of a request: reading, parameters, writing back and the choice
// of the I/O handler.
#include <gtest/gtest.h>

#include <string>

#include "base/uVX_Text.h"
#include "io/uVXIOHandler.h"
#include "io/uVXIOHandler_Connection.h"
#include "io/uVXIOHandler_Com.h"
#include "io/uVXIOHandler_HTTP.h"
#include "io/uVXIOHandler_OPOS.h"
#include "io/uVXIOHandler_Serial.h"
#include "io/uVXIOHandler_Spool.h"
#include "io/uVXIOHandler_TCP.h"
#include "payment/uVxDeviceHandler.h"
#include "platform/Error.h"
#include "support/TempDir.h"

namespace {

std::u16string Request(std::u16string_view aInner) {
  return u"<?xml version=\"1.0\" encoding=\"utf-8\"?><Request>" + std::u16string(aInner) + u"</Request>";
}

// The message of the failure that reading aXml ends in ("" when it succeeds).
std::u16string FailureOf(std::u16string_view aXml) {
  kDeviceHandler handler;
  try {
    handler.Deserialize(aXml);
  } catch (const tVX_Error& e) {
    return e.Message();
  }
  return u"";
}

TEST(DeviceHandlerTest, ARequestWithoutConnectionKeepsTheDefaults) {
  kDeviceHandler handler;
  auto document = handler.Deserialize(Request(u"<Driver>VXPA_X</Driver><LogId>till1</LogId>"));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->Root().Name(), u"Request");
  EXPECT_EQ(handler.Driver(), u"VXPA_X");
  EXPECT_EQ(handler.LogId(), u"till1");
  EXPECT_EQ(handler.DeviceHandle(), 0);
  EXPECT_EQ(handler.Type(), u"");
  EXPECT_EQ(handler.Method(), u"");
  EXPECT_TRUE(handler.Parameters().empty());
  const kConnection& c = handler.Connection();
  EXPECT_EQ(c.ConnectionType(), vxConnectionType::OPOS);
  EXPECT_EQ(c.ConnectTimeOut(), 1000);
  EXPECT_EQ(c.ReadTimeOut(), 1000);
  EXPECT_EQ(c.AuthType(), vxHTTPAuthType::at_None);
  EXPECT_EQ(c.Parity(), vxParity::None);
  EXPECT_EQ(c.Port(), 0);
  EXPECT_EQ(c.URL(), u"");
}

TEST(DeviceHandlerTest, ReadsTheElementsOfAnHttpConnectionOnly) {
  kDeviceHandler handler;
  handler.Deserialize(Request(
      u"<Type>PAYMENT</Type><Driver>VXPA_X</Driver><Method>Pay</Method><Handle>7</Handle><LogId>L</LogId>"
      u"<Connection><Type>Http</Type><ConnectTimeout>2000</ConnectTimeout><ReadTimeout>30000</ReadTimeout>"
      u"<Address>127.0.0.1</Address><Port>8443</Port><URL>https://127.0.0.1:8443/</URL>"
      u"<AuthType>Digest</AuthType><User>u&amp;1</User><Password>p</Password>"
      u"<SerialPort>COM3</SerialPort><Speed>9600</Speed><Parity>bogus</Parity><DeviceName>dev</DeviceName>"
      u"<LibraryName>lib.dll</LibraryName><PrinterName>prn</PrinterName></Connection>"));
  EXPECT_EQ(handler.Type(), u"PAYMENT");
  EXPECT_EQ(handler.Method(), u"Pay");
  EXPECT_EQ(handler.DeviceHandle(), 7);
  const kConnection& c = handler.Connection();
  EXPECT_EQ(c.ConnectionType(), vxConnectionType::HTTP);
  EXPECT_EQ(c.ConnectTimeOut(), 2000);
  EXPECT_EQ(c.ReadTimeOut(), 30000);
  EXPECT_EQ(c.Address(), u"127.0.0.1");
  EXPECT_EQ(c.Port(), 8443);
  EXPECT_EQ(c.URL(), u"https://127.0.0.1:8443/");
  EXPECT_EQ(c.AuthType(), vxHTTPAuthType::at_Digest);
  EXPECT_EQ(c.User(), u"u&1");
  EXPECT_EQ(c.Password(), u"p");
  // Elements of other connection types are not read (the bad parity is never looked at).
  EXPECT_EQ(c.SerialPort(), u"");
  EXPECT_EQ(c.Speed(), 0);
  EXPECT_EQ(c.DeviceName(), u"");
  EXPECT_EQ(c.LibraryName(), u"");
  EXPECT_EQ(c.PrinterName(), u"");
}

TEST(DeviceHandlerTest, EachConnectionTypeReadsItsOwnElements) {
  const std::u16string all =
      u"<ConnectTimeout>0</ConnectTimeout><ReadTimeout>-5</ReadTimeout><Address>host</Address><Port>9</Port>"
      u"<URL>url</URL><AuthType>token</AuthType><User>u</User><SerialPort>COM2</SerialPort><Speed>19200</Speed>"
      u"<DataBits>7</DataBits><Parity>Even</Parity><StopBits>2</StopBits><DeviceName>dev</DeviceName>"
      u"<LibraryName>lib</LibraryName><PrinterName>prn</PrinterName></Connection>";
  {
    kDeviceHandler h;
    h.Deserialize(Request(u"<Connection><Type>SERIAL</Type>" + all));
    const kConnection& c = h.Connection();
    EXPECT_EQ(c.ConnectionType(), vxConnectionType::Serial);
    EXPECT_EQ(c.ConnectTimeOut(), 1000);  // 0 and negative keep the default
    EXPECT_EQ(c.ReadTimeOut(), 1000);
    EXPECT_EQ(c.SerialPort(), u"COM2");
    EXPECT_EQ(c.Speed(), 19200);
    EXPECT_EQ(c.DataBits(), 7);
    EXPECT_EQ(c.Parity(), vxParity::Even);
    EXPECT_EQ(c.StopBits(), 2);
    EXPECT_EQ(c.URL(), u"url");
    EXPECT_EQ(c.AuthType(), vxHTTPAuthType::at_None);  // unknown words mean none
    EXPECT_EQ(c.User(), u"u");
    EXPECT_EQ(c.Address(), u"");
    EXPECT_EQ(c.Port(), 0);
    EXPECT_EQ(c.DeviceName(), u"");
  }
  {
    kDeviceHandler h;
    h.Deserialize(Request(u"<Connection><Type>tcp</Type>" + all));
    EXPECT_EQ(h.Connection().ConnectionType(), vxConnectionType::TCP);
    EXPECT_EQ(h.Connection().Address(), u"host");
    EXPECT_EQ(h.Connection().Port(), 9);
    EXPECT_EQ(h.Connection().SerialPort(), u"");
    EXPECT_EQ(h.Connection().Speed(), 0);
  }
  {
    kDeviceHandler h;
    h.Deserialize(Request(u"<Connection><Type>OPOS</Type>" + all));
    EXPECT_EQ(h.Connection().DeviceName(), u"dev");
    EXPECT_EQ(h.Connection().URL(), u"");
    EXPECT_EQ(h.Connection().Address(), u"");
  }
  {
    kDeviceHandler h;
    h.Deserialize(Request(u"<Connection><Type>Dll</Type>" + all));
    EXPECT_EQ(h.Connection().ConnectionType(), vxConnectionType::DLL);
    EXPECT_EQ(h.Connection().LibraryName(), u"lib");
    EXPECT_EQ(h.Connection().PrinterName(), u"");
  }
  {
    kDeviceHandler h;
    h.Deserialize(Request(u"<Connection><Type>spool</Type>" + all));
    EXPECT_EQ(h.Connection().ConnectionType(), vxConnectionType::Spool);
    EXPECT_EQ(h.Connection().PrinterName(), u"prn");
    EXPECT_EQ(h.Connection().LibraryName(), u"");
  }
  {
    kDeviceHandler h;
    h.Deserialize(Request(u"<Connection><Type>com</Type>" + all));
    EXPECT_EQ(h.Connection().ConnectionType(), vxConnectionType::Com);
    EXPECT_EQ(h.Connection().Address(), u"");
    EXPECT_EQ(h.Connection().SerialPort(), u"");
  }
}

TEST(DeviceHandlerTest, RejectedConfigurationValuesFailWithTheirMessages) {
  EXPECT_EQ(FailureOf(Request(u"<Connection><Type>usb</Type></Connection>")), u"Connection Type usb is not valid");
  EXPECT_EQ(FailureOf(Request(u"<Connection><Type>Usb</Type></Connection>")), u"Connection Type Usb is not valid");
  EXPECT_EQ(FailureOf(Request(u"<Connection><Type></Type></Connection>")), u"Connection Type  is not valid");
  EXPECT_EQ(FailureOf(Request(u"<Connection/>")), u"Connection Type  is not valid");
  EXPECT_EQ(FailureOf(Request(u"<Connection><Type>Serial</Type><Parity>Mark</Parity></Connection>")),
            u"Connection Parity Mark is not valid");
  EXPECT_EQ(FailureOf(Request(u"<Connection><Type>Serial</Type></Connection>")), u"Connection Parity  is not valid");
  EXPECT_EQ(FailureOf(Request(u"<Handle>abc</Handle>")),
            u"Error in processing node Handle as integer.\r\n'abc' is not a valid integer value");
  EXPECT_EQ(FailureOf(Request(u"<Connection><Type>HTTP</Type><Port>8x</Port></Connection>")),
            u"Error in processing node Port as integer.\r\n'8x' is not a valid integer value");
  EXPECT_EQ(FailureOf(Request(u"<Connection><Type>HTTP</Type><ReadTimeout>1.5</ReadTimeout></Connection>")),
            u"Error in processing node ReadTimeout as integer.\r\n'1.5' is not a valid integer value");
  EXPECT_EQ(FailureOf(Request(u"<Parameters><ConnectTimeout>fast</ConnectTimeout></Parameters>")),
            u"'fast' is not a valid integer value");
  // A malformed request fails with the parser's own text, whatever it is.
  for (auto bad : {u"", u"<Request>", u"not xml", u"<a></b>"}) {
    kDeviceHandler handler;
    EXPECT_THROW(handler.Deserialize(bad), tVX_Error) << vxtext::Utf8(bad);
  }
}

TEST(DeviceHandlerTest, ParametersAreFoundByNameInAnyLetterCaseFirstLineFirst) {
  kDeviceHandler handler;
  handler.Deserialize(Request(
      u"<Connection><Type>HTTP</Type><ConnectTimeout>2000</ConnectTimeout></Connection>"
      u"<Parameters><POIID>P400-123</POIID><Secret>a=b==</Secret><Dup>first</Dup><DUP>second</DUP>"
      u"<Empty/><DeviceName>ByParam</DeviceName><ConnectTimeout>5000</ConnectTimeout></Parameters>"));
  EXPECT_EQ(handler.Parameters().front(), u"poiid=P400-123");
  for (auto name : {u"POIID", u"poiid", u"PoIiD"}) EXPECT_EQ(handler.GetParameter(name), u"P400-123");
  EXPECT_EQ(handler.GetParameter(u"Secret"), u"a=b==");  // the value is everything after the first "="
  EXPECT_EQ(handler.GetParameter(u"dup"), u"first");
  EXPECT_TRUE(handler.ParameterExists(u"EMPTY"));
  EXPECT_EQ(handler.GetParameter(u"Empty"), u"");
  EXPECT_FALSE(handler.ParameterExists(u"Missing"));
  EXPECT_FALSE(handler.ParameterExists(u"POI"));
  EXPECT_EQ(handler.GetParameter(u"Missing"), u"");
  // Parameters override the connection's device name and connect time-out.
  EXPECT_EQ(handler.Connection().DeviceName(), u"ByParam");
  EXPECT_EQ(handler.Connection().ConnectTimeOut(), 5000);

  kDeviceHandler zero;
  zero.Deserialize(Request(u"<Parameters><ConnectTimeout>0</ConnectTimeout></Parameters>"));
  EXPECT_EQ(zero.Connection().ConnectTimeOut(), 1000);
}

TEST(DeviceHandlerTest, SetParameterReplacesAddsAndRemovesLines) {
  kDeviceHandler handler;
  handler.Deserialize(Request(u"<Parameters><KeyVersion>1</KeyVersion><Other>x</Other></Parameters>"));
  handler.SetParameter(u"KEYVERSION", u"2");
  EXPECT_EQ(handler.Parameters().at(0), u"KEYVERSION=2");  // the line takes the name as given
  handler.SetParameter(u"New", u"v=1");
  EXPECT_EQ(handler.Parameters().back(), u"New=v=1");
  EXPECT_EQ(handler.GetParameter(u"new"), u"v=1");
  handler.SetParameter(u"other", u"");
  EXPECT_FALSE(handler.ParameterExists(u"Other"));
  handler.SetParameter(u"NeverThere", u"");
  ASSERT_EQ(handler.Parameters().size(), 2u);
}

TEST(DeviceHandlerTest, SerializeWritesADocumentThatReadsBackTheSame) {
  kDeviceHandler original;
  original.Deserialize(Request(
      u"<Type>T</Type><Driver>VXPA_X</Driver><Method>Pay</Method><Handle>12</Handle><LogId>a &lt;b&gt;</LogId>"
      u"<Connection><Type>Serial</Type><ConnectTimeout>1500</ConnectTimeout><ReadTimeout>2500</ReadTimeout>"
      u"<SerialPort>COM4</SerialPort><Speed>115200</Speed><DataBits>8</DataBits><Parity>odd</Parity>"
      u"<StopBits>1</StopBits><URL>http://x/?a=1&amp;b=2</URL><AuthType>bearer</AuthType><User>u</User>"
      u"<Password>\"p'</Password></Connection>"
      u"<Parameters><POIID>P1</POIID><HexLog>true</HexLog></Parameters>"));
  std::u16string text = original.Serialize();

  auto document = port::XmlDocument::Parse(text);
  port::XmlElement root = document->Root();
  EXPECT_EQ(root.Name(), u"ReceiptPrinterManager");
  EXPECT_EQ(root.Attribute(u"Version").value_or(u"-"), u"1.0");
  std::u16string names;
  for (const auto& child : root.Children()) names += child.Name() + u",";
  EXPECT_EQ(names, u"Type,Driver,Method,LogId,Handle,Connection,Parameters,");
  port::XmlElement connection = root.FirstChild(u"Connection");
  EXPECT_EQ(connection.FirstChild(u"Type").Text(), u"SERIAL");
  EXPECT_EQ(connection.FirstChild(u"Parity").Text(), u"ODD");
  EXPECT_EQ(connection.FirstChild(u"AuthType").Text(), u"BEARER");
  EXPECT_EQ(connection.FirstChild(u"Port").Text(), u"0");
  EXPECT_EQ(connection.Children().size(), 17u);

  kDeviceHandler copy;
  copy.Deserialize(text);
  EXPECT_EQ(copy.Type(), u"T");
  EXPECT_EQ(copy.Driver(), u"VXPA_X");
  EXPECT_EQ(copy.Method(), u"Pay");
  EXPECT_EQ(copy.DeviceHandle(), 12);
  EXPECT_EQ(copy.LogId(), u"a <b>");
  EXPECT_EQ(copy.Parameters(), original.Parameters());
  const kConnection& c = copy.Connection();
  EXPECT_EQ(c.ConnectionType(), vxConnectionType::Serial);
  EXPECT_EQ(c.ConnectTimeOut(), 1500);
  EXPECT_EQ(c.ReadTimeOut(), 2500);
  EXPECT_EQ(c.SerialPort(), u"COM4");
  EXPECT_EQ(c.Speed(), 115200);
  EXPECT_EQ(c.DataBits(), 8);
  EXPECT_EQ(c.Parity(), vxParity::Odd);
  EXPECT_EQ(c.StopBits(), 1);
  EXPECT_EQ(c.URL(), u"http://x/?a=1&b=2");
  EXPECT_EQ(c.AuthType(), vxHTTPAuthType::at_Bearer);
  EXPECT_EQ(c.Password(), u"\"p'");
}

TEST(DeviceHandlerTest, SerializeLeavesTheHandleOutOfAnOpenRequest) {
  kDeviceHandler handler;
  handler.Deserialize(Request(u"<Method>OPEN</Method><Handle>3</Handle>"));
  auto document = port::XmlDocument::Parse(handler.Serialize());
  EXPECT_TRUE(document->Root().FirstChild(u"Handle").IsNull());
  EXPECT_EQ(document->Root().FirstChild(u"Connection").FirstChild(u"Type").Text(), u"OPOS");

  // A parameter name that cannot be an element name is refused rather than written as broken XML.
  handler.SetParameter(u"two words", u"x");
  EXPECT_THROW(handler.Serialize(), tVX_Error);
}

TEST(DeviceHandlerTest, CreateIOHandlerBuildsTheHandlerClassOfTheConnectionType) {
  vxtest::TempDir dir;
  kDeviceHandler http;
  http.Deserialize(Request(
      u"<Driver>VXPA_T</Driver><LogId>till1</LogId><Connection><Type>HTTP</Type><Address>127.0.0.1</Address>"
      u"<Port>8443</Port><ReadTimeout>4000</ReadTimeout></Connection><Parameters><HexLog>TRUE</HexLog></Parameters>"));
  std::unique_ptr<kIOHandler> handler = http.CreateIOHandler(dir.Text());
  auto* httpHandler = dynamic_cast<kIOHandler_HTTP*>(handler.get());
  ASSERT_NE(httpHandler, nullptr);
  EXPECT_EQ(httpHandler->fURL, u"127.0.0.1:8443");
  EXPECT_TRUE(handler->HexLog());
  EXPECT_EQ(handler->ReadTimeout(), 4000);
  std::u16string logName = handler->GetLogFileName();
  EXPECT_TRUE(vxtext::StartsWith(logName, dir.Text() + u"VXPA_T_till1_")) << vxtext::Utf8(logName);
  handler.reset();

  kDeviceHandler tcp;
  tcp.Deserialize(Request(u"<Driver>VXPA_T</Driver><LogId>till2</LogId><Connection><Type>tcp</Type>"
                          u"<Address>127.0.0.1</Address><Port>1</Port></Connection>"
                          u"<Parameters><HexLog>yes</HexLog></Parameters>"));
  handler = tcp.CreateIOHandler(dir.Text());
  EXPECT_NE(dynamic_cast<kIOHandler_TCP*>(handler.get()), nullptr);
  EXPECT_FALSE(handler->HexLog());
  handler.reset();

  // A handler of each other kind.
  auto Build = [&](std::u16string_view aConnection) {
    kDeviceHandler h;
    h.Deserialize(Request(u"<Driver>VXPA_T</Driver><LogId>x</LogId><Connection>" + std::u16string(aConnection) +
                          u"</Connection>"));
    return h.CreateIOHandler(dir.Text());
  };
  handler = Build(u"<Type>serial</Type><SerialPort>COM3</SerialPort><Speed>9600</Speed><DataBits>8</DataBits>"
                  u"<Parity>none</Parity><StopBits>1</StopBits>");
  EXPECT_NE(dynamic_cast<kIOHandler_Serial*>(handler.get()), nullptr);
  handler = Build(u"<Type>COM</Type>");
  EXPECT_NE(dynamic_cast<kIOHandler_Com*>(handler.get()), nullptr);
  handler = Build(u"<Type>Spool</Type><PrinterName>Receipts</PrinterName>");
  EXPECT_NE(dynamic_cast<kIOHandler_Spool*>(handler.get()), nullptr);
  handler.reset();
  // The handler's own failures reach the caller: a library that does not load, a serial port
  // name without a number.
  try {
    Build(u"<Type>DLL</Type><LibraryName>no-such-library-here.dll</LibraryName>");
    ADD_FAILURE() << "a missing library loaded";
  } catch (const tVX_Error& e) {
    EXPECT_TRUE(vxtext::StartsWith(e.Message(), u"Unable to Load Library no-such-library-here.dll"))
        << vxtext::Utf8(e.Message());
  }
  EXPECT_THROW(Build(u"<Type>Serial</Type><SerialPort>COMx</SerialPort><Parity>none</Parity><StopBits>1</StopBits>"),
               tVX_Error);
  // OPOS: the system's fiscal printer control where one is installed (a simulated one on Linux);
  // where none is, the failure to create it.
  try {
    handler = Build(u"<Type>OPOS</Type><DeviceName>FP1</DeviceName>");
    EXPECT_NE(dynamic_cast<kIOHandler_OPOS*>(handler.get()), nullptr);
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message().find(u"not supported"), std::u16string::npos) << vxtext::Utf8(e.Message());
  }
}

}  // namespace
