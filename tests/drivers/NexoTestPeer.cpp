#include "NexoTestPeer.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace vxtest {

namespace {

using Json = nlohmann::ordered_json;

port::Bytes BytesOf(const std::string& s) { return port::Bytes(s.begin(), s.end()); }

void Require(bool aCondition, const std::string& aWhat) {
  if (!aCondition) throw std::runtime_error(aWhat);
}

port::Bytes Xor(const port::Bytes& a, const port::Bytes& b) {
  Require(a.size() == b.size(), "nonce length");
  port::Bytes out(a.size());
  for (size_t i = 0; i < a.size(); ++i) out[i] = static_cast<uint8_t>(a[i] ^ b[i]);
  return out;
}

}  // namespace

NexoPeer::NexoPeer(const std::string& aSecret, const std::string& aKeyIdentifier, int aKeyVersion)
    : fKeyIdentifier(aKeyIdentifier), fKeyVersion(aKeyVersion) {
  port::Bytes derived = port::Pbkdf2HmacSha1(BytesOf(aSecret), BytesOf("Qv7LmT2xRk9WnZp"), 4000, 80);
  hmacKey.assign(derived.begin(), derived.begin() + 32);
  cipherKey.assign(derived.begin() + 32, derived.begin() + 64);
  baseIV.assign(derived.begin() + 64, derived.end());
}

std::string NexoPeer::OpenRequest(const std::string& aProtected, port::Bytes* aNonce) const {
  Json root = Json::parse(aProtected);
  Require(root.is_object() && root.size() == 1 && root.contains("SaleToPOIRequest"), "outer member");
  const Json& request = root["SaleToPOIRequest"];
  Require(request.is_object() && request.size() == 3, "three members");
  auto it = request.begin();
  Require(it.key() == "MessageHeader" && (++it).key() == "NexoBlob" && (++it).key() == "SecurityTrailer", "member order");
  const Json& trailer = request["SecurityTrailer"];
  std::string order;
  for (auto m = trailer.begin(); m != trailer.end(); ++m) order += m.key() + ",";
  Require(order == "KeyVersion,KeyIdentifier,Hmac,Nonce,AdyenCryptoVersion,", "trailer order " + order);
  Require(trailer["KeyVersion"].is_number_integer() && trailer["AdyenCryptoVersion"].is_number_integer(),
          "numbers as numbers");
  Require(trailer["KeyVersion"].get<int>() == fKeyVersion, "key version");
  Require(trailer["AdyenCryptoVersion"].get<int>() == 1, "crypto version");
  Require(trailer["KeyIdentifier"].get<std::string>() == fKeyIdentifier, "key identifier");
  port::Bytes nonce, hmac, cipher, plain;
  Require(port::Base64Decode(trailer["Nonce"].get<std::string>(), nonce) && nonce.size() == 16, "nonce");
  Require(port::Base64Decode(trailer["Hmac"].get<std::string>(), hmac) && hmac.size() == 32, "hmac");
  Require(port::Base64Decode(request["NexoBlob"].get<std::string>(), cipher), "blob base64");
  Require(port::Aes256CbcDecrypt(cipherKey, Xor(baseIV, nonce), cipher, plain), "blob decrypts");
  Require(port::ConstantTimeEqual(port::HmacSha256(hmacKey, plain), hmac), "hmac matches");
  std::string text(plain.begin(), plain.end());
  Json inner = Json::parse(text);
  Require(inner["SaleToPOIRequest"]["MessageHeader"] == request["MessageHeader"], "header copy");
  Require(inner.dump() == text, "compact text");
  if (aNonce != nullptr) *aNonce = nonce;
  return text;
}

std::string NexoPeer::ProtectAnswer(const std::string& aPlain, const port::Bytes& aNonce,
                                    const NexoAnswerOptions& aOptions) const {
  port::Bytes cipher = port::Aes256CbcEncrypt(cipherKey, Xor(baseIV, aNonce), BytesOf(aPlain));
  if (aOptions.tamperBlob) cipher[cipher.size() / 2] ^= 0x01;
  port::Bytes hmac = port::HmacSha256(hmacKey, BytesOf(aOptions.wrongHmac ? aPlain + " " : aPlain));
  Json plain = Json::parse(aPlain, nullptr, false);
  Json answer = Json::object();
  if (plain.is_object() && plain.contains("SaleToPOIResponse") && plain["SaleToPOIResponse"].contains("MessageHeader"))
    answer["MessageHeader"] = plain["SaleToPOIResponse"]["MessageHeader"];
  answer["NexoBlob"] = port::Base64Encode(cipher);
  if (!aOptions.dropTrailer) {
    Json trailer = Json::object();
    trailer["AdyenCryptoVersion"] = aOptions.cryptoVersion;
    trailer["KeyVersion"] = aOptions.keyVersion < 0 ? fKeyVersion : aOptions.keyVersion;
    trailer["KeyIdentifier"] = aOptions.keyIdentifier.empty() ? fKeyIdentifier : aOptions.keyIdentifier;
    trailer["Hmac"] = port::Base64Encode(hmac);
    trailer["Nonce"] = port::Base64Encode(aNonce);
    answer["SecurityTrailer"] = trailer;
  }
  Json root = Json::object();
  root["SaleToPOIResponse"] = answer;
  return root.dump();
}

}  // namespace vxtest
