// fake_douban: the service test double. See UsageText() in options.cpp, or run with --help.

#include <httplib.h>
#include <openssl/ssl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tools/fake_douban/certificate.h"
#include "tools/fake_douban/fixture.h"
#include "tools/fake_douban/front_listener.h"
#include "tools/fake_douban/hostile_names.h"
#include "tools/fake_douban/options.h"
#include "tools/fake_douban/request_log.h"
#include "tools/fake_douban/service.h"

namespace ak::fake {
namespace {

// ALBUMKEEPER_CONNECT_TO value: every host the double serves, on 80 and 443, to its two ports.
std::string ConnectToValue(const Fixture& fixture, int webPort, int apiPort) {
  std::vector<std::string> hosts = {fixture.webHost, fixture.apiHost};
  for (const std::string& host : fixture.PictureHosts()) hosts.push_back(host);
  std::string value;
  for (const std::string& host : hosts) {
    if (!value.empty()) value += ",";
    value += host + ":80:127.0.0.1:" + std::to_string(webPort) + "," + host +
             ":443:127.0.0.1:" + std::to_string(apiPort);
  }
  return value;
}

// Waits until standard input reaches its end, then asks the main thread to stop: a test that
// crashes closes the pipe and so never leaves the double running.
void WatchStdin() {
  char buffer[256];
  while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
  }
  ::kill(::getpid(), SIGUSR1);
}

int Run(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "fake_douban: %s (see --help)\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  if (options.dumpFixture) {
    std::fwrite(DefaultFixtureJson().data(), 1, DefaultFixtureJson().size(), stdout);
    std::fputs("\n", stdout);
    return 0;
  }

  Fixture fixture;
  const bool loaded = options.fixtureFile.empty()
                          ? ParseFixture(DefaultFixtureJson(), fixture, error)
                          : LoadFixtureFile(options.fixtureFile, fixture, error);
  if (!loaded) {
    std::fprintf(stderr, "fake_douban: %s\n", error.c_str());
    return 2;
  }
  if (!options.updateVersion.empty()) fixture.updateVersion = options.updateVersion;
  if (options.hostileNames) AddHostilePerson(fixture);

  // Signals are taken by sigwait() below; every thread started from here inherits the mask.
  ::signal(SIGPIPE, SIG_IGN);
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  std::string certDir = options.certDir;
  bool ownCertDir = false;
  if (certDir.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "fake_douban.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::fprintf(stderr, "fake_douban: cannot make a folder for the certificate\n");
      return 1;
    }
    certDir = pattern;
    ownCertDir = true;
  }
  std::vector<std::string> certHosts = {fixture.apiHost, fixture.webHost};
  for (const std::string& host : fixture.PictureHosts()) certHosts.push_back(host);
  Certificate certificate;
  if (!certificate.Generate(certHosts, error) || !certificate.WritePem(certDir, error)) {
    std::fprintf(stderr, "fake_douban: %s\n", error.c_str());
    return 1;
  }

  RequestLog log;
  if (!options.requestLog.empty() && !log.Open(options.requestLog)) {
    std::fprintf(stderr, "fake_douban: cannot open %s\n", options.requestLog.c_str());
    return 1;
  }

  FakeService service(fixture, options.faults);
  httplib::Server inner;
  inner.new_task_queue = [] { return new httplib::ThreadPool(16); };
  inner.set_keep_alive_max_count(1000);
  // Answers go out as header and body writes; without this the relay waits on delayed ACKs.
  inner.set_tcp_nodelay(true);
  service.Install(inner);
  const int innerPort = inner.bind_to_any_port("127.0.0.1");
  if (innerPort <= 0) {
    std::fprintf(stderr, "fake_douban: cannot start the inner server\n");
    return 1;
  }
  std::thread innerThread([&inner] { inner.listen_after_bind(); });
  // stop() only reaches a server that is already running; a stop request arriving earlier would
  // otherwise leave the inner thread listening forever.
  while (!inner.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  SSL_CTX* tls = MakeServerTlsContext(certificate.cert(), certificate.key());
  FrontListener web("http", nullptr, innerPort, log);
  FrontListener api("https", tls, innerPort, log);
  int status = 0;
  if (tls == nullptr || !web.Start(options.webPort, error) || !api.Start(options.apiPort, error)) {
    std::fprintf(stderr, "fake_douban: %s\n", tls == nullptr ? "no TLS context" : error.c_str());
    status = 1;
  } else {
    std::printf("web=%d api=%d\nca=%s\nconnect-to=%s\n", web.port(), api.port(),
                certificate.CertPath(certDir).c_str(),
                ConnectToValue(fixture, web.port(), api.port()).c_str());
    std::fflush(stdout);
    if (options.watchStdin) std::thread(WatchStdin).detach();
    int signal = 0;
    sigwait(&stopSignals, &signal);
  }

  web.Stop();
  api.Stop();
  inner.stop();
  innerThread.join();
  SSL_CTX_free(tls);
  if (ownCertDir) {
    std::error_code ec;
    std::filesystem::remove_all(certDir, ec);
  }
  return status;
}

}  // namespace
}  // namespace ak::fake

int main(int argc, char** argv) { return ak::fake::Run(argc, argv); }
