// Result documents: element order and value forms of every record, escaping, and the exact text
// of the documents a host reads field by field.
#include <gtest/gtest.h>

#include "base/uVX_DateTime.h"
#include "entry/uVXPaymentWrapper_Commands.h"
#include "entry/uVXPaymentWrapper_Documents.h"

namespace {

std::u16string Lines(std::initializer_list<std::u16string_view> aLines) {
  std::u16string text;
  for (auto line : aLines) {
    if (!text.empty()) text += u"\r\n";
    text += line;
  }
  return text;
}

tVX_Currency Amount(const char16_t* aText) {
  tVX_Currency value;
  EXPECT_TRUE(tVX_Currency::TryParseDecimal(aText, value)) << "bad amount in the test";
  return value;
}

tDateTime At(int aYear, int aMonth, int aDay, int aHour, int aMinute, int aSecond, int aMs) {
  tDateTime value = 0;
  EXPECT_TRUE(vxdate::TryEncodeDateTime({aYear, aMonth, aDay, aHour, aMinute, aSecond, aMs}, value));
  return value;
}

TEST(EscapeXmlTest, ReplacesTheFiveCharactersOnceEachAndKeepsLineBreaks) {
  EXPECT_EQ(EscapeXml(u"a<b & \"c\""), u"a&lt;b &amp; &quot;c&quot;");
  EXPECT_EQ(EscapeXml(u"it's > 1"), u"it&apos;s &gt; 1");
  EXPECT_EQ(EscapeXml(u"&amp;"), u"&amp;amp;");
  EXPECT_EQ(EscapeXml(u"line 1\r\nline 2\n"), u"line 1\r\nline 2\n");
  EXPECT_EQ(EscapeXml(u""), u"");
  EXPECT_EQ(EscapeXml(u"caf\u00e9 \u20ac"), u"caf\u00e9 \u20ac");
}

TEST(ResultDocumentTest, OpenAnswersFourLinesWithoutATrailingLineBreak) {
  _int_OPEN_result result;
  result.Handle = 3;
  EXPECT_EQ(ResultDocument(result), Lines({u"<Handle>3</Handle>", u"<Error>False</Error>", u"<ErrorText></ErrorText>",
                                           u"<LogFileName></LogFileName>"}));
}

TEST(ResultDocumentTest, PaymentWritesEveryFieldInOrderButTheRawResponse) {
  _int_PAY_result r;
  r.DeviceId = u"P400-1";
  r.PaymentDateTime = At(2024, 1, 8, 6, 45, 56, 789);
  r.PaymentNumber = u"N1";
  r.PaymentAmount = Amount(u"1234.5");
  r.PaymentCurrency = u"EUR";
  r.ExchangeRate = Amount(u"1.0825");
  r.PaymentAmountCurrency = Amount(u"-12.30");
  r.PaymentCurrencyCurrency = u"USD";
  r.TippedAmount = Amount(u"100");
  r.RemainingBalance = Amount(u"0.0001");
  r.MaskedPAN = u"****1234";
  r.SerialNumber = u"S1";
  r.PaymentNetwork = vxPaymentNetwork::Nexi;
  r.TransactionType = vxPaymentTransactionType::ptt_RFID;
  r.AuthCode = u"A<1>";
  r.TraceAuditId = u"T1";
  r.NumberOfItems = -2;
  r.SingleItemAmount = Amount(u"7.25");
  r.SignatureRequested = true;
  r.CustomerCountryCode = u"IT";
  r.CardToken = u"tok";
  r.RefundReference = u"R&1";
  r.ReceiptText = u"line 1\r\nline 2";
  r.CashierReceiptText = u"'c'";
  r.RawResponse = u"{\"never\":\"shown\"}";
  r.Error = false;
  r.LogFileName = u"/logs/x.log";
  EXPECT_EQ(ResultDocument(r),
            Lines({u"<DeviceId>P400-1</DeviceId>", u"<PaymentDateTime>2024-01-08T06:45:56</PaymentDateTime>",
                   u"<PaymentNumber>N1</PaymentNumber>", u"<PaymentAmount>1234.5</PaymentAmount>",
                   u"<PaymentCurrency>EUR</PaymentCurrency>", u"<ExchangeRate>1.0825</ExchangeRate>",
                   u"<PaymentAmountCurrency>-12.3</PaymentAmountCurrency>",
                   u"<PaymentCurrencyCurrency>USD</PaymentCurrencyCurrency>", u"<TippedAmount>100</TippedAmount>",
                   u"<RemainingBalance>0.0001</RemainingBalance>", u"<MaskedPAN>****1234</MaskedPAN>",
                   u"<SerialNumber>S1</SerialNumber>", u"<PaymentNetwork>unrecognized</PaymentNetwork>",
                   u"<TransactionType></TransactionType>", u"<AuthCode>A&lt;1&gt;</AuthCode>",
                   u"<TraceAuditId>T1</TraceAuditId>", u"<NumberOfItems>-2</NumberOfItems>",
                   u"<SingleItemAmount>7.25</SingleItemAmount>", u"<SignatureRequested>True</SignatureRequested>",
                   u"<CustomerCountryCode>IT</CustomerCountryCode>", u"<CardToken>tok</CardToken>",
                   u"<RefundReference>R&amp;1</RefundReference>", u"<ReceiptText>line 1\r\nline 2</ReceiptText>",
                   u"<CashierReceiptText>&apos;c&apos;</CashierReceiptText>", u"<Error>False</Error>",
                   u"<ErrorText></ErrorText>", u"<LogFileName>/logs/x.log</LogFileName>"}));
}

TEST(ResultDocumentTest, DayCloseAndTotalsWriteCountsAmountsAndStamps) {
  _int_DAYCLOSE_result close;
  close.DeviceId = u"D";
  close.ClosureDateTime = At(2023, 12, 31, 23, 59, 59, 999);
  close.ClosureNumber = u"7";
  close.TransactionsCount = 12;
  close.TotalAmount = Amount(u"-0.5");
  close.Currency = u"EUR";
  close.ReceiptText = u"report";
  close.Error = true;
  close.ErrorText = u"x > y";
  EXPECT_EQ(ResultDocument(close),
            Lines({u"<DeviceId>D</DeviceId>", u"<ClosureDateTime>2023-12-31T23:59:59</ClosureDateTime>",
                   u"<ClosureNumber>7</ClosureNumber>", u"<TransactionsCount>12</TransactionsCount>",
                   u"<TotalAmount>-0.5</TotalAmount>", u"<Currency>EUR</Currency>", u"<ReceiptText>report</ReceiptText>",
                   u"<Error>True</Error>", u"<ErrorText>x &gt; y</ErrorText>", u"<LogFileName></LogFileName>"}));

  _int_GETTOTALS_result totals;
  totals.DateTime = At(2024, 2, 29, 0, 0, 0, 0);
  totals.TransactionsCount = 3;
  totals.TotalAmount = Amount(u"30");
  EXPECT_EQ(ResultDocument(totals),
            Lines({u"<DeviceId></DeviceId>", u"<DateTime>2024-02-29T00:00:00</DateTime>",
                   u"<TransactionsCount>3</TransactionsCount>", u"<TotalAmount>30</TotalAmount>",
                   u"<Currency></Currency>", u"<ReceiptText></ReceiptText>", u"<Error>False</Error>",
                   u"<ErrorText></ErrorText>", u"<LogFileName></LogFileName>"}));
}

TEST(ResultDocumentTest, ReprintAndCloseWriteTheirFewFields) {
  _int_REPRINT_result reprint;
  reprint.ReceiptText = u"customer";
  reprint.CashierReceiptText = u"merchant";
  EXPECT_EQ(ResultDocument(reprint),
            Lines({u"<ReceiptText>customer</ReceiptText>", u"<CashierReceiptText>merchant</CashierReceiptText>",
                   u"<Error>False</Error>", u"<ErrorText></ErrorText>", u"<LogFileName></LogFileName>"}));
  _int_CLOSE_result close;
  close.Error = true;
  EXPECT_EQ(ResultDocument(close),
            Lines({u"<Error>True</Error>", u"<ErrorText></ErrorText>", u"<LogFileName></LogFileName>"}));
}

// The starting values of each command, as a command that fails before its device operation
// answers them.
TEST(ResultDocumentTest, StartingValuesOfAPaymentRenderAsAFailedPayment) {
  kPaymentWrapper_PAY wrapper;
  wrapper.ResetResult();
  std::u16string output, error;
  int16_t code = 0;
  wrapper.Format(output, error, code);
  EXPECT_EQ(code, -1);
  EXPECT_EQ(error, u"");
  EXPECT_EQ(output,
            Lines({u"<DeviceId></DeviceId>", u"<PaymentDateTime>1899-12-30T00:00:00</PaymentDateTime>",
                   u"<PaymentNumber></PaymentNumber>", u"<PaymentAmount>0</PaymentAmount>",
                   u"<PaymentCurrency></PaymentCurrency>", u"<ExchangeRate>0</ExchangeRate>",
                   u"<PaymentAmountCurrency>0</PaymentAmountCurrency>",
                   u"<PaymentCurrencyCurrency></PaymentCurrencyCurrency>", u"<TippedAmount>0</TippedAmount>",
                   u"<RemainingBalance>0</RemainingBalance>", u"<MaskedPAN></MaskedPAN>",
                   u"<SerialNumber></SerialNumber>", u"<PaymentNetwork>other</PaymentNetwork>",
                   u"<TransactionType>OTHER</TransactionType>", u"<AuthCode></AuthCode>",
                   u"<TraceAuditId></TraceAuditId>", u"<NumberOfItems>0</NumberOfItems>",
                   u"<SingleItemAmount>0</SingleItemAmount>", u"<SignatureRequested>False</SignatureRequested>",
                   u"<CustomerCountryCode></CustomerCountryCode>", u"<CardToken></CardToken>",
                   u"<RefundReference></RefundReference>", u"<ReceiptText></ReceiptText>",
                   u"<CashierReceiptText></CashierReceiptText>", u"<Error>True</Error>", u"<ErrorText></ErrorText>",
                   u"<LogFileName></LogFileName>"}));
}

TEST(ResultDocumentTest, GetStatusAnswersTheZeroDateFalseFlagsAndSuccess) {
  kPaymentWrapper_GETSTATUS wrapper;
  wrapper.Process(u"not even xml");
  std::u16string output, error;
  int16_t code = -1;
  wrapper.Format(output, error, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(output,
            Lines({u"<DayOpened>False</DayOpened>", u"<DateTime>1899-12-30T00:00:00</DateTime>",
                   u"<PaperEnd>False</PaperEnd>", u"<PaperNearEnd>False</PaperNearEnd>", u"<CoverOpen>False</CoverOpen>",
                   u"<FiscalReceiptOpen>False</FiscalReceiptOpen>", u"<ReceiptOpen>False</ReceiptOpen>",
                   u"<TrainingMode>False</TrainingMode>", u"<FirmwareVersion></FirmwareVersion>",
                   u"<SerialNumber></SerialNumber>", u"<FiscalMode></FiscalMode>", u"<Error>False</Error>",
                   u"<ErrorText></ErrorText>", u"<LogFileName></LogFileName>"}));
}

TEST(ResultDocumentTest, StartingValuesOfTheOtherCommandsAreFailuresWithNothingElse) {
  auto render = [](kPaymentWrapper& aWrapper) {
    aWrapper.ResetResult();
    std::u16string output, error;
    int16_t code = 0;
    aWrapper.Format(output, error, code);
    EXPECT_EQ(code, -1);
    return output;
  };
  kPaymentWrapper_OPEN open;
  EXPECT_EQ(render(open), Lines({u"<Handle>0</Handle>", u"<Error>True</Error>", u"<ErrorText></ErrorText>",
                                 u"<LogFileName></LogFileName>"}));
  kPaymentWrapper_DAYCLOSE dayClose;
  EXPECT_NE(render(dayClose).find(u"<ClosureDateTime>1899-12-30T00:00:00</ClosureDateTime>"), std::u16string::npos);
  kPaymentWrapper_GETTOTALS totals;
  EXPECT_NE(render(totals).find(u"<TotalAmount>0</TotalAmount>"), std::u16string::npos);
  kPaymentWrapper_REPRINT reprint;
  EXPECT_NE(render(reprint).find(u"<Error>True</Error>"), std::u16string::npos);
  kPaymentWrapper_VERIFYTRAN verify;
  EXPECT_NE(render(verify).find(u"<PaymentNetwork>other</PaymentNetwork>"), std::u16string::npos);
}

}  // namespace
