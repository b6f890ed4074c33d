#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "base/types.h"
#include "commands/command_context.h"
#include "commands/shell_services.h"
#include "commands/version_check.h"
#include "controls/controls.h"
#include "shell/window_widgets.h"

class QUrl;
class QWebEngineProfile;

namespace ak {

class WindowView;

// The main window: a view of the controls model with one widget per named control, and the
// commands that answer the user. Workers change the window only through the model.
class MainWindow : public QWidget {
  Q_OBJECT
 public:
  MainWindow(Controls& controls, ShellServices services);
  ~MainWindow() override;

  // Start-up once the window exists: skin, version, options, hidden columns, save folder, home
  // page, record folder.
  void Created();

  QWidget* Control(std::string_view name) const { return widgets_.Find(name); }
  const WindowWidgets& Widgets() const { return widgets_; }
  Controls& Model() { return controls_; }
  // The commands' shared state: the current source, the listing and batch workers.
  CommandContext& Commands() { return *commands_; }
  int VersionCheckGate() const { return versionCheckGate_; }
  const VersionCheckRunner& VersionCheck() const { return *versionCheck_; }

  // The commands, as the window's events run them.
  void ToolbarItemClicked(int index);
  void PageShownByUser(int index);
  void GoToAddress();
  void AddressFollows(const QUrl& address);
  void ChooseSaveFolder();
  void OpenSaveFolder();
  void CheckForUpdateClicked();

  // Carries out the model's queued changes now (they are otherwise carried out on the next turn
  // of the event loop).
  void ApplyPendingChanges();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class WindowView;
  void ConnectUserInput();
  void ConnectBrowser();
  void StartAutomaticVersionCheck();

  Controls& controls_;
  ShellServices services_;
  QWebEngineProfile* profile_ = nullptr;
  std::shared_ptr<WindowView> view_;
  WindowWidgets widgets_;
  std::unique_ptr<VersionCheckRunner> versionCheck_;
  std::unique_ptr<CommandContext> commands_;
  std::jthread homePageWorker_;
  int versionCheckGate_ = 0;
  Text currentVersion_;
  Text updateTag_;
  Text folderDialogStart_;
  bool applying_ = false;
};

}  // namespace ak
