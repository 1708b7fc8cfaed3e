#include "io/uVX_VendorCrypt.h"

#include "base/uVX_Text.h"
#include "platform/CodePage.h"
#include "platform/Utf8.h"

namespace {

// Encoded binary text is ASCII; any other character makes it undecodable.
std::optional<std::string> AsciiOf(std::u16string_view aText) {
  std::string out;
  out.reserve(aText.size());
  for (char16_t c : aText) {
    if (c > 0x7F) return std::nullopt;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

bool IsHex(std::u16string_view aEncoding) { return vxtext::SameText(aEncoding, u"hex"); }
bool IsBase64(std::u16string_view aEncoding) { return vxtext::SameText(aEncoding, u"base64"); }

std::optional<port::Bytes> Decode(std::u16string_view aText, std::u16string_view aEncoding) {
  std::optional<std::string> ascii = AsciiOf(aText);
  if (!ascii) return std::nullopt;
  port::Bytes data;
  if (IsHex(aEncoding) && port::HexDecode(*ascii, data)) return data;
  if (IsBase64(aEncoding) && port::Base64Decode(*ascii, data)) return data;
  return std::nullopt;
}

std::optional<std::u16string> Encode(const port::Bytes& aData, std::u16string_view aEncoding) {
  if (IsHex(aEncoding)) return vxtext::Widen(port::HexEncode(aData));
  if (IsBase64(aEncoding)) return vxtext::Widen(port::Base64Encode(aData));
  return std::nullopt;
}

port::Bytes Utf8Bytes(std::u16string_view aText) {
  std::string utf8 = port::ToUtf8(aText);
  return port::Bytes(utf8.begin(), utf8.end());
}

}  // namespace

void kVendorCrypt::Fail(std::u16string_view aReason) {
  fLastMethodSuccess = false;
  fLastErrorText = aReason;
}

bool kVendorCrypt::CipherSupported() {
  if (!vxtext::SameText(fCryptAlgorithm, u"aes") || !vxtext::SameText(fCipherMode, u"cbc") || fKeyLength != 256 ||
      fPaddingScheme != 0) {
    Fail(u"Only AES-256-CBC with PKCS#7 padding is supported");
    return false;
  }
  if (fKey.size() != 32) {
    Fail(u"The key must be 32 bytes");
    return false;
  }
  return true;
}

bool kVendorCrypt::SetEncodedKey(std::u16string_view aKey, std::u16string_view aEncoding) {
  std::optional<port::Bytes> key = Decode(aKey, aEncoding);
  if (!key) {
    Fail(u"The key text does not decode");
    return false;
  }
  fKey = std::move(*key);
  Succeed();
  return true;
}

bool kVendorCrypt::SetEncodedIV(std::u16string_view aIV, std::u16string_view aEncoding) {
  std::optional<port::Bytes> iv = Decode(aIV, aEncoding);
  if (!iv || iv->size() != 16) {
    Fail(u"The IV must decode to 16 bytes");
    return false;
  }
  fIV = std::move(*iv);
  Succeed();
  return true;
}

std::u16string kVendorCrypt::EncryptStringENC(std::u16string_view aText) {
  if (!CipherSupported()) return std::u16string();
  std::optional<std::u16string> encoded =
      Encode(port::Aes256CbcEncrypt(fKey, fIV, Utf8Bytes(aText)), fEncodingMode);
  if (!encoded) {
    Fail(u"Unknown encoding mode");
    return std::u16string();
  }
  Succeed();
  return *encoded;
}

std::optional<port::Bytes> kVendorCrypt::DecryptBytesENC(std::u16string_view aEncoded) {
  if (!CipherSupported()) return std::nullopt;
  std::optional<port::Bytes> cipher = Decode(aEncoded, fEncodingMode);
  if (!cipher) {
    Fail(u"The encrypted text does not decode");
    return std::nullopt;
  }
  port::Bytes plain;
  if (!port::Aes256CbcDecrypt(fKey, fIV, *cipher, plain)) {
    Fail(u"Decryption failed: bad length or padding");
    return std::nullopt;
  }
  Succeed();
  return plain;
}

std::u16string kVendorCrypt::DecryptStringENC(std::u16string_view aEncoded) {
  std::optional<port::Bytes> plain = DecryptBytesENC(aEncoded);
  if (!plain) return std::u16string();
  return port::FromUtf8(std::string_view(reinterpret_cast<const char*>(plain->data()), plain->size()));
}

bool kVendorCrypt::SetMacKeyEncoded(std::u16string_view aKey, std::u16string_view aEncoding) {
  std::optional<port::Bytes> key = Decode(aKey, aEncoding);
  if (!key) {
    Fail(u"The MAC key text does not decode");
    return false;
  }
  fMacKey = std::move(*key);
  Succeed();
  return true;
}

std::u16string kVendorCrypt::MacBytesENC(const port::Bytes& aData) {
  if (!vxtext::SameText(fHashAlgorithm, u"sha256")) {
    Fail(u"Only HMAC-SHA256 is supported");
    return std::u16string();
  }
  std::optional<std::u16string> encoded = Encode(port::HmacSha256(fMacKey, aData), fEncodingMode);
  if (!encoded) {
    Fail(u"Unknown encoding mode");
    return std::u16string();
  }
  Succeed();
  return *encoded;
}

std::u16string kVendorCrypt::MacStringENC(std::u16string_view aText) { return MacBytesENC(Utf8Bytes(aText)); }

std::u16string kVendorCrypt::Pbkdf2(std::u16string_view aPassword, std::u16string_view aCharset,
                                    std::u16string_view aHashAlgorithm, std::u16string_view aSalt,
                                    int32_t aIterations, int32_t aOutputBits, std::u16string_view aEncoding) {
  if (!vxtext::SameText(aHashAlgorithm, u"sha1")) {
    Fail(u"Only PBKDF2 with HMAC-SHA1 is supported");
    return std::u16string();
  }
  if (aIterations < 1 || aOutputBits < 8 || aOutputBits % 8 != 0) {
    Fail(u"Invalid PBKDF2 parameters");
    return std::u16string();
  }
  port::Bytes password;
  if (vxtext::SameText(aCharset, u"ansi")) {
    std::string bytes = port::EncodeCodePage(aPassword, port::AnsiCodePage());
    password.assign(bytes.begin(), bytes.end());
  } else if (vxtext::SameText(aCharset, u"utf-8")) {
    password = Utf8Bytes(aPassword);
  } else {
    Fail(u"Unknown charset");
    return std::u16string();
  }
  std::optional<port::Bytes> salt = Decode(aSalt, aEncoding);
  if (!salt) {
    Fail(u"The salt text does not decode");
    return std::u16string();
  }
  std::optional<std::u16string> encoded =
      Encode(port::Pbkdf2HmacSha1(password, *salt, static_cast<uint32_t>(aIterations),
                                  static_cast<size_t>(aOutputBits / 8)),
             aEncoding);
  if (!encoded) {
    Fail(u"Unknown encoding");
    return std::u16string();
  }
  Succeed();
  return *encoded;
}
