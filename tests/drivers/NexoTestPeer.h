#pragma once
// The terminal's side of the message security, written for the tests from the primitives alone
// (it shares no code with the driver's security unit): it opens and checks a protected request
// and protects an answer, optionally spoiled in one of the ways a check must catch.
#include <cstdint>
#include <string>

#include "platform/Crypto.h"

namespace vxtest {

struct NexoAnswerOptions {
  int cryptoVersion = 1;
  int keyVersion = -1;          // -1: the peer's own
  std::string keyIdentifier;    // empty: the peer's own
  bool tamperBlob = false;      // flip a bit of the ciphertext
  bool wrongHmac = false;       // sign other text
  bool dropTrailer = false;     // no SecurityTrailer at all
};

class NexoPeer {
 public:
  // aSecret is taken byte for byte (tests use ASCII secrets).
  NexoPeer(const std::string& aSecret, const std::string& aKeyIdentifier, int aKeyVersion);

  // Checks a protected request (trailer members in order and of the right types, key identifier
  // and version, HMAC of the decrypted text, header copy) and answers its plain text. Throws
  // std::runtime_error naming the first check that failed. aNonce receives the request's nonce.
  std::string OpenRequest(const std::string& aProtected, port::Bytes* aNonce = nullptr) const;

  // The protected form of a plain answer under aNonce (16 bytes).
  std::string ProtectAnswer(const std::string& aPlain, const port::Bytes& aNonce,
                            const NexoAnswerOptions& aOptions = {}) const;

  port::Bytes hmacKey, cipherKey, baseIV;

 private:
  std::string fKeyIdentifier;
  int fKeyVersion;
};

}  // namespace vxtest
