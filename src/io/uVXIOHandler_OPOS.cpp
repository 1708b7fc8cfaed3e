// kIOHandler_OPOS: construction, the connect and disconnect sequences, the result check and the
// unsupported text channel.
#include "io/uVXIOHandler_OPOS.h"

#include "base/uVX_Text.h"
#include "platform/Error.h"

namespace {

// The text of an error raised while the control was used.
std::u16string RaisedText(const std::exception& aError) {
  if (const auto* error = dynamic_cast<const tVX_Error*>(&aError)) return error->Message();
  return vxtext::Widen(aError.what());
}

}  // namespace

kIOHandler_OPOS::kIOHandler_OPOS(const kConnection* aConnection, std::u16string_view aDirectory,
                                 std::u16string_view aFileName, std::unique_ptr<port::FiscalPrinterControl> aControl)
    : kIOHandler(u"kIOHandler_OPOS", aConnection, aDirectory, aFileName),
      fOPOS(aControl ? std::move(aControl) : port::FiscalPrinterControl::Create()) {
  if (aConnection) fDeviceName = aConnection->DeviceName();
}

kIOHandler_OPOS::~kIOHandler_OPOS() {
  if (Connected()) Disconnect();
  fOPOS.reset();
}

bool kIOHandler_OPOS::Connected() { return fConnected; }

bool kIOHandler_OPOS::Connect() {
  kIOHandler::Connect();
  Info(u"DeviceName=" + fDeviceName);
  try {
    if (Connected()) Disconnect();
    bool result = false;
    Info(u"[Connect]->Open(" + fDeviceName + u")");
    if (CheckResult(fOPOS->Open(fDeviceName))) {
      Info(u"[Connect]->ClaimDevice(" + vxtext::IntToStr(ConnectTimeout()) + u")");
      if (CheckResult(fOPOS->ClaimDevice(ConnectTimeout()))) {
        Info(u"[Connect]->DeviceEnabled:=true");
        fOPOS->SetDeviceEnabled(true);
        result = fOPOS->DeviceEnabled();
      }
    }
    // The sequence ran to its end: the device counts as connected whatever the outcome, so
    // that Disconnect and the destructor undo whatever part of it succeeded.
    fConnected = true;
    return result;
  } catch (const std::exception& e) {
    Debug(tVX_MessageType::let_error, u"[Connect]:" + RaisedText(e));
    return false;
  }
}

bool kIOHandler_OPOS::Disconnect() {
  try {
    bool result = false;
    Info(u"[Disconnect]->DeviceEnabled:=false");
    fOPOS->SetDeviceEnabled(false);
    if (!fOPOS->DeviceEnabled()) {
      Info(u"[Disconnect]->ReleaseDevice");
      if (CheckResult(fOPOS->ReleaseDevice())) {
        Info(u"[Disconnect]->Close");
        result = CheckResult(fOPOS->Close());
      }
    }
    fConnected = false;
    return result;
  } catch (const std::exception& e) {
    Debug(tVX_MessageType::let_error, u"[Disconnect]:" + RaisedText(e));
    return false;
  }
}

bool kIOHandler_OPOS::CheckResult(int32_t aResultCode) {
  ResetError();
  if (aResultCode == 0) return true;
  const int32_t extended = aResultCode == 114 ? fOPOS->ResultCodeExtended() : 0;
  const std::u16string text = FormatOposError(aResultCode, extended, fOPOS->ErrorString());
  Debug(tVX_MessageType::let_error, text);
  SetCustomError(aResultCode, text);
  return false;
}

void kIOHandler_OPOS::Info(std::u16string_view aLine) { Debug(tVX_MessageType::let_info, aLine); }

std::u16string kIOHandler_OPOS::Quoted(std::u16string_view aText) {
  return u"'" + vxtext::ReplaceAll(aText, u"'", u"''") + u"'";
}

void kIOHandler_OPOS::ClearBuffers() {}
bool kIOHandler_OPOS::Write(std::u16string_view) { throw tVX_Error(u"Write Unsupported"); }
std::u16string kIOHandler_OPOS::ReadUpTo(const std::vector<uint8_t>&) { throw tVX_Error(u"ReadUpto Unsupported"); }
std::u16string kIOHandler_OPOS::ReadChars(int32_t) { throw tVX_Error(u"ReadChars Unsupported"); }
std::u16string kIOHandler_OPOS::ReadAll() { throw tVX_Error(u"ReadAll Unsupported"); }
std::u16string kIOHandler_OPOS::DecodeError(int32_t) { return u""; }
bool kIOHandler_OPOS::InputBufferContainsData() { throw tVX_Error(u"InputBufferContainsData Unsupported"); }
void kIOHandler_OPOS::SetParameter(std::u16string_view, std::u16string_view) {}
