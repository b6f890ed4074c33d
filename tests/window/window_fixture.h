#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "base/types.h"
#include "controls/controls.h"
#include "shell/main_window.h"

namespace ak::test {

// A main window over a fresh program folder (ALBUMKEEPER_HOME), with recorded folder commands
// and a fetch of the update page that the test chooses.
class WindowUnderTest {
 public:
  struct Options {
    // The bytes of peizi.ini to put in the program folder first; empty for none.
    std::string settings{};
    UpdatePageFetch fetch{};
    // Runs the start-up and shows the window.
    bool start = true;
    // Uses the real folder dialog instead of a recorded one.
    bool realFolderDialog = false;
    BrowserCookieSink cookieSink{};
  };
  explicit WindowUnderTest(Options options);
  WindowUnderTest() : WindowUnderTest(Options{}) {}
  ~WindowUnderTest();

  MainWindow& window() { return *window_; }
  Controls& controls() { return controls_; }
  QWidget* widget(ControlName name) const;
  template <typename T>
  T* widgetAs(ControlName name) const {
    return qobject_cast<T*>(widget(name));
  }
  // Carries out every change the model has queued for the window.
  void settle();
  // A left click on the control's widget (a button, box or clickable label), then settle().
  void click(ControlName name);

  Text programDir() const;
  std::string settingsPath() const;
  // Bytes of peizi.ini; empty when absent.
  std::string settingsFile() const;
  bool settingsFileExists() const;

  // What the folder commands were given.
  std::vector<std::pair<Text, Text>> chooserCalls;
  Text chooserAnswer;
  std::vector<Text> openedFolders;

 private:
  QTemporaryDir home_;
  Controls controls_;
  std::unique_ptr<MainWindow> window_;
};

// Types `text` into a line edit as a user would: ASCII as key clicks, other characters as an
// input method commits them.
void TypeText(QWidget* edit, const QString& text);

// Utf-8 literal to GBK, for comparisons with the model.
Text Gbk(const char* utf8);

}  // namespace ak::test
