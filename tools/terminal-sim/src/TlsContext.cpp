#include "TlsContext.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <stdexcept>

namespace termsim {

namespace {

[[noreturn]] void Fail(const char* aWhat) {
  char detail[256] = "";
  ERR_error_string_n(ERR_get_error(), detail, sizeof(detail));
  throw std::runtime_error(std::string(aWhat) + ": " + detail);
}

struct KeyFree {
  void operator()(EVP_PKEY* aKey) const { EVP_PKEY_free(aKey); }
};
struct CertFree {
  void operator()(X509* aCert) const { X509_free(aCert); }
};

void AddExtension(X509* aCert, int aNid, const char* aValue) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, aCert, aCert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, aNid, aValue);
  if (ext == nullptr) Fail("certificate extension");
  X509_add_ext(aCert, ext, -1);
  X509_EXTENSION_free(ext);
}

}  // namespace

std::unique_ptr<TlsContext> TlsContext::CreateSelfSigned() {
  std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_RSA_gen(2048));
  if (!key) Fail("RSA key");

  std::unique_ptr<X509, CertFree> cert(X509_new());
  if (!cert) Fail("certificate");
  X509_set_version(cert.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -24L * 3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 365L * 24 * 3600);
  X509_set_pubkey(cert.get(), key.get());
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("terminal-sim"), -1, -1, 0);
  X509_set_issuer_name(cert.get(), name);
  AddExtension(cert.get(), NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
  AddExtension(cert.get(), NID_basic_constraints, "critical,CA:FALSE");
  if (X509_sign(cert.get(), key.get(), EVP_sha256()) == 0) Fail("certificate signature");

  std::unique_ptr<TlsContext> out(new TlsContext());
  out->fContext = SSL_CTX_new(TLS_server_method());
  if (out->fContext == nullptr) Fail("TLS context");
  SSL_CTX_set_min_proto_version(out->fContext, TLS1_2_VERSION);
  if (SSL_CTX_use_certificate(out->fContext, cert.get()) != 1 || SSL_CTX_use_PrivateKey(out->fContext, key.get()) != 1 ||
      SSL_CTX_check_private_key(out->fContext) != 1) {
    Fail("TLS certificate");
  }

  BIO* pem = BIO_new(BIO_s_mem());
  if (pem != nullptr && PEM_write_bio_X509(pem, cert.get()) == 1) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(pem, &data);
    out->fCertificatePem.assign(data, static_cast<size_t>(size));
  }
  BIO_free(pem);
  return out;
}

TlsContext::~TlsContext() { SSL_CTX_free(fContext); }

}  // namespace termsim
