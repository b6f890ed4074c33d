#include "albums/album_list.h"

#include <string>

#include "albums/cover_picture.h"
#include "base/codec.h"

namespace ak {

void StartListing(Controls& controls) {
  controls.SetProgressPosition(ctl::进度条1, 0);
  controls.SetCaption(ctl::标签_进度条比例, "0");
  for (int column : {kColumnPhotos, kColumnAddress, kColumnQuestion, kColumnPassword}) {
    controls.SetColumnWidth(column, 0);
  }
  controls.SetCaption(ctl::标签_动态, AK_GBK("相册获取中，耐心等待..."));
  controls.ClearRows();
}

int AppendAlbumRow(Controls& controls, const Text& name, const Text& address,
                   std::shared_ptr<const CoverImage> cover) {
  const bool withCover = cover != nullptr;
  controls.SetColumnWidth(kColumnCover, withCover ? kCoverSide : 0);
  const int row = controls.AppendRow();
  controls.SetCell(row, kColumnNumber, std::to_string(row + 1));
  controls.SetCell(row, kColumnName, name);
  if (withCover) controls.SetRowCover(row, std::move(cover));
  controls.SetCell(row, kColumnAddress, address);
  controls.SetRowChecked(row, true);
  return row;
}

void StepListingProgress(Controls& controls) {
  controls.SetProgressPosition(ctl::进度条1, controls.ProgressPosition(ctl::进度条1) + 1);
  const long long position = controls.ProgressPosition(ctl::进度条1);
  const long long maximum = controls.ProgressMaximum(ctl::进度条1);
  // Without a known total (the album count was missing) there is no share to show.
  if (maximum <= 0) return;
  controls.SetCaption(ctl::标签_进度条比例, std::to_string(position * 100 / maximum) + "%");
}

void FinishListing(Controls& controls) {
  controls.SetVisible(ctl::画板1, false);
  const std::string count = std::to_string(controls.RowCount());
  controls.SetCaption(ctl::标签_动态, AK_GBK("相册列表获取完毕,共计") + count + AK_GBK("个"));
  controls.AppendLog(AK_GBK("-----获取完毕,共计") + count + AK_GBK("个\r\n\r\n"));
}

void FinishUnansweredListing(Controls& controls) {
  controls.SetVisible(ctl::画板1, false);
  controls.SetCaption(ctl::标签_动态, AK_GBK("相册列表获取失败：豆瓣没有应答"));
  controls.AppendLog(
      AK_GBK("-----豆瓣没有应答，没有获取到相册，请检查网络后再按“2：获取相册”\r\n\r\n"));
}

void SelectAllClicked(Controls& controls) {
  if (!controls.Checked(ctl::选择框_全选)) return;
  controls.SetChecked(ctl::选择框_反选, false);
  for (int row = 0, rows = controls.RowCount(); row < rows; ++row) {
    controls.SetRowChecked(row, true);
  }
}

void InvertClicked(Controls& controls) {
  if (!controls.Checked(ctl::选择框_反选)) return;
  controls.SetChecked(ctl::选择框_全选, false);
  for (int row = 0, rows = controls.RowCount(); row < rows; ++row) {
    controls.SetRowChecked(row, !controls.RowChecked(row));
  }
}

void RowTickToggled(Controls& controls, int row) { controls.SelectRow(row); }

}  // namespace ak
