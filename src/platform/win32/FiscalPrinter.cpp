// The OPOS Fiscal Printer control through COM automation (IDispatch), late bound by name.
#include "platform/FiscalPrinter.h"

#include <windows.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/win32/ComSupport.h"
#include "platform/win32/SysErrorText.h"

namespace port {
namespace {

using com::Bstr;
using com::ComPtr;

// Owns a VARIANT.
struct Variant {
  VARIANT value;
  Variant() { VariantInit(&value); }
  ~Variant() { VariantClear(&value); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

VARIANT Int(int32_t aValue) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = aValue;
  return v;
}

VARIANT Bool(bool aValue) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = aValue ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT Money(OposCurrency aValue) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_CY;
  v.cyVal.int64 = aValue;
  return v;
}

// A BSTR argument; the caller frees it with VariantClear.
VARIANT Text(std::u16string_view aText) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(aText.data()), static_cast<UINT>(aText.size()));
  return v;
}

std::u16string FromBstr(BSTR aText) {
  return aText ? std::u16string(reinterpret_cast<const char16_t*>(aText), SysStringLen(aText)) : std::u16string();
}

class OposFiscalPrinter final : public FiscalPrinterControl {
 public:
  OposFiscalPrinter() {
    CLSID id;
    HRESULT result = CLSIDFromProgID(L"OPOS.FiscalPrinter", &id);
    if (SUCCEEDED(result)) {
      result = CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(fControl.Out()));
    }
    if (FAILED(result)) {
      throw tVX_Error(u"OPOS.FiscalPrinter: " + win32::SysErrorText(static_cast<DWORD>(result)) + u" (" +
                      com::HResultText(result) + u")");
    }
  }

  int32_t Open(std::u16string_view aDeviceName) override { return Method(L"Open", {Text(aDeviceName)}); }
  int32_t ClaimDevice(int32_t aTimeoutMs) override { return Method(L"ClaimDevice", {Int(aTimeoutMs)}); }
  int32_t ReleaseDevice() override { return Method(L"ReleaseDevice", {}); }
  int32_t Close() override { return Method(L"Close", {}); }
  bool DeviceEnabled() override { return GetBool(L"DeviceEnabled"); }
  void SetDeviceEnabled(bool aValue) override { Put(L"DeviceEnabled", Bool(aValue)); }
  int32_t ResultCodeExtended() override { return GetInt(L"ResultCodeExtended"); }
  std::u16string ErrorString() override { return GetText(L"ErrorString"); }
  bool CoverOpen() override { return GetBool(L"CoverOpen"); }
  bool DayOpened() override { return GetBool(L"DayOpened"); }
  bool RecEmpty() override { return GetBool(L"RecEmpty"); }
  bool RecNearEnd() override { return GetBool(L"RecNearEnd"); }
  bool TrainingModeActive() override { return GetBool(L"TrainingModeActive"); }
  int32_t PrinterState() override { return GetInt(L"PrinterState"); }
  int32_t RemainingFiscalMemory() override { return GetInt(L"RemainingFiscalMemory"); }
  std::u16string AdditionalTrailer() override { return GetText(L"AdditionalTrailer"); }
  void SetAdditionalTrailer(std::u16string_view aValue) override { Put(L"AdditionalTrailer", Text(aValue)); }
  void SetPreLine(std::u16string_view aValue) override { Put(L"PreLine", Text(aValue)); }
  void SetFiscalReceiptType(int32_t aValue) override { Put(L"FiscalReceiptType", Int(aValue)); }

  int32_t BeginFiscalReceipt(bool aPrintHeader) override { return Method(L"BeginFiscalReceipt", {Bool(aPrintHeader)}); }
  int32_t EndFiscalReceipt(bool aPrintHeader) override { return Method(L"EndFiscalReceipt", {Bool(aPrintHeader)}); }
  int32_t PrintRecItem(std::u16string_view aDescription, OposCurrency aPrice, int32_t aQuantity, int32_t aVatInfo,
                       OposCurrency aUnitPrice, std::u16string_view aUnitName) override {
    return Method(L"PrintRecItem", {Text(aDescription), Money(aPrice), Int(aQuantity), Int(aVatInfo),
                                    Money(aUnitPrice), Text(aUnitName)});
  }
  int32_t PrintRecItemVoid(std::u16string_view aDescription, OposCurrency aPrice, int32_t aQuantity, int32_t aVatInfo,
                           OposCurrency aUnitPrice, std::u16string_view aUnitName) override {
    return Method(L"PrintRecItemVoid", {Text(aDescription), Money(aPrice), Int(aQuantity), Int(aVatInfo),
                                        Money(aUnitPrice), Text(aUnitName)});
  }
  int32_t PrintRecRefund(std::u16string_view aDescription, OposCurrency aAmount, int32_t aVatInfo) override {
    return Method(L"PrintRecRefund", {Text(aDescription), Money(aAmount), Int(aVatInfo)});
  }
  int32_t PrintRecItemAdjustment(int32_t aAdjustmentType, std::u16string_view aDescription, OposCurrency aAmount,
                                 int32_t aVatInfo) override {
    return Method(L"PrintRecItemAdjustment", {Int(aAdjustmentType), Text(aDescription), Money(aAmount), Int(aVatInfo)});
  }
  int32_t PrintRecSubtotal(OposCurrency aAmount) override { return Method(L"PrintRecSubtotal", {Money(aAmount)}); }
  int32_t PrintRecSubtotalAdjustment(int32_t aAdjustmentType, std::u16string_view aDescription,
                                     OposCurrency aAmount) override {
    return Method(L"PrintRecSubtotalAdjustment", {Int(aAdjustmentType), Text(aDescription), Money(aAmount)});
  }
  int32_t PrintRecTotal(OposCurrency aTotal, OposCurrency aPayment, std::u16string_view aDescription) override {
    return Method(L"PrintRecTotal", {Money(aTotal), Money(aPayment), Text(aDescription)});
  }
  int32_t PrintRecNotPaid(std::u16string_view aDescription, OposCurrency aAmount) override {
    return Method(L"PrintRecNotPaid", {Text(aDescription), Money(aAmount)});
  }
  int32_t PrintRecMessage(std::u16string_view aMessage) override { return Method(L"PrintRecMessage", {Text(aMessage)}); }
  int32_t PrintRecTaxID(std::u16string_view aTaxId) override { return Method(L"PrintRecTaxID", {Text(aTaxId)}); }
  int32_t ResetPrinter() override { return Method(L"ResetPrinter", {}); }
  int32_t BeginNonFiscal() override { return Method(L"BeginNonFiscal", {}); }
  int32_t PrintNormal(int32_t aStation, std::u16string_view aData) override {
    return Method(L"PrintNormal", {Int(aStation), Text(aData)});
  }
  int32_t EndNonFiscal() override { return Method(L"EndNonFiscal", {}); }
  int32_t BeginTraining() override { return Method(L"BeginTraining", {}); }
  int32_t EndTraining() override { return Method(L"EndTraining", {}); }
  int32_t PrintXReport() override { return Method(L"PrintXReport", {}); }
  int32_t PrintZReport() override { return Method(L"PrintZReport", {}); }
  int32_t SetDate(std::u16string_view aDate) override { return Method(L"SetDate", {Text(aDate)}); }

  int32_t GetDate(std::u16string& aDate) override {
    BSTR date = SysAllocString(L"");
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_BSTR;
    ref.pbstrVal = &date;
    int32_t code = Method(L"GetDate", {ref}, false);
    aDate = FromBstr(date);
    SysFreeString(date);
    return code;
  }

  int32_t GetData(int32_t aDataItem, int32_t& aOptArgs, std::u16string& aData) override {
    LONG optArgs = aOptArgs;
    BSTR data = SysAllocString(L"");
    VARIANT args[3];
    args[0] = Int(aDataItem);
    VariantInit(&args[1]);
    args[1].vt = VT_BYREF | VT_I4;
    args[1].plVal = &optArgs;
    VariantInit(&args[2]);
    args[2].vt = VT_BYREF | VT_BSTR;
    args[2].pbstrVal = &data;
    int32_t code = Method(L"GetData", {args[0], args[1], args[2]}, false);
    aOptArgs = optArgs;
    aData = FromBstr(data);
    SysFreeString(data);
    return code;
  }

  int32_t DirectIO(int32_t aCommand, int32_t& aData, std::u16string& aString) override {
    LONG data = aData;
    BSTR text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(aString.data()), static_cast<UINT>(aString.size()));
    VARIANT args[3];
    args[0] = Int(aCommand);
    VariantInit(&args[1]);
    args[1].vt = VT_BYREF | VT_I4;
    args[1].plVal = &data;
    VariantInit(&args[2]);
    args[2].vt = VT_BYREF | VT_BSTR;
    args[2].pbstrVal = &text;
    int32_t code = Method(L"DirectIO", {args[0], args[1], args[2]}, false);
    aData = data;
    aString = FromBstr(text);
    SysFreeString(text);
    return code;
  }

 private:
  DISPID Id(const wchar_t* aName) {
    auto known = fIds.find(aName);
    if (known != fIds.end()) return known->second;
    DISPID id = 0;
    LPOLESTR name = const_cast<LPOLESTR>(aName);
    HRESULT result = fControl->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result)) Fail(aName, result, u"");
    fIds.emplace(aName, id);
    return id;
  }

  // Throws the failure of a call: the control's own description when it gave one.
  [[noreturn]] static void Fail(const wchar_t* aName, HRESULT aResult, const std::u16string& aDescription) {
    std::u16string text = u"OPOS.FiscalPrinter." + std::u16string(reinterpret_cast<const char16_t*>(aName)) + u": ";
    if (!aDescription.empty()) text += aDescription;
    else text += win32::SysErrorText(static_cast<DWORD>(aResult)) + u" (" + com::HResultText(aResult) + u")";
    throw tVX_Error(text);
  }

  // Calls aName with aArgs given in their natural order.
  void Invoke(const wchar_t* aName, WORD aFlags, std::vector<VARIANT>& aArgs, VARIANT* aResult) {
    std::vector<VARIANT> reversed(aArgs.rbegin(), aArgs.rend());  // IDispatch takes them last first
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    DISPID put = DISPID_PROPERTYPUT;
    if (aFlags == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    HRESULT result = fControl->Invoke(Id(aName), IID_NULL, LOCALE_USER_DEFAULT, aFlags, &params, aResult, &exception,
                                      nullptr);
    if (FAILED(result)) {
      std::u16string description;
      if (result == DISP_E_EXCEPTION && exception.bstrDescription) description = FromBstr(exception.bstrDescription);
      SysFreeString(exception.bstrSource);
      SysFreeString(exception.bstrDescription);
      SysFreeString(exception.bstrHelpFile);
      Fail(aName, result, description);
    }
  }

  // A method call answering its result code. aOwnArgs: the arguments hold their own data and
  // are freed here (by-reference arguments belong to the caller).
  int32_t Method(const wchar_t* aName, std::initializer_list<VARIANT> aArgs, bool aOwnArgs = true) {
    std::vector<VARIANT> args(aArgs);
    Variant result;
    try {
      Invoke(aName, DISPATCH_METHOD, args, &result.value);
    } catch (...) {
      if (aOwnArgs) Clear(args);
      throw;
    }
    if (aOwnArgs) Clear(args);
    return ToInt(result.value);
  }

  void Put(const wchar_t* aName, VARIANT aValue) {
    std::vector<VARIANT> args{aValue};
    try {
      Invoke(aName, DISPATCH_PROPERTYPUT, args, nullptr);
    } catch (...) {
      Clear(args);
      throw;
    }
    Clear(args);
  }

  void Get(const wchar_t* aName, Variant& aValue) {
    std::vector<VARIANT> none;
    Invoke(aName, DISPATCH_PROPERTYGET, none, &aValue.value);
  }

  int32_t GetInt(const wchar_t* aName) {
    Variant value;
    Get(aName, value);
    return ToInt(value.value);
  }

  bool GetBool(const wchar_t* aName) {
    Variant value;
    Get(aName, value);
    return ToInt(value.value) != 0;
  }

  std::u16string GetText(const wchar_t* aName) {
    Variant value;
    Get(aName, value);
    if (FAILED(VariantChangeType(&value.value, &value.value, 0, VT_BSTR))) return u"";
    return FromBstr(value.value.bstrVal);
  }

  static int32_t ToInt(VARIANT& aValue) {
    if (aValue.vt == VT_EMPTY) return 0;
    if (FAILED(VariantChangeType(&aValue, &aValue, 0, VT_I4))) return 0;
    return aValue.lVal;
  }

  static void Clear(std::vector<VARIANT>& aArgs) {
    for (VARIANT& arg : aArgs) VariantClear(&arg);
  }

  com::Apartment fApartment;  // first in, last out: COM stays initialised while the control lives
  ComPtr<IDispatch> fControl;
  std::map<std::wstring, DISPID> fIds;
};

}  // namespace

std::unique_ptr<FiscalPrinterControl> FiscalPrinterControl::Create() { return std::make_unique<OposFiscalPrinter>(); }

}  // namespace port
