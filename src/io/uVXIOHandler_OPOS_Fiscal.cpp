// kIOHandler_OPOS: the fiscal receipt, non-fiscal text, training, reports, the printer's clock,
// GetData and DirectIO. Each writes its log line before the control call.
#include "base/uVX_Text.h"
#include "io/uVXIOHandler_OPOS.h"
#include "platform/Error.h"

namespace {

using vxtext::IntToStr;

// The receipt station of a fiscal printer.
constexpr int32_t kReceiptStation = 2;

// A quantity as the control takes it: thousandths, truncated.
int32_t Thousandths(tVX_Currency aQuantity) { return static_cast<int32_t>(aQuantity.Units() / 10); }
// The whole part of a quantity, truncated.
std::u16string WholePart(tVX_Currency aQuantity) { return IntToStr(aQuantity.Units() / 10000); }

// Two digits of a clock text at aAt; -1 when they are not digits.
int TwoDigits(std::u16string_view aText, size_t aAt) {
  int value = 0;
  for (size_t i = aAt; i < aAt + 2; ++i) {
    if (aText[i] < u'0' || aText[i] > u'9') return -1;
    value = value * 10 + (aText[i] - u'0');
  }
  return value;
}

}  // namespace

bool kIOHandler_OPOS::BeginFiscalReceipt() {
  Info(u"[BeginFiscalReceipt]->BeginFiscalReceipt(true)");
  return CheckResult(fOPOS->BeginFiscalReceipt(true));
}

bool kIOHandler_OPOS::EndFiscalReceipt() {
  Info(u"[EndFiscalReceipt]->EndFiscalReceipt(false)");
  return CheckResult(fOPOS->EndFiscalReceipt(false));
}

bool kIOHandler_OPOS::PrintRecItem(std::u16string_view, std::u16string_view aDescription, tVX_Currency aQuantity,
                                   std::u16string_view aUOM, int32_t aVatCode, tVX_Currency aPrice,
                                   tVX_Currency aAmount) {
  Info(u"[PrintRecItem]->PrintRecItem(" + Quoted(aDescription) + u"," + FormatAmount(aAmount) + u"," +
       WholePart(aQuantity) + u"," + IntToStr(aVatCode) + u"," + FormatAmount(aPrice) + u"," + Quoted(aUOM) + u")");
  return CheckResult(fOPOS->PrintRecItem(aDescription, aAmount.Units(), Thousandths(aQuantity), aVatCode,
                                         aPrice.Units(), aUOM));
}

bool kIOHandler_OPOS::PrintRecItemVoid(std::u16string_view, std::u16string_view aDescription, tVX_Currency aQuantity,
                                       std::u16string_view aUOM, int32_t aVatCode, tVX_Currency aPrice,
                                       tVX_Currency aAmount) {
  Info(u"[PrintRecItemVoid]->PrintRecItemVoid(" + Quoted(aDescription) + u"," + FormatAmount(aAmount) + u"," +
       IntToStr(aVatCode) + u"," + FormatAmount(aPrice) + u"," + Quoted(aUOM) + u")");
  return CheckResult(fOPOS->PrintRecItemVoid(aDescription, aAmount.Units(), Thousandths(aQuantity), aVatCode,
                                             aPrice.Units(), aUOM));
}

bool kIOHandler_OPOS::PrintRecRefund(std::u16string_view, std::u16string_view aDescription, tVX_Currency,
                                     std::u16string_view, int32_t aVatCode, tVX_Currency, tVX_Currency aAmount) {
  Info(u"[PrintRecRefund]->PrintRecRefund(" + Quoted(aDescription) + u"," + FormatAmount(aAmount) + u"," +
       IntToStr(aVatCode) + u")");
  return CheckResult(fOPOS->PrintRecRefund(aDescription, aAmount.Units(), aVatCode));
}

bool kIOHandler_OPOS::PrintRecItemAdjustment(int32_t aAdjType, std::u16string_view aDescription, tVX_Currency aAmount,
                                             int32_t aVatCode) {
  Info(u"[PrintRecItemAdjustment]->PrintRecItemAdjustment(" + IntToStr(aAdjType) + u"," + Quoted(aDescription) + u"," +
       FormatAmount(aAmount) + u"," + IntToStr(aVatCode) + u")");
  return CheckResult(fOPOS->PrintRecItemAdjustment(aAdjType, aDescription, aAmount.Units(), aVatCode));
}

bool kIOHandler_OPOS::PrintRecSubtotal(tVX_Currency aAmount) {
  Info(u"[PrintRecSubtotal]->PrintRecSubTotal(" + FormatAmount(aAmount) + u")");
  return CheckResult(fOPOS->PrintRecSubtotal(aAmount.Units()));
}

bool kIOHandler_OPOS::PrintRecSubtotalAdjustment(int32_t aAdjType, std::u16string_view aDescription,
                                                 tVX_Currency aAmount) {
  Info(u"[PrintRecSubtotalAdjustment]->PrintRecSubtotalAdjustment(" + IntToStr(aAdjType) + u"," +
       Quoted(aDescription) + u"," + FormatAmount(aAmount) + u")");
  return CheckResult(fOPOS->PrintRecSubtotalAdjustment(aAdjType, aDescription, aAmount.Units()));
}

bool kIOHandler_OPOS::PrintRecTotal(tVX_Currency aTotalAmount, tVX_Currency aPaymentAmount,
                                    std::u16string_view aDescription) {
  Info(u"[PrintRecTotal]->PrintRecTotal(" + FormatAmount(aTotalAmount) + u"," + FormatAmount(aPaymentAmount) + u"," +
       Quoted(aDescription) + u")");
  return CheckResult(fOPOS->PrintRecTotal(aTotalAmount.Units(), aPaymentAmount.Units(), aDescription));
}

bool kIOHandler_OPOS::PrintRecNotPaid(tVX_Currency aAmount, std::u16string_view aDescription) {
  Info(u"[PrintRecNotPaid]->PrintRecNotPaid(" + Quoted(aDescription) + u"," + FormatAmount(aAmount) + u")");
  return CheckResult(fOPOS->PrintRecNotPaid(aDescription, aAmount.Units()));
}

bool kIOHandler_OPOS::PrintRecMessage(std::u16string_view aText) {
  Info(u"[PrintRecMessage]->PrintRecMessage(" + Quoted(aText) + u")");
  return CheckResult(fOPOS->PrintRecMessage(aText));
}

bool kIOHandler_OPOS::PrintRecTaxid(std::u16string_view aTaxId) {
  Info(u"[PrintRecTaxid]->PrintRecTaxid(" + Quoted(aTaxId) + u")");
  return CheckResult(fOPOS->PrintRecTaxID(aTaxId));
}

bool kIOHandler_OPOS::ResetPrinter() {
  Info(u"[ResetPrinter]->ResetPrinter");
  return CheckResult(fOPOS->ResetPrinter());
}

bool kIOHandler_OPOS::BeginNonFiscal() {
  Info(u"[BeginNonFiscal]->BeginNonFiscal");
  return CheckResult(fOPOS->BeginNonFiscal());
}

bool kIOHandler_OPOS::PrintNormal(std::u16string_view aText) {
  Info(u"[PrintNormal]->PrintNormal(" + IntToStr(kReceiptStation) + u"," + Quoted(aText) + u")");
  return CheckResult(fOPOS->PrintNormal(kReceiptStation, aText));
}

bool kIOHandler_OPOS::EndNonFiscal() {
  Info(u"[EndNonFiscal]->EndNonFiscal");
  return CheckResult(fOPOS->EndNonFiscal());
}

bool kIOHandler_OPOS::BeginTraining() {
  Info(u"[BeginTraining]->BeginTraining");
  return CheckResult(fOPOS->BeginTraining());
}

bool kIOHandler_OPOS::EndTraining() {
  Info(u"[EndTraining]->EndTraining");
  return CheckResult(fOPOS->EndTraining());
}

bool kIOHandler_OPOS::PrintXReport() {
  Info(u"[PrintXReport]->PrintXReport");
  return CheckResult(fOPOS->PrintXReport());
}

bool kIOHandler_OPOS::PrintZReport() {
  Info(u"[PrintZReport]->PrintZReport");
  return CheckResult(fOPOS->PrintZReport());
}

bool kIOHandler_OPOS::SetDate(tDateTime aDateTime) {
  const tVX_DateTimeParts parts = vxdate::Decode(aDateTime);
  const std::u16string date = vxtext::ZeroPad(parts.day, 2) + vxtext::ZeroPad(parts.month, 2) +
                              vxtext::ZeroPad(parts.year, 4) + vxtext::ZeroPad(parts.hour, 2) +
                              vxtext::ZeroPad(parts.minute, 2);
  Info(u"[SetDate]->SetDate(" + Quoted(date) + u")");
  return CheckResult(fOPOS->SetDate(date));
}

bool kIOHandler_OPOS::GetDate(tDateTime& aDate) {
  Info(u"[GetDate]->GetDate");
  std::u16string text;
  if (!CheckResult(fOPOS->GetDate(text))) {
    aDate = vxdate::Now();
    return false;
  }
  Info(u"[GetDate]->aDate=" + text);
  tVX_DateTimeParts parts;
  bool valid = text.size() >= 12;
  if (valid) {
    parts.day = TwoDigits(text, 0);
    parts.month = TwoDigits(text, 2);
    const int century = TwoDigits(text, 4), year = TwoDigits(text, 6);
    parts.year = century < 0 || year < 0 ? -1 : century * 100 + year;
    parts.hour = TwoDigits(text, 8);
    parts.minute = TwoDigits(text, 10);
    parts.second = 0;
    parts.millisecond = 0;
  }
  tDateTime value = 0;
  if (!valid || !vxdate::TryEncodeDateTime(parts, value)) {
    throw tVX_Error(u"The fiscal printer answered an invalid date: " + text);
  }
  aDate = value;
  return true;
}

bool kIOHandler_OPOS::GetData(int32_t aDataItem, int32_t aOptArgs, std::u16string& aOutput) {
  Info(u"[GetData]->GetData(" + IntToStr(aDataItem) + u"," + IntToStr(aOptArgs) + u",aOutput)");
  std::u16string data;
  int32_t optArgs = aOptArgs;
  if (!CheckResult(fOPOS->GetData(aDataItem, optArgs, data))) {
    aOutput.clear();
    return false;
  }
  Info(u"[GetData]->aOutput=" + data);
  aOutput = data;
  return true;
}

bool kIOHandler_OPOS::DirectIO(int32_t aCommand, int32_t& aData, std::u16string& aString) {
  Info(u"[DirectIO]->DirectIO(" + IntToStr(aCommand) + u"," + IntToStr(aData) + u"," + Quoted(aString) + u")");
  const bool result = CheckResult(fOPOS->DirectIO(aCommand, aData, aString));
  Info(u"[DirectIO]->Output(Data:=" + IntToStr(aData) + u", Obj:=" + Quoted(aString) + u")");
  return result;
}
