// The readable text of a UnifiedPOS result code and, for OPOS_E_EXTENDED, its extended code.
#include "base/uVX_Text.h"
#include "io/uVXIOHandler_OPOS.h"

namespace {

struct CodeName {
  int32_t code;
  const char16_t* name;
};

constexpr CodeName kResultCodes[] = {
    {101, u" OPOS_E_CLOSED"},   {102, u" OPOS_E_CLAIMED"},   {103, u" OPOS_E_NOTCLAIMED"},
    {104, u" OPOS_E_NOSERVICE"}, {105, u" OPOS_E_DISABLED"},  {106, u" OPOS_E_ILLEGAL"},
    {107, u" OPOS_E_NOHARDWARE"}, {108, u" OPOS_E_OFFLINE"},  {109, u" OPOS_E_NOEXIST"},
    {110, u" OPOS_E_EXISTS"},   {111, u" OPOS_E_FAILURE"},   {112, u" OPOS_E_TIMEOUT"},
    {113, u" OPOS_E_BUSY"},     {114, u" OPOS_E_EXTENDED"},  {115, u" OPOS_E_DEPRECATED"},
};

constexpr CodeName kExtendedCodes[] = {
    {201, u" OPOS_EFPTR_COVER_OPEN"},
    {202, u" OPOS_EFPTR_JRN_EMPTY"},
    {203, u" OPOS_EFPTR_REC_EMPTY"},
    {204, u" OPOS_EFPTR_SLP_EMPTY"},
    {205, u" OPOS_EFPTR_SLP_FORM"},
    {206, u" OPOS_EFPTR_MISSING_DEVICES"},
    {207, u" OPOS_EFPTR_WRONG_STATE"},
    {208, u" OPOS_EFPTR_TECHNICAL_ASSISTANCE"},
    {209, u" OPOS_EFPTR_CLOCK_ERROR"},
    {210, u" OPOS_EFPTR_FISCAL_MEMORY_FULL"},
    {211, u" OPOS_EFPTR_FISCAL_MEMORY_DISCONNECTED"},
    {212, u" OPOS_EFPTR_FISCAL_TOTALS_ERROR"},
    {213, u" OPOS_EFPTR_BAD_ITEM_QUANTITY"},
    {214, u" OPOS_EFPTR_BAD_ITEM_AMOUNT"},
    {215, u" OPOS_EFPTR_BAD_ITEM_DESCRIPTION"},
    {216, u" OPOS_EFPTR_RECEIPT_TOTAL_OVERFLOW"},
    {217, u" OPOS_EFPTR_BAD_VAT"},
    {218, u" OPOS_EFPTR_BAD_PRICE"},
    {219, u" OPOS_EFPTR_BAD_DATE"},
    {220, u" OPOS_EFPTR_NEGATIVE_TOTAL"},
    {221, u" OPOS_EFPTR_WORD_NOT_ALLOWED"},
    {222, u" OPOS_EFPTR_BAD_LENGTH"},
    {223, u" OPOS_EFPTR_MISSING_SET_CURRENCY"},
    {224, u" OPOS_EFPTR_DAY_END_REQUIRED"},
};

template <size_t N>
std::u16string NameOf(const CodeName (&aTable)[N], int32_t aCode) {
  for (const CodeName& entry : aTable) {
    if (entry.code == aCode) return entry.name;
  }
  return u" UNKNOWN";
}

}  // namespace

std::u16string kIOHandler_OPOS::FormatOposError(int32_t aResultCode, int32_t aExtendedCode,
                                                std::u16string_view aErrorString) {
  std::u16string text = u"[" + vxtext::IntToStr(aResultCode) + u"]" + NameOf(kResultCodes, aResultCode);
  if (aExtendedCode != 0) text += u" [" + vxtext::IntToStr(aExtendedCode) + u"]" + NameOf(kExtendedCodes, aExtendedCode);
  return text + u" - " + std::u16string(aErrorString);
}
