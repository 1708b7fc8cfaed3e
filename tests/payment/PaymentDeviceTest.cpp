// The payment device base with a driver class that only this test registers: construction
// through the registry, dispatch of each command, stamping, the copy of the I/O handler's error
// and the device log's section lines.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "base/uVX_Base.h"
#include "base/uVX_Text.h"
#include "io/uVXIOHandler.h"
#include "io/uVXIOHandler_HTTP.h"
#include "payment/uVxPayment.h"
#include "payment/uVxPaymentDrivers.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "support/TempDir.h"

namespace {

using D = vxPaymentHandlerDocumentType;

// Records which operation ran and what the result held when it started. Its behaviour comes
// from the request's "Behaviour" parameter: "ioerror" leaves an error in the I/O handler,
// "throw" fails, "fail" sets Error itself; "refuse" makes the constructor fail.
class kTestDevice : public kPaymentDevice {
 public:
  explicit kTestDevice(const kPaymentHandler& aHandler)
      : kPaymentDevice(aHandler), fBehaviour(aHandler.GetParameter(u"Behaviour")) {
    if (fBehaviour == u"refuse") throw tVX_Error(u"test device refused");
  }

  void SetBehaviour(std::u16string_view aBehaviour) { fBehaviour = aBehaviour; }

  std::vector<std::string> fCalls;
  _int_PAY_result fPayOnEntry;
  _int_DAYCLOSE_result fDayCloseOnEntry;
  _int_GETTOTALS_result fTotalsOnEntry;

 protected:
  bool DoPay(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override { return Pay("DoPay", aReceipt, aResult); }
  bool DoRefund(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override {
    return Pay("DoRefund", aReceipt, aResult);
  }
  bool DoVoid(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override { return Pay("DoVoid", aReceipt, aResult); }
  bool DoVerifyTran(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override {
    return Pay("DoVerifyTran", aReceipt, aResult);
  }
  bool DoReprint(kPaymentReceipt& aReceipt, _int_REPRINT_result& aResult) override {
    fCalls.push_back("DoReprint");
    aResult.ReceiptText = u"copy of " + aReceipt.ReceiptId();
    return Finish(aResult);
  }
  bool DoDayClose(kPaymentDayClose& aDayClose, _int_DAYCLOSE_result& aResult) override {
    fCalls.push_back("DoDayClose");
    fDayCloseOnEntry = aResult;
    aResult.ClosureNumber = aDayClose.Reference();
    return Finish(aResult);
  }
  bool DoGetTotals(kPaymentTotals& aTotals, _int_GETTOTALS_result& aResult) override {
    fCalls.push_back("DoGetTotals");
    fTotalsOnEntry = aResult;
    aResult.DeviceId = aTotals.TillCode();
    return Finish(aResult);
  }
  bool Reserved() override { return false; }

 private:
  bool Pay(const char* aName, const kPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
    fCalls.push_back(aName);
    fPayOnEntry = aResult;
    aResult.PaymentAmount = aReceipt.Amount();
    return Finish(aResult);
  }
  template <class TResult>
  bool Finish(TResult& aResult) {
    if (fBehaviour == u"throw") throw tVX_Error(u"terminal unreachable");
    if (fBehaviour == u"ioerror") fIOHandler->SetCustomError(404, u"Post failed Not Found");
    if (fBehaviour == u"fail") aResult.Error = true;
    return !aResult.Error;
  }
  std::u16string fBehaviour;
};

constexpr std::u16string_view kDriverName = u"VXPA_TEST_ONLY";

class PaymentDeviceTest : public testing::Test {
 protected:
  // A request for the test driver on an HTTP connection to 127.0.0.1 (the base never posts),
  // logging under a log id of its own so that parallel runs do not share a file.
  std::u16string Request(std::u16string_view aCommand, std::u16string_view aBehaviour = u"") {
    static std::atomic<int> counter{0};
    const int64_t clock = std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007;
    fLogId = u"t" + vxtext::IntToStr(clock) + u"_" + vxtext::IntToStr(counter++);
    return u"<Request><Driver>" + std::u16string(kDriverName) + u"</Driver><LogId>" + fLogId +
           u"</LogId><Connection><Type>HTTP</Type><URL>http://127.0.0.1:9/</URL></Connection><Parameters>"
           u"<Behaviour>" + std::u16string(aBehaviour) + u"</Behaviour></Parameters>" + std::u16string(aCommand) +
           u"</Request>";
  }

  std::unique_ptr<kTestDevice> Open(const kPaymentHandler& aHandler) {
    const kPaymentClass* driver = FindPaymentDriver(kDriverName);
    EXPECT_NE(driver, nullptr);
    std::unique_ptr<kPaymentDevice> device = driver->Create(aHandler);
    fLogFile = device->IOHandler().GetLogFileName();
    fLogFiles.push_back(fLogFile);
    return std::unique_ptr<kTestDevice>(dynamic_cast<kTestDevice*>(device.release()));
  }

  // The device log as text, once the device (and with it its log writer) is gone.
  std::string LogText() { return vxtest::ReadFileBytes(std::filesystem::path(vxtext::Utf8(fLogFile))); }

  // The module's application object exists while the module is loaded; here, for each test.
  void SetUp() override { CreateTheApplication(); }
  void TearDown() override {
    RemoveLog();
    FreeTheApplication();
  }
  // Removes the logs of every device opened so far (each device must be gone by then).
  void RemoveLog() {
    for (const auto& file : fLogFiles) {
      std::error_code ignored;
      std::filesystem::remove(std::filesystem::path(vxtext::Utf8(file)), ignored);
    }
    fLogFiles.clear();
  }

  kPaymentDriverRegistration fRegistration{kDriverName, kPaymentClass::Of<kTestDevice>()};
  std::u16string fLogId;
  std::u16string fLogFile;  // of the device opened last
  std::vector<std::u16string> fLogFiles;
};

TEST_F(PaymentDeviceTest, TheRegisteredClassBuildsADeviceWithAnHttpHandlerLoggingBeneathTheHostFolder) {
  kPaymentHandler handler;
  handler.Deserialize(Request(u""), {D::dt_Open});
  auto device = Open(handler);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->Handle(), 0);
  EXPECT_NE(dynamic_cast<kIOHandler_HTTP*>(&device->IOHandler()), nullptr);
  EXPECT_EQ(device->IOHandler().Version(), kPaymentDevice::GetDriverVersion());

  const std::u16string folder = GetApplicationFolder();
  const std::u16string logDir = kPaymentDevice::GetLogDirectory();
  EXPECT_EQ(logDir, folder + u"LogFiles" + port::PathSeparator() + u"Payment");
  EXPECT_TRUE(vxtext::StartsWith(fLogFile, logDir + port::PathSeparator() + std::u16string(kDriverName) + u"_" + fLogId + u"_"))
      << vxtext::Utf8(fLogFile);
  EXPECT_TRUE(vxtext::EndsWith(fLogFile, u".log"));

  device->SetHandle(5);
  EXPECT_EQ(device->Handle(), 5);
}

TEST_F(PaymentDeviceTest, AFailingDriverConstructorPropagates) {
  kPaymentHandler handler;
  handler.Deserialize(Request(u"", u"refuse"), {D::dt_Open});
  try {
    FindPaymentDriver(kDriverName)->Create(handler);
    ADD_FAILURE() << "no failure";
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message(), u"test device refused");
  }
  // The I/O handler that the base had built was freed again: its log ends with the STOP banner.
  const std::string prefix = vxtext::Utf8(std::u16string(kDriverName) + u"_" + fLogId + u"_");
  int found = 0;
  for (const auto& entry : std::filesystem::directory_iterator(vxtext::Utf8(kPaymentDevice::GetLogDirectory()))) {
    if (entry.path().filename().string().rfind(prefix, 0) != 0) continue;
    ++found;
    fLogFiles.push_back(vxtext::Widen(entry.path().string()));
    std::string log = vxtest::ReadFileBytes(entry.path());
    EXPECT_NE(log.find("START"), std::string::npos) << log;
    EXPECT_NE(log.find(" - *************************** STOP ****************************\r\n"), std::string::npos) << log;
  }
  EXPECT_EQ(found, 1);
}

TEST_F(PaymentDeviceTest, PubPayChoosesTheOperationByActionAndStampsTheResultFirst) {
  struct Case { const char16_t* action; const char* call; };
  for (auto c : {Case{u"", "DoPay"}, Case{u"PAY", "DoPay"}, Case{u"REFUND", "DoRefund"}, Case{u"VOID", "DoVoid"}}) {
    kPaymentHandler handler;
    handler.Deserialize(Request(u"<Payment><Amount>4.5</Amount><Action>" + std::u16string(c.action) + u"</Action></Payment>"),
                        {D::dt_Pay});
    auto device = Open(handler);
    _int_PAY_result result;
    const tDateTime before = vxdate::Now();
    device->Pub_Pay(handler, result);
    const tDateTime after = vxdate::Now();

    EXPECT_EQ(device->fCalls, std::vector<std::string>{c.call});
    const _int_PAY_result& entry = device->fPayOnEntry;
    EXPECT_EQ(entry.TransactionType, vxPaymentTransactionType::ptt_Other);
    EXPECT_EQ(entry.PaymentNetwork, vxPaymentNetwork::Other);
    EXPECT_EQ(entry.LogFileName, fLogFile);
    EXPECT_GE(entry.PaymentDateTime, before);
    EXPECT_LE(entry.PaymentDateTime, after);
    EXPECT_FALSE(entry.Error);
    // What the driver left stands; nothing of the base overwrites it.
    EXPECT_EQ(result.PaymentAmount.Units(), 45000);
    EXPECT_EQ(result.PaymentNetwork, vxPaymentNetwork::Other);
    EXPECT_EQ(result.ErrorText, u"");
    EXPECT_FALSE(result.Error);
    device.reset();
    std::string log = LogText();
    EXPECT_NE(log.find(" - ------------------------------------------------------------ Pay\r\n"), std::string::npos) << log;
    RemoveLog();
  }
}

TEST_F(PaymentDeviceTest, EachCommandWritesItsSectionLineAndStampsItsOwnRecord) {
  kPaymentHandler handler;
  handler.Deserialize(Request(u"<VerifyTran><ReceiptId>r1</ReceiptId></VerifyTran>"
                              u"<DayClose><Reference>Z7</Reference></DayClose><GetTotals><TillCode>T3</TillCode></GetTotals>"),
                      {D::dt_VerifyTran});
  handler.DayClose().LoadFromDocument(*port::XmlDocument::Parse(Request(u"<DayClose><Reference>Z7</Reference></DayClose>")));
  handler.Totals().LoadFromDocument(*port::XmlDocument::Parse(Request(u"<GetTotals><TillCode>T3</TillCode></GetTotals>")));
  auto device = Open(handler);

  _int_PAY_result verify;
  device->Pub_VerifyTran(handler, verify);
  EXPECT_EQ(device->fPayOnEntry.LogFileName, fLogFile);
  EXPECT_EQ(device->fPayOnEntry.TransactionType, vxPaymentTransactionType::ptt_Other);
  EXPECT_NE(verify.PaymentDateTime, 0.0);

  _int_REPRINT_result reprint;
  device->Pub_Reprint(handler, reprint);
  EXPECT_EQ(reprint.ReceiptText, u"copy of r1");
  EXPECT_EQ(reprint.LogFileName, u"");

  _int_DAYCLOSE_result dayClose;
  device->Pub_DayClose(handler, dayClose);
  EXPECT_EQ(device->fDayCloseOnEntry.LogFileName, fLogFile);
  EXPECT_NE(device->fDayCloseOnEntry.ClosureDateTime, 0.0);
  EXPECT_EQ(dayClose.ClosureNumber, u"Z7");

  _int_GETTOTALS_result totals;
  device->Pub_GetTotals(handler, totals);
  EXPECT_EQ(device->fTotalsOnEntry.LogFileName, fLogFile);
  EXPECT_NE(device->fTotalsOnEntry.DateTime, 0.0);
  EXPECT_EQ(totals.DeviceId, u"T3");

  EXPECT_EQ(device->fCalls, (std::vector<std::string>{"DoVerifyTran", "DoReprint", "DoDayClose", "DoGetTotals"}));
  device.reset();

  // The section lines, each after the time stamp and " - ", in command order; the reprint has none.
  std::string log = LogText();
  const std::string lines[] = {std::string(60, '-') + " VerifyTran", std::string(55, '-') + " DayClose",
                               std::string(55, '-') + " GetTotals"};
  EXPECT_EQ(lines[0].size(), 71u);
  EXPECT_EQ(lines[1].size(), 64u);
  EXPECT_EQ(lines[2].size(), 65u);
  size_t at = 0;
  for (const auto& line : lines) {
    size_t hit = log.find(" - " + line + "\r\n", at);
    ASSERT_NE(hit, std::string::npos) << line << "\n" << log;
    at = hit + line.size();
  }
  EXPECT_EQ(log.find("Reprint"), std::string::npos);
  EXPECT_EQ(log.find(" Pay\r\n"), std::string::npos);
}

TEST_F(PaymentDeviceTest, AnErrorLeftInTheIOHandlerBecomesTheErrorTextButNotTheFlag) {
  kPaymentHandler handler;
  handler.Deserialize(Request(u"<Payment><Action>REFUND</Action></Payment><DayClose/>", u"ioerror"), {D::dt_Pay});
  auto device = Open(handler);
  _int_PAY_result pay;
  device->Pub_Pay(handler, pay);
  EXPECT_EQ(pay.ErrorText, u"Post failed Not Found");
  EXPECT_FALSE(pay.Error);  // the flag is the driver's to set
  EXPECT_EQ(device->fCalls.back(), "DoRefund");

  // The handler's error is not reset between commands: every later result carries it.
  _int_REPRINT_result reprint;
  device->Pub_Reprint(handler, reprint);
  EXPECT_EQ(reprint.ErrorText, u"Post failed Not Found");
  _int_DAYCLOSE_result dayClose;
  device->Pub_DayClose(handler, dayClose);
  EXPECT_EQ(dayClose.ErrorText, u"Post failed Not Found");
  _int_GETTOTALS_result totals;
  device->Pub_GetTotals(handler, totals);
  EXPECT_EQ(totals.ErrorText, u"Post failed Not Found");

  device->IOHandler().ResetCustomError();
  device->SetBehaviour(u"");
  _int_PAY_result clean;
  device->Pub_VerifyTran(handler, clean);
  EXPECT_EQ(clean.ErrorText, u"");
}

TEST_F(PaymentDeviceTest, ADriverFailurePassesThroughAndTheDriversErrorFlagStands) {
  kPaymentHandler handler;
  handler.Deserialize(Request(u"<Payment/>", u"throw"), {D::dt_Pay});
  auto device = Open(handler);
  _int_PAY_result pay;
  try {
    device->Pub_Pay(handler, pay);
    ADD_FAILURE() << "no failure";
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message(), u"terminal unreachable");
  }

  kPaymentHandler failing;
  failing.Deserialize(Request(u"<Payment/>", u"fail"), {D::dt_Pay});
  auto other = Open(failing);
  _int_PAY_result result;
  other->Pub_Pay(failing, result);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.ErrorText, u"");
}

TEST_F(PaymentDeviceTest, DriverVersionIsVersionAndReleaseDateOfTheModule) {
  EXPECT_EQ(kPaymentDevice::GetDriverVersion(), u"Version 1.10 - " + port::ShortDateText(2024, 1, 8));
  // The class reference answers the same without a device.
  kPaymentDriverRegistration registration(u"VXPA_TEST_VERSION", kPaymentClass::Of<kTestDevice>());
  EXPECT_EQ(FindPaymentDriver(u"VXPA_TEST_VERSION")->GetDriverVersion(), kPaymentDevice::GetDriverVersion());
}

}  // namespace
