// The module through its exports, as a host sees it: status for any request, VERSION for names
// that are not registered, every request failure reaching the host in the document and the error
// text, the CLOSE rules and unknown handles.
#include <gtest/gtest.h>

#include "ModuleUnderTest.h"

namespace {

using vxtest::Call;
using vxtest::FailureDocument;

constexpr vxpa_result kFailed = 0xFFFF;

// A request with the configuration of a device that no registered driver serves, plus aBody.
std::u16string Request(std::u16string_view aBody, std::u16string_view aDriver = u"VXPA_NOT_REGISTERED") {
  return u"<Request><Driver>" + std::u16string(aDriver) + u"</Driver><LogId>e2e</LogId>" + std::u16string(aBody) +
         u"</Request>";
}

// The export failed with exactly aMessage: -1 (65535 in 32 bits), the plain message as the error
// text and the whole document of starting values carrying it escaped.
void ExpectFailure(std::string_view aExport, std::u16string_view aRequest, std::u16string_view aMessage) {
  SCOPED_TRACE(std::string(aExport));
  vxpa::HostModule::Answer answer = Call(aExport, aRequest);
  EXPECT_EQ(answer.Result, kFailed);
  ASSERT_TRUE(answer.ErrorMessage.has_value());
  EXPECT_EQ(*answer.ErrorMessage, aMessage);
  ASSERT_TRUE(answer.Output.has_value());
  EXPECT_EQ(*answer.Output, FailureDocument(aExport, aMessage));
}

TEST(ExportsE2ETest, GetStatusAnswersSuccessForAnyRequest) {
  const std::u16string status = vxtest::StatusDocument();
  const std::u16string requests[] = {u"", u"<", u"\u00ff\ufffe garbage", Request(u"")};
  for (const std::u16string& request : requests) {
    vxpa::HostModule::Answer answer = Call("GETSTATUS", request);
    EXPECT_EQ(answer.Result, 0);
    EXPECT_EQ(answer.Output, status);
    EXPECT_FALSE(answer.ErrorMessage.has_value());
  }
  // A null request is an empty one.
  BSTR output = nullptr;
  BSTR error = nullptr;
  EXPECT_EQ(vxtest::Module().Export("GETSTATUS")(nullptr, &output, &error), 0);
  EXPECT_EQ(vxtest::Module().Text(output), status);
  EXPECT_EQ(error, nullptr);
  vxtest::Module().FreeString(output);
}

TEST(ExportsE2ETest, VersionOfANameThatIsNotRegisteredStaysNullAndAnswersZero) {
  for (std::u16string_view name : {u"NOT_A_DRIVER", u"vxpa_adyen_10", u""}) {
    vxpa::HostModule::Answer answer = Call("VERSION", name);
    EXPECT_EQ(answer.Result, 0);
    EXPECT_FALSE(answer.Output.has_value());
    EXPECT_FALSE(answer.ErrorMessage.has_value());
  }
}

TEST(ExportsE2ETest, AnUnregisteredDriverIsNamedAsTheRequestGaveIt) {
  const std::u16string payment = u"<Payment><Amount>12.5</Amount><Currency>EUR</Currency></Payment>";
  ExpectFailure("OPEN", Request(u"", u"vxpa_adyen_10"), u"Payment Driver [vxpa_adyen_10] not registered.");
  ExpectFailure("PAY", Request(payment, u"Vxpa_Adyen_10"), u"Payment Driver [Vxpa_Adyen_10] not registered.");
  ExpectFailure("VERIFYTRAN", Request(u"<VerifyTran/>", u"X"), u"Payment Driver [X] not registered.");
  ExpectFailure("REPRINT", Request(u"<Reprint/>", u"X"), u"Payment Driver [X] not registered.");
  ExpectFailure("DAYCLOSE", Request(u"<DayClose/>", u"X"), u"Payment Driver [X] not registered.");
  ExpectFailure("GETTOTALS", Request(u"<GetTotals/>", u"X"), u"Payment Driver [X] not registered.");
  ExpectFailure("OPEN", Request(u"", u"a&lt;b &amp; \"c\""), u"Payment Driver [a<b & \"c\"] not registered.");
  ExpectFailure("OPEN", u"<Request/>", u"Payment Driver [] not registered.");
}

TEST(ExportsE2ETest, ConfigurationFailuresReachTheHost) {
  ExpectFailure("OPEN", Request(u"<Connection><Type>usb</Type></Connection>"), u"Connection Type usb is not valid");
  ExpectFailure("OPEN", Request(u"<Connection><Type></Type></Connection>"), u"Connection Type  is not valid");
  ExpectFailure("OPEN", Request(u"<Connection><Type>Serial</Type><Parity>mark</Parity></Connection>"),
                u"Connection Parity mark is not valid");
  ExpectFailure("PAY", Request(u"<Handle>abc</Handle><Payment/>"),
                u"Error in processing node Handle as integer.\r\n'abc' is not a valid integer value");
  ExpectFailure("OPEN", Request(u"<Connection><Type>HTTP</Type><Port>80x</Port></Connection>"),
                u"Error in processing node Port as integer.\r\n'80x' is not a valid integer value");
  ExpectFailure("OPEN", Request(u"<Parameters><ConnectTimeout>5s</ConnectTimeout></Parameters>"),
                u"'5s' is not a valid integer value");
}

TEST(ExportsE2ETest, PaymentRequestFailuresReachTheHost) {
  ExpectFailure("PAY", Request(u""), u"Payment/Reprint/VerifyTran node not found");
  ExpectFailure("REPRINT", Request(u"<DayClose/>"), u"Payment/Reprint/VerifyTran node not found");
  ExpectFailure("VERIFYTRAN", Request(u"<payment/>"), u"Payment/Reprint/VerifyTran node not found");
  ExpectFailure("DAYCLOSE", Request(u"<Payment/>"), u"DayClose node not found");
  ExpectFailure("GETTOTALS", Request(u"<DayClose/>"), u"GetTotals node not found");
  ExpectFailure("PAY", Request(u"<Payment><PrintLocation>eft</PrintLocation></Payment>"),
                u"Payment Location eft invalid. Allowed values are: ECR,EFT.");
  ExpectFailure("DAYCLOSE", Request(u"<DayClose><PrintLocation>XYZ</PrintLocation></DayClose>"),
                u"Payment Location XYZ invalid. Allowed values are: ECR,EFT.");
  ExpectFailure("GETTOTALS", Request(u"<GetTotals><PrintLocation>-</PrintLocation></GetTotals>"),
                u"Payment Location - invalid. Allowed values are: ECR,EFT.");
  ExpectFailure("PAY", Request(u"<Payment><PaymentChannel>std</PaymentChannel></Payment>"),
                u"Payment Channel std invalid. Allowed values are: STD,MVP,NHS.");
  ExpectFailure("PAY", Request(u"<Payment><Action>refund</Action></Payment>"),
                u"Action refund invalid. Allowed values are: PAY,REFUND.");
  ExpectFailure("PAY", Request(u"<Payment><Phase>START</Phase></Payment>"),
                u"Phase START invalid. Allowed values are: BEGIN,DO,COMMIT,ROLLBACK.");
  ExpectFailure("PAY", Request(u"<Payment><Amount>1,234.50</Amount></Payment>"),
                u"Error in processing node Amount as currency.\r\n'1,234.50' is not a valid floating point value");
  ExpectFailure("VERIFYTRAN", Request(u"<VerifyTran><MaxItems>many</MaxItems></VerifyTran>"),
                u"Error in processing node MaxItems as integer.\r\n'many' is not a valid integer value");
  ExpectFailure("PAY", Request(u"<Payment><TokenizeCard>yes</TokenizeCard></Payment>"),
                u"Error in processing node TokenizeCard as boolean.\r\n'yes' is not a valid boolean value");
  ExpectFailure("PAY", Request(u"<Payment><Action>REFUND</Action><RefundReference><PaymentDateTime>2024-01-08"
                               u"</PaymentDateTime></RefundReference></Payment>"),
                u"Error in processing node PaymentDateTime as datetime.\r\nDateTime Format invalid: [2024-01-08]");
  ExpectFailure("PAY", Request(u"<Payment><MerchantCode><x/></MerchantCode></Payment>"),
                u"Error in processing node MerchantCode as string.\r\n"
                u"Element \"MerchantCode\" does not contain a single text node");
}

// Characters that the document escapes arrive plain in the error text, whatever the script.
TEST(ExportsE2ETest, ErrorTextsAreEscapedInTheDocumentOnly) {
  ExpectFailure("PAY", Request(u"<Payment><Action>a&lt;b &amp; \"c\" 'd'</Action></Payment>"),
                u"Action a<b & \"c\" 'd' invalid. Allowed values are: PAY,REFUND.");
  ExpectFailure("PAY", Request(u"<Payment><Action>caf\u00e9 \u20ac \U0001F600</Action></Payment>"),
                u"Action caf\u00e9 \u20ac \U0001F600 invalid. Allowed values are: PAY,REFUND.");
}

TEST(ExportsE2ETest, MalformedRequestsFailWithTheParsersMessage) {
  for (std::string_view command : {"OPEN", "PAY", "REPRINT", "VERIFYTRAN", "DAYCLOSE", "GETTOTALS"}) {
    for (std::u16string_view request : {u"", u"<Request>", u"not xml", u"<a></b>"}) {
      vxpa::HostModule::Answer answer = Call(command, request);
      EXPECT_EQ(answer.Result, kFailed) << command;
      ASSERT_TRUE(answer.ErrorMessage.has_value()) << command;
      EXPECT_FALSE(answer.ErrorMessage->empty());
      EXPECT_EQ(answer.Output, FailureDocument(command, *answer.ErrorMessage));
    }
  }
}

TEST(ExportsE2ETest, AHandleThatIsNotOpenIsRefusedBeforeAnyDriverLookup) {
  for (std::string_view command : {"OPEN", "PAY", "VERIFYTRAN", "REPRINT", "DAYCLOSE", "GETTOTALS"}) {
    std::u16string body = u"<Handle>987654</Handle>";
    if (command == "PAY" || command == "VERIFYTRAN" || command == "REPRINT") body += u"<Payment/>";
    if (command == "DAYCLOSE") body += u"<DayClose/>";
    if (command == "GETTOTALS") body += u"<GetTotals/>";
    ExpectFailure(command, Request(body), u"Device Handle not found");
  }
}

// A failed CLOSE answers Error true and -1 with its reason; nothing else changes.
TEST(ExportsE2ETest, CloseNeedsTheHandleOfAnOpenDevice) {
  ExpectFailure("CLOSE", Request(u""), u"Payment Device has not previously opened");
  ExpectFailure("CLOSE", Request(u"<Handle>0</Handle>"), u"Payment Device has not previously opened");
  ExpectFailure("CLOSE", Request(u"<Handle>-4</Handle>"), u"Payment Device has not previously opened");
  ExpectFailure("CLOSE", Request(u"<Handle>987654</Handle>"), u"Device Handle not found");
  ExpectFailure("CLOSE", Request(u"<Handle>x</Handle>"),
                u"Error in processing node Handle as integer.\r\n'x' is not a valid integer value");
  vxpa::HostModule::Answer malformed = Call("CLOSE", u"<Request>");
  EXPECT_EQ(malformed.Result, kFailed);
  ASSERT_TRUE(malformed.Output.has_value());
  EXPECT_TRUE(malformed.Output->starts_with(u"<Error>True</Error>\r\n<ErrorText>"));
}

// The whole 32-bit return register holds 0 or 65535; the host's out-variables are cleared on
// entry without being freed (they may hold anything).
TEST(ExportsE2ETest, ReturnRegisterAndOutVariables) {
  for (std::string_view command : vxpa::HostModule::kExportNames) {
    BSTR request = vxtest::Module().NewString(Request(u"<Payment/>"));
    BSTR output = reinterpret_cast<BSTR>(0x10);
    BSTR error = reinterpret_cast<BSTR>(0x20);
    vxpa_result result = vxtest::Module().Export(command)(request, &output, &error);
    EXPECT_TRUE(result == 0 || result == kFailed) << command << " returned " << result;
    EXPECT_NE(output, reinterpret_cast<BSTR>(0x10)) << command;
    EXPECT_NE(error, reinterpret_cast<BSTR>(0x20)) << command;
    if (command == "VERSION") {
      EXPECT_EQ(error, nullptr);
    }
    vxtest::Module().FreeString(output);
    vxtest::Module().FreeString(error);
    vxtest::Module().FreeString(request);
  }
}

}  // namespace
