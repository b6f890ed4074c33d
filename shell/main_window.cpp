#include "shell/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QNetworkCookie>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "albums/album_list.h"
#include "base/codec.h"
#include "base/delay.h"
#include "base/version.h"
#include "commands/album_commands.h"
#include "commands/layout.h"
#include "commands/program_dir.h"
#include "commands/settings.h"
#include "commands/settings_commands.h"
#include "controls/control_catalogue.h"
#include "download/ensure_folder.h"
#include "download/record_store.h"
#include "shell/change_applier.h"
#include "shell/click_bindings.h"
#include "shell/clickable_label.h"
#include "shell/folder_dialog.h"
#include "shell/qt_text.h"
#include "shell/skin.h"
#include "shell/window_view.h"

namespace ak {
namespace {

constexpr int kSettingsPage = 2;

BrowserCookie FromNetworkCookie(const QNetworkCookie& cookie, bool removed) {
  BrowserCookie out;
  out.domain = cookie.domain().toStdString();
  out.path = cookie.path().toStdString();
  out.name = cookie.name().toStdString();
  out.value = cookie.value().toStdString();
  out.secure = cookie.isSecure();
  out.httpOnly = cookie.isHttpOnly();
  out.expires = cookie.isSessionCookie() ? 0 : cookie.expirationDate().toSecsSinceEpoch();
  out.removed = removed;
  return out;
}

}  // namespace

MainWindow::MainWindow(Controls& controls, ShellServices services)
    : controls_(controls),
      services_(std::move(services)),
      commands_(std::make_unique<CommandContext>(controls)) {
  profile_ = services_.persistentBrowserProfile
                 ? new QWebEngineProfile(QStringLiteral("AlbumKeeper"), this)
                 : new QWebEngineProfile(this);
  view_ = std::make_shared<WindowView>(this);
  controls_.Attach(view_);
  widgets_ = BuildWindowWidgets(this, view_->TakeInitialState(), profile_);
  ApplyRows(widgets_, controls_.Snapshot());
  versionCheck_ =
      std::make_unique<VersionCheckRunner>(controls_, services_.fetchUpdatePage, AK_GBK("douban"));
  ConnectUserInput();
  ConnectBrowser();
}

MainWindow::~MainWindow() {
  if (homePageWorker_.joinable()) homePageWorker_.join();
  versionCheck_.reset();
  // Detaching first releases a worker that waits for a message box; then the listing and the
  // batch end at their next safe point (the controls outlive them).
  controls_.Detach();
  commands_.reset();
  // The page must go before the profile it uses.
  delete widgets_.browser;
}

void MainWindow::Created() {
  ApplySkin(13);
  versionCheckGate_ = 1;
  controls_.SetWidth(ctl::编辑框_url, 624);
  currentVersion_ = kVersion;
  controls_.SetCaption(ctl::标签_banben, currentVersion_);
  updateTag_ = "douban";
  LoadSettings(controls_, SettingsFilePath(ProgramDir()));
  for (int column : {kColumnAddress, kColumnQuestion, kColumnPassword})
    controls_.SetColumnWidth(column, 0);
  controls_.SetCaption(ctl::编辑框_保存位置, ProgramDir());
  if (!services_.homePage.empty()) {
    homePageWorker_ = StartThread(
        [this, home = Utf8ToGbk(services_.homePage)] { controls_.SetCaption(kBrowser, home); });
  }
  QCoreApplication::processEvents();
  Text records = ProgramDir() + "/" + DownloadRecordStore::FolderName() + "/";
  EnsureFolder(records);
}

void MainWindow::ApplyPendingChanges() {
  view_->Draining();
  const std::vector<ControlChange> changes = controls_.TakeChanges();
  applying_ = true;
  for (const ControlChange& change : changes) ApplyChange(widgets_, change, this);
  applying_ = false;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  controls_.SetGeometry(kMainWindow, {x(), y(), width(), height()}, Origin::kView);
  LayoutMainWindow(controls_, width());
}

void MainWindow::ToolbarItemClicked(int index) {
  if (index == 0) {
    controls_.SetCurrentIndex(kPages, 0);
  } else if (index == 2) {
    controls_.SetCurrentIndex(kPages, 1);
  } else if (index == 4) {
    controls_.SetCurrentIndex(kPages, kSettingsPage);
    StartAutomaticVersionCheck();
  }
}

void MainWindow::PageShownByUser(int index) {
  if (index == kSettingsPage) StartAutomaticVersionCheck();
}

void MainWindow::StartAutomaticVersionCheck() {
  if (versionCheckGate_ != 1) return;
  // A check the user started by hand may still run; it stands for this one.
  versionCheck_->Start();
  ++versionCheckGate_;
}

void MainWindow::CheckForUpdateClicked() {
  // The fetch waits on a worker so the window keeps answering; a press while a check runs is
  // ignored.
  versionCheck_->Start();
}

void MainWindow::GoToAddress() {
  controls_.SetCaption(kBrowser, controls_.Caption(ctl::编辑框_url));
}

void MainWindow::AddressFollows(const QUrl& address) {
  const Text shown = FromQString(address.toString());
  controls_.SetCaption(kBrowser, shown, Origin::kView);
  controls_.SetCaption(ctl::编辑框_url, shown);
}

void MainWindow::ChooseSaveFolder() {
  folderDialogStart_ = FileSystemRoot();
  const FolderChooser dialog = [this](const Text& title, const Text& start) {
    return ChooseFolderWithDialog(this, title, start);
  };
  ak::ChooseSaveFolder(controls_, services_.chooseFolder ? services_.chooseFolder : dialog,
                       folderDialogStart_);
}

void MainWindow::OpenSaveFolder() {
  ak::OpenSaveFolder(controls_, services_.openFolder ? services_.openFolder : OpenFolderOnDesktop);
}

void MainWindow::ConnectUserInput() {
  connect(widgets_.toolbar, &QToolBar::actionTriggered, this,
          [this](QAction* action) { ToolbarItemClicked(action->data().toInt()); });
  connect(widgets_.pages, &QTabWidget::tabBarClicked, this,
          [this](int index) { PageShownByUser(index); });
  connect(widgets_.pages, &QTabWidget::currentChanged, this, [this](int index) {
    if (!applying_) controls_.SetCurrentIndex(kPages, index, Origin::kView);
  });

  for (const ControlSpec& spec : ControlCatalogue()) {
    QWidget* widget = widgets_.Find(spec.name);
    // Every catalogue entry has its constant (checked when the catalogue is compiled).
    const ControlName name = *ControlNameOf(spec.name);
    const ClickCommand command = ClickCommandOf(spec.name);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      connect(edit, &QLineEdit::textEdited, this, [this, name](const QString& text) {
        controls_.SetCaption(name, FromQString(text), Origin::kView);
        // An option typed in a box (the request interval) is stored as it is typed.
        if (IsOptionControl(name)) OptionClicked(controls_, name, SettingsFilePath(ProgramDir()));
      });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      const bool checkable =
          spec.kind == ControlKind::kCheckBox || spec.kind == ControlKind::kRadioButton;
      // The model takes the box's new state first, so the command reads it.
      connect(button, &QAbstractButton::clicked, this,
              [this, name, command, checkable](bool checked) {
                if (checkable) controls_.SetChecked(name, checked, Origin::kView);
                if (IsOptionControl(name))
                  OptionClicked(controls_, name, SettingsFilePath(ProgramDir()));
                if (command != nullptr) command(*this);
              });
    } else if (auto* label = qobject_cast<ClickableLabel*>(widget); label && command) {
      connect(label, &ClickableLabel::clicked, this, [this, command] { command(*this); });
    }
  }

  connect(widgets_.albumList, &QTreeWidget::itemChanged, this,
          [this](QTreeWidgetItem* item, int column) {
            if (applying_ || column != kColumnTick) return;
            const int row = widgets_.albumList->indexOfTopLevelItem(item);
            const bool ticked = item->checkState(kColumnTick) == Qt::Checked;
            if (row < 0 || controls_.RowChecked(row) == ticked) return;
            controls_.SetRowChecked(row, ticked, Origin::kView);
            RowTickToggledCommand(*commands_, row);
          });
}

void MainWindow::ConnectBrowser() {
  connect(widgets_.browser, &QWebEngineView::loadFinished, this,
          [this](bool) { AddressFollows(widgets_.browser->url()); });
  if (!services_.cookieSink) return;
  QWebEngineCookieStore* store = profile_->cookieStore();
  connect(store, &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie& cookie) {
    services_.cookieSink(FromNetworkCookie(cookie, false));
  });
  connect(store, &QWebEngineCookieStore::cookieRemoved, this, [this](const QNetworkCookie& cookie) {
    services_.cookieSink(FromNetworkCookie(cookie, true));
  });
  // The cookies kept from earlier runs arrive as additions too.
  store->loadAllCookies();
}

}  // namespace ak
