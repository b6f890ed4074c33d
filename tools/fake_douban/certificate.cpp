#include "tools/fake_douban/certificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <filesystem>

namespace ak::fake {
namespace {

bool AddExtension(X509* cert, int nid, const std::string& value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
  if (ext == nullptr) return false;
  const bool ok = X509_add_ext(cert, ext, -1) == 1;
  X509_EXTENSION_free(ext);
  return ok;
}

}  // namespace

Certificate::~Certificate() {
  X509_free(cert_);
  EVP_PKEY_free(key_);
}

bool Certificate::Generate(const std::vector<std::string>& hostNames, std::string& error) {
  key_ = EVP_EC_gen("P-256");
  cert_ = X509_new();
  if (key_ == nullptr || cert_ == nullptr || hostNames.empty()) {
    error = "cannot create the certificate's key";
    return false;
  }
  X509_set_version(cert_, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert_), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert_), -24L * 3600);
  X509_gmtime_adj(X509_getm_notAfter(cert_), 10L * 365 * 24 * 3600);
  X509_set_pubkey(cert_, key_);
  X509_NAME* name = X509_get_subject_name(cert_);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("fake_douban test double"), -1,
                             -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(hostNames.front().c_str()), -1,
                             -1, 0);
  X509_set_issuer_name(cert_, name);
  std::string altNames;
  for (const std::string& host : hostNames) altNames += "DNS:" + host + ",";
  altNames += "IP:127.0.0.1";
  const bool extensionsOk =
      AddExtension(cert_, NID_basic_constraints, "critical,CA:TRUE") &&
      AddExtension(cert_, NID_key_usage, "critical,digitalSignature,keyCertSign") &&
      AddExtension(cert_, NID_ext_key_usage, "serverAuth") &&
      AddExtension(cert_, NID_subject_key_identifier, "hash") &&
      AddExtension(cert_, NID_subject_alt_name, altNames);
  if (!extensionsOk || X509_sign(cert_, key_, EVP_sha256()) == 0) {
    error = "cannot sign the certificate";
    return false;
  }
  return true;
}

bool Certificate::WritePem(const std::string& folder, std::string& error) const {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  FILE* certFile = std::fopen(CertPath(folder).c_str(), "wb");
  FILE* keyFile = std::fopen((folder + "/key.pem").c_str(), "wb");
  bool ok = certFile != nullptr && keyFile != nullptr && PEM_write_X509(certFile, cert_) == 1 &&
            PEM_write_PrivateKey(keyFile, key_, nullptr, nullptr, 0, nullptr, nullptr) == 1;
  if (certFile != nullptr) ok = std::fclose(certFile) == 0 && ok;
  if (keyFile != nullptr) ok = std::fclose(keyFile) == 0 && ok;
  if (!ok) error = "cannot write the certificate into " + folder;
  return ok;
}

}  // namespace ak::fake
