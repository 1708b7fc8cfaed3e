#include "platform/win32/HttpDigest.h"

#include <windows.h>
#include <bcrypt.h>

#include <map>
#include <string>

#include "platform/Utf8.h"

namespace port {

namespace {

std::string Lower(std::string aText) {
  for (auto& c : aText)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return aText;
}

std::string Hex(const unsigned char* aBytes, size_t aSize) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < aSize; ++i) {
    out.push_back(kDigits[aBytes[i] >> 4]);
    out.push_back(kDigits[aBytes[i] & 15]);
  }
  return out;
}

// Lower-case hexadecimal MD5 of aText; empty when CNG fails.
std::string Md5Hex(const std::string& aText) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0) != 0) return {};
  BCRYPT_HASH_HANDLE hash = nullptr;
  unsigned char digest[16] = {};
  bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0 &&
            BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(aText.data())),
                           static_cast<ULONG>(aText.size()), 0) == 0 &&
            BCryptFinishHash(hash, digest, sizeof digest, 0) == 0;
  if (hash != nullptr) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return ok ? Hex(digest, sizeof digest) : std::string();
}

// The name=value parameters after the scheme; quoted values are unquoted.
std::map<std::string, std::string> Parameters(const std::string& aChallenge) {
  std::map<std::string, std::string> out;
  size_t pos = aChallenge.find(' ');
  while (pos != std::string::npos && pos < aChallenge.size()) {
    pos = aChallenge.find_first_not_of(" \t,", pos);
    if (pos == std::string::npos) break;
    size_t equals = aChallenge.find('=', pos);
    if (equals == std::string::npos) break;
    std::string name = Lower(aChallenge.substr(pos, equals - pos));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    pos = aChallenge.find_first_not_of(' ', equals + 1);
    if (pos == std::string::npos) break;
    std::string value;
    if (aChallenge[pos] == '"') {
      for (++pos; pos < aChallenge.size() && aChallenge[pos] != '"'; ++pos) {
        if (aChallenge[pos] == '\\' && pos + 1 < aChallenge.size()) ++pos;
        value.push_back(aChallenge[pos]);
      }
      ++pos;
    } else {
      size_t end = aChallenge.find(',', pos);
      value = aChallenge.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
      while (!value.empty() && value.back() == ' ') value.pop_back();
      pos = end;
    }
    out[name] = value;
  }
  return out;
}

std::string Cnonce() {
  unsigned char bytes[8] = {};
  BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  return Hex(bytes, sizeof bytes);
}

}  // namespace

std::u16string DigestAuthorization(std::u16string_view aChallenge, std::u16string_view aMethod,
                                   std::u16string_view aUri, std::u16string_view aUser,
                                   std::u16string_view aPassword) {
  std::string challenge = ToUtf8(aChallenge);
  if (Lower(challenge.substr(0, 7)) != "digest ") return {};
  auto p = Parameters(challenge);
  std::string algorithm = p.count("algorithm") ? p["algorithm"] : "MD5";
  bool session = Lower(algorithm) == "md5-sess";
  if (!session && Lower(algorithm) != "md5") return {};
  bool qopAuth = false;
  if (p.count("qop")) {
    for (std::string rest = p["qop"] + ","; !rest.empty();) {
      size_t comma = rest.find(',');
      std::string option = rest.substr(0, comma);
      option.erase(0, option.find_first_not_of(' '));
      if (option == "auth") qopAuth = true;
      rest.erase(0, comma + 1);
    }
    if (!qopAuth) return {};  // only "auth-int" offered
  }
  std::string user = ToUtf8(aUser), uri = ToUtf8(aUri), realm = p["realm"], nonce = p["nonce"];
  std::string cnonce = Cnonce(), nc = "00000001";
  std::string ha1 = Md5Hex(user + ":" + realm + ":" + ToUtf8(aPassword));
  if (session) ha1 = Md5Hex(ha1 + ":" + nonce + ":" + cnonce);
  std::string ha2 = Md5Hex(ToUtf8(aMethod) + ":" + uri);
  if (ha1.empty() || ha2.empty()) return {};
  std::string response = qopAuth ? Md5Hex(ha1 + ":" + nonce + ":" + nc + ":" + cnonce + ":auth:" + ha2)
                                 : Md5Hex(ha1 + ":" + nonce + ":" + ha2);
  std::string header = "Digest username=\"" + user + "\", realm=\"" + realm + "\", nonce=\"" + nonce +
                       "\", uri=\"" + uri + "\", algorithm=" + algorithm + ", response=\"" + response + "\"";
  if (qopAuth) header += ", qop=auth, nc=" + nc + ", cnonce=\"" + cnonce + "\"";
  if (p.count("opaque")) header += ", opaque=\"" + p["opaque"] + "\"";
  return FromUtf8(header);
}

}  // namespace port
