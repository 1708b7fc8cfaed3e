#pragma once
// The simulator's own message protection primitives, written directly on OpenSSL: key derivation
// from the shared passphrase, AES-256-CBC, HMAC-SHA256, strict Base64 and random nonces.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace termsim {

using Bytes = std::vector<uint8_t>;
using Key32 = std::array<uint8_t, 32>;
using Block16 = std::array<uint8_t, 16>;

// The three secrets both sides derive from the passphrase.
struct KeyMaterial {
  Key32 hmacKey{};
  Key32 cipherKey{};
  Block16 baseIv{};
};

// PBKDF2-HMAC-SHA1 over the passphrase bytes with the fixed 15-byte salt, 4000 iterations and
// 80 bytes of output: HMAC key, cipher key, base IV in that order.
KeyMaterial DeriveKeyMaterial(std::string_view aPassphraseBytes);

// UTF-8 text to Windows-1252 bytes, the code page in which the passphrase is hashed. Characters
// the code page lacks, and invalid UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view aUtf8);

// Standard alphabet with '=' padding, no line breaks.
std::string Base64Encode(const uint8_t* aData, size_t aSize);
inline std::string Base64Encode(const Bytes& aData) { return Base64Encode(aData.data(), aData.size()); }
// False for any character outside the alphabet, bad padding or a length that is not a multiple
// of four.
bool Base64Decode(std::string_view aText, Bytes& aOut);

// PKCS#7 padding. Decryption answers false for a ciphertext that does not decrypt (bad length or
// padding).
Bytes AesCbcEncrypt(const Key32& aKey, const Block16& aIv, std::string_view aPlain);
bool AesCbcDecrypt(const Key32& aKey, const Block16& aIv, const Bytes& aCipher, std::string& aPlain);

Key32 HmacSha256(const Key32& aKey, std::string_view aData);

// Comparison whose time does not depend on where the inputs differ.
bool SameBytes(const uint8_t* aLeft, const uint8_t* aRight, size_t aSize);

// Cryptographically random bytes.
Bytes RandomBytes(size_t aCount);

Block16 XorBlock(const Block16& aLeft, const Block16& aRight);

std::string ToHex(const uint8_t* aData, size_t aSize);

}  // namespace termsim
