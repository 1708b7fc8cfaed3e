#pragma once
// Cryptographic primitives and binary-to-text encodings: OpenSSL 3 on Linux, CNG (bcrypt) and
// crypt32 on Windows. Both give byte-identical results. Every function is thread-safe and keeps no
// state between calls.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace port {

using Bytes = std::vector<uint8_t>;

// PBKDF2 (RFC 8018) with HMAC-SHA1: aLength bytes derived from the password and salt bytes.
// Throws tVX_Error when aIterations is 0 or the library fails.
Bytes Pbkdf2HmacSha1(const Bytes& aPassword, const Bytes& aSalt, uint32_t aIterations, size_t aLength);

// AES-256-CBC with PKCS#7 padding. aKey must hold 32 bytes and aIV 16 (tVX_Error otherwise).
// The result of encrypting is a whole number of blocks, one more when aPlain already is.
Bytes Aes256CbcEncrypt(const Bytes& aKey, const Bytes& aIV, const Bytes& aPlain);
// False, with aPlain emptied, when aCipher is empty, not a whole number of 16-byte blocks, or its
// padding is wrong after decryption.
bool Aes256CbcDecrypt(const Bytes& aKey, const Bytes& aIV, const Bytes& aCipher, Bytes& aPlain);

// HMAC-SHA256 of aData under aKey (any length, the empty key included): 32 bytes.
Bytes HmacSha256(const Bytes& aKey, const Bytes& aData);

// aCount bytes from the operating system's cryptographically secure generator.
Bytes RandomBytes(size_t aCount);

// Base64, standard alphabet, "=" padding, no line breaks.
std::string Base64Encode(const Bytes& aData);
// False, with aData emptied, unless aText is well-formed Base64: a multiple of 4 characters of
// the standard alphabet with at most two "=" at the end only. No whitespace is accepted.
// The empty text decodes to no bytes.
bool Base64Decode(std::string_view aText, Bytes& aData);

// Two upper-case hexadecimal digits per byte, first byte first.
std::string HexEncode(const Bytes& aData);
// False, with aData emptied, unless aText is an even number of digits 0-9, A-F, a-f.
bool HexDecode(std::string_view aText, Bytes& aData);

// Compares two byte strings in time that depends only on their lengths, not their contents.
bool ConstantTimeEqual(const Bytes& a, const Bytes& b);

}  // namespace port
