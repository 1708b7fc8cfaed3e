// A stand-in for the OPOS fiscal printer control, for testing the COM adapter under wine: an
// in-process automation object that the test registers under the control's programmatic id.
// It answers each method with the result code set for it (0 unless set), writes every method
// call and property write as a line of text, keeps the properties it is given, and hands back
// the values set for the out-arguments of GetDate, GetData and DirectIO.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <map>
#include <string>
#include <vector>

namespace {

// {6F1C2A40-5E0B-4C7D-9A34-2B8D7E6F1A01}
const CLSID kClassId = {0x6f1c2a40, 0x5e0b, 0x4c7d, {0x9a, 0x34, 0x2b, 0x8d, 0x7e, 0x6f, 0x1a, 0x01}};

const wchar_t* const kNames[] = {
    L"Open", L"ClaimDevice", L"ReleaseDevice", L"Close", L"DeviceEnabled", L"ResultCodeExtended", L"ErrorString",
    L"CoverOpen", L"DayOpened", L"RecEmpty", L"RecNearEnd", L"TrainingModeActive", L"PrinterState",
    L"RemainingFiscalMemory", L"AdditionalTrailer", L"PreLine", L"FiscalReceiptType", L"BeginFiscalReceipt",
    L"EndFiscalReceipt", L"PrintRecItem", L"PrintRecItemVoid", L"PrintRecRefund", L"PrintRecItemAdjustment",
    L"PrintRecSubtotal", L"PrintRecSubtotalAdjustment", L"PrintRecTotal", L"PrintRecNotPaid", L"PrintRecMessage",
    L"PrintRecTaxID", L"ResetPrinter", L"BeginNonFiscal", L"PrintNormal", L"EndNonFiscal", L"BeginTraining",
    L"EndTraining", L"PrintXReport", L"PrintZReport", L"SetDate", L"GetDate", L"GetData", L"DirectIO"};
constexpr DISPID kCount = sizeof(kNames) / sizeof(kNames[0]);
// DeviceEnabled to FiscalReceiptType are properties; the rest are methods.
bool IsProperty(DISPID aId) { return aId >= 5 && aId <= 17; }

const wchar_t* const kBooleans[] = {L"DeviceEnabled", L"CoverOpen", L"DayOpened", L"RecEmpty", L"RecNearEnd",
                                    L"TrainingModeActive"};
const wchar_t* const kTexts[] = {L"ErrorString", L"AdditionalTrailer", L"PreLine"};

std::wstring gCalls;
std::map<std::wstring, LONG> gResults;
std::map<std::wstring, std::wstring> gValues;  // properties and out-values, as text
LONG gObjects = 0;

bool IsOneOf(const std::wstring& aName, const wchar_t* const* aList, size_t aCount) {
  for (size_t i = 0; i < aCount; ++i) {
    if (aName == aList[i]) return true;
  }
  return false;
}

std::wstring Text(const VARIANT& aValue) {
  VARIANT copy;
  VariantInit(&copy);
  std::wstring text;
  switch (aValue.vt) {
    case VT_BOOL: return aValue.boolVal ? L"true" : L"false";
    case VT_CY: return L"cy:" + std::to_wstring(aValue.cyVal.int64);
    case VT_BYREF | VT_I4: return L"&" + std::to_wstring(*aValue.plVal);
    case VT_BYREF | VT_BSTR: return L"&" + std::wstring(*aValue.pbstrVal ? *aValue.pbstrVal : L"");
    default:
      if (SUCCEEDED(VariantChangeType(&copy, const_cast<VARIANT*>(&aValue), 0, VT_BSTR))) {
        text = copy.bstrVal ? copy.bstrVal : L"";
      }
      VariantClear(&copy);
      return text;
  }
}

void SetOut(const VARIANT& aArg, const std::wstring& aKey) {
  auto value = gValues.find(aKey);
  if (value == gValues.end()) return;
  if (aArg.vt == (VT_BYREF | VT_BSTR)) {
    SysFreeString(*aArg.pbstrVal);
    *aArg.pbstrVal = SysAllocString(value->second.c_str());
  } else if (aArg.vt == (VT_BYREF | VT_I4)) {
    *aArg.plVal = std::stol(value->second);
  }
}

class FakeControl final : public IDispatch {
 public:
  FakeControl() { InterlockedIncrement(&gObjects); }
  ~FakeControl() { InterlockedDecrement(&gObjects); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID aId, void** aOut) override {
    if (aId == IID_IUnknown || aId == IID_IDispatch) {
      *aOut = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *aOut = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&fReferences); }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = InterlockedDecrement(&fReferences);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* aCount) override {
    *aCount = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* aNames, UINT aCount, LCID, DISPID* aIds) override {
    if (aCount != 1) return E_INVALIDARG;
    for (DISPID i = 0; i < kCount; ++i) {
      if (lstrcmpiW(aNames[0], kNames[i]) == 0) {
        aIds[0] = i + 1;
        return S_OK;
      }
    }
    aIds[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID aId, REFIID, LCID, WORD aFlags, DISPPARAMS* aParams, VARIANT* aResult,
                                   EXCEPINFO*, UINT*) override {
    if (aId < 1 || aId > kCount) return DISP_E_MEMBERNOTFOUND;
    const std::wstring name = kNames[aId - 1];
    // Arguments arrive last first.
    std::vector<VARIANT*> args;
    for (UINT i = aParams->cArgs; i > 0; --i) args.push_back(&aParams->rgvarg[i - 1]);
    if (aFlags & DISPATCH_PROPERTYPUT) {
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      gValues[name] = Text(*args[0]);
      gCalls += name + L"=" + gValues[name] + L"\n";
      return S_OK;
    }
    if (IsProperty(aId)) {
      if (!(aFlags & DISPATCH_PROPERTYGET) || !args.empty() || !aResult) return DISP_E_MEMBERNOTFOUND;
      auto value = gValues.find(name);
      const std::wstring text = value != gValues.end() ? value->second : L"";
      VariantInit(aResult);
      if (IsOneOf(name, kBooleans, 6)) {
        aResult->vt = VT_BOOL;
        aResult->boolVal = (text == L"true" || text == L"1") ? VARIANT_TRUE : VARIANT_FALSE;
      } else if (IsOneOf(name, kTexts, 3)) {
        aResult->vt = VT_BSTR;
        aResult->bstrVal = SysAllocString(text.c_str());
      } else {
        aResult->vt = VT_I4;
        aResult->lVal = text.empty() ? 0 : std::stol(text);
      }
      return S_OK;
    }
    std::wstring line = name + L"(";
    for (size_t i = 0; i < args.size(); ++i) line += (i ? L"," : L"") + Text(*args[i]);
    gCalls += line + L")\n";
    if (name == L"GetDate" && args.size() == 1) SetOut(*args[0], L"GetDate.out");
    if (name == L"GetData" && args.size() == 3) SetOut(*args[2], L"GetData.out");
    if (name == L"DirectIO" && args.size() == 3) {
      SetOut(*args[1], L"DirectIO.data");
      SetOut(*args[2], L"DirectIO.string");
    }
    if (aResult) {
      VariantInit(aResult);
      aResult->vt = VT_I4;
      auto code = gResults.find(name);
      aResult->lVal = code == gResults.end() ? 0 : code->second;
    }
    return S_OK;
  }

 private:
  LONG fReferences = 1;
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID aId, void** aOut) override {
    if (aId == IID_IUnknown || aId == IID_IClassFactory) {
      *aOut = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *aOut = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* aOuter, REFIID aId, void** aOut) override {
    if (aOuter) return CLASS_E_NOAGGREGATION;
    FakeControl* control = new FakeControl();
    HRESULT result = control->QueryInterface(aId, aOut);
    control->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory gFactory;

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID aClass, REFIID aId, void** aOut) {
  if (aClass != kClassId) return CLASS_E_CLASSNOTAVAILABLE;
  return gFactory.QueryInterface(aId, aOut);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return gObjects == 0 ? S_OK : S_FALSE; }

// ---- for the test ----
__declspec(dllexport) const wchar_t* VxFakeOposCalls() { return gCalls.c_str(); }
__declspec(dllexport) void VxFakeOposSetResult(const wchar_t* aMethod, LONG aCode) { gResults[aMethod] = aCode; }
__declspec(dllexport) void VxFakeOposSetValue(const wchar_t* aName, const wchar_t* aValue) { gValues[aName] = aValue; }
__declspec(dllexport) void VxFakeOposReset() {
  gCalls.clear();
  gResults.clear();
  gValues.clear();
}

}  // extern "C"
