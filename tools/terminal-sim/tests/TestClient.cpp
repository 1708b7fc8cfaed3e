#include "TestClient.h"

#include <curl/curl.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace simtest {

namespace {

size_t Collect(char* aData, size_t aSize, size_t aCount, void* aTarget) {
  static_cast<std::string*>(aTarget)->append(aData, aSize * aCount);
  return aSize * aCount;
}

std::string ToBase64(const uint8_t* aData, size_t aSize) {
  std::string out(4 * ((aSize + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), aData, static_cast<int>(aSize));
  out.resize(static_cast<size_t>(n));
  return out;
}

// EVP_DecodeBlock keeps the zero bytes of the padding; they are cut here.
bool FromBase64(const std::string& aText, std::vector<uint8_t>& aOut) {
  if (aText.size() % 4 != 0) return false;
  aOut.assign(aText.size() / 4 * 3 + 1, 0);
  const int n = EVP_DecodeBlock(aOut.data(), reinterpret_cast<const unsigned char*>(aText.data()),
                                static_cast<int>(aText.size()));
  if (n < 0) return false;
  size_t padding = 0;
  if (!aText.empty() && aText.back() == '=') ++padding;
  if (aText.size() > 1 && aText[aText.size() - 2] == '=') ++padding;
  aOut.resize(static_cast<size_t>(n) - padding);
  return true;
}

}  // namespace

HttpResult HttpCall(const std::string& aMethod, const std::string& aUrl, const std::string& aBody, long aTimeoutMs) {
  HttpResult result;
  CURL* curl = curl_easy_init();
  if (curl == nullptr) throw std::runtime_error("curl_easy_init");
  curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/json");
  curl_easy_setopt(curl, CURLOPT_URL, aUrl.c_str());
  curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, aMethod.c_str());
  if (aMethod == "POST") {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, aBody.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(aBody.size()));
  }
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, aTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 5000L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  const auto start = std::chrono::steady_clock::now();
  result.curlCode = curl_easy_perform(curl);
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  char* type = nullptr;
  curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
  if (type != nullptr) result.contentType = type;
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return result;
}

Keys DeriveKeys(const std::string& aPassphraseBytes) {
  uint8_t out[80];
  const char salt[] = "Qv7LmT2xRk9WnZp";
  if (PKCS5_PBKDF2_HMAC(aPassphraseBytes.data(), static_cast<int>(aPassphraseBytes.size()),
                        reinterpret_cast<const unsigned char*>(salt), 15, 4000, EVP_sha1(), 80, out) != 1) {
    throw std::runtime_error("PBKDF2");
  }
  Keys keys;
  std::memcpy(keys.hmac, out, 32);
  std::memcpy(keys.cipher, out + 32, 32);
  std::memcpy(keys.iv, out + 64, 16);
  return keys;
}

const Json& Exchange::Body(const std::string& aName) const {
  static const Json kNull;
  if (!answer.is_object() || !answer.contains("SaleToPOIResponse")) return kNull;
  const Json& response = answer["SaleToPOIResponse"];
  return response.contains(aName) ? response[aName] : kNull;
}

std::string Exchange::Result(const std::string& aName) const {
  const Json& body = Body(aName);
  if (!body.is_object() || !body.contains("Response")) return {};
  return body["Response"].value("Result", "");
}

NexoClient::NexoClient(std::string aBaseUrl, const std::string& aSecretBytes)
    : fBaseUrl(std::move(aBaseUrl)), fKeys(DeriveKeys(aSecretBytes)) {}

std::string NexoClient::Protect(const std::string& aPlainText, const Protection& aProtection) const {
  uint8_t nonce[16], iv[16];
  RAND_bytes(nonce, 16);
  for (int i = 0; i < 16; ++i) iv[i] = fKeys.iv[i] ^ nonce[i];
  std::vector<uint8_t> cipher(aPlainText.size() + 32);
  int n1 = 0, n2 = 0;
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  EVP_EncryptInit_ex(ctx, EVP_aes_256_cbc(), nullptr, fKeys.cipher, iv);
  EVP_EncryptUpdate(ctx, cipher.data(), &n1, reinterpret_cast<const unsigned char*>(aPlainText.data()),
                    static_cast<int>(aPlainText.size()));
  EVP_EncryptFinal_ex(ctx, cipher.data() + n1, &n2);
  EVP_CIPHER_CTX_free(ctx);
  uint8_t mac[32];
  unsigned int macLength = 0;
  HMAC(EVP_sha256(), fKeys.hmac, 32, reinterpret_cast<const unsigned char*>(aPlainText.data()), aPlainText.size(), mac,
       &macLength);
  if (aProtection.corruptHmac) mac[31] ^= 0x01;

  const Json plain = Json::parse(aPlainText);
  Json inner = Json::object();
  inner["MessageHeader"] = plain["SaleToPOIRequest"]["MessageHeader"];
  inner["NexoBlob"] = ToBase64(cipher.data(), static_cast<size_t>(n1 + n2));
  if (!aProtection.omitTrailer) {
    inner["SecurityTrailer"] = {{"KeyVersion", aProtection.keyVersion},
                                {"KeyIdentifier", aProtection.keyIdentifier},
                                {"Hmac", ToBase64(mac, 32)},
                                {"Nonce", ToBase64(nonce, 16)},
                                {"AdyenCryptoVersion", aProtection.cryptoVersion}};
  }
  return Json{{"SaleToPOIRequest", inner}}.dump();
}

std::string NexoClient::Open(const std::string& aBody, std::string& aPlain, Json& aTrailer) const {
  const Json envelope = Json::parse(aBody, nullptr, false);
  if (envelope.is_discarded() || !envelope.is_object() || envelope.empty()) return "not a JSON object";
  const Json& outer = envelope.begin().value();
  if (!outer.contains("SecurityTrailer")) return "Value 'SecurityTrailer' not found";
  if (!outer.contains("NexoBlob")) return "Value 'NexoBlob' not found";
  aTrailer = outer["SecurityTrailer"];
  for (const char* name : {"AdyenCryptoVersion", "KeyVersion", "KeyIdentifier", "Hmac", "Nonce"}) {
    if (!aTrailer.contains(name)) return std::string("Value '") + name + "' not found";
  }
  if (aTrailer["AdyenCryptoVersion"] != 1) return "AdyenCryptoVersion has to be 1";
  if (aTrailer["KeyVersion"] != 1) return "Key Version " + aTrailer["KeyVersion"].dump() + " different from setup";
  std::vector<uint8_t> nonce, mac, cipher;
  if (!FromBase64(aTrailer["Nonce"].get<std::string>(), nonce) || nonce.size() != 16) return "nonce length";
  if (!FromBase64(aTrailer["Hmac"].get<std::string>(), mac) || mac.size() != 32) return "hmac length";
  if (!FromBase64(outer["NexoBlob"].get<std::string>(), cipher)) return "blob not Base64";
  uint8_t iv[16];
  for (int i = 0; i < 16; ++i) iv[i] = fKeys.iv[i] ^ nonce[i];
  std::string plain(cipher.size() + 16, '\0');
  int n1 = 0, n2 = 0;
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  EVP_DecryptInit_ex(ctx, EVP_aes_256_cbc(), nullptr, fKeys.cipher, iv);
  const bool decrypted =
      EVP_DecryptUpdate(ctx, reinterpret_cast<unsigned char*>(plain.data()), &n1, cipher.data(),
                        static_cast<int>(cipher.size())) == 1 &&
      EVP_DecryptFinal_ex(ctx, reinterpret_cast<unsigned char*>(plain.data()) + n1, &n2) == 1;
  EVP_CIPHER_CTX_free(ctx);
  if (!decrypted) return "decryption failed";
  plain.resize(static_cast<size_t>(n1 + n2));
  uint8_t expected[32];
  unsigned int length = 0;
  HMAC(EVP_sha256(), fKeys.hmac, 32, reinterpret_cast<const unsigned char*>(plain.data()), plain.size(), expected, &length);
  if (std::memcmp(expected, mac.data(), 32) != 0) return "HMAC is different from what expected";
  aPlain = std::move(plain);
  return {};
}

Exchange NexoClient::Send(const Json& aPlain, const Protection& aProtection) const {
  return SendText(aPlain.dump(), aProtection);
}

Exchange NexoClient::SendText(const std::string& aPlainText, const Protection& aProtection) const {
  Exchange exchange;
  exchange.http = HttpCall("POST", fBaseUrl + "/nexo", Protect(aPlainText, aProtection));
  if (exchange.http.curlCode != 0) {
    exchange.error = "no answer (curl " + std::to_string(exchange.http.curlCode) + ")";
    return exchange;
  }
  if (exchange.http.status != 200) {
    exchange.error = "HTTP " + std::to_string(exchange.http.status);
    return exchange;
  }
  exchange.error = Open(exchange.http.body, exchange.plainText, exchange.trailer);
  if (exchange.error.empty()) exchange.answer = Json::parse(exchange.plainText);
  return exchange;
}

Json NexoClient::Control(const Json& aControl) const {
  const HttpResult result = HttpCall("POST", fBaseUrl + "/control", aControl.dump());
  Json answer = Json::parse(result.body, nullptr, false);
  if (result.status != 200) return {{"status", result.status}, {"answer", answer}};
  return answer;
}

Json NexoClient::Requests(int64_t aSince) const {
  return Json::parse(HttpCall("GET", fBaseUrl + "/requests?since=" + std::to_string(aSince)).body);
}

Json Header(const std::string& aCategory, const std::string& aSaleId, const std::string& aServiceId,
            const std::string& aPoiid) {
  return {{"ProtocolVersion", "3.0"}, {"MessageClass", "Service"}, {"MessageCategory", aCategory},
          {"MessageType", "Request"}, {"SaleID", aSaleId},         {"ServiceID", aServiceId},
          {"POIID", aPoiid}};
}

Json Envelope(const Json& aHeader, const std::string& aBodyName, const Json& aBody) {
  Json request = {{"MessageHeader", aHeader}};
  request[aBodyName] = aBody;
  return {{"SaleToPOIRequest", request}};
}

Json LoginRequest(const std::string& aSaleId, const std::string& aServiceId, const std::string& aTotalsGroup) {
  return Envelope(Header("Login", aSaleId, aServiceId), "LoginRequest",
                  {{"DateTime", "2024-03-15T14:07:09.123+01:00"},
                   {"SaleSoftware",
                    {{"ManufacturerID", "Tests"},
                     {"ApplicationName", "Sim tests"},
                     {"SoftwareVersion", "1.0"},
                     {"CertificationCode", "X"}}},
                   {"SaleTerminalData", {{"TotalsGroupID", aTotalsGroup}}},
                   {"OperatorLanguage", "en"},
                   {"OperatorID", "OPR"}});
}

Json LogoutRequest(const std::string& aSaleId, const std::string& aServiceId) {
  return Envelope(Header("Logout", aSaleId, aServiceId), "LogoutRequest", Json::object());
}

std::string EncodeAcquirerData(const std::string& aText) {
  static const std::string kSpecials = "*<>#%\"{}|\\^[]`";
  std::string out;
  char escape[4];
  for (const char c : aText) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 32 || byte >= 128 || kSpecials.find(c) != std::string::npos) {
      std::snprintf(escape, sizeof(escape), "%%%02X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out;
}

namespace {

std::string ApplicationInfo(bool aWithOs) {
  std::string text =
      "applicationInfo.merchantApplication.name=Sim Tests Driver&applicationInfo.merchantApplication.version=1.2.3"
      "&applicationInfo.externalPlatform.integrator=Tests&applicationInfo.externalPlatform.name=Sim Tests Driver"
      "&applicationInfo.externalPlatform.version=1.2.3";
  if (aWithOs) text += "&applicationInfo.merchantDevice.os=Linux&applicationInfo.merchantDevice.osVersion=Linux 6.1 x86_64";
  return text + "&applicationInfo.merchantDevice.reference=TILL-PC";
}

}  // namespace

Json PaymentRequest(const std::string& aSaleId, const std::string& aServiceId, const std::string& aAmount,
                    const std::string& aCurrency, const std::string& aTip, const std::string& aTender,
                    const std::string& aShopperReference) {
  std::string keyList = ApplicationInfo(true);
  if (!aTender.empty()) keyList += "&tenderOption=" + aTender;
  if (!aShopperReference.empty()) keyList += "&shopperReference=" + aShopperReference + "&recurringContract=RECURRING";
  Json amounts = {{"Currency", aCurrency}, {"RequestedAmount", Json::parse(aAmount)}};
  if (!aTip.empty()) amounts["TipAmount"] = Json::parse(aTip);
  return Envelope(Header("Payment", aSaleId, aServiceId), "PaymentRequest",
                  {{"SaleData",
                    {{"SaleTransactionID", {{"TransactionID", aServiceId}, {"TimeStamp", "2024-03-15T14:07:09.123Z"}}},
                     {"SaleToAcquirerData", EncodeAcquirerData(keyList)}}},
                   {"PaymentTransaction", {{"AmountsReq", amounts}}}});
}

Json ReversalRequest(const std::string& aSaleId, const std::string& aServiceId, const std::string& aOriginalId,
                     const std::string& aAmount, const std::string& aCurrency) {
  const std::string keyList = "currency=" + aCurrency + "&tenderOption=ReceiptHandler&" + ApplicationInfo(false);
  return Envelope(
      Header("Reversal", aSaleId, aServiceId), "ReversalRequest",
      {{"OriginalPOITransaction",
        {{"POITransactionID", {{"TransactionID", aOriginalId}, {"TimeStamp", "2024-03-15T14:07:09.000-03:00"}}}}},
       {"ReversalReason", "MerchantCancel"},
       {"ReversedAmount", Json::parse(aAmount)},
       {"SaleData",
        {{"SaleTransactionID", {{"TransactionID", aServiceId}, {"TimeStamp", "2024-03-15T14:08:00.000+05:30"}}},
         {"SaleToAcquirerData", EncodeAcquirerData(keyList)}}}});
}

Json StatusRequest(const std::string& aSaleId, const std::string& aServiceId, const Json& aReference) {
  Json body = {{"ReceiptReprintFlag", true}, {"DocumentQualifier", Json::array({"CashierReceipt", "CustomerReceipt"})}};
  if (!aReference.is_null()) body["MessageReference"] = aReference;
  return Envelope(Header("TransactionStatus", aSaleId, aServiceId), "TransactionStatusRequest", body);
}

Json ReconciliationRequest(const std::string& aSaleId, const std::string& aServiceId) {
  return Envelope(Header("Reconciliation", aSaleId, aServiceId), "ReconciliationRequest",
                  {{"ReconciliationType", "SaleReconciliation"}});
}

Json TotalsRequest(const std::string& aSaleId, const std::string& aServiceId, const std::string& aPoiid) {
  return Envelope(Header("GetTotals", aSaleId, aServiceId), "GetTotalsRequest", {{"TotalFilter", {{"POIID", aPoiid}}}});
}

std::string KeyValue(const std::string& aKeyList, const std::string& aName) {
  size_t start = 0;
  while (start <= aKeyList.size()) {
    size_t end = aKeyList.find('&', start);
    if (end == std::string::npos) end = aKeyList.size();
    std::string item;
    for (size_t i = start; i < end; ++i) {
      if (aKeyList[i] == '+') {
        item += ' ';
      } else if (aKeyList[i] == '%' && i + 2 < end) {
        item += static_cast<char>(std::stoi(aKeyList.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        item += aKeyList[i];
      }
    }
    const size_t eq = item.find('=');
    if (item.substr(0, eq) == aName) return eq == std::string::npos ? std::string() : item.substr(eq + 1);
    start = end + 1;
  }
  return {};
}

}  // namespace simtest
