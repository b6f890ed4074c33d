#include "tests/window/window_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QTest>
#include <cstdlib>

#include "base/codec.h"

namespace ak::test {

Text Gbk(const char* utf8) { return Utf8ToGbk(utf8); }

void TypeText(QWidget* edit, const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClicks(edit, QString(c));
    } else {
      QInputMethodEvent event;
      event.setCommitString(QString(c));
      QCoreApplication::sendEvent(edit, &event);
    }
  }
}

WindowUnderTest::WindowUnderTest(Options options) : controls_("www.douban.com") {
  const std::string& settings = options.settings;
  setenv("ALBUMKEEPER_HOME", home_.path().toUtf8().constData(), 1);
  if (!settings.empty()) {
    QFile file(QString::fromStdString(settingsPath()));
    file.open(QIODevice::WriteOnly);
    file.write(settings.data(), static_cast<qint64>(settings.size()));
  }
  ShellServices services;
  services.fetchUpdatePage = std::move(options.fetch);
  if (!options.realFolderDialog) {
    services.chooseFolder = [this](const Text& title, const Text& startFolder) -> Text {
      chooserCalls.emplace_back(title, startFolder);
      return chooserAnswer;
    };
  }
  services.cookieSink = std::move(options.cookieSink);
  services.openFolder = [this](const Text& folder) { openedFolders.push_back(folder); };
  window_ = std::make_unique<MainWindow>(controls_, std::move(services));
  if (options.start) {
    window_->Created();
    window_->show();
    settle();
  }
}

WindowUnderTest::~WindowUnderTest() {
  window_.reset();
  unsetenv("ALBUMKEEPER_HOME");
}

QWidget* WindowUnderTest::widget(ControlName name) const { return window_->Control(name.View()); }

void WindowUnderTest::click(ControlName name) {
  QWidget* target = widget(name);
  QVERIFY2(target != nullptr, name.CString());
  QTest::mouseClick(target, Qt::LeftButton);
  settle();
}

void WindowUnderTest::settle() {
  QCoreApplication::processEvents();
  window_->ApplyPendingChanges();
}

Text WindowUnderTest::programDir() const { return Utf8ToGbk(home_.path().toStdString()); }

std::string WindowUnderTest::settingsPath() const {
  return home_.path().toStdString() + "/peizi.ini";
}

std::string WindowUnderTest::settingsFile() const {
  QFile file(QString::fromStdString(settingsPath()));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

bool WindowUnderTest::settingsFileExists() const {
  return QFile::exists(QString::fromStdString(settingsPath()));
}

}  // namespace ak::test
