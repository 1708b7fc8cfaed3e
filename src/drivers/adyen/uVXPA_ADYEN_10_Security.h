#pragma once
// The message security of the terminal protocol: keys derived from the shared passphrase, the
// device's nonce, encryption and signing of a plain request into its protected envelope, and the
// checks and decryption of a protected answer. The driver embeds one instance per device: it
// sets fKeyIdentifier, fKeyVersion and fSecret, calls DeriveKeys and GenerateNonce once, then per
// exchange fills fInputMessage, calls EncryptMessage, ComputeHmac(fHexHMACKey, fInputMessage) and
// BuildSecuredRequest, posts fJSONRequest, stores the answer in fJSONResponse and calls
// DecryptResponse. Every failed check throws tVX_Error with the message the host shows.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/uVX_HTTPClient_Defs.h"
#include "platform/Crypto.h"

class kAdyenSecurity {
 public:
  using tKey = std::array<uint8_t, 32>;
  using tBlock = std::array<uint8_t, 16>;

  kAdyenSecurity() = default;
  kAdyenSecurity(const kAdyenSecurity&) = delete;
  kAdyenSecurity& operator=(const kAdyenSecurity&) = delete;

  // Where DecryptResponse writes its "kAdyen.Decrypt" line; unassigned: no line.
  void SetOnWriteLog(vxWriteLogEvent aWriteLog) { fOnWriteLog = std::move(aWriteLog); }

  // HMAC key, cipher key and base IV from fSecret (PBKDF2-HMAC-SHA1 over the fixed salt, 4000
  // iterations, 80 bytes). Throws "Secret not set" for an empty fSecret.
  void DeriveKeys();
  // A fresh 16-byte nonce from the system's secure generator, and the request IV from it.
  void GenerateNonce();
  // fByteNonce := aNonce; fByteXORIVNonce := fByteIV XOR aNonce; the hex fields to match.
  void SetNonce(const tBlock& aNonce);
  // fBase64EncryptedMessage := AES-256-CBC of the UTF-8 bytes of fInputMessage under the cipher
  // key and the request IV, as Base64.
  void EncryptMessage();
  // fHexSignature, fByteSignature := HMAC-SHA256 under aHexKey (64 hex digits) of the UTF-8
  // bytes of aText, or of exactly aData.
  void ComputeHmac(std::u16string_view aHexKey, std::u16string_view aText);
  void ComputeHmac(std::u16string_view aHexKey, const port::Bytes& aData);
  // fJSONRequest := the protected envelope of fInputMessage: its outer member holding a copy of
  // its MessageHeader, the NexoBlob and the SecurityTrailer. Throws "Key Identifier is
  // mandatory" for an empty fKeyIdentifier.
  void BuildSecuredRequest();
  // Checks and decrypts fJSONResponse into fJSONResponseDecrypted. Answers true or throws.
  bool DecryptResponse();

  // Hex text to bytes, two digits per byte (either case); an invalid pair gives 0, an odd last
  // digit is ignored.
  static port::Bytes HexToBytes(std::u16string_view aHex);
  // Upper-case hex, two digits per byte.
  static std::u16string BytesToHex(const port::Bytes& aData);
  template <size_t N>
  static std::u16string BytesToHex(const std::array<uint8_t, N>& aData) {
    return BytesToHex(port::Bytes(aData.begin(), aData.end()));
  }
  static std::u16string BytesToBase64(const port::Bytes& aData);
  // The bytes of aText in the system's 8-bit code page, as hex.
  static std::u16string TextToHex(std::u16string_view aText);
  // a[i] XOR b[i] for every byte of a. Throws when b is shorter than a.
  static port::Bytes XorBytes(const port::Bytes& a, const port::Bytes& b);

  // Configuration, set by the driver before DeriveKeys.
  std::u16string fKeyIdentifier;
  int32_t fKeyVersion = -1;
  std::u16string fSecret;

  // Key material: fixed by DeriveKeys and GenerateNonce for the life of the device.
  std::u16string fHexCipherKey;
  tKey fByteCipher{};
  std::u16string fHexHMACKey;
  tKey fByteHMACKey{};
  std::u16string fHexIV;
  tBlock fByteIV{};
  std::u16string fHexNonce;
  tBlock fByteNonce{};
  std::u16string fHexXORIVNonce;
  tBlock fByteXORIVNonce{};

  // Working state of the exchange in progress.
  std::u16string fInputMessage;
  std::u16string fBase64EncryptedMessage;
  std::u16string fHexSignature;
  tKey fByteSignature{};
  std::u16string fJSONRequest;
  std::u16string fJSONResponse;
  std::u16string fJSONResponseDecrypted;

 private:
  vxWriteLogEvent fOnWriteLog;
};
