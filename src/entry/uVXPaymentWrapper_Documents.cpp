#include "entry/uVXPaymentWrapper_Documents.h"

#include "base/uVX_Base_XmlDates.h"
#include "base/uVX_Text.h"

std::u16string EscapeXml(std::u16string_view aText) {
  std::u16string out;
  out.reserve(aText.size());
  for (char16_t c : aText) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += u"&quot;"; break;
      case u'\'': out += u"&apos;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

void tVX_ResultDocument::AddElement(std::u16string_view aName, std::u16string_view aValue) {
  if (!fText.empty()) fText += u"\r\n";
  fText += u'<';
  fText += aName;
  fText += u'>';
  fText += aValue;
  fText += u"</";
  fText += aName;
  fText += u'>';
}

void tVX_ResultDocument::AddText(std::u16string_view aName, std::u16string_view aValue) {
  AddElement(aName, EscapeXml(aValue));
}

void tVX_ResultDocument::AddWord(std::u16string_view aName, std::u16string_view aValue) {
  AddElement(aName, aValue);
}

void tVX_ResultDocument::AddBoolean(std::u16string_view aName, bool aValue) {
  AddElement(aName, aValue ? u"True" : u"False");
}

void tVX_ResultDocument::AddDateTime(std::u16string_view aName, tDateTime aValue) {
  AddElement(aName, DateTimeToXmlString(false, aValue));
}

void tVX_ResultDocument::AddAmount(std::u16string_view aName, tVX_Currency aValue) {
  AddElement(aName, aValue.ToPlainString());
}

void tVX_ResultDocument::AddInteger(std::u16string_view aName, int32_t aValue) {
  AddElement(aName, vxtext::IntToStr(aValue));
}

std::u16string ResultDocument(const _int_OPEN_result& r) {
  tVX_ResultDocument d;
  d.AddInteger(u"Handle", r.Handle);
  d.AddBoolean(u"Error", r.Error);
  d.AddText(u"ErrorText", r.ErrorText);
  d.AddText(u"LogFileName", r.LogFileName);
  return d.Text();
}

std::u16string ResultDocument(const _int_CLOSE_result& r) {
  tVX_ResultDocument d;
  d.AddBoolean(u"Error", r.Error);
  d.AddText(u"ErrorText", r.ErrorText);
  d.AddText(u"LogFileName", r.LogFileName);
  return d.Text();
}

std::u16string ResultDocument(const _int_GETSTATUS_result& r) {
  tVX_ResultDocument d;
  d.AddBoolean(u"DayOpened", r.DayOpened);
  d.AddDateTime(u"DateTime", r.DateTime);
  d.AddBoolean(u"PaperEnd", r.PaperEnd);
  d.AddBoolean(u"PaperNearEnd", r.PaperNearEnd);
  d.AddBoolean(u"CoverOpen", r.CoverOpen);
  d.AddBoolean(u"FiscalReceiptOpen", r.FiscalReceiptOpen);
  d.AddBoolean(u"ReceiptOpen", r.ReceiptOpen);
  d.AddBoolean(u"TrainingMode", r.TrainingMode);
  d.AddText(u"FirmwareVersion", r.FirmwareVersion);
  d.AddText(u"SerialNumber", r.SerialNumber);
  d.AddText(u"FiscalMode", r.FiscalMode);
  d.AddBoolean(u"Error", r.Error);
  d.AddText(u"ErrorText", r.ErrorText);
  d.AddText(u"LogFileName", r.LogFileName);
  return d.Text();
}

// RawResponse is kept in the record for the driver's use and never rendered.
std::u16string ResultDocument(const _int_PAY_result& r) {
  tVX_ResultDocument d;
  d.AddText(u"DeviceId", r.DeviceId);
  d.AddDateTime(u"PaymentDateTime", r.PaymentDateTime);
  d.AddText(u"PaymentNumber", r.PaymentNumber);
  d.AddAmount(u"PaymentAmount", r.PaymentAmount);
  d.AddText(u"PaymentCurrency", r.PaymentCurrency);
  d.AddAmount(u"ExchangeRate", r.ExchangeRate);
  d.AddAmount(u"PaymentAmountCurrency", r.PaymentAmountCurrency);
  d.AddText(u"PaymentCurrencyCurrency", r.PaymentCurrencyCurrency);
  d.AddAmount(u"TippedAmount", r.TippedAmount);
  d.AddAmount(u"RemainingBalance", r.RemainingBalance);
  d.AddText(u"MaskedPAN", r.MaskedPAN);
  d.AddText(u"SerialNumber", r.SerialNumber);
  d.AddWord(u"PaymentNetwork", PaymentNetworkToString(r.PaymentNetwork));
  d.AddWord(u"TransactionType", TransactionTypeToString(r.TransactionType));
  d.AddText(u"AuthCode", r.AuthCode);
  d.AddText(u"TraceAuditId", r.TraceAuditId);
  d.AddInteger(u"NumberOfItems", r.NumberOfItems);
  d.AddAmount(u"SingleItemAmount", r.SingleItemAmount);
  d.AddBoolean(u"SignatureRequested", r.SignatureRequested);
  d.AddText(u"CustomerCountryCode", r.CustomerCountryCode);
  d.AddText(u"CardToken", r.CardToken);
  d.AddText(u"RefundReference", r.RefundReference);
  d.AddText(u"ReceiptText", r.ReceiptText);
  d.AddText(u"CashierReceiptText", r.CashierReceiptText);
  d.AddBoolean(u"Error", r.Error);
  d.AddText(u"ErrorText", r.ErrorText);
  d.AddText(u"LogFileName", r.LogFileName);
  return d.Text();
}

std::u16string ResultDocument(const _int_REPRINT_result& r) {
  tVX_ResultDocument d;
  d.AddText(u"ReceiptText", r.ReceiptText);
  d.AddText(u"CashierReceiptText", r.CashierReceiptText);
  d.AddBoolean(u"Error", r.Error);
  d.AddText(u"ErrorText", r.ErrorText);
  d.AddText(u"LogFileName", r.LogFileName);
  return d.Text();
}

std::u16string ResultDocument(const _int_DAYCLOSE_result& r) {
  tVX_ResultDocument d;
  d.AddText(u"DeviceId", r.DeviceId);
  d.AddDateTime(u"ClosureDateTime", r.ClosureDateTime);
  d.AddText(u"ClosureNumber", r.ClosureNumber);
  d.AddInteger(u"TransactionsCount", r.TransactionsCount);
  d.AddAmount(u"TotalAmount", r.TotalAmount);
  d.AddText(u"Currency", r.Currency);
  d.AddText(u"ReceiptText", r.ReceiptText);
  d.AddBoolean(u"Error", r.Error);
  d.AddText(u"ErrorText", r.ErrorText);
  d.AddText(u"LogFileName", r.LogFileName);
  return d.Text();
}

std::u16string ResultDocument(const _int_GETTOTALS_result& r) {
  tVX_ResultDocument d;
  d.AddText(u"DeviceId", r.DeviceId);
  d.AddDateTime(u"DateTime", r.DateTime);
  d.AddInteger(u"TransactionsCount", r.TransactionsCount);
  d.AddAmount(u"TotalAmount", r.TotalAmount);
  d.AddText(u"Currency", r.Currency);
  d.AddText(u"ReceiptText", r.ReceiptText);
  d.AddBoolean(u"Error", r.Error);
  d.AddText(u"ErrorText", r.ErrorText);
  d.AddText(u"LogFileName", r.LogFileName);
  return d.Text();
}
