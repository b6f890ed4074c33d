#pragma once

#include <QWebEnginePage>

namespace ak {

// The page of the login browser. A link or script that asks for a new window loads in this page
// instead, so everything the user does stays in the one embedded browser.
class BrowserPage : public QWebEnginePage {
  Q_OBJECT
 public:
  using QWebEnginePage::QWebEnginePage;

 protected:
  QWebEnginePage* createWindow(WebWindowType type) override;
};

}  // namespace ak
