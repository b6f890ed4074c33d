#include "net/service_config.h"

#include <curl/curl.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>

#include "base/text_ops.h"
#include "net/curl_global.h"

namespace ak {
namespace {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// The CA bundle libcurl trusts when told nothing else.
std::string SystemCaBundlePath() {
  EnsureCurlGlobalInit();
  std::string path;
  if (CURL* probe = curl_easy_init()) {
    char* bundle = nullptr;
    if (curl_easy_getinfo(probe, CURLINFO_CAINFO, &bundle) == CURLE_OK && bundle) path = bundle;
    curl_easy_cleanup(probe);
  }
  return path;
}

std::string TrustedCertificates(const std::string& caFile) {
  std::string extra;
  if (caFile.empty() || !ReadWholeFile(caFile, extra)) return {};
  std::string combined;
  const std::string system = SystemCaBundlePath();
  if (!system.empty() && ReadWholeFile(system, combined) && !combined.empty() &&
      combined.back() != '\n') {
    combined += '\n';
  }
  return combined + extra;
}

std::mutex& ConfigMutex() {
  static std::mutex mutex;
  return mutex;
}

std::shared_ptr<const ServiceConfig>& ConfigSlot() {
  static std::shared_ptr<const ServiceConfig> slot;
  return slot;
}

}  // namespace

ServiceConfig ServiceConfigFromEnvironment() {
  ServiceConfig config;
  const std::string update = EnvironmentValue("ALBUMKEEPER_UPDATE_URL");
  if (!update.empty()) config.updateUrl = update;
  for (const Text& entry : Split(EnvironmentValue("ALBUMKEEPER_CONNECT_TO"), ",")) {
    Text trimmed = Trim(entry);
    if (!trimmed.empty()) config.connectTo.push_back(std::move(trimmed));
  }
  config.caFile = EnvironmentValue("ALBUMKEEPER_CA_FILE");
  config.trustedCertificates = TrustedCertificates(config.caFile);
  return config;
}

std::shared_ptr<const ServiceConfig> CurrentServiceConfig() {
  std::lock_guard lock(ConfigMutex());
  auto& slot = ConfigSlot();
  if (!slot) slot = std::make_shared<const ServiceConfig>(ServiceConfigFromEnvironment());
  return slot;
}

void SetServiceConfig(ServiceConfig config) {
  if (config.trustedCertificates.empty()) {
    config.trustedCertificates = TrustedCertificates(config.caFile);
  }
  auto fresh = std::make_shared<const ServiceConfig>(std::move(config));
  std::lock_guard lock(ConfigMutex());
  ConfigSlot() = std::move(fresh);
}

void ReloadServiceConfig() { SetServiceConfig(ServiceConfigFromEnvironment()); }

Text WebHost() { return CurrentServiceConfig()->webHost; }
Text ApiHost() { return CurrentServiceConfig()->apiHost; }
Text UpdatePageUrl() { return CurrentServiceConfig()->updateUrl; }

}  // namespace ak
