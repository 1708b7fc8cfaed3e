// The crypto port over OpenSSL 3.
#include "platform/Crypto.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <climits>
#include <memory>

#include "platform/CryptoBackend.h"
#include "platform/Error.h"

namespace port {

namespace {

struct CipherContextFree {
  void operator()(EVP_CIPHER_CTX* aContext) const { EVP_CIPHER_CTX_free(aContext); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;

// OpenSSL takes int lengths; the module's messages are far below that.
int IntLength(size_t aLength) {
  if (aLength > static_cast<size_t>(INT_MAX)) throw tVX_Error(u"Crypto input too large");
  return static_cast<int>(aLength);
}

// A valid pointer even for an empty buffer: some OpenSSL entry points reject NULL.
const unsigned char* DataOf(const Bytes& aData) {
  static const unsigned char kNothing = 0;
  return aData.empty() ? &kNothing : aData.data();
}

void CheckKeyAndIV(const Bytes& aKey, const Bytes& aIV) {
  if (aKey.size() != 32) throw tVX_Error(u"AES-256 key must be 32 bytes");
  if (aIV.size() != 16) throw tVX_Error(u"AES IV must be 16 bytes");
}

}  // namespace

Bytes Pbkdf2HmacSha1(const Bytes& aPassword, const Bytes& aSalt, uint32_t aIterations, size_t aLength) {
  if (aIterations == 0) throw tVX_Error(u"PBKDF2 needs at least one iteration");
  Bytes out(aLength);
  if (aLength == 0) return out;
  if (PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(DataOf(aPassword)), IntLength(aPassword.size()),
                        DataOf(aSalt), IntLength(aSalt.size()), static_cast<int>(aIterations), EVP_sha1(),
                        IntLength(aLength), out.data()) != 1) {
    throw tVX_Error(u"PBKDF2 failed");
  }
  return out;
}

Bytes Aes256CbcEncrypt(const Bytes& aKey, const Bytes& aIV, const Bytes& aPlain) {
  CheckKeyAndIV(aKey, aIV);
  CipherContext context(EVP_CIPHER_CTX_new());
  Bytes out(aPlain.size() + 16);
  int written = 0;
  int last = 0;
  if (!context || EVP_EncryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, aKey.data(), aIV.data()) != 1 ||
      EVP_EncryptUpdate(context.get(), out.data(), &written, DataOf(aPlain), IntLength(aPlain.size())) != 1 ||
      EVP_EncryptFinal_ex(context.get(), out.data() + written, &last) != 1) {
    throw tVX_Error(u"AES encryption failed");
  }
  out.resize(static_cast<size_t>(written + last));
  return out;
}

bool Aes256CbcDecrypt(const Bytes& aKey, const Bytes& aIV, const Bytes& aCipher, Bytes& aPlain) {
  CheckKeyAndIV(aKey, aIV);
  aPlain.clear();
  if (aCipher.empty() || aCipher.size() % 16 != 0) return false;
  CipherContext context(EVP_CIPHER_CTX_new());
  if (!context) throw tVX_Error(u"AES decryption failed");
  Bytes out(aCipher.size() + 16);
  int written = 0;
  int last = 0;
  if (EVP_DecryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, aKey.data(), aIV.data()) != 1 ||
      EVP_DecryptUpdate(context.get(), out.data(), &written, aCipher.data(), IntLength(aCipher.size())) != 1 ||
      EVP_DecryptFinal_ex(context.get(), out.data() + written, &last) != 1) {
    return false;
  }
  out.resize(static_cast<size_t>(written + last));
  aPlain = std::move(out);
  return true;
}

Bytes HmacSha256(const Bytes& aKey, const Bytes& aData) {
  Bytes out(EVP_MAX_MD_SIZE);
  unsigned int length = 0;
  if (HMAC(EVP_sha256(), DataOf(aKey), IntLength(aKey.size()), DataOf(aData), aData.size(), out.data(), &length) ==
      nullptr) {
    throw tVX_Error(u"HMAC-SHA256 failed");
  }
  out.resize(length);
  return out;
}

Bytes RandomBytes(size_t aCount) {
  Bytes out(aCount);
  if (aCount > 0 && RAND_bytes(out.data(), IntLength(aCount)) != 1) {
    throw tVX_Error(u"Secure random generator failed");
  }
  return out;
}

std::string Base64Encode(const Bytes& aData) {
  std::string text(4 * ((aData.size() + 2) / 3) + 1, '\0');
  int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), DataOf(aData), IntLength(aData.size()));
  text.resize(static_cast<size_t>(length));
  return text;
}

namespace detail {

Bytes Base64DecodeWellFormed(std::string_view aText) {
  Bytes out(aText.size() / 4 * 3 + 3);
  int length = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(aText.data()),
                               IntLength(aText.size()));
  if (length < 0) throw tVX_Error(u"Base64 decoding failed");
  // EVP_DecodeBlock counts the padding positions as zero bytes.
  size_t padding = 0;
  if (!aText.empty() && aText.back() == '=') ++padding;
  if (aText.size() > 1 && aText[aText.size() - 2] == '=') ++padding;
  out.resize(static_cast<size_t>(length) - padding);
  return out;
}

}  // namespace detail

}  // namespace port
