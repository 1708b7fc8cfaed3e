// kIOHandler_OPOS: the written properties (pre-line, trailer, receipt type) and the property
// queries. Each query answers true and logs the value it read.
#include "base/uVX_Text.h"
#include "io/uVXIOHandler_OPOS.h"

namespace {

std::u16string BoolText(bool aValue) { return aValue ? u"True" : u"False"; }

}  // namespace

bool kIOHandler_OPOS::SetPreLine(std::u16string_view aDescription) {
  Info(u"[SetPreLine]->PreLine=" + Quoted(aDescription));
  fOPOS->SetPreLine(aDescription);
  return true;
}

bool kIOHandler_OPOS::SetAdditionalTrailerLine(std::u16string_view aDescription, bool aClear) {
  if (aClear) {
    Info(u"[SetAdditionalTrailerLine]->AdditionalTrailer=" + Quoted(aDescription));
    fOPOS->SetAdditionalTrailer(aDescription);
  } else {
    Info(u"[SetAdditionalTrailerLine]->AdditionalTrailer=+" + Quoted(aDescription));
    fOPOS->SetAdditionalTrailer(fOPOS->AdditionalTrailer() + std::u16string(aDescription) + u"\r\n");
  }
  return true;
}

bool kIOHandler_OPOS::SetFiscalReceiptType(int32_t aReceiptType) {
  Info(u"[SetFiscalReceiptType]->FiscalReceiptType=" + vxtext::IntToStr(aReceiptType));
  fOPOS->SetFiscalReceiptType(aReceiptType);
  return true;
}

bool kIOHandler_OPOS::GetCoverOpen(bool& aResult) {
  Info(u"[GetCoverOpen]->CoverOpen(aResult)");
  aResult = fOPOS->CoverOpen();
  Info(u"[GetCoverOpen]->CoverOpen=" + BoolText(aResult));
  return true;
}

bool kIOHandler_OPOS::GetDayOpened(bool& aResult) {
  Info(u"[GetDayOpened]->DayOpened(aResult)");
  aResult = fOPOS->DayOpened();
  Info(u"[GetDayOpened]->aResult=" + BoolText(aResult));
  return true;
}

bool kIOHandler_OPOS::GetRecEmpty(bool& aResult) {
  Info(u"[GetRecEmpty]->RecEmpty(aResult)");
  aResult = fOPOS->RecEmpty();
  Info(u"[GetRecEmpty]->aResult=" + BoolText(aResult));
  return true;
}

// The log lines of this query say RecNearEmpty.
bool kIOHandler_OPOS::GetRecNearEnd(bool& aResult) {
  Info(u"[GetRecNearEmpty]->RecNearEmpty(aResult)");
  aResult = fOPOS->RecNearEnd();
  Info(u"[GetRecNearEmpty]->aResult=" + BoolText(aResult));
  return true;
}

bool kIOHandler_OPOS::GetTrainingModeActive(bool& aResult) {
  Info(u"[GetTrainingModeActive]->TrainingModeActive(aResult)");
  aResult = fOPOS->TrainingModeActive();
  Info(u"[GetTrainingModeActive]->aResult=" + BoolText(aResult));
  return true;
}

bool kIOHandler_OPOS::PrinterState(int32_t& aPrinterState) {
  Info(u"[PrinterState]->PrinterState(aPrinterState)");
  aPrinterState = fOPOS->PrinterState();
  Info(u"[PrinterState]->aPrinterState=" + vxtext::IntToStr(aPrinterState));
  return true;
}

bool kIOHandler_OPOS::RemainingFiscalMemory(int32_t& aRemainingFiscalMemory) {
  Info(u"[RemainingFiscalMemory]->RemainingFiscalMemory(aRemainingFiscalMemory)");
  aRemainingFiscalMemory = fOPOS->RemainingFiscalMemory();
  Info(u"[RemainingFiscalMemory]->aRemainingFiscalMemory=" + vxtext::IntToStr(aRemainingFiscalMemory));
  return true;
}
