// The request exchange: protect the plain request, post it, check and decrypt the answer.
#include "drivers/adyen/uVXPA_ADYEN_10.h"

#include <exception>
#include <memory>

#include "io/uVXIOHandler_HTTP.h"
#include "io/uVX_HTTPClient.h"
#include "base/uVX_Text.h"
#include "platform/Error.h"

namespace {

constexpr int32_t kConnectTimeoutSeconds = 10;
constexpr int32_t kReadTimeoutSeconds = 180;
constexpr char16_t kUserAgent[] = u"Brannic Zarvik Driver";

}  // namespace

bool kPayment_ADYEN::Exchange(std::u16string_view aTag) {
  fSecurity.EncryptMessage();
  fSecurity.ComputeHmac(fSecurity.fHexHMACKey, fSecurity.fInputMessage);
  fIOHandler->WriteLog(tVX_MessageType::let_info, std::u16string(aTag), fSecurity.fInputMessage);
  fSecurity.BuildSecuredRequest();
  if (!PostRequest()) return false;
  return fSecurity.DecryptResponse();
}

bool kPayment_ADYEN::PostRequest() {
  fSecurity.fJSONResponse.clear();
  // A fresh client per request: no connection, cookie or setting carries over.
  auto client = std::make_unique<VX_HttpClient>();
  client->SetConnectTimeout(kConnectTimeoutSeconds);
  client->SetReadTimeout(kReadTimeoutSeconds);
  client->SetUserAgent(kUserAgent);
  kIOHandler* handler = fIOHandler.get();
  client->SetOnWriteLog([handler](tVX_MessageType aType, const std::u16string& aTitle, const std::u16string& aMessage) {
    handler->WriteLog(aType, aTitle, aMessage);
  });

  bool ok = false;
  try {
    ok = client->Post(fIOHandlerHTTP->fURL, fSecurity.fJSONRequest);
  } catch (const tVX_Error& e) {
    fIOHandler->WriteLog(tVX_MessageType::let_error, u"kAdyen.Post", e.Message());
    ok = false;
  } catch (const std::exception& e) {
    fIOHandler->WriteLog(tVX_MessageType::let_error, u"kAdyen.Post", vxtext::Widen(e.what()));
    ok = false;
  }
  if (ok) {
    fSecurity.fJSONResponse = client->Response();
    return true;
  }
  // Only an answer with a body explains itself: its first "errors" text, when it has one.
  if (!client->Response().empty()) {
    tJson body = adyen::ParseJson(client->Response());
    std::u16string text = client->LastStatusText() + u" - " + kJSONUtils::GetString(&body, u"errors[0]");
    fIOHandler->SetCustomError(client->LastStatusCode(), text);
  }
  return false;
}
