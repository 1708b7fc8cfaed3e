#include "MessageSecurity.h"

#include "SimText.h"

namespace termsim {

namespace {

OpenedRequest Refuse(OpenedRequest aResult, int aStatus, std::string aError) {
  aResult.httpStatus = aStatus;
  aResult.error = std::move(aError);
  return aResult;
}

// The trailer's members in the order a request must carry them, with their types.
std::string CheckTrailerShape(const Json& aTrailer) {
  static const char* const kOrder[] = {"KeyVersion", "KeyIdentifier", "Hmac", "Nonce", "AdyenCryptoVersion"};
  size_t index = 0;
  for (const auto& [name, value] : aTrailer.items()) {
    if (index >= 5 || name != kOrder[index]) {
      bool known = false;
      for (const char* expected : kOrder) known = known || name == expected;
      if (!known) return "SecurityTrailer has an unexpected member '" + name + "'";
      return "SecurityTrailer members must be in the order KeyVersion, KeyIdentifier, Hmac, Nonce, AdyenCryptoVersion";
    }
    ++index;
  }
  if (index < 5) return std::string("SecurityTrailer lacks '") + kOrder[index] + "'";
  if (!aTrailer["KeyVersion"].is_number_integer()) return "SecurityTrailer.KeyVersion must be an integer number";
  if (!aTrailer["AdyenCryptoVersion"].is_number_integer()) {
    return "SecurityTrailer.AdyenCryptoVersion must be an integer number";
  }
  for (const char* name : {"KeyIdentifier", "Hmac", "Nonce"}) {
    if (!aTrailer[name].is_string()) return std::string("SecurityTrailer.") + name + " must be a string";
  }
  return {};
}

}  // namespace

MessageSecurity::MessageSecurity(const std::string& aPassphraseUtf8, std::string aKeyIdentifier, int aKeyVersion)
    : fKeys(DeriveKeyMaterial(Utf8ToCp1252(aPassphraseUtf8))),
      fKeyIdentifier(std::move(aKeyIdentifier)),
      fKeyVersion(aKeyVersion) {}

OpenedRequest MessageSecurity::Open(const std::string& aBody) const {
  OpenedRequest result;
  if (!JsonNestingWithin(aBody, kMaxJsonDepth)) return Refuse(std::move(result), 400, "Request body nests too deep");
  result.envelope = Json::parse(aBody, nullptr, false);
  if (result.envelope.is_discarded()) {
    result.envelope = nullptr;
    return Refuse(std::move(result), 400, "Request body is not valid JSON");
  }
  if (!result.envelope.is_object() || result.envelope.empty() || result.envelope.begin().key() != "SaleToPOIRequest" ||
      result.envelope.size() != 1) {
    return Refuse(std::move(result), 400, "Request body must be an object with the single member SaleToPOIRequest");
  }
  const Json& outer = result.envelope["SaleToPOIRequest"];
  if (!outer.is_object()) return Refuse(std::move(result), 400, "SaleToPOIRequest must be an object");
  if (!outer.contains("SecurityTrailer")) return Refuse(std::move(result), 401, "SecurityTrailer missing");
  if (!outer.contains("MessageHeader") || !outer["MessageHeader"].is_object()) {
    return Refuse(std::move(result), 400, "MessageHeader missing");
  }
  if (!outer.contains("NexoBlob") || !outer["NexoBlob"].is_string()) {
    return Refuse(std::move(result), 401, "NexoBlob missing");
  }
  {
    size_t index = 0;
    static const char* const kOrder[] = {"MessageHeader", "NexoBlob", "SecurityTrailer"};
    for (const auto& [name, value] : outer.items()) {
      if (index >= 3 || name != kOrder[index]) {
        return Refuse(std::move(result), 400,
                      "SaleToPOIRequest must hold exactly MessageHeader, NexoBlob and SecurityTrailer in this order");
      }
      ++index;
    }
  }
  const Json& trailer = outer["SecurityTrailer"];
  if (!trailer.is_object()) return Refuse(std::move(result), 401, "SecurityTrailer must be an object");
  if (std::string shape = CheckTrailerShape(trailer); !shape.empty()) {
    return Refuse(std::move(result), 401, std::move(shape));
  }
  const int64_t cryptoVersion = trailer["AdyenCryptoVersion"].get<int64_t>();
  if (cryptoVersion != 1) {
    return Refuse(std::move(result), 401, "Unsupported AdyenCryptoVersion " + std::to_string(cryptoVersion));
  }
  const std::string keyIdentifier = trailer["KeyIdentifier"].get<std::string>();
  if (keyIdentifier != fKeyIdentifier) {
    return Refuse(std::move(result), 401, "Unknown KeyIdentifier '" + keyIdentifier + "'");
  }
  const int64_t keyVersion = trailer["KeyVersion"].get<int64_t>();
  if (keyVersion != fKeyVersion) {
    return Refuse(std::move(result), 401,
                  "Unknown KeyVersion " + std::to_string(keyVersion) + " for KeyIdentifier '" + keyIdentifier + "'");
  }
  Bytes nonce, hmac, cipher;
  if (!Base64Decode(trailer["Nonce"].get<std::string>(), nonce) || nonce.size() != 16) {
    return Refuse(std::move(result), 401, "Nonce must be Base64 of 16 bytes");
  }
  if (!Base64Decode(trailer["Hmac"].get<std::string>(), hmac) || hmac.size() != 32) {
    return Refuse(std::move(result), 401, "Hmac must be Base64 of 32 bytes");
  }
  if (!Base64Decode(outer["NexoBlob"].get<std::string>(), cipher)) {
    return Refuse(std::move(result), 401, "NexoBlob is not Base64");
  }
  Block16 nonceBlock{};
  std::copy(nonce.begin(), nonce.end(), nonceBlock.begin());
  std::string plainText;
  if (!AesCbcDecrypt(fKeys.cipherKey, XorBlock(fKeys.baseIv, nonceBlock), cipher, plainText)) {
    return Refuse(std::move(result), 401, "NexoBlob cannot be decrypted with this key");
  }
  const Key32 expected = HmacSha256(fKeys.hmacKey, plainText);
  if (!SameBytes(expected.data(), hmac.data(), expected.size())) {
    return Refuse(std::move(result), 401, "Hmac does not match the message");
  }
  result.plainText = std::move(plainText);
  if (!JsonNestingWithin(result.plainText, kMaxJsonDepth)) {
    return Refuse(std::move(result), 400, "Protected message nests too deep");
  }
  result.plain = Json::parse(result.plainText, nullptr, false);
  if (result.plain.is_discarded() || !result.plain.is_object()) {
    result.plain = nullptr;
    return Refuse(std::move(result), 400, "Protected message is not a JSON object (or not valid UTF-8)");
  }
  const Json* innerHeader = nullptr;
  if (result.plain.contains("SaleToPOIRequest") && result.plain["SaleToPOIRequest"].is_object() &&
      result.plain["SaleToPOIRequest"].contains("MessageHeader")) {
    innerHeader = &result.plain["SaleToPOIRequest"]["MessageHeader"];
  }
  if (innerHeader == nullptr) {
    return Refuse(std::move(result), 400, "Protected message has no SaleToPOIRequest.MessageHeader");
  }
  // Member for member, order included.
  if (innerHeader->dump() != outer["MessageHeader"].dump()) {
    return Refuse(std::move(result), 401, "MessageHeader differs from the protected message's header");
  }
  return result;
}

std::string MessageSecurity::Protect(const Json& aPlainAnswer, const AnswerFaults& aFaults) const {
  const std::string plainText = aPlainAnswer.dump();
  const Bytes nonce = RandomBytes(16);
  Block16 nonceBlock{};
  std::copy(nonce.begin(), nonce.end(), nonceBlock.begin());
  Bytes cipher = AesCbcEncrypt(fKeys.cipherKey, XorBlock(fKeys.baseIv, nonceBlock), plainText);
  Key32 hmac = HmacSha256(fKeys.hmacKey, plainText);
  if (aFaults.tamperBlob && cipher.size() > 5) cipher[5] ^= 0x01;  // garbles block 0, flips a bit of block 1
  if (aFaults.wrongHmac) hmac[0] ^= 0x80;
  const Bytes sentNonce = aFaults.nonceBytes == 16 ? nonce : RandomBytes(static_cast<size_t>(aFaults.nonceBytes));

  Json body = Json::object();
  const Json& plainBody = aPlainAnswer.begin().value();
  if (plainBody.contains("MessageHeader")) body["MessageHeader"] = plainBody["MessageHeader"];
  body["NexoBlob"] = Base64Encode(cipher);
  if (!aFaults.omitTrailer) {
    body["SecurityTrailer"] = {
        {"AdyenCryptoVersion", aFaults.cryptoVersion},
        {"Hmac", Base64Encode(hmac.data(), hmac.size())},
        {"KeyIdentifier", fKeyIdentifier},
        {"KeyVersion", aFaults.keyVersion ? *aFaults.keyVersion : fKeyVersion},
        {"Nonce", Base64Encode(sentNonce)},
    };
  }
  Json envelope = Json::object();
  envelope[aPlainAnswer.begin().key()] = std::move(body);
  return envelope.dump();
}

}  // namespace termsim
