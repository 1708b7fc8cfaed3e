#pragma once
// Server-side TLS settings with a self-signed certificate made at start (RSA 2048, valid for
// 127.0.0.1 and localhost).
#include <memory>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;

namespace termsim {

class TlsContext {
 public:
  // Throws std::runtime_error when OpenSSL cannot make the key or certificate.
  static std::unique_ptr<TlsContext> CreateSelfSigned();
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;

  SSL_CTX* Native() const { return fContext; }
  // The certificate in PEM form, for clients that want to pin it.
  const std::string& CertificatePem() const { return fCertificatePem; }

 private:
  TlsContext() = default;
  SSL_CTX* fContext = nullptr;
  std::string fCertificatePem;
};

}  // namespace termsim
