#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "base/types.h"
#include "controls/control_change.h"
#include "controls/control_names.h"
#include "controls/controls_state.h"
#include "controls/controls_view.h"

namespace ak {

// Where a change comes from: the program's own code, or the view passing on what the user did
// (the view shows that already and is not asked to apply it again).
enum class Origin { kProgram, kView };

// The thread-safe model of every named control of the main window and the search window.
// Workers and the window read and write it from any thread; reads never wait for the window's
// thread. Each change is queued, in the order made, to the attached view. Names are the typed
// constants of ak::ctl; texts are GBK. A control the state does not hold ends the program.
class Controls {
 public:
  explicit Controls(std::string_view webHost = "www.douban.com");
  Controls(const Controls&) = delete;
  Controls& operator=(const Controls&) = delete;
  ~Controls();

  // One view at a time. Attaching replaces the previous view; detaching releases workers that
  // wait for a message box.
  void Attach(std::shared_ptr<ControlsView> view);
  void Detach();
  // The changes queued since the last call, oldest first.
  std::vector<ControlChange> TakeChanges();

  bool Has(ControlName name) const;
  // A copy of the whole state, consistent at one moment.
  ControlsState Snapshot() const;

  Text Caption(ControlName name) const;
  void SetCaption(ControlName name, Text text, Origin origin = Origin::kProgram);
  bool Checked(ControlName name) const;
  void SetChecked(ControlName name, bool checked, Origin origin = Origin::kProgram);
  bool Visible(ControlName name) const;
  void SetVisible(ControlName name, bool visible);
  bool Enabled(ControlName name) const;
  void SetEnabled(ControlName name, bool enabled);
  ControlRect Geometry(ControlName name) const;
  void SetGeometry(ControlName name, ControlRect rect, Origin origin = Origin::kProgram);
  void SetLeft(ControlName name, int left);
  void SetWidth(ControlName name, int width);
  int ProgressMaximum(ControlName name) const;
  void SetProgressMaximum(ControlName name, int maximum);
  int ProgressPosition(ControlName name) const;
  void SetProgressPosition(ControlName name, int position);
  // The page in front of a tab control.
  int CurrentIndex(ControlName name) const;
  void SetCurrentIndex(ControlName name, int index, Origin origin = Origin::kProgram);

  // The log box `编辑框_操作记录`: only ever appended to.
  void AppendLog(const Text& text);
  Text Log() const;

  // The album list `超级列表框1`. Rows and columns count from 0; a missing row reads as empty and
  // unticked, and a change to a missing row does nothing.
  void ClearRows();
  int AppendRow();
  int RowCount() const;
  void SetCell(int row, int column, Text text);
  Text Cell(int row, int column) const;
  void SetRowChecked(int row, bool checked, Origin origin = Origin::kProgram);
  bool RowChecked(int row) const;
  void SetRowCover(int row, std::shared_ptr<const CoverImage> cover);
  std::shared_ptr<const CoverImage> RowCover(int row) const;
  void SetColumnWidth(int column, int width, Origin origin = Origin::kProgram);
  int ColumnWidth(int column) const;
  void SelectRow(int row, Origin origin = Origin::kProgram);
  int SelectedRow() const;
  void ShowRow(int row);

  // A message box (OK only, caption "信息："), shown by the view in its turn among the changes.
  void ShowMessage(const Text& text);
  // The same, and returns once the user has closed it. Never call it on the view's own thread.
  // Returns at once when no view is attached.
  void ShowMessageAndWait(const Text& text);

 private:
  template <typename Reader>
  auto Read(ControlName name, Reader read) const;
  // Applies a change to the state and queues it for the view; false when it changed nothing.
  // An appended row's index is stored in `appendedRow` when given.
  bool Submit(ControlChange change, int* appendedRow = nullptr);

  mutable std::mutex mutex_;
  ControlsState state_;
  std::vector<ControlChange> queue_;
  std::shared_ptr<ControlsView> view_;
  std::uint64_t sequence_ = 0;
};

}  // namespace ak
