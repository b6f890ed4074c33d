#pragma once

#include <openssl/types.h>

#include <string>
#include <vector>

namespace ak::fake {

// A self-signed certificate (its own CA) with an EC P-256 key, valid for the given host names
// and for 127.0.0.1. Clients trust it by taking cert.pem as their CA file.
class Certificate {
 public:
  Certificate() = default;
  ~Certificate();
  Certificate(const Certificate&) = delete;
  Certificate& operator=(const Certificate&) = delete;

  bool Generate(const std::vector<std::string>& hostNames, std::string& error);
  // Writes cert.pem and key.pem into `folder` (created when missing).
  bool WritePem(const std::string& folder, std::string& error) const;
  std::string CertPath(const std::string& folder) const { return folder + "/cert.pem"; }

  X509* cert() const { return cert_; }
  EVP_PKEY* key() const { return key_; }

 private:
  X509* cert_ = nullptr;
  EVP_PKEY* key_ = nullptr;
};

}  // namespace ak::fake
