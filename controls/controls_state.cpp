#include "controls/controls_state.h"

#include "base/codec.h"

namespace ak {
namespace {

std::string ReplaceHost(std::string_view caption, std::string_view webHost) {
  constexpr std::string_view kPlaceholder = "{host}";
  std::string out(caption);
  for (std::size_t at = out.find(kPlaceholder); at != std::string::npos;
       at = out.find(kPlaceholder, at + webHost.size())) {
    out.replace(at, kPlaceholder.size(), webHost);
  }
  return out;
}

}  // namespace

ControlsState ControlsState::FromDesign(std::string_view webHost) {
  ControlsState state;
  for (const ControlSpec& spec : ControlCatalogue()) {
    ControlState& control = state.controls_[std::string(spec.name)];
    control.spec = &spec;
    control.caption = Utf8ToGbk(ReplaceHost(spec.caption, webHost));
    control.visible = spec.visible;
    control.rect = spec.rect;
  }
  const auto columns = AlbumListColumns();
  for (int column = 0; column < kAlbumListColumns; ++column) {
    state.columnWidths_[column] = columns[column].width;
  }
  return state;
}

const ControlState* ControlsState::Find(std::string_view name) const {
  const auto found = controls_.find(name);
  return found == controls_.end() ? nullptr : &found->second;
}

ControlState* ControlsState::FindMutable(std::string_view name) {
  const auto found = controls_.find(name);
  return found == controls_.end() ? nullptr : &found->second;
}

bool ControlsState::Apply(const ControlChange& change) {
  ControlState* control = FindMutable(change.control);
  if (control == nullptr) return false;
  switch (change.kind) {
    case ChangeKind::kCaption:
      control->caption = change.text;
      return true;
    case ChangeKind::kChecked:
      control->checked = change.value != 0;
      // Radio buttons on one parent form a group: ticking one clears the others.
      if (control->checked && control->spec->kind == ControlKind::kRadioButton) {
        for (auto& [name, other] : controls_) {
          if (&other != control && other.spec->kind == ControlKind::kRadioButton &&
              other.spec->parent == control->spec->parent) {
            other.checked = false;
          }
        }
      }
      return true;
    case ChangeKind::kVisible:
      control->visible = change.value != 0;
      return true;
    case ChangeKind::kEnabled:
      control->enabled = change.value != 0;
      return true;
    case ChangeKind::kGeometry:
      control->rect = change.rect;
      return true;
    case ChangeKind::kProgressMaximum:
      control->progressMaximum = change.value;
      return true;
    case ChangeKind::kProgressPosition:
      control->progressPosition = change.value;
      return true;
    case ChangeKind::kCurrentIndex:
      control->currentIndex = change.value;
      return true;
    case ChangeKind::kLogAppend:
      control->caption += change.text;
      return true;
    case ChangeKind::kMessage:
      return true;
    default:
      if (control->spec->kind != ControlKind::kListView) return false;
      return ApplyToList(change);
  }
}

bool ControlsState::ApplyToList(const ControlChange& change) {
  const bool rowExists = change.row >= 0 && change.row < static_cast<int>(rows_.size());
  const bool columnExists = change.column >= 0 && change.column < kAlbumListColumns;
  switch (change.kind) {
    case ChangeKind::kRowsCleared:
      rows_.clear();
      selectedRow_ = -1;
      shownRow_ = -1;
      return true;
    case ChangeKind::kRowAppended:
      if (change.row != static_cast<int>(rows_.size())) return false;
      rows_.emplace_back();
      return true;
    case ChangeKind::kCellText:
      if (!rowExists || !columnExists) return false;
      rows_[change.row].cells[change.column] = change.text;
      return true;
    case ChangeKind::kRowChecked:
      if (!rowExists) return false;
      rows_[change.row].checked = change.value != 0;
      return true;
    case ChangeKind::kRowCover:
      if (!rowExists) return false;
      rows_[change.row].cover = change.cover;
      return true;
    case ChangeKind::kColumnWidth:
      if (!columnExists) return false;
      columnWidths_[change.column] = change.value;
      return true;
    case ChangeKind::kRowSelected:
      if (!rowExists) return false;
      selectedRow_ = change.row;
      return true;
    case ChangeKind::kRowShown:
      if (!rowExists) return false;
      shownRow_ = change.row;
      return true;
    default:
      return false;
  }
}

}  // namespace ak
