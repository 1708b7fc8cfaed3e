#include "SimCrypto.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <memory>
#include <stdexcept>

namespace termsim {

namespace {

constexpr char kSalt[] = "Qv7LmT2xRk9WnZp";
constexpr int kIterations = 4000;

struct CipherCtxFree {
  void operator()(EVP_CIPHER_CTX* aCtx) const { EVP_CIPHER_CTX_free(aCtx); }
};
using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree>;

// Unicode code points of the Windows-1252 bytes 0x80..0x9F; 0 where the code page keeps the
// control character of the same value.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char CodePointToCp1252(char32_t aCode) {
  if (aCode < 0x80 || (aCode >= 0xA0 && aCode <= 0xFF)) return static_cast<char>(aCode);
  for (int i = 0; i < 32; ++i) {
    if (kCp1252High[i] == aCode) return static_cast<char>(0x80 + i);
    if (kCp1252High[i] == 0 && aCode == static_cast<char32_t>(0x80 + i)) return static_cast<char>(aCode);
  }
  return '?';
}

int Base64Value(char aChar) {
  if (aChar >= 'A' && aChar <= 'Z') return aChar - 'A';
  if (aChar >= 'a' && aChar <= 'z') return aChar - 'a' + 26;
  if (aChar >= '0' && aChar <= '9') return aChar - '0' + 52;
  if (aChar == '+') return 62;
  if (aChar == '/') return 63;
  return -1;
}

}  // namespace

KeyMaterial DeriveKeyMaterial(std::string_view aPassphraseBytes) {
  uint8_t out[80];
  if (PKCS5_PBKDF2_HMAC(aPassphraseBytes.data(), static_cast<int>(aPassphraseBytes.size()),
                        reinterpret_cast<const unsigned char*>(kSalt), sizeof(kSalt) - 1, kIterations,
                        EVP_sha1(), sizeof(out), out) != 1) {
    throw std::runtime_error("key derivation failed");
  }
  KeyMaterial keys;
  std::copy(out, out + 32, keys.hmacKey.begin());
  std::copy(out + 32, out + 64, keys.cipherKey.begin());
  std::copy(out + 64, out + 80, keys.baseIv.begin());
  OPENSSL_cleanse(out, sizeof(out));
  return keys;
}

std::string Utf8ToCp1252(std::string_view aUtf8) {
  std::string out;
  size_t i = 0;
  while (i < aUtf8.size()) {
    const auto lead = static_cast<uint8_t>(aUtf8[i]);
    int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= aUtf8.size()) {
      out += '?';
      ++i;
      continue;
    }
    char32_t code = extra == 0 ? lead : (lead & (0x3F >> extra));
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<uint8_t>(aUtf8[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    out += CodePointToCp1252(code);
    i += extra + 1;
  }
  return out;
}

std::string Base64Encode(const uint8_t* aData, size_t aSize) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((aSize + 2) / 3 * 4);
  for (size_t i = 0; i < aSize; i += 3) {
    const uint32_t n = (uint32_t{aData[i]} << 16) | (i + 1 < aSize ? uint32_t{aData[i + 1]} << 8 : 0) |
                       (i + 2 < aSize ? uint32_t{aData[i + 2]} : 0);
    out += kAlphabet[(n >> 18) & 63];
    out += kAlphabet[(n >> 12) & 63];
    out += i + 1 < aSize ? kAlphabet[(n >> 6) & 63] : '=';
    out += i + 2 < aSize ? kAlphabet[n & 63] : '=';
  }
  return out;
}

bool Base64Decode(std::string_view aText, Bytes& aOut) {
  aOut.clear();
  if (aText.size() % 4 != 0) return false;
  for (size_t i = 0; i < aText.size(); i += 4) {
    const bool last = i + 4 == aText.size();
    int v[4];
    int padding = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = aText[i + k];
      if (c == '=' && last && k >= 2) {
        v[k] = 0;
        ++padding;
        continue;
      }
      if (padding > 0) return false;  // data after padding
      v[k] = Base64Value(c);
      if (v[k] < 0) return false;
    }
    const uint32_t n = (uint32_t(v[0]) << 18) | (uint32_t(v[1]) << 12) | (uint32_t(v[2]) << 6) | uint32_t(v[3]);
    aOut.push_back(static_cast<uint8_t>(n >> 16));
    if (padding < 2) aOut.push_back(static_cast<uint8_t>(n >> 8));
    if (padding < 1) aOut.push_back(static_cast<uint8_t>(n));
  }
  return true;
}

Bytes AesCbcEncrypt(const Key32& aKey, const Block16& aIv, std::string_view aPlain) {
  CipherCtx ctx(EVP_CIPHER_CTX_new());
  Bytes out(aPlain.size() + 16);
  int written = 0, tail = 0;
  if (!ctx || EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, aKey.data(), aIv.data()) != 1 ||
      EVP_EncryptUpdate(ctx.get(), out.data(), &written, reinterpret_cast<const uint8_t*>(aPlain.data()),
                        static_cast<int>(aPlain.size())) != 1 ||
      EVP_EncryptFinal_ex(ctx.get(), out.data() + written, &tail) != 1) {
    throw std::runtime_error("encryption failed");
  }
  out.resize(static_cast<size_t>(written + tail));
  return out;
}

bool AesCbcDecrypt(const Key32& aKey, const Block16& aIv, const Bytes& aCipher, std::string& aPlain) {
  aPlain.clear();
  if (aCipher.empty() || aCipher.size() % 16 != 0) return false;
  CipherCtx ctx(EVP_CIPHER_CTX_new());
  std::string out(aCipher.size() + 16, '\0');
  int written = 0, tail = 0;
  auto* dest = reinterpret_cast<uint8_t*>(out.data());
  if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, aKey.data(), aIv.data()) != 1 ||
      EVP_DecryptUpdate(ctx.get(), dest, &written, aCipher.data(), static_cast<int>(aCipher.size())) != 1 ||
      EVP_DecryptFinal_ex(ctx.get(), dest + written, &tail) != 1) {
    return false;
  }
  out.resize(static_cast<size_t>(written + tail));
  aPlain = std::move(out);
  return true;
}

Key32 HmacSha256(const Key32& aKey, std::string_view aData) {
  Key32 mac{};
  unsigned int length = 0;
  if (HMAC(EVP_sha256(), aKey.data(), static_cast<int>(aKey.size()),
           reinterpret_cast<const unsigned char*>(aData.data()), aData.size(), mac.data(), &length) == nullptr ||
      length != mac.size()) {
    throw std::runtime_error("HMAC failed");
  }
  return mac;
}

bool SameBytes(const uint8_t* aLeft, const uint8_t* aRight, size_t aSize) {
  return CRYPTO_memcmp(aLeft, aRight, aSize) == 0;
}

Bytes RandomBytes(size_t aCount) {
  Bytes out(aCount);
  if (aCount > 0 && RAND_bytes(out.data(), static_cast<int>(aCount)) != 1) {
    throw std::runtime_error("no random bytes");
  }
  return out;
}

Block16 XorBlock(const Block16& aLeft, const Block16& aRight) {
  Block16 out{};
  for (size_t i = 0; i < out.size(); ++i) out[i] = aLeft[i] ^ aRight[i];
  return out;
}

std::string ToHex(const uint8_t* aData, size_t aSize) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(aSize * 2);
  for (size_t i = 0; i < aSize; ++i) {
    out += kDigits[aData[i] >> 4];
    out += kDigits[aData[i] & 15];
  }
  return out;
}

}  // namespace termsim
