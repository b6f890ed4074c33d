#include "app/screenshot.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <cstring>

#include "base/codec.h"
#include "commands/album_commands.h"
#include "controls/control_catalogue.h"
#include "shell/main_window.h"

namespace ak {

std::optional<ScreenshotRequest> ParseScreenshotArguments(int argc, char** argv) {
  ScreenshotRequest request;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      request.file = argv[++i];
    } else if (std::strcmp(argv[i], "--address") == 0 && i + 1 < argc) {
      request.address = argv[++i];
    } else if (std::strcmp(argv[i], "--covers") == 0) {
      request.covers = true;
    } else if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc) {
      const std::string page = argv[++i];
      if (page != "0" && page != "1" && page != "2") return std::nullopt;
      request.page = page[0] - '0';
    } else {
      return std::nullopt;
    }
  }
  if (request.file.empty() || (request.covers && request.address.empty())) return std::nullopt;
  return request;
}

namespace {

void Pump(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

// Types the address, sets the covers box and presses the album button; returns once the
// listing has ended.
void ListAddress(MainWindow& window, const ScreenshotRequest& request) {
  Controls& controls = window.Model();
  controls.SetCaption(ctl::编辑框_号码, Utf8ToGbk(request.address));
  controls.SetChecked(ctl::选择框_有图, request.covers);
  if (GetAlbumsCommand(window.Commands()) != GetAlbumsOutcome::kStarted) return;
  QElapsedTimer waited;
  waited.start();
  while (window.Commands().listing.Running() && waited.elapsed() < 60000) Pump(100);
}

int TakeScreenshot(MainWindow& window, const ScreenshotRequest& request) {
  if (!request.address.empty()) ListAddress(window, request);
  window.Model().SetCurrentIndex(kPages, request.page);
  // Wait for the browser's first page (or its error page), at most a few seconds.
  bool loaded = false;
  QObject::connect(window.Widgets().browser, &QWebEngineView::loadFinished, &window,
                   [&loaded] { loaded = true; });
  QElapsedTimer waited;
  waited.start();
  while (!loaded && waited.elapsed() < 8000) Pump(100);
  window.ApplyPendingChanges();
  Pump(500);
  const QPixmap shot = window.grab();
  if (!shot.save(QString::fromStdString(request.file), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", request.file.c_str());
    return 1;
  }
  return 0;
}

}  // namespace ak
