#pragma once

#include "commands/browser_cookie.h"
#include "commands/folder_commands.h"
#include "commands/version_check.h"
#include "net/cookie_jar.h"

namespace ak {

// What the window uses from outside; tests put their own in.
struct ShellServices {
  // Fetches the update page for the version check.
  UpdatePageFetch fetchUpdatePage;
  // The address the browser opens at start-up (UTF-8); empty leaves it blank.
  std::string homePage;
  // Empty: the Qt folder dialog and the desktop's file manager.
  FolderChooser chooseFolder;
  FolderOpener openFolder;
  // Receives the browser's cookies; empty keeps them in the browser.
  BrowserCookieSink cookieSink;
  // Keeps the browser's cookies between runs (the user stays signed in); otherwise they live in
  // memory only.
  bool persistentBrowserProfile = false;
};

// Passes one cookie change of the browser on to `jar`.
void FeedCookieJar(CookieJar& jar, const BrowserCookie& cookie);

// What the program's window uses: the configured service (home page, update page), the shared
// cookie jar, the platform's folder dialog and file manager, and a browser that keeps the login
// between runs.
ShellServices ProgramShellServices();

}  // namespace ak
