#include "support/ResultDocuments.h"

#include <stdexcept>
#include <vector>

namespace vxtest {

std::u16string Escaped(std::u16string_view aText) {
  std::u16string out;
  for (char16_t c : aText) {
    if (c == u'&') out += u"&amp;";
    else if (c == u'<') out += u"&lt;";
    else if (c == u'>') out += u"&gt;";
    else if (c == u'"') out += u"&quot;";
    else if (c == u'\'') out += u"&apos;";
    else out += c;
  }
  return out;
}

std::string Printable(std::u16string_view aText) {
  std::string out;
  for (char16_t c : aText) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

namespace {

std::u16string Join(const std::vector<std::u16string>& aLines) {
  std::u16string text;
  for (const auto& line : aLines) {
    if (!text.empty()) text += u"\r\n";
    text += line;
  }
  return text;
}

}  // namespace

std::u16string FailureDocument(std::string_view aExport, std::u16string_view aErrorText) {
  std::u16string tail = u"<Error>True</Error>\r\n<ErrorText>" + Escaped(aErrorText) +
                        u"</ErrorText>\r\n<LogFileName></LogFileName>";
  if (aExport == "PAY" || aExport == "VERIFYTRAN") {
    return Join({u"<DeviceId></DeviceId>", u"<PaymentDateTime>1899-12-30T00:00:00</PaymentDateTime>",
                 u"<PaymentNumber></PaymentNumber>", u"<PaymentAmount>0</PaymentAmount>",
                 u"<PaymentCurrency></PaymentCurrency>", u"<ExchangeRate>0</ExchangeRate>",
                 u"<PaymentAmountCurrency>0</PaymentAmountCurrency>",
                 u"<PaymentCurrencyCurrency></PaymentCurrencyCurrency>", u"<TippedAmount>0</TippedAmount>",
                 u"<RemainingBalance>0</RemainingBalance>", u"<MaskedPAN></MaskedPAN>", u"<SerialNumber></SerialNumber>",
                 u"<PaymentNetwork>other</PaymentNetwork>", u"<TransactionType>OTHER</TransactionType>",
                 u"<AuthCode></AuthCode>", u"<TraceAuditId></TraceAuditId>", u"<NumberOfItems>0</NumberOfItems>",
                 u"<SingleItemAmount>0</SingleItemAmount>", u"<SignatureRequested>False</SignatureRequested>",
                 u"<CustomerCountryCode></CustomerCountryCode>", u"<CardToken></CardToken>",
                 u"<RefundReference></RefundReference>", u"<ReceiptText></ReceiptText>",
                 u"<CashierReceiptText></CashierReceiptText>", tail});
  }
  if (aExport == "REPRINT") return Join({u"<ReceiptText></ReceiptText>", u"<CashierReceiptText></CashierReceiptText>", tail});
  if (aExport == "DAYCLOSE") {
    return Join({u"<DeviceId></DeviceId>", u"<ClosureDateTime>1899-12-30T00:00:00</ClosureDateTime>",
                 u"<ClosureNumber></ClosureNumber>", u"<TransactionsCount>0</TransactionsCount>",
                 u"<TotalAmount>0</TotalAmount>", u"<Currency></Currency>", u"<ReceiptText></ReceiptText>", tail});
  }
  if (aExport == "GETTOTALS") {
    return Join({u"<DeviceId></DeviceId>", u"<DateTime>1899-12-30T00:00:00</DateTime>",
                 u"<TransactionsCount>0</TransactionsCount>", u"<TotalAmount>0</TotalAmount>", u"<Currency></Currency>",
                 u"<ReceiptText></ReceiptText>", tail});
  }
  if (aExport == "OPEN") return Join({u"<Handle>0</Handle>", tail});
  if (aExport == "CLOSE") return tail;
  throw std::invalid_argument("no failure document for this export");
}

std::u16string StatusDocument() {
  return u"<DayOpened>False</DayOpened>\r\n<DateTime>1899-12-30T00:00:00</DateTime>\r\n<PaperEnd>False</PaperEnd>\r\n"
         u"<PaperNearEnd>False</PaperNearEnd>\r\n<CoverOpen>False</CoverOpen>\r\n"
         u"<FiscalReceiptOpen>False</FiscalReceiptOpen>\r\n<ReceiptOpen>False</ReceiptOpen>\r\n"
         u"<TrainingMode>False</TrainingMode>\r\n<FirmwareVersion></FirmwareVersion>\r\n<SerialNumber></SerialNumber>\r\n"
         u"<FiscalMode></FiscalMode>\r\n<Error>False</Error>\r\n<ErrorText></ErrorText>\r\n<LogFileName></LogFileName>";
}

}  // namespace vxtest
