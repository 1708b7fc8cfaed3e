// The crypto port over CNG (bcrypt) and crypt32.
#include "platform/Crypto.h"

#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>

#include "platform/CryptoBackend.h"
#include "platform/Error.h"

namespace port {

namespace {

bool Succeeded(NTSTATUS aStatus) { return aStatus >= 0; }

// Provider, key and hash handles closed on every path out.
class AlgorithmProvider {
 public:
  AlgorithmProvider(LPCWSTR aAlgorithm, ULONG aFlags) {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&fHandle, aAlgorithm, nullptr, aFlags))) fHandle = nullptr;
  }
  ~AlgorithmProvider() {
    if (fHandle) BCryptCloseAlgorithmProvider(fHandle, 0);
  }
  AlgorithmProvider(const AlgorithmProvider&) = delete;
  AlgorithmProvider& operator=(const AlgorithmProvider&) = delete;
  BCRYPT_ALG_HANDLE Get() const { return fHandle; }

 private:
  BCRYPT_ALG_HANDLE fHandle = nullptr;
};

class SymmetricKey {
 public:
  ~SymmetricKey() {
    if (fHandle) BCryptDestroyKey(fHandle);
  }
  BCRYPT_KEY_HANDLE fHandle = nullptr;
};

class HashObject {
 public:
  ~HashObject() {
    if (fHandle) BCryptDestroyHash(fHandle);
  }
  BCRYPT_HASH_HANDLE fHandle = nullptr;
};

ULONG UlongLength(size_t aLength) {
  if (aLength > 0x7FFFFFFFu) throw tVX_Error(u"Crypto input too large");
  return static_cast<ULONG>(aLength);
}

// A valid pointer even for an empty buffer.
PUCHAR DataOf(const Bytes& aData) {
  static UCHAR nothing = 0;
  return aData.empty() ? &nothing : const_cast<PUCHAR>(aData.data());
}

void CheckKeyAndIV(const Bytes& aKey, const Bytes& aIV) {
  if (aKey.size() != 32) throw tVX_Error(u"AES-256 key must be 32 bytes");
  if (aIV.size() != 16) throw tVX_Error(u"AES IV must be 16 bytes");
}

// An AES-256-CBC key object for aKey; throws when CNG refuses.
void OpenAesKey(AlgorithmProvider& aProvider, const Bytes& aKey, SymmetricKey& aHandle) {
  if (!aProvider.Get() ||
      !Succeeded(BCryptSetProperty(aProvider.Get(), BCRYPT_CHAINING_MODE,
                                   reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_CBC)),
                                   sizeof(BCRYPT_CHAIN_MODE_CBC), 0)) ||
      !Succeeded(BCryptGenerateSymmetricKey(aProvider.Get(), &aHandle.fHandle, nullptr, 0, DataOf(aKey),
                                            UlongLength(aKey.size()), 0))) {
    throw tVX_Error(u"AES key setup failed");
  }
}

}  // namespace

Bytes Pbkdf2HmacSha1(const Bytes& aPassword, const Bytes& aSalt, uint32_t aIterations, size_t aLength) {
  if (aIterations == 0) throw tVX_Error(u"PBKDF2 needs at least one iteration");
  Bytes out(aLength);
  if (aLength == 0) return out;
  AlgorithmProvider provider(BCRYPT_SHA1_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
  if (!provider.Get() ||
      !Succeeded(BCryptDeriveKeyPBKDF2(provider.Get(), DataOf(aPassword), UlongLength(aPassword.size()),
                                       DataOf(aSalt), UlongLength(aSalt.size()), aIterations, out.data(),
                                       UlongLength(aLength), 0))) {
    throw tVX_Error(u"PBKDF2 failed");
  }
  return out;
}

Bytes Aes256CbcEncrypt(const Bytes& aKey, const Bytes& aIV, const Bytes& aPlain) {
  CheckKeyAndIV(aKey, aIV);
  AlgorithmProvider provider(BCRYPT_AES_ALGORITHM, 0);
  SymmetricKey key;
  OpenAesKey(provider, aKey, key);
  // CNG may overwrite the IV buffer with the last block (Windows does, wine does not): a fresh
  // copy per call keeps every call independent of the one before.
  Bytes iv = aIV;
  Bytes out(aPlain.size() + 16);
  ULONG written = 0;
  if (!Succeeded(BCryptEncrypt(key.fHandle, DataOf(aPlain), UlongLength(aPlain.size()), nullptr, iv.data(),
                               UlongLength(iv.size()), out.data(), UlongLength(out.size()), &written,
                               BCRYPT_BLOCK_PADDING))) {
    throw tVX_Error(u"AES encryption failed");
  }
  out.resize(written);
  return out;
}

bool Aes256CbcDecrypt(const Bytes& aKey, const Bytes& aIV, const Bytes& aCipher, Bytes& aPlain) {
  CheckKeyAndIV(aKey, aIV);
  aPlain.clear();
  if (aCipher.empty() || aCipher.size() % 16 != 0) return false;
  AlgorithmProvider provider(BCRYPT_AES_ALGORITHM, 0);
  SymmetricKey key;
  OpenAesKey(provider, aKey, key);
  Bytes iv = aIV;
  Bytes out(aCipher.size());
  ULONG written = 0;
  // Decrypted without CNG's padding removal, which under wine checks only the last byte: the
  // whole PKCS#7 padding is checked here, as OpenSSL does on the other target.
  if (!Succeeded(BCryptDecrypt(key.fHandle, DataOf(aCipher), UlongLength(aCipher.size()), nullptr, iv.data(),
                               UlongLength(iv.size()), out.data(), UlongLength(out.size()), &written, 0)) ||
      written != out.size()) {
    return false;
  }
  const size_t padding = out.back();
  if (padding < 1 || padding > 16) return false;
  for (size_t i = out.size() - padding; i < out.size(); ++i) {
    if (out[i] != padding) return false;
  }
  out.resize(out.size() - padding);
  aPlain = std::move(out);
  return true;
}

Bytes HmacSha256(const Bytes& aKey, const Bytes& aData) {
  AlgorithmProvider provider(BCRYPT_SHA256_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
  // HMAC pads the key with zeros to the 64-byte block, so an empty key equals 64 zero bytes;
  // CNG is not relied upon to take a zero-length secret.
  Bytes key = aKey.empty() ? Bytes(64, 0) : aKey;
  HashObject hash;
  Bytes out(32);
  if (!provider.Get() ||
      !Succeeded(BCryptCreateHash(provider.Get(), &hash.fHandle, nullptr, 0, key.data(), UlongLength(key.size()), 0)) ||
      (!aData.empty() && !Succeeded(BCryptHashData(hash.fHandle, DataOf(aData), UlongLength(aData.size()), 0))) ||
      !Succeeded(BCryptFinishHash(hash.fHandle, out.data(), UlongLength(out.size()), 0))) {
    throw tVX_Error(u"HMAC-SHA256 failed");
  }
  return out;
}

Bytes RandomBytes(size_t aCount) {
  Bytes out(aCount);
  if (aCount > 0 && !Succeeded(BCryptGenRandom(nullptr, out.data(), UlongLength(aCount),
                                               BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    throw tVX_Error(u"Secure random generator failed");
  }
  return out;
}

std::string Base64Encode(const Bytes& aData) {
  // crypt32 refuses an empty input (error 87).
  if (aData.empty()) return std::string();
  const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
  DWORD size = 0;
  if (!CryptBinaryToStringA(DataOf(aData), UlongLength(aData.size()), flags, nullptr, &size)) {
    throw tVX_Error(u"Base64 encoding failed");
  }
  std::string text(size, '\0');
  if (!CryptBinaryToStringA(DataOf(aData), UlongLength(aData.size()), flags, text.data(), &size)) {
    throw tVX_Error(u"Base64 encoding failed");
  }
  text.resize(size);  // the second call answers the length without the terminating zero
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

namespace detail {

Bytes Base64DecodeWellFormed(std::string_view aText) {
  DWORD size = 0;
  if (!CryptStringToBinaryA(aText.data(), UlongLength(aText.size()), CRYPT_STRING_BASE64, nullptr, &size, nullptr,
                            nullptr)) {
    throw tVX_Error(u"Base64 decoding failed");
  }
  Bytes out(size);
  if (size > 0 && !CryptStringToBinaryA(aText.data(), UlongLength(aText.size()), CRYPT_STRING_BASE64, out.data(),
                                        &size, nullptr, nullptr)) {
    throw tVX_Error(u"Base64 decoding failed");
  }
  out.resize(size);
  return out;
}

}  // namespace detail

}  // namespace port
