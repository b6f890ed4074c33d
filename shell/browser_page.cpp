#include "shell/browser_page.h"

namespace ak {

QWebEnginePage* BrowserPage::createWindow(WebWindowType) { return this; }

}  // namespace ak
