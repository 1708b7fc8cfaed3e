// The fiscal printer handler against the simulated control: the calls it makes, the lines it
// logs, and how it turns result codes into its custom error.
#include <gtest/gtest.h>

#include <functional>

#include "devices/HandlerLog.h"
#include "io/uVXIOHandler_OPOS.h"
#include "platform/Error.h"
#include "platform/SimulatedFiscalPrinter.h"
#include "support/FakeOposControl.h"

namespace {

using vxtest::HasLine;
using vxtest::U8;

tVX_Currency Money(const char16_t* aText) {
  tVX_Currency value;
  EXPECT_TRUE(tVX_Currency::TryParseDecimal(aText, value));
  return value;
}

class OposHandlerTest : public testing::Test {
 protected:
  OposHandlerTest() {
    fConnection.SetDeviceName(u"FP1");
    fConnection.SetConnectTimeOut(1500);
    auto printer = std::make_unique<port::SimulatedFiscalPrinter>();
    fPrinter = printer.get();
    fPrinter->Values().errorString = u"device says no";
    fHandler = std::make_unique<kIOHandler_OPOS>(&fConnection, fFolder.Text(), u"fp", std::move(printer));
    fLogFile = fHandler->GetLogFileName();
  }

  // Destroys the handler (which flushes its log) and answers the log's lines.
  std::vector<std::string> CloseAndReadLog() {
    fHandler.reset();
    return vxtest::LogLines(fLogFile);
  }

  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (const std::u16string& call : fPrinter->Calls()) calls.push_back(U8(call));
    return calls;
  }

  vxtest::TempDir fFolder;
  kConnection fConnection;
  port::SimulatedFiscalPrinter* fPrinter = nullptr;  // owned by the handler
  std::unique_ptr<kIOHandler_OPOS> fHandler;
  std::u16string fLogFile;
};

TEST_F(OposHandlerTest, ConnectOpensClaimsAndEnablesAndTheHandlerUndoesItWhenDestroyed) {
  EXPECT_FALSE(fHandler->Connected());
  EXPECT_TRUE(fHandler->Connect());
  EXPECT_TRUE(fHandler->Connected());
  EXPECT_FALSE(fHandler->ErrorFound());
  std::vector<std::string> connectCalls = Calls();
  EXPECT_EQ(connectCalls, (std::vector<std::string>{"Open(FP1)", "ClaimDevice(1500)", "DeviceEnabled=true"}));

  // The destructor disconnects: its lines follow those of the connect.
  std::vector<std::string> log = CloseAndReadLog();
  const std::vector<std::string> expected = {
      "kIOHandler_OPOS", "", "ConnectTimeout=1500", "ReadTimeout=1000", "DeviceName=FP1", "[Connect]->Open(FP1)",
      "[Connect]->ClaimDevice(1500)", "[Connect]->DeviceEnabled:=true", "[Disconnect]->DeviceEnabled:=false",
      "[Disconnect]->ReleaseDevice", "[Disconnect]->Close"};
  int at = vxtest::IndexOf(log, std::string(61, '*'));
  ASSERT_GE(at, 0);
  ASSERT_GE(log.size(), at + 1 + expected.size());
  EXPECT_EQ(std::vector<std::string>(log.begin() + at + 1, log.begin() + at + 1 + expected.size()), expected);
}

TEST_F(OposHandlerTest, AFailedOpenIsReportedSkipsTheClaimAndStillCountsAsConnected) {
  fPrinter->SetResult("Open", 109);
  EXPECT_FALSE(fHandler->Connect());
  EXPECT_TRUE(fHandler->Connected());
  EXPECT_TRUE(fHandler->ErrorFound());
  EXPECT_EQ(fHandler->ErrorCode(), 109);
  EXPECT_EQ(U8(fHandler->ErrorMessage()), "[109] OPOS_E_NOEXIST - device says no");
  EXPECT_EQ(Calls(), std::vector<std::string>{"Open(FP1)"});
  // Connected: the destructor runs the disconnect sequence.
  std::vector<std::string> log = CloseAndReadLog();
  EXPECT_TRUE(HasLine(log, "ERROR - [109] OPOS_E_NOEXIST - device says no"));
  EXPECT_FALSE(HasLine(log, "[Connect]->ClaimDevice(1500)"));
  EXPECT_TRUE(HasLine(log, "[Disconnect]->ReleaseDevice"));
}

TEST_F(OposHandlerTest, AFailedClaimLeavesTheDeviceDisabledAndADeviceThatStaysDisabledAnswersFalse) {
  fPrinter->SetResult("ClaimDevice", 102);
  EXPECT_FALSE(fHandler->Connect());
  EXPECT_EQ(U8(fHandler->ErrorMessage()), "[102] OPOS_E_CLAIMED - device says no");
  fPrinter->SetResult("ClaimDevice", 0);
  fPrinter->Values().refuseEnable = true;
  EXPECT_FALSE(fHandler->Connect());  // disconnects first, then runs the whole sequence
  EXPECT_FALSE(fHandler->ErrorFound());
  EXPECT_TRUE(fHandler->Connected());
  std::vector<std::string> calls = Calls();
  EXPECT_EQ(calls[2], "DeviceEnabled=false");
  EXPECT_EQ(calls.back(), "DeviceEnabled=true");
}

TEST_F(OposHandlerTest, ErrorsRaisedByTheControlAreLoggedInsideConnectAndDisconnect) {
  fPrinter->SetFailure("ClaimDevice", u"Catastrophic failure");
  EXPECT_FALSE(fHandler->Connect());
  EXPECT_FALSE(fHandler->Connected());  // the sequence did not run to its end
  fPrinter->ClearFailure("ClaimDevice");
  EXPECT_TRUE(fHandler->Connect());
  EXPECT_TRUE(fHandler->Connected());
  fPrinter->SetFailure("ReleaseDevice", u"Disconnected from the server");
  EXPECT_FALSE(fHandler->Disconnect());
  EXPECT_TRUE(fHandler->Connected());  // unchanged by a raised error
  fPrinter->ClearFailure("ReleaseDevice");
  std::vector<std::string> log = CloseAndReadLog();
  EXPECT_TRUE(HasLine(log, "ERROR - [Connect]:Catastrophic failure"));
  EXPECT_TRUE(HasLine(log, "ERROR - [Disconnect]:Disconnected from the server"));
}

TEST_F(OposHandlerTest, ResultCodesBecomeTextsWithTheExtendedCodeOnlyForExtendedErrors) {
  fPrinter->SetResult("PrintRecMessage", 114);
  fPrinter->Values().resultCodeExtended = 203;
  EXPECT_FALSE(fHandler->PrintRecMessage(u"x"));
  EXPECT_EQ(U8(fHandler->ErrorMessage()), "[114] OPOS_E_EXTENDED [203] OPOS_EFPTR_REC_EMPTY - device says no");
  fPrinter->Values().resultCodeExtended = 0;
  EXPECT_FALSE(fHandler->PrintRecMessage(u"x"));
  EXPECT_EQ(U8(fHandler->ErrorMessage()), "[114] OPOS_E_EXTENDED - device says no");
  fPrinter->Values().resultCodeExtended = 250;
  EXPECT_FALSE(fHandler->PrintRecMessage(u"x"));
  EXPECT_EQ(U8(fHandler->ErrorMessage()), "[114] OPOS_E_EXTENDED [250] UNKNOWN - device says no");
  fPrinter->SetResult("PrintRecMessage", 111);  // not extended: the extended code is not asked for
  EXPECT_FALSE(fHandler->PrintRecMessage(u"x"));
  EXPECT_EQ(U8(fHandler->ErrorMessage()), "[111] OPOS_E_FAILURE - device says no");
  fPrinter->SetResult("PrintRecMessage", 300);
  EXPECT_FALSE(fHandler->PrintRecMessage(u"x"));
  EXPECT_EQ(U8(fHandler->ErrorMessage()), "[300] UNKNOWN - device says no");
  EXPECT_EQ(fHandler->ErrorCode(), 300);
  // The next checked call starts from a clean error.
  fPrinter->SetResult("PrintRecMessage", 0);
  EXPECT_TRUE(fHandler->PrintRecMessage(u"x"));
  EXPECT_FALSE(fHandler->ErrorFound());
  EXPECT_EQ(fHandler->ErrorCode(), 0);
  EXPECT_EQ(fHandler->ErrorMessage(), u"");
}

TEST(OposErrorTextTest, EveryCodeHasItsName) {
  const char* const results[] = {"CLOSED",  "CLAIMED", "NOTCLAIMED", "NOSERVICE", "DISABLED",
                                 "ILLEGAL", "NOHARDWARE", "OFFLINE", "NOEXIST",   "EXISTS",
                                 "FAILURE", "TIMEOUT", "BUSY",       "EXTENDED",  "DEPRECATED"};
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(U8(kIOHandler_OPOS::FormatOposError(101 + i, 0, u"e")),
              "[" + std::to_string(101 + i) + "] OPOS_E_" + results[i] + " - e");
  }
  const char* const extended[] = {"COVER_OPEN",          "JRN_EMPTY",
                                  "REC_EMPTY",           "SLP_EMPTY",
                                  "SLP_FORM",            "MISSING_DEVICES",
                                  "WRONG_STATE",         "TECHNICAL_ASSISTANCE",
                                  "CLOCK_ERROR",         "FISCAL_MEMORY_FULL",
                                  "FISCAL_MEMORY_DISCONNECTED", "FISCAL_TOTALS_ERROR",
                                  "BAD_ITEM_QUANTITY",   "BAD_ITEM_AMOUNT",
                                  "BAD_ITEM_DESCRIPTION", "RECEIPT_TOTAL_OVERFLOW",
                                  "BAD_VAT",             "BAD_PRICE",
                                  "BAD_DATE",            "NEGATIVE_TOTAL",
                                  "WORD_NOT_ALLOWED",    "BAD_LENGTH",
                                  "MISSING_SET_CURRENCY", "DAY_END_REQUIRED"};
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(U8(kIOHandler_OPOS::FormatOposError(114, 201 + i, u"")),
              "[114] OPOS_E_EXTENDED [" + std::to_string(201 + i) + "] OPOS_EFPTR_" + extended[i] + " - ");
  }
  EXPECT_EQ(U8(kIOHandler_OPOS::FormatOposError(100, 225, u"x")), "[100] UNKNOWN [225] UNKNOWN - x");
}

TEST_F(OposHandlerTest, AFiscalReceiptLogsEachCallAndHandsTheValuesOn) {
  EXPECT_TRUE(fHandler->BeginFiscalReceipt());
  EXPECT_TRUE(fHandler->PrintRecItem(u"4711", u"Bob's milk", Money(u"1.5"), u"pcs", 2, Money(u"8.3333"), Money(u"12.5")));
  EXPECT_TRUE(fHandler->PrintRecItemVoid(u"4711", u"Milk", Money(u"-2.25"), u"l", 1, Money(u"1"), Money(u"2.25")));
  EXPECT_TRUE(fHandler->PrintRecRefund(u"1", u"Bottle", Money(u"3"), u"pcs", 3, Money(u"0.25"), Money(u"0.75")));
  EXPECT_TRUE(fHandler->PrintRecItemAdjustment(1, u"Discount", Money(u"1000.1"), 2));
  EXPECT_TRUE(fHandler->PrintRecSubtotal(Money(u"14")));
  EXPECT_TRUE(fHandler->PrintRecSubtotalAdjustment(2, u"Round", Money(u"0.05")));
  EXPECT_TRUE(fHandler->PrintRecTotal(Money(u"13.95"), Money(u"20"), u"Cash"));
  EXPECT_TRUE(fHandler->PrintRecNotPaid(Money(u"1"), u"Voucher"));
  EXPECT_TRUE(fHandler->PrintRecMessage(u"Thank you"));
  EXPECT_TRUE(fHandler->PrintRecTaxid(u"DE123"));
  EXPECT_TRUE(fHandler->EndFiscalReceipt());
  const std::vector<std::string> calls = Calls();
  const std::vector<std::string> expectedCalls = {
      "BeginFiscalReceipt(true)",
      "PrintRecItem(Bob's milk,125000,1500,2,83333,pcs)",
      "PrintRecItemVoid(Milk,22500,-2250,1,10000,l)",
      "PrintRecRefund(Bottle,7500,3)",
      "PrintRecItemAdjustment(1,Discount,10001000,2)",
      "PrintRecSubtotal(140000)",
      "PrintRecSubtotalAdjustment(2,Round,500)",
      "PrintRecTotal(139500,200000,Cash)",
      "PrintRecNotPaid(Voucher,10000)",
      "PrintRecMessage(Thank you)",
      "PrintRecTaxID(DE123)",
      "EndFiscalReceipt(false)"};
  EXPECT_EQ(calls, expectedCalls);
  std::vector<std::string> log = CloseAndReadLog();
  for (const char* line : {"[BeginFiscalReceipt]->BeginFiscalReceipt(true)",
                           "[PrintRecItem]->PrintRecItem('Bob''s milk',12.5,1,2,8.3333,'pcs')",
                           "[PrintRecItemVoid]->PrintRecItemVoid('Milk',2.25,1,1,'l')",
                           "[PrintRecRefund]->PrintRecRefund('Bottle',0.75,3)",
                           "[PrintRecItemAdjustment]->PrintRecItemAdjustment(1,'Discount',1000.1,2)",
                           "[PrintRecSubtotal]->PrintRecSubTotal(14)",
                           "[PrintRecSubtotalAdjustment]->PrintRecSubtotalAdjustment(2,'Round',0.05)",
                           "[PrintRecTotal]->PrintRecTotal(13.95,20,'Cash')",
                           "[PrintRecNotPaid]->PrintRecNotPaid('Voucher',1)",
                           "[PrintRecMessage]->PrintRecMessage('Thank you')",
                           "[PrintRecTaxid]->PrintRecTaxid('DE123')",
                           "[EndFiscalReceipt]->EndFiscalReceipt(false)"}) {
    EXPECT_TRUE(HasLine(log, line)) << line;
  }
}

TEST_F(OposHandlerTest, OtherDocumentsAndReportsLogTheirCalls) {
  fPrinter->SetResult("PrintZReport", 224);
  EXPECT_TRUE(fHandler->ResetPrinter());
  EXPECT_TRUE(fHandler->BeginNonFiscal());
  EXPECT_TRUE(fHandler->PrintNormal(u"Copy"));
  EXPECT_TRUE(fHandler->EndNonFiscal());
  EXPECT_TRUE(fHandler->BeginTraining());
  EXPECT_TRUE(fHandler->EndTraining());
  EXPECT_TRUE(fHandler->PrintXReport());
  EXPECT_FALSE(fHandler->PrintZReport());
  EXPECT_EQ(Calls(), (std::vector<std::string>{"ResetPrinter()", "BeginNonFiscal()", "PrintNormal(2,Copy)",
                                               "EndNonFiscal()", "BeginTraining()", "EndTraining()",
                                               "PrintXReport()", "PrintZReport()"}));
  std::vector<std::string> log = CloseAndReadLog();
  for (const char* line :
       {"[ResetPrinter]->ResetPrinter", "[BeginNonFiscal]->BeginNonFiscal", "[PrintNormal]->PrintNormal(2,'Copy')",
        "[EndNonFiscal]->EndNonFiscal", "[BeginTraining]->BeginTraining", "[EndTraining]->EndTraining",
        "[PrintXReport]->PrintXReport", "[PrintZReport]->PrintZReport",
        "ERROR - [224] UNKNOWN - device says no"}) {
    EXPECT_TRUE(HasLine(log, line)) << line;
  }
}

TEST_F(OposHandlerTest, ThePrintersClockGoesBothWays) {
  tDateTime when = 0;
  ASSERT_TRUE(vxdate::TryEncodeDateTime({2024, 3, 5, 14, 7, 59, 0}, when));
  EXPECT_TRUE(fHandler->SetDate(when));
  EXPECT_EQ(Calls().back(), "SetDate(050320241407)");

  fPrinter->Values().date = u"311220230905";
  tDateTime read = 0;
  EXPECT_TRUE(fHandler->GetDate(read));
  tVX_DateTimeParts parts = vxdate::Decode(read);
  EXPECT_EQ(std::vector<int>({parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second}),
            std::vector<int>({2023, 12, 31, 9, 5, 0}));

  fPrinter->SetResult("GetDate", 111);
  const tDateTime before = vxdate::Now();
  EXPECT_FALSE(fHandler->GetDate(read));
  EXPECT_GE(read, before);
  EXPECT_LT(read - before, 1.0 / 24);

  fPrinter->SetResult("GetDate", 0);
  fPrinter->Values().date = u"3112202309";
  EXPECT_THROW(fHandler->GetDate(read), tVX_Error);

  std::vector<std::string> log = CloseAndReadLog();
  EXPECT_TRUE(HasLine(log, "[SetDate]->SetDate('050320241407')"));
  EXPECT_TRUE(HasLine(log, "[GetDate]->GetDate"));
  EXPECT_TRUE(HasLine(log, "[GetDate]->aDate=311220230905"));
}

TEST_F(OposHandlerTest, GetDataAndDirectIOHandBackWhatThePrinterAnswers) {
  fPrinter->Values().data = u"000123";
  std::u16string output = u"stale";
  EXPECT_TRUE(fHandler->GetData(7, 3, output));
  EXPECT_EQ(output, u"000123");
  fPrinter->SetResult("GetData", 106);
  EXPECT_FALSE(fHandler->GetData(7, 3, output));
  EXPECT_EQ(output, u"");

  fPrinter->Values().directIoData = 42;
  fPrinter->Values().directIoString = u"it's done";
  int32_t data = 5;
  std::u16string text = u"in";
  EXPECT_TRUE(fHandler->DirectIO(9, data, text));
  EXPECT_EQ(data, 42);
  EXPECT_EQ(text, u"it's done");
  EXPECT_EQ(Calls().back(), "DirectIO(9,5,in)");

  std::vector<std::string> log = CloseAndReadLog();
  EXPECT_TRUE(HasLine(log, "[GetData]->GetData(7,3,aOutput)"));
  EXPECT_TRUE(HasLine(log, "[GetData]->aOutput=000123"));
  EXPECT_TRUE(HasLine(log, "[DirectIO]->DirectIO(9,5,'in')"));
  EXPECT_TRUE(HasLine(log, "[DirectIO]->Output(Data:=42, Obj:='it''s done')"));
}

TEST_F(OposHandlerTest, TrailerLinesAppendUnlessCleared) {
  EXPECT_TRUE(fHandler->SetAdditionalTrailerLine(u"Line 1", false));
  EXPECT_TRUE(fHandler->SetAdditionalTrailerLine(u"Line 2", false));
  EXPECT_EQ(fPrinter->Values().additionalTrailer, u"Line 1\r\nLine 2\r\n");
  EXPECT_TRUE(fHandler->SetAdditionalTrailerLine(u"Only", true));
  EXPECT_EQ(fPrinter->Values().additionalTrailer, u"Only");
  EXPECT_TRUE(fHandler->SetPreLine(u"Pre"));
  EXPECT_EQ(fPrinter->Values().preLine, u"Pre");
  EXPECT_TRUE(fHandler->SetFiscalReceiptType(4));
  EXPECT_EQ(fPrinter->Values().fiscalReceiptType, 4);
  std::vector<std::string> log = CloseAndReadLog();
  EXPECT_TRUE(HasLine(log, "[SetAdditionalTrailerLine]->AdditionalTrailer=+'Line 1'"));
  EXPECT_TRUE(HasLine(log, "[SetAdditionalTrailerLine]->AdditionalTrailer='Only'"));
  EXPECT_TRUE(HasLine(log, "[SetPreLine]->PreLine='Pre'"));
  EXPECT_TRUE(HasLine(log, "[SetFiscalReceiptType]->FiscalReceiptType=4"));
}

TEST_F(OposHandlerTest, PropertyQueriesAnswerTheValueAndLogIt) {
  port::SimulatedFiscalPrinter::State& values = fPrinter->Values();
  values.coverOpen = true;
  values.recNearEnd = true;
  values.printerState = 3;
  values.remainingFiscalMemory = 1234;
  bool flag = false;
  int32_t number = 0;
  EXPECT_TRUE(fHandler->GetCoverOpen(flag));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(fHandler->GetDayOpened(flag));
  EXPECT_FALSE(flag);
  EXPECT_TRUE(fHandler->GetRecEmpty(flag));
  EXPECT_TRUE(fHandler->GetRecNearEnd(flag));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(fHandler->GetTrainingModeActive(flag));
  EXPECT_TRUE(fHandler->PrinterState(number));
  EXPECT_EQ(number, 3);
  EXPECT_TRUE(fHandler->RemainingFiscalMemory(number));
  EXPECT_EQ(number, 1234);
  std::vector<std::string> log = CloseAndReadLog();
  for (const char* line : {"[GetCoverOpen]->CoverOpen(aResult)", "[GetCoverOpen]->CoverOpen=True",
                           "[GetDayOpened]->DayOpened(aResult)", "[GetDayOpened]->aResult=False",
                           "[GetRecEmpty]->RecEmpty(aResult)", "[GetRecEmpty]->aResult=False",
                           "[GetRecNearEmpty]->RecNearEmpty(aResult)", "[GetRecNearEmpty]->aResult=True",
                           "[GetTrainingModeActive]->TrainingModeActive(aResult)",
                           "[GetTrainingModeActive]->aResult=False", "[PrinterState]->PrinterState(aPrinterState)",
                           "[PrinterState]->aPrinterState=3",
                           "[RemainingFiscalMemory]->RemainingFiscalMemory(aRemainingFiscalMemory)",
                           "[RemainingFiscalMemory]->aRemainingFiscalMemory=1234"}) {
    EXPECT_TRUE(HasLine(log, line)) << line;
  }
}

TEST_F(OposHandlerTest, TheTextChannelIsNotSupported) {
  auto message = [](const std::function<void()>& aAction) {
    try {
      aAction();
    } catch (const tVX_Error& e) {
      return U8(e.Message());
    }
    return std::string("(nothing raised)");
  };
  EXPECT_EQ(message([&] { fHandler->Write(u"x"); }), "Write Unsupported");
  EXPECT_EQ(message([&] { fHandler->ReadUpTo({13}); }), "ReadUpto Unsupported");
  EXPECT_EQ(message([&] { fHandler->ReadChars(1); }), "ReadChars Unsupported");
  EXPECT_EQ(message([&] { fHandler->ReadAll(); }), "ReadAll Unsupported");
  EXPECT_EQ(message([&] { fHandler->InputBufferContainsData(); }), "InputBufferContainsData Unsupported");
  EXPECT_EQ(fHandler->DecodeError(5), u"");
}

// Without a control of its own the handler takes the system's: on Windows the OPOS control
// (refused by name when it is not installed), elsewhere a printer that cannot be opened.
TEST(OposSystemControlTest, TheSystemsControlIsUsedOrRefusedByName) {
  vxtest::TempDir folder;
  kConnection connection;
  connection.SetDeviceName(u"FP1");
  std::unique_ptr<kIOHandler_OPOS> handler;
  try {
    handler = std::make_unique<kIOHandler_OPOS>(&connection, folder.Text(), u"fp");
  } catch (const tVX_Error& e) {
    EXPECT_EQ(U8(e.Message()).rfind("OPOS.FiscalPrinter: ", 0), 0u) << U8(e.Message());
    return;
  }
  EXPECT_FALSE(handler->Connect());
  EXPECT_EQ(handler->ErrorCode(), 109);
  EXPECT_EQ(U8(handler->ErrorMessage()).rfind("[109] OPOS_E_NOEXIST - ", 0), 0u);
}

// The module's own control adapter against a stand-in control registered under the control's
// programmatic id: arguments, currency values, properties and out-arguments cross the automation
// boundary intact.
TEST(OposComControlTest, CallsPropertiesAndOutArgumentsCrossTheAutomationBoundary) {
  vxtest::FakeOposControl control(VX_FAKE_OPOS_LIBRARY);
  if (!control.Ok()) GTEST_SKIP() << control.Why();
  control.SetValue("ErrorString", "paper out");
  control.SetValue("ResultCodeExtended", "203");
  control.SetResult("PrintRecMessage", 114);
  control.SetValue("CoverOpen", "true");
  control.SetValue("RemainingFiscalMemory", "4321");
  control.SetValue("AdditionalTrailer", "Line 1\r\n");
  control.SetValue("GetDate.out", "311220230905");
  control.SetValue("GetData.out", "000042");
  control.SetValue("DirectIO.data", "77");
  control.SetValue("DirectIO.string", "answer");

  vxtest::TempDir folder;
  kConnection connection;
  connection.SetDeviceName(u"FP1");
  connection.SetConnectTimeOut(1500);
  {
    kIOHandler_OPOS handler(&connection, folder.Text(), u"fp");
    EXPECT_TRUE(handler.Connect());  // the control's DeviceEnabled reads back what was written
    EXPECT_TRUE(handler.PrintRecItem(u"4711", u"Milk", Money(u"1.5"), u"l", 2, Money(u"0.99"), Money(u"1.485")));
    EXPECT_FALSE(handler.PrintRecMessage(u"x"));
    EXPECT_EQ(U8(handler.ErrorMessage()), "[114] OPOS_E_EXTENDED [203] OPOS_EFPTR_REC_EMPTY - paper out");
    EXPECT_TRUE(handler.SetAdditionalTrailerLine(u"Line 2", false));
    bool cover = false;
    EXPECT_TRUE(handler.GetCoverOpen(cover));
    EXPECT_TRUE(cover);
    int32_t memory = 0;
    EXPECT_TRUE(handler.RemainingFiscalMemory(memory));
    EXPECT_EQ(memory, 4321);
    tDateTime date = 0;
    EXPECT_TRUE(handler.GetDate(date));
    tVX_DateTimeParts parts = vxdate::Decode(date);
    EXPECT_EQ(std::vector<int>({parts.year, parts.month, parts.day, parts.hour, parts.minute}),
              std::vector<int>({2023, 12, 31, 9, 5}));
    std::u16string data;
    EXPECT_TRUE(handler.GetData(7, 3, data));
    EXPECT_EQ(data, u"000042");
    int32_t number = 5;
    std::u16string text = u"in";
    EXPECT_TRUE(handler.DirectIO(9, number, text));
    EXPECT_EQ(number, 77);
    EXPECT_EQ(text, u"answer");
  }  // the handler disconnects as it goes
  EXPECT_EQ(control.Calls(),
            "Open(FP1)\nClaimDevice(1500)\nDeviceEnabled=true\n"
            "PrintRecItem(Milk,cy:14850,1500,2,cy:9900,l)\nPrintRecMessage(x)\n"
            "AdditionalTrailer=Line 1\r\nLine 2\r\n\n"
            "GetDate(&)\nGetData(7,&3,&)\nDirectIO(9,&5,&in)\n"
            "DeviceEnabled=false\nReleaseDevice()\nClose()\n");
}

}  // namespace
