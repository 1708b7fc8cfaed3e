#include "io/uVXIOHandler.h"

#include "base/uVX_LogWriter.h"
#include "base/uVX_Text.h"

namespace {

const char16_t kStartBanner[] = u"*************************** START ***************************";
const char16_t kStopBanner[] = u"*************************** STOP ****************************";

}  // namespace

kIOHandler::kIOHandler(std::u16string_view aClassName, const kConnection* aConnection, std::u16string_view aDirectory,
                       std::u16string_view aFileName)
    : fClassName(aClassName) {
  if (aConnection != nullptr) {
    fReadTimeout = aConnection->ReadTimeOut();
    fConnectTimeout = aConnection->ConnectTimeOut();
  }
  if (!aDirectory.empty() && !aFileName.empty()) {
    fLogger = std::make_unique<tVX_LogWriter>(aFileName, aDirectory, 0, true);
    Debug(tVX_MessageType::let_info, kStartBanner);
  }
}

kIOHandler::~kIOHandler() {
  if (fLogger) Debug(tVX_MessageType::let_info, kStopBanner);
  fLogger.reset();  // waits until every queued line is in the file
}

bool kIOHandler::Connect() {
  Debug(tVX_MessageType::let_info, std::u16string(61, u'*'));
  Debug(tVX_MessageType::let_info, fClassName);
  Debug(tVX_MessageType::let_info, fVersion);
  Debug(tVX_MessageType::let_info, u"ConnectTimeout=" + vxtext::IntToStr(fConnectTimeout));
  Debug(tVX_MessageType::let_info, u"ReadTimeout=" + vxtext::IntToStr(fReadTimeout));
  return true;
}

void kIOHandler::Debug(tVX_MessageType aEntryType, std::u16string_view aMessage) {
  if (fLogger) fLogger->Write(aEntryType, aMessage);
}

void kIOHandler::WriteLog(tVX_MessageType aEntryType, std::u16string_view aTitle, std::u16string_view aMessage) {
  if (!fLogger) return;
  std::u16string line;
  line.reserve(aTitle.size() + 1 + aMessage.size());
  line.append(aTitle).append(u":").append(aMessage);
  if (fHexLog) line.append(u" [").append(HexDump(aMessage)).append(u"]");
  fLogger->Write(aEntryType, line);
}

std::u16string kIOHandler::GetLogFileName() const { return fLogger ? fLogger->FileName() : std::u16string(); }

void kIOHandler::SetCustomError(int32_t aErrorCode, std::u16string_view aErrorMessage) {
  fErrorFound = true;
  fErrorCode = aErrorCode;
  fErrorMessage = aErrorMessage;
}

void kIOHandler::ResetCustomError() {
  fErrorFound = false;
  fErrorCode = 0;
  fErrorMessage.clear();
}

void kIOHandler::ResetError() { ResetCustomError(); }

void kIOHandler::SetTemporaryReadTimeout(int32_t aNewTimeout) {
  Debug(tVX_MessageType::let_info, u"Set Read Timeout to " + vxtext::IntToStr(aNewTimeout) + u"ms from " +
                                       vxtext::IntToStr(fReadTimeout) + u" ms");
  if (aNewTimeout > 0) {
    fTemporaryReadTimeout = fReadTimeout;
    fReadTimeout = aNewTimeout;
  }
}

void kIOHandler::ResetTemporaryReadTimeout() {
  Debug(tVX_MessageType::let_info, u"Reset Timeout to " + vxtext::IntToStr(fTemporaryReadTimeout) + u" ms");
  if (fTemporaryReadTimeout != 0) fReadTimeout = fTemporaryReadTimeout;
}

std::u16string kIOHandler::HexDump(std::u16string_view aText) {
  static const char16_t kDigits[] = u"0123456789abcdef";
  std::u16string out;
  out.reserve(aText.size() * 3);
  for (char16_t unit : aText) {
    if (!out.empty()) out.push_back(u' ');
    if (unit > 0xFF) {
      out.push_back(kDigits[(unit >> 12) & 15]);
      out.push_back(kDigits[(unit >> 8) & 15]);
    }
    out.push_back(kDigits[(unit >> 4) & 15]);
    out.push_back(kDigits[unit & 15]);
  }
  return out;
}

std::u16string kIOHandler::FormatAmount(tVX_Currency aValue) { return aValue.ToPlainString(); }
