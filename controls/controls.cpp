#include "controls/controls.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <utility>

namespace ak {
namespace {

// A name the state does not hold is a programming error that must not pass silently in any
// build: it ends the program with the name.
[[noreturn]] void UnknownControl(std::string_view name) {
  std::fprintf(stderr, "albumkeeper: no control named \"%.*s\"\n", static_cast<int>(name.size()),
               name.data());
  std::abort();
}

}  // namespace

Controls::Controls(std::string_view webHost) : state_(ControlsState::FromDesign(webHost)) {}

Controls::~Controls() { Detach(); }

void Controls::Attach(std::shared_ptr<ControlsView> view) {
  assert(view != nullptr);
  std::vector<ControlChange> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped.swap(queue_);
    view_ = std::move(view);
    view_->Attached(state_);
  }
  // Changes queued for the previous view are part of the state the new one was given; dropping
  // them releases workers waiting for a message box.
}

void Controls::Detach() {
  std::vector<ControlChange> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped.swap(queue_);
    view_.reset();
  }
  // Dropping the queued changes releases workers waiting for a message box.
}

std::vector<ControlChange> Controls::TakeChanges() {
  std::vector<ControlChange> taken;
  std::lock_guard lock(mutex_);
  taken.swap(queue_);
  return taken;
}

bool Controls::Submit(ControlChange change, int* appendedRow) {
  std::shared_ptr<ControlsView> view;
  {
    std::lock_guard lock(mutex_);
    if (state_.Find(change.control) == nullptr) UnknownControl(change.control);
    // The row index is fixed under the lock, so concurrent appenders each get their own row.
    if (change.kind == ChangeKind::kRowAppended) {
      change.row = static_cast<int>(state_.Rows().size());
      if (appendedRow != nullptr) *appendedRow = change.row;
    }
    if (!state_.Apply(change)) return false;
    change.sequence = ++sequence_;
    if (view_ == nullptr) return true;
    queue_.push_back(std::move(change));
    view = view_;
  }
  view->ChangesPending();
  return true;
}

template <typename Reader>
auto Controls::Read(ControlName name, Reader read) const {
  std::lock_guard lock(mutex_);
  const ControlState* control = state_.Find(name.View());
  if (control == nullptr) UnknownControl(name.View());
  return read(*control);
}

bool Controls::Has(ControlName name) const {
  std::lock_guard lock(mutex_);
  return state_.Find(name.View()) != nullptr;
}

ControlsState Controls::Snapshot() const {
  std::lock_guard lock(mutex_);
  return state_;
}

namespace {

ControlChange Make(ChangeKind kind, ControlName name, Origin origin = Origin::kProgram) {
  ControlChange change;
  change.kind = kind;
  change.control = std::string(name.View());
  change.fromView = origin == Origin::kView;
  return change;
}

ControlChange MakeValue(ChangeKind kind, ControlName name, int value,
                        Origin origin = Origin::kProgram) {
  ControlChange change = Make(kind, name, origin);
  change.value = value;
  return change;
}

}  // namespace

Text Controls::Caption(ControlName name) const {
  return Read(name, [](const ControlState& c) { return c.caption; });
}

void Controls::SetCaption(ControlName name, Text text, Origin origin) {
  ControlChange change = Make(ChangeKind::kCaption, name, origin);
  change.text = std::move(text);
  Submit(std::move(change));
}

bool Controls::Checked(ControlName name) const {
  return Read(name, [](const ControlState& c) { return c.checked; });
}

void Controls::SetChecked(ControlName name, bool checked, Origin origin) {
  Submit(MakeValue(ChangeKind::kChecked, name, checked ? 1 : 0, origin));
}

bool Controls::Visible(ControlName name) const {
  return Read(name, [](const ControlState& c) { return c.visible; });
}

void Controls::SetVisible(ControlName name, bool visible) {
  Submit(MakeValue(ChangeKind::kVisible, name, visible ? 1 : 0));
}

bool Controls::Enabled(ControlName name) const {
  return Read(name, [](const ControlState& c) { return c.enabled; });
}

void Controls::SetEnabled(ControlName name, bool enabled) {
  Submit(MakeValue(ChangeKind::kEnabled, name, enabled ? 1 : 0));
}

ControlRect Controls::Geometry(ControlName name) const {
  return Read(name, [](const ControlState& c) { return c.rect; });
}

void Controls::SetGeometry(ControlName name, ControlRect rect, Origin origin) {
  ControlChange change = Make(ChangeKind::kGeometry, name, origin);
  change.rect = rect;
  Submit(std::move(change));
}

void Controls::SetLeft(ControlName name, int left) {
  // Read and write under one lock would need a second entry point; the window thread is the
  // only one that moves controls, so reading first is enough.
  ControlRect rect = Geometry(name);
  rect.left = left;
  SetGeometry(name, rect);
}

void Controls::SetWidth(ControlName name, int width) {
  ControlRect rect = Geometry(name);
  rect.width = width;
  SetGeometry(name, rect);
}

int Controls::ProgressMaximum(ControlName name) const {
  return Read(name, [](const ControlState& c) { return c.progressMaximum; });
}

void Controls::SetProgressMaximum(ControlName name, int maximum) {
  Submit(MakeValue(ChangeKind::kProgressMaximum, name, maximum));
}

int Controls::ProgressPosition(ControlName name) const {
  return Read(name, [](const ControlState& c) { return c.progressPosition; });
}

void Controls::SetProgressPosition(ControlName name, int position) {
  Submit(MakeValue(ChangeKind::kProgressPosition, name, position));
}

int Controls::CurrentIndex(ControlName name) const {
  return Read(name, [](const ControlState& c) { return c.currentIndex; });
}

void Controls::SetCurrentIndex(ControlName name, int index, Origin origin) {
  Submit(MakeValue(ChangeKind::kCurrentIndex, name, index, origin));
}

void Controls::AppendLog(const Text& text) {
  ControlChange change = Make(ChangeKind::kLogAppend, kLogBox);
  change.text = text;
  Submit(std::move(change));
}

Text Controls::Log() const { return Caption(kLogBox); }

void Controls::ClearRows() { Submit(Make(ChangeKind::kRowsCleared, kAlbumList)); }

int Controls::AppendRow() {
  int row = 0;
  Submit(Make(ChangeKind::kRowAppended, kAlbumList), &row);
  return row;
}

int Controls::RowCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(state_.Rows().size());
}

void Controls::SetCell(int row, int column, Text text) {
  ControlChange change = Make(ChangeKind::kCellText, kAlbumList);
  change.row = row;
  change.column = column;
  change.text = std::move(text);
  Submit(std::move(change));
}

Text Controls::Cell(int row, int column) const {
  std::lock_guard lock(mutex_);
  const auto& rows = state_.Rows();
  if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 ||
      column >= kAlbumListColumns) {
    return {};
  }
  return rows[row].cells[column];
}

void Controls::SetRowChecked(int row, bool checked, Origin origin) {
  ControlChange change = MakeValue(ChangeKind::kRowChecked, kAlbumList, checked ? 1 : 0, origin);
  change.row = row;
  Submit(std::move(change));
}

bool Controls::RowChecked(int row) const {
  std::lock_guard lock(mutex_);
  const auto& rows = state_.Rows();
  return row >= 0 && row < static_cast<int>(rows.size()) && rows[row].checked;
}

void Controls::SetRowCover(int row, std::shared_ptr<const CoverImage> cover) {
  ControlChange change = Make(ChangeKind::kRowCover, kAlbumList);
  change.row = row;
  change.cover = std::move(cover);
  Submit(std::move(change));
}

std::shared_ptr<const CoverImage> Controls::RowCover(int row) const {
  std::lock_guard lock(mutex_);
  const auto& rows = state_.Rows();
  if (row < 0 || row >= static_cast<int>(rows.size())) return nullptr;
  return rows[row].cover;
}

void Controls::SetColumnWidth(int column, int width, Origin origin) {
  ControlChange change = MakeValue(ChangeKind::kColumnWidth, kAlbumList, width, origin);
  change.column = column;
  Submit(std::move(change));
}

int Controls::ColumnWidth(int column) const {
  std::lock_guard lock(mutex_);
  if (column < 0 || column >= kAlbumListColumns) return 0;
  return state_.ColumnWidths()[column];
}

void Controls::SelectRow(int row, Origin origin) {
  ControlChange change = Make(ChangeKind::kRowSelected, kAlbumList, origin);
  change.row = row;
  Submit(std::move(change));
}

int Controls::SelectedRow() const {
  std::lock_guard lock(mutex_);
  return state_.SelectedRow();
}

void Controls::ShowRow(int row) {
  ControlChange change = Make(ChangeKind::kRowShown, kAlbumList);
  change.row = row;
  Submit(std::move(change));
}

void Controls::ShowMessage(const Text& text) {
  ControlChange change = Make(ChangeKind::kMessage, kMainWindow);
  change.text = text;
  Submit(std::move(change));
}

void Controls::ShowMessageAndWait(const Text& text) {
  ControlChange change = Make(ChangeKind::kMessage, kMainWindow);
  change.text = text;
  change.answer = std::make_shared<MessageAnswer>();
  const std::shared_future<void> answered = change.answer->Answered();
  // Without a view the change is dropped, which releases the wait at once.
  Submit(std::move(change));
  answered.wait();
}

}  // namespace ak
