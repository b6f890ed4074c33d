#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "net/service_config.h"

namespace ak {
namespace {

class ServiceConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
      ::unsetenv(name);
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name, value->c_str(), 1);
      } else {
        ::unsetenv(name);
      }
    }
    ReloadServiceConfig();
  }

  static constexpr const char* kNames[] = {"ALBUMKEEPER_CONNECT_TO", "ALBUMKEEPER_CA_FILE",
                                           "ALBUMKEEPER_UPDATE_URL"};
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(ServiceConfigTest, DefaultsWithoutEnvironment) {
  const ServiceConfig config = ServiceConfigFromEnvironment();
  EXPECT_EQ(config.webHost, "www.douban.com");
  EXPECT_EQ(config.apiHost, "api.douban.com");
  EXPECT_EQ(config.updateUrl, "http://www.douban.com/albumkeeper/update.txt");
  EXPECT_TRUE(config.connectTo.empty());
  EXPECT_TRUE(config.caFile.empty());
  EXPECT_TRUE(config.trustedCertificates.empty());
}

TEST_F(ServiceConfigTest, EnvironmentOverrides) {
  const std::filesystem::path ca =
      std::filesystem::temp_directory_path() / ("ak_extra_ca_" + std::to_string(::getpid()));
  std::ofstream(ca) << "-----BEGIN CERTIFICATE-----\nEXTRA\n-----END CERTIFICATE-----\n";
  ::setenv("ALBUMKEEPER_CONNECT_TO",
           " www.douban.com:80:127.0.0.1:8080,,api.douban.com:443:127.0.0.1:8443 ", 1);
  ::setenv("ALBUMKEEPER_CA_FILE", ca.c_str(), 1);
  ::setenv("ALBUMKEEPER_UPDATE_URL", "http://updates.example/v.txt", 1);
  const ServiceConfig config = ServiceConfigFromEnvironment();
  const std::vector<std::string> expected = {"www.douban.com:80:127.0.0.1:8080",
                                             "api.douban.com:443:127.0.0.1:8443"};
  EXPECT_EQ(config.connectTo, expected);
  EXPECT_EQ(config.updateUrl, "http://updates.example/v.txt");
  EXPECT_EQ(config.caFile, ca.string());
  // The extra certificate comes after the system's, which stay trusted.
  EXPECT_TRUE(config.trustedCertificates.ends_with("EXTRA\n-----END CERTIFICATE-----\n"));
  EXPECT_GT(config.trustedCertificates.size(), 200u);
  std::filesystem::remove(ca);
}

TEST_F(ServiceConfigTest, ReadOnceUntilReloaded) {
  ::setenv("ALBUMKEEPER_UPDATE_URL", "http://first/", 1);
  ReloadServiceConfig();
  const auto before = CurrentServiceConfig();
  ::setenv("ALBUMKEEPER_UPDATE_URL", "http://second/", 1);
  EXPECT_EQ(UpdatePageUrl(), "http://first/");
  ReloadServiceConfig();
  EXPECT_EQ(UpdatePageUrl(), "http://second/");
  // A snapshot taken before stays valid and unchanged.
  EXPECT_EQ(before->updateUrl, "http://first/");
}

}  // namespace
}  // namespace ak
