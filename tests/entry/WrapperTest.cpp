// The command wrappers on devices of the test driver: handle numbering, implicit opening, the
// choice of device operation, what a success and a failure answer, CLOSE and unloading.
#include <gtest/gtest.h>

#include "TestDriver.h"
#include "base/uVX_Text.h"
#include "entry/uVXPaymentWrapper_Commands.h"
#include "entry/uVXPaymentWrapper_Registry.h"
#include "platform/HostString.h"
#include "platform/ModuleEntry.h"
#include "support/ResultDocuments.h"
#include "vxpa.h"

namespace {

using vxtest::DriverCalls;

class WrapperTest : public testing::Test {
 protected:
  void SetUp() override {
    vxmodule::Start();  // a fresh registry: handles start at 1
    DriverCalls().clear();
  }
  void TearDown() override { vxmodule::Stop(); }

  // A request for the test driver; aBody holds the command part and, optionally, the handle.
  static std::u16string Request(std::u16string_view aBody, std::u16string_view aParameters = u"") {
    return u"<Request><Driver>VXPA_TEST</Driver><LogId>wrapper</LogId><Connection><Type>HTTP</Type>"
           u"<URL>http://127.0.0.1:9</URL></Connection><Parameters>" +
           std::u16string(aParameters) + u"</Parameters>" + std::u16string(aBody) + u"</Request>";
  }
  static std::u16string WithHandle(int32_t aHandle, std::u16string_view aBody = u"") {
    return Request(u"<Handle>" + std::u16string(vxtext::IntToStr(aHandle)) + u"</Handle>" + std::u16string(aBody));
  }

  // Runs one command as the export does and answers its rendering.
  template <class TWrapper>
  static auto Run(std::u16string_view aXml) {
    struct {
      std::u16string Output, ErrorMessage;
      int16_t Code = 0;
      std::remove_cvref_t<decltype(std::declval<TWrapper>().Result())> Record;
    } outcome;
    TWrapper wrapper;
    wrapper.Process(aXml);
    wrapper.Format(outcome.Output, outcome.ErrorMessage, outcome.Code);
    outcome.Record = wrapper.Result();
    return outcome;
  }

  static int32_t Open(std::u16string_view aXml = Request(u"")) {
    auto outcome = Run<kPaymentWrapper_OPEN>(aXml);
    EXPECT_EQ(outcome.Code, 0) << vxtext::Utf8(outcome.ErrorMessage);
    return outcome.Record.Handle;
  }
};

TEST_F(WrapperTest, HandlesRunInOpenOrderAndAreNeverReused) {
  EXPECT_EQ(Open(), 1);
  EXPECT_EQ(Open(), 2);
  EXPECT_EQ(Run<kPaymentWrapper_CLOSE>(WithHandle(1)).Code, 0);
  EXPECT_EQ(Open(), 3);
  EXPECT_EQ(PaymentDevices().Count(), 2u);
  EXPECT_EQ(PaymentDevices().LastDeviceHandle(), 3);
}

TEST_F(WrapperTest, AFailedOpenConsumesNoHandleAndRegistersNothing) {
  EXPECT_EQ(Open(), 1);
  auto unknown = Run<kPaymentWrapper_OPEN>(u"<Request><Driver>vxpa_test</Driver></Request>");
  EXPECT_EQ(unknown.Code, -1);
  EXPECT_EQ(unknown.ErrorMessage, u"Payment Driver [vxpa_test] not registered.");
  auto refused = Run<kPaymentWrapper_OPEN>(Request(u"", u"<FailCreate>POIID is mandatory</FailCreate>"));
  EXPECT_EQ(refused.Code, -1);
  EXPECT_EQ(refused.Output, vxtest::FailureDocument("OPEN", u"POIID is mandatory"));
  EXPECT_EQ(PaymentDevices().Count(), 1u);
  EXPECT_EQ(Open(), 2);
}

TEST_F(WrapperTest, OpenWithTheHandleOfAnOpenDeviceAnswersItAndOpensNothing) {
  int32_t handle = Open();
  // The request's driver plays no part for an open device.
  auto again = Run<kPaymentWrapper_OPEN>(u"<Request><Driver>NOT_REGISTERED</Driver><Handle>1</Handle></Request>");
  EXPECT_EQ(again.Code, 0);
  EXPECT_EQ(again.Record.Handle, handle);
  EXPECT_EQ(again.Output, u"<Handle>1</Handle>\r\n<Error>False</Error>\r\n<ErrorText></ErrorText>\r\n"
                          u"<LogFileName></LogFileName>");
  EXPECT_EQ(PaymentDevices().Count(), 1u);
  EXPECT_EQ(DriverCalls(), (std::vector<std::string>{"create@0"}));
}

TEST_F(WrapperTest, CommandsWithoutAHandleOpenADeviceOfTheirOwnThatStaysOpen) {
  auto paid = Run<kPaymentWrapper_PAY>(Request(u"<Payment><Amount>12.5</Amount><Currency>EUR</Currency></Payment>"));
  EXPECT_EQ(paid.Code, 0) << vxtext::Utf8(paid.ErrorMessage);
  auto closed = Run<kPaymentWrapper_DAYCLOSE>(Request(u"<DayClose><StoreCode>S9</StoreCode></DayClose>"));
  EXPECT_EQ(closed.Code, 0);
  EXPECT_EQ(PaymentDevices().Count(), 2u);
  EXPECT_EQ(DriverCalls(), (std::vector<std::string>{"create@0", "DoPay@1", "create@0", "DoDayClose@2"}));
  EXPECT_EQ(Open(), 3);
}

TEST_F(WrapperTest, EachCommandRunsItsOperationOnTheDeviceOfItsHandle) {
  Open();
  int32_t handle = Open();
  DriverCalls().clear();
  EXPECT_EQ(Run<kPaymentWrapper_PAY>(WithHandle(handle, u"<Payment/>")).Code, 0);
  EXPECT_EQ(Run<kPaymentWrapper_PAY>(WithHandle(handle, u"<Payment><Action>PAY</Action></Payment>")).Code, 0);
  EXPECT_EQ(Run<kPaymentWrapper_PAY>(WithHandle(handle, u"<Payment><Action>REFUND</Action></Payment>")).Code, 0);
  EXPECT_EQ(Run<kPaymentWrapper_PAY>(WithHandle(handle, u"<VerifyTran><Action>VOID</Action></VerifyTran>")).Code, 0);
  EXPECT_EQ(Run<kPaymentWrapper_VERIFYTRAN>(WithHandle(handle, u"<VerifyTran/>")).Code, 0);
  EXPECT_EQ(Run<kPaymentWrapper_REPRINT>(WithHandle(handle, u"<Reprint/>")).Code, 0);
  EXPECT_EQ(Run<kPaymentWrapper_DAYCLOSE>(WithHandle(handle, u"<DayClose/>")).Code, 0);
  EXPECT_EQ(Run<kPaymentWrapper_GETTOTALS>(WithHandle(handle, u"<GetTotals/>")).Code, 0);
  EXPECT_EQ(DriverCalls(), (std::vector<std::string>{"DoPay@2", "DoPay@2", "DoRefund@2", "DoVoid@2", "DoVerifyTran@2",
                                                     "DoReprint@2", "DoDayClose@2", "DoGetTotals@2"}));
}

TEST_F(WrapperTest, ASuccessAnswersTheRecordTheDeviceFilled) {
  int32_t handle = Open();
  auto paid = Run<kPaymentWrapper_PAY>(
      WithHandle(handle, u"<Payment><Amount>1234.5</Amount><Currency>EUR</Currency></Payment>"));
  EXPECT_EQ(paid.Code, 0);
  EXPECT_FALSE(paid.Record.Error);
  EXPECT_EQ(paid.Record.DeviceId, u"TEST-DoPay");
  EXPECT_FALSE(paid.Record.LogFileName.empty());  // the device base names the log in use
  EXPECT_NE(paid.Record.PaymentDateTime, 0.0);    // and stamps the time
  EXPECT_NE(paid.Output.find(u"<PaymentAmount>1234.5</PaymentAmount>"), std::u16string::npos);
  EXPECT_NE(paid.Output.find(u"<PaymentNetwork>visa</PaymentNetwork>"), std::u16string::npos);
  EXPECT_NE(paid.Output.find(u"<TransactionType>CLESS</TransactionType>"), std::u16string::npos);
  EXPECT_EQ(paid.Output.find(u"RawResponse"), std::u16string::npos);
  EXPECT_TRUE(paid.ErrorMessage.empty());

  auto declined = Run<kPaymentWrapper_PAY>(WithHandle(handle, u"<Payment><Reference>declined</Reference></Payment>"));
  EXPECT_EQ(declined.Code, -1);
  EXPECT_EQ(declined.Record.DeviceId, u"TEST-DoPay");

  auto totals = Run<kPaymentWrapper_GETTOTALS>(WithHandle(handle, u"<GetTotals><TillCode>T7</TillCode></GetTotals>"));
  EXPECT_EQ(totals.Record.DeviceId, u"T7");
  EXPECT_EQ(totals.Record.TransactionsCount, 5);
  EXPECT_FALSE(totals.Record.LogFileName.empty());
  auto reprint = Run<kPaymentWrapper_REPRINT>(WithHandle(handle, u"<Reprint><ReceiptId>42</ReceiptId></Reprint>"));
  EXPECT_EQ(reprint.Record.ReceiptText, u"copy of 42");
  EXPECT_TRUE(reprint.Record.LogFileName.empty());
}

// A failure raised by the driver leaves the starting values, the message and no log file name,
// even though the device exists and its operation had begun filling its record.
TEST_F(WrapperTest, ADriverFailureAnswersTheStartingValuesWithItsMessage) {
  int32_t handle = Open();
  const std::u16string body = u"<Payment><Reference>throw</Reference></Payment>";
  auto paid = Run<kPaymentWrapper_PAY>(WithHandle(handle, body));
  EXPECT_EQ(paid.Code, -1);
  EXPECT_EQ(paid.ErrorMessage, u"Terminal unreachable");
  EXPECT_EQ(paid.Output, vxtest::FailureDocument("PAY", u"Terminal unreachable"));
  auto verified = Run<kPaymentWrapper_VERIFYTRAN>(WithHandle(handle, body));
  EXPECT_EQ(verified.Output, vxtest::FailureDocument("VERIFYTRAN", u"Terminal unreachable"));
  auto reprint = Run<kPaymentWrapper_REPRINT>(WithHandle(handle, u"<Reprint><Reference>throw</Reference></Reprint>"));
  EXPECT_EQ(reprint.Output, vxtest::FailureDocument("REPRINT", u"Terminal unreachable"));
  EXPECT_EQ(PaymentDevices().Count(), 1u);  // the device stays open
}

// A driver that reports through its I/O handler gets the handler's message copied into the
// answer, next to the Error flag it set itself.
TEST_F(WrapperTest, AnErrorLeftInTheIOHandlerReachesTheErrorText) {
  int32_t handle = Open();
  auto paid = Run<kPaymentWrapper_PAY>(WithHandle(handle, u"<Payment><Reference>ioerror</Reference></Payment>"));
  EXPECT_EQ(paid.Code, -1);
  EXPECT_EQ(paid.ErrorMessage, u"Connection refused");
  EXPECT_NE(paid.Output.find(u"<ErrorText>Connection refused</ErrorText>"), std::u16string::npos);
  EXPECT_FALSE(paid.Record.LogFileName.empty());
}

TEST_F(WrapperTest, CloseDestroysTheDeviceOnceWithoutCallingTheDriver) {
  int32_t handle = Open();
  DriverCalls().clear();
  auto closed = Run<kPaymentWrapper_CLOSE>(WithHandle(handle));
  EXPECT_EQ(closed.Code, 0);
  EXPECT_EQ(closed.Output, u"<Error>False</Error>\r\n<ErrorText></ErrorText>\r\n<LogFileName></LogFileName>");
  EXPECT_EQ(DriverCalls(), (std::vector<std::string>{"destroy@1"}));
  auto again = Run<kPaymentWrapper_CLOSE>(WithHandle(handle));
  EXPECT_EQ(again.Code, -1);
  EXPECT_EQ(again.ErrorMessage, u"Device Handle not found");
  auto withoutHandle = Run<kPaymentWrapper_CLOSE>(Request(u""));
  EXPECT_EQ(withoutHandle.Code, -1);
  EXPECT_EQ(withoutHandle.ErrorMessage, u"Payment Device has not previously opened");
  EXPECT_EQ(PaymentDevices().Count(), 0u);
}

TEST_F(WrapperTest, UnloadingDestroysEveryOpenDeviceInHandleOrder) {
  Open();
  Open();
  Open();
  Run<kPaymentWrapper_CLOSE>(WithHandle(2));
  DriverCalls().clear();
  vxmodule::Stop();
  EXPECT_EQ(DriverCalls(), (std::vector<std::string>{"destroy@1", "destroy@3"}));
  vxmodule::Start();
  EXPECT_EQ(Open(), 1);  // a new load starts counting again
}

TEST_F(WrapperTest, VersionAnswersTheRegisteredClassVersion) {
  BSTR name = port::NewHostString(vxtest::kTestDriverName);
  BSTR version = nullptr;
  EXPECT_EQ(VERSION(name, &version, nullptr), 0);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(port::HostStringText(version), kPaymentDevice::GetDriverVersion());
  EXPECT_TRUE(port::HostStringText(version).starts_with(u"Version "));
  port::FreeHostString(version);
  port::FreeHostString(name);
}

}  // namespace
