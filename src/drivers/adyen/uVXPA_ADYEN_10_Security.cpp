#include "drivers/adyen/uVXPA_ADYEN_10_Security.h"

#include <nlohmann/json.hpp>

#include "base/uVX_Text.h"
#include "io/uVX_VendorCrypt.h"
#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/Utf8.h"

namespace {

using tJson = nlohmann::ordered_json;

// The salt shared with the terminal for the key derivation, its iteration count and output size.
constexpr char16_t kSalt[] = u"Qv7LmT2xRk9WnZp";
constexpr int32_t kIterations = 4000;
constexpr int32_t kDerivedBits = 640;

// The one cipher setting of requests and answers: AES-256-CBC, PKCS#7, Base64 ciphertext.
void ApplyCipherSettings(kVendorCrypt& aCrypt, std::u16string_view aHexKey, std::u16string_view aHexIV) {
  aCrypt.PutCryptAlgorithm(u"aes");
  aCrypt.PutCipherMode(u"cbc");
  aCrypt.PutKeyLength(256);
  aCrypt.PutPaddingScheme(0);
  aCrypt.PutEncodingMode(u"base64");
  if (!aCrypt.SetEncodedKey(aHexKey, u"hex") || !aCrypt.SetEncodedIV(aHexIV, u"hex")) {
    throw tVX_Error(u"Invalid encryption key or IV");
  }
}

template <size_t N>
std::array<uint8_t, N> ToArray(const port::Bytes& aData) {
  std::array<uint8_t, N> out{};
  for (size_t i = 0; i < N && i < aData.size(); ++i) out[i] = aData[i];
  return out;
}

template <size_t N>
port::Bytes ToBytes(const std::array<uint8_t, N>& aData) {
  return port::Bytes(aData.begin(), aData.end());
}

// Parses a message that must be a JSON object with at least one member.
tJson ParseObject(std::u16string_view aText, std::u16string_view aFailure) {
  tJson root = tJson::parse(port::ToUtf8(aText), nullptr, false);
  if (root.is_discarded() || !root.is_object() || root.empty()) throw tVX_Error(std::u16string(aFailure));
  return root;
}

[[noreturn]] void NotFound(std::u16string_view aName) {
  throw tVX_Error(vxtext::FormatS(u"Value '%s' not found", aName));
}

// The member aName of aObject, which must exist and satisfy aIsRightKind.
template <typename tCheck>
const tJson& Required(const tJson& aObject, const char* aName, tCheck aIsRightKind) {
  if (!aObject.is_object()) NotFound(vxtext::Widen(aName));
  auto it = aObject.find(aName);
  if (it == aObject.end() || !aIsRightKind(*it)) NotFound(vxtext::Widen(aName));
  return *it;
}

bool IsString(const tJson& aValue) { return aValue.is_string(); }
bool IsObject(const tJson& aValue) { return aValue.is_object(); }
bool IsInteger(const tJson& aValue) { return aValue.is_number_integer(); }

bool EqualsInteger(const tJson& aValue, int64_t aExpected) {
  if (aValue.is_number_unsigned()) return aExpected >= 0 && aValue.get<uint64_t>() == static_cast<uint64_t>(aExpected);
  return aValue.get<int64_t>() == aExpected;
}

// The Base64 member aName decoded; refused clearly when it is not Base64.
port::Bytes DecodeBase64Member(const tJson& aValue, std::u16string_view aName) {
  port::Bytes data;
  if (!port::Base64Decode(aValue.get<std::string>(), data)) {
    throw tVX_Error(vxtext::FormatS(u"Value '%s' is not valid Base64", aName));
  }
  return data;
}

}  // namespace

void kAdyenSecurity::DeriveKeys() {
  if (fSecret.empty()) throw tVX_Error(u"Secret not set");
  kVendorCrypt crypt;
  std::u16string derived =
      crypt.Pbkdf2(fSecret, u"ansi", u"sha1", TextToHex(kSalt), kIterations, kDerivedBits, u"hex");
  if (!crypt.LastMethodSuccess() || derived.size() != 160) throw tVX_Error(u"Key derivation failed");
  fHexHMACKey = derived.substr(0, 64);
  fHexCipherKey = derived.substr(64, 64);
  fHexIV = derived.substr(128, 32);
  fByteCipher = ToArray<32>(HexToBytes(fHexCipherKey));
  fByteHMACKey = ToArray<32>(HexToBytes(fHexHMACKey));
  fByteIV = ToArray<16>(HexToBytes(fHexIV));
}

void kAdyenSecurity::GenerateNonce() { SetNonce(ToArray<16>(port::RandomBytes(16))); }

void kAdyenSecurity::SetNonce(const tBlock& aNonce) {
  fByteNonce = aNonce;
  fHexNonce = BytesToHex(fByteNonce);
  fByteXORIVNonce = ToArray<16>(XorBytes(ToBytes(fByteIV), ToBytes(fByteNonce)));
  fHexXORIVNonce = BytesToHex(fByteXORIVNonce);
}

void kAdyenSecurity::EncryptMessage() {
  kVendorCrypt crypt;
  ApplyCipherSettings(crypt, fHexCipherKey, fHexXORIVNonce);
  fBase64EncryptedMessage = crypt.EncryptStringENC(fInputMessage);
  if (!crypt.LastMethodSuccess()) throw tVX_Error(u"Encryption failed");
}

void kAdyenSecurity::ComputeHmac(std::u16string_view aHexKey, std::u16string_view aText) {
  std::string utf8 = port::ToUtf8(aText);
  ComputeHmac(aHexKey, port::Bytes(utf8.begin(), utf8.end()));
}

void kAdyenSecurity::ComputeHmac(std::u16string_view aHexKey, const port::Bytes& aData) {
  kVendorCrypt crypt;
  crypt.PutHashAlgorithm(u"sha256");
  crypt.PutEncodingMode(u"hex");
  if (!crypt.SetMacKeyEncoded(aHexKey, u"hex")) throw tVX_Error(u"Invalid HMAC key");
  fHexSignature = crypt.MacBytesENC(aData);
  if (!crypt.LastMethodSuccess()) throw tVX_Error(u"HMAC computation failed");
  fByteSignature = ToArray<32>(HexToBytes(fHexSignature));
}

void kAdyenSecurity::BuildSecuredRequest() {
  if (fKeyIdentifier.empty()) throw tVX_Error(u"Key Identifier is mandatory");
  const tJson plain = ParseObject(fInputMessage, u"Request is not a JSON object");
  const std::string outerName = plain.begin().key();
  const tJson& header = Required(plain.begin().value(), "MessageHeader", IsObject);

  tJson trailer = tJson::object();
  trailer["KeyVersion"] = fKeyVersion;
  trailer["KeyIdentifier"] = port::ToUtf8(fKeyIdentifier);
  trailer["Hmac"] = port::ToUtf8(BytesToBase64(ToBytes(fByteSignature)));
  trailer["Nonce"] = port::ToUtf8(BytesToBase64(ToBytes(fByteNonce)));
  trailer["AdyenCryptoVersion"] = 1;

  tJson body = tJson::object();
  body["MessageHeader"] = header;
  body["NexoBlob"] = port::ToUtf8(fBase64EncryptedMessage);
  body["SecurityTrailer"] = std::move(trailer);

  tJson envelope = tJson::object();
  envelope[outerName] = std::move(body);
  fJSONRequest = port::FromUtf8(envelope.dump());
}

bool kAdyenSecurity::DecryptResponse() {
  fJSONResponseDecrypted.clear();
  const tJson answer = ParseObject(fJSONResponse, u"Response is not a JSON object");
  const tJson& message = answer.begin().value();

  const tJson& trailer = Required(message, "SecurityTrailer", IsObject);
  const tJson& blob = Required(message, "NexoBlob", IsString);
  const tJson& cryptoVersion = Required(trailer, "AdyenCryptoVersion", IsInteger);
  const tJson& keyVersion = Required(trailer, "KeyVersion", IsInteger);
  Required(trailer, "KeyIdentifier", IsString);  // must be present; any key name is accepted
  const tJson& hmac = Required(trailer, "Hmac", IsString);
  const tJson& nonce = Required(trailer, "Nonce", IsString);

  if (!EqualsInteger(cryptoVersion, 1)) throw tVX_Error(u"AdyenCryptoVersion has to be 1");
  if (!EqualsInteger(keyVersion, fKeyVersion)) {
    throw tVX_Error(u"Key Version " + vxtext::Widen(keyVersion.dump()) + u" different from setup");
  }

  // The fields are checked before they are used: the IV is built from exactly 16 nonce bytes.
  const port::Bytes expectedHmac = DecodeBase64Member(hmac, u"Hmac");
  const port::Bytes answerNonce = DecodeBase64Member(nonce, u"Nonce");
  if (answerNonce.size() != 16) throw tVX_Error(u"Nonce has to be 16 bytes");
  DecodeBase64Member(blob, u"NexoBlob");

  kVendorCrypt crypt;
  ApplyCipherSettings(crypt, fHexCipherKey, BytesToHex(XorBytes(ToBytes(fByteIV), answerNonce)));
  const std::u16string blobText = port::FromUtf8(blob.get<std::string>());
  // A blob that does not decrypt (bad padding) leaves the plain text empty; the HMAC check
  // below then refuses it.
  const port::Bytes plain = crypt.DecryptBytesENC(blobText).value_or(port::Bytes());
  fJSONResponseDecrypted = port::FromUtf8(std::string_view(reinterpret_cast<const char*>(plain.data()), plain.size()));

  if (fOnWriteLog) fOnWriteLog(tVX_MessageType::let_info, u"kAdyen.Decrypt", fJSONResponseDecrypted);

  // Signed are exactly the decrypted bytes, whatever their text reads as.
  ComputeHmac(fHexHMACKey, plain);
  if (!port::ConstantTimeEqual(ToBytes(fByteSignature), expectedHmac)) {
    throw tVX_Error(u"HMAC is different from what expected");
  }
  return true;
}

port::Bytes kAdyenSecurity::HexToBytes(std::u16string_view aHex) {
  auto digit = [](char16_t c) -> int {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
  };
  port::Bytes out;
  out.reserve(aHex.size() / 2);
  for (size_t i = 0; i + 1 < aHex.size(); i += 2) {
    int high = digit(aHex[i]);
    int low = digit(aHex[i + 1]);
    out.push_back(high < 0 || low < 0 ? 0 : static_cast<uint8_t>(high * 16 + low));
  }
  return out;
}

std::u16string kAdyenSecurity::BytesToHex(const port::Bytes& aData) { return vxtext::Widen(port::HexEncode(aData)); }

std::u16string kAdyenSecurity::BytesToBase64(const port::Bytes& aData) {
  return vxtext::Widen(port::Base64Encode(aData));
}

std::u16string kAdyenSecurity::TextToHex(std::u16string_view aText) {
  std::string bytes = port::EncodeCodePage(aText, port::AnsiCodePage());
  return BytesToHex(port::Bytes(bytes.begin(), bytes.end()));
}

port::Bytes kAdyenSecurity::XorBytes(const port::Bytes& a, const port::Bytes& b) {
  if (b.size() < a.size()) throw tVX_Error(u"XorBytes: second array shorter than the first");
  port::Bytes out(a.size());
  for (size_t i = 0; i < a.size(); ++i) out[i] = static_cast<uint8_t>(a[i] ^ b[i]);
  return out;
}
