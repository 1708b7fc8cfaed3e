#pragma once
// The tests' own client of the simulator: HTTP through libcurl and the message protection written
// again from the published constants with plain OpenSSL calls, so that a mistake in the
// simulator's security code cannot hide behind the same mistake here.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

namespace simtest {

using Json = nlohmann::ordered_json;

struct HttpResult {
  int curlCode = 0;  // CURLE_OK (0) when an answer arrived
  long status = 0;
  std::string body;
  std::string contentType;
  double seconds = 0;
};

// One request on a fresh connection; TLS certificates are not verified.
HttpResult HttpCall(const std::string& aMethod, const std::string& aUrl, const std::string& aBody = {},
                    long aTimeoutMs = 10000);

struct Keys {
  uint8_t hmac[32];
  uint8_t cipher[32];
  uint8_t iv[16];
};
Keys DeriveKeys(const std::string& aPassphraseBytes);

// How to build the protected request (defaults: what a correct sale system sends).
struct Protection {
  std::string keyIdentifier = "SimKey";
  int keyVersion = 1;
  int cryptoVersion = 1;
  bool omitTrailer = false;
  bool corruptHmac = false;
};

// A plain answer as opened with a sale system's checks, or the reason it was refused.
struct Exchange {
  HttpResult http;
  std::string error;      // empty when the answer passed every check
  std::string plainText;  // decrypted answer
  Json answer;            // plain answer parsed
  Json trailer;           // the answer's SecurityTrailer as received

  // The answer body member (e.g. "PaymentResponse"), or null.
  const Json& Body(const std::string& aName) const;
  std::string Result(const std::string& aName) const;
};

class NexoClient {
 public:
  // aSecretBytes: the passphrase already as Windows-1252 bytes.
  NexoClient(std::string aBaseUrl, const std::string& aSecretBytes);

  std::string Protect(const std::string& aPlainText, const Protection& aProtection = {}) const;
  // Opens a protected answer: empty text when it passes, otherwise what failed.
  std::string Open(const std::string& aBody, std::string& aPlain, Json& aTrailer) const;

  Exchange Send(const Json& aPlain, const Protection& aProtection = {}) const;
  Exchange SendText(const std::string& aPlainText, const Protection& aProtection = {}) const;

  // Control and log endpoints.
  Json Control(const Json& aControl) const;
  Json Requests(int64_t aSince = 0) const;
  const std::string& BaseUrl() const { return fBaseUrl; }

 private:
  std::string fBaseUrl;
  Keys fKeys;
};

// Plain requests with the members in the order a sale system writes them.
Json Header(const std::string& aCategory, const std::string& aSaleId, const std::string& aServiceId,
            const std::string& aPoiid = "SIM-00000001");
Json Envelope(const Json& aHeader, const std::string& aBodyName, const Json& aBody);
Json LoginRequest(const std::string& aSaleId, const std::string& aServiceId, const std::string& aTotalsGroup = "Global");
Json LogoutRequest(const std::string& aSaleId, const std::string& aServiceId);
// aAmount and aTip: decimal texts ("12.5"); an empty tip sends none. aTender: tenderOption value.
Json PaymentRequest(const std::string& aSaleId, const std::string& aServiceId, const std::string& aAmount,
                    const std::string& aCurrency = "EUR", const std::string& aTip = "", const std::string& aTender = "",
                    const std::string& aShopperReference = "");
Json ReversalRequest(const std::string& aSaleId, const std::string& aServiceId, const std::string& aOriginalId,
                     const std::string& aAmount, const std::string& aCurrency = "EUR");
// aReference: a MessageReference object, or null for the last transaction.
Json StatusRequest(const std::string& aSaleId, const std::string& aServiceId, const Json& aReference = nullptr);
Json ReconciliationRequest(const std::string& aSaleId, const std::string& aServiceId);
Json TotalsRequest(const std::string& aSaleId, const std::string& aServiceId, const std::string& aPoiid = "SIM-00000001");

// Percent-encoding as a sale system writes SaleToAcquirerData.
std::string EncodeAcquirerData(const std::string& aText);

// The value of a name in a key list (split at '&', then '+' as blank and %XX decoded).
std::string KeyValue(const std::string& aKeyList, const std::string& aName);

}  // namespace simtest
