#pragma once
// The answer to an HTTP Digest challenge (MD5 or MD5-sess, qop "auth" or none), computed here
// because WinHTTP under wine does not answer Digest challenges itself.
#include <string>
#include <string_view>

namespace port {

// The value of the Authorization header answering aChallenge (a WWW-Authenticate value starting
// with "Digest") for a request aMethod aUri; empty when the challenge cannot be answered.
std::u16string DigestAuthorization(std::u16string_view aChallenge, std::u16string_view aMethod,
                                   std::u16string_view aUri, std::u16string_view aUser,
                                   std::u16string_view aPassword);

}  // namespace port
