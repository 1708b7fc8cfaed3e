#pragma once
// The terminal's side of the message protection: it checks and opens protected requests and
// protects its answers, each with a fresh nonce.
#include "SimCrypto.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace termsim {

using Json = nlohmann::ordered_json;

// What opening a protected request gave. httpStatus 0: the request passed every security check
// and plainText/plain hold the message; otherwise the status (400 or 401) and the reason.
struct OpenedRequest {
  int httpStatus = 0;
  std::string error;
  Json envelope;          // the protected request as parsed (null when it is not JSON)
  std::string plainText;  // decrypted text, exactly as decrypted
  Json plain;             // decrypted text parsed (null when it is not JSON)
};

// How to spoil an answer on purpose (scenarios).
struct AnswerFaults {
  int cryptoVersion = 1;
  std::optional<int> keyVersion;  // nullopt: the terminal's own
  bool omitTrailer = false;
  bool tamperBlob = false;
  bool wrongHmac = false;
  int nonceBytes = 16;
};

class MessageSecurity {
 public:
  // aPassphraseUtf8 is hashed as Windows-1252 bytes.
  MessageSecurity(const std::string& aPassphraseUtf8, std::string aKeyIdentifier, int aKeyVersion);

  // Checks, in order: the body is a JSON object whose first member is SaleToPOIRequest holding
  // MessageHeader, NexoBlob and SecurityTrailer (400 otherwise); the trailer's members, their
  // types and order, crypto version 1, this terminal's key identifier and version, a 16-byte
  // nonce and a 32-byte HMAC (401); the blob decrypts and its HMAC matches (401); the plain text
  // is a JSON object (400); its MessageHeader equals the unprotected copy (401).
  OpenedRequest Open(const std::string& aBody) const;

  // The protected answer for the plain answer envelope {"SaleToPOIResponse":{...}}.
  std::string Protect(const Json& aPlainAnswer, const AnswerFaults& aFaults = {}) const;

  const KeyMaterial& Keys() const { return fKeys; }
  const std::string& KeyIdentifier() const { return fKeyIdentifier; }
  int KeyVersion() const { return fKeyVersion; }

 private:
  KeyMaterial fKeys;
  std::string fKeyIdentifier;
  int fKeyVersion;
};

}  // namespace termsim
