#pragma once
// The cryptography object of the vendor layer, over the crypto port. One object serves one
// operation: the caller sets the cipher, MAC or derivation settings, hands over key and IV as
// encoded text, and asks for one result. Text is turned into bytes as UTF-8 (messages) or in the
// charset named by the call (the PBKDF2 password). A failed call answers empty text and leaves
// LastMethodSuccess() false with the reason in LastErrorText(); nothing here throws for bad input.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Crypto.h"

class kVendorCrypt {
 public:
  kVendorCrypt() = default;
  kVendorCrypt(const kVendorCrypt&) = delete;
  kVendorCrypt& operator=(const kVendorCrypt&) = delete;

  // Cipher settings. Supported: "aes", "cbc", 256, padding 0 (PKCS#7).
  void PutCryptAlgorithm(std::u16string_view aAlgorithm) { fCryptAlgorithm = aAlgorithm; }
  void PutCipherMode(std::u16string_view aMode) { fCipherMode = aMode; }
  void PutKeyLength(int32_t aBits) { fKeyLength = aBits; }
  void PutPaddingScheme(int32_t aScheme) { fPaddingScheme = aScheme; }
  // How binary results are written and binary inputs read: "base64" or "hex" (any case).
  void PutEncodingMode(std::u16string_view aEncoding) { fEncodingMode = aEncoding; }
  // Key and IV given as text in aEncoding ("hex" or "base64"). False when the text does not decode.
  bool SetEncodedKey(std::u16string_view aKey, std::u16string_view aEncoding);
  bool SetEncodedIV(std::u16string_view aIV, std::u16string_view aEncoding);

  // The UTF-8 bytes of aText encrypted, written in the encoding mode.
  std::u16string EncryptStringENC(std::u16string_view aText);
  // aEncoded (in the encoding mode) decrypted and read as UTF-8.
  std::u16string DecryptStringENC(std::u16string_view aEncoded);
  // The same as bytes, for callers that must see exactly what was decrypted. Nothing on failure
  // (undecodable text, bad length or padding, unsupported settings).
  std::optional<port::Bytes> DecryptBytesENC(std::u16string_view aEncoded);

  // MAC settings. Supported: "sha256" (HMAC-SHA256).
  void PutHashAlgorithm(std::u16string_view aAlgorithm) { fHashAlgorithm = aAlgorithm; }
  bool SetMacKeyEncoded(std::u16string_view aKey, std::u16string_view aEncoding);
  // HMAC of the UTF-8 bytes of aText (or of aData), written in the encoding mode.
  std::u16string MacStringENC(std::u16string_view aText);
  std::u16string MacBytesENC(const port::Bytes& aData);

  // PBKDF2: aPassword turned into bytes in aCharset ("ansi": the system's 8-bit code page;
  // "utf-8"), the salt given as text in aEncoding, aOutputBits / 8 bytes derived with HMAC over
  // aHashAlgorithm ("sha1") and written in aEncoding.
  std::u16string Pbkdf2(std::u16string_view aPassword, std::u16string_view aCharset,
                        std::u16string_view aHashAlgorithm, std::u16string_view aSalt, int32_t aIterations,
                        int32_t aOutputBits, std::u16string_view aEncoding);

  bool LastMethodSuccess() const { return fLastMethodSuccess; }
  const std::u16string& LastErrorText() const { return fLastErrorText; }

 private:
  bool CipherSupported();
  void Fail(std::u16string_view aReason);
  void Succeed() { fLastMethodSuccess = true; fLastErrorText.clear(); }

  std::u16string fCryptAlgorithm = u"aes";
  std::u16string fCipherMode = u"cbc";
  int32_t fKeyLength = 256;
  int32_t fPaddingScheme = 0;
  std::u16string fEncodingMode = u"base64";
  std::u16string fHashAlgorithm = u"sha256";
  port::Bytes fKey;
  port::Bytes fIV = port::Bytes(16, 0);
  port::Bytes fMacKey;
  bool fLastMethodSuccess = true;
  std::u16string fLastErrorText;
};
