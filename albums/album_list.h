#pragma once

#include <memory>

#include "base/types.h"
#include "controls/controls.h"

namespace ak {

// The columns of one row of the album list `超级列表框1` (an AlbumRow). Column 0 carries only
// the tick box; 4, 6 and 7 exist but are never filled.
enum AlbumColumn : int {
  kColumnTick = 0,
  kColumnNumber = 1,   // "1", "2", ...: row index + 1 when the row was added
  kColumnName = 2,     // the cleaned album name
  kColumnCover = 3,    // the cover picture
  kColumnPhotos = 4,   // never filled
  kColumnAddress = 5,  // the album's page address
  kColumnQuestion = 6,
  kColumnPassword = 7,
};

// The start of every listing: progress 0, percentage "0", columns 4 to 7 hidden, the status
// line "相册获取中，耐心等待...", every row removed.
void StartListing(Controls& controls);

// Appends one ticked row numbered after its index. With a cover, column 3 is shown 100 wide and
// the row carries the picture; without (covers off), column 3 is hidden.
int AppendAlbumRow(Controls& controls, const Text& name, const Text& address,
                   std::shared_ptr<const CoverImage> cover);

// One more album listed: the progress bar moves on and the percentage follows it.
void StepListingProgress(Controls& controls);

// The end of every listing: the drawing board hidden, the status line and the log's closing line
// with the number of rows now in the list.
void FinishListing(Controls& controls);
// The end of a listing that found nothing because the service did not answer: the same places
// say so, never "共计0个".
void FinishUnansweredListing(Controls& controls);

// `选择框_全选` clicked: when it is now checked, clears `选择框_反选` and ticks every row.
void SelectAllClicked(Controls& controls);
// `选择框_反选` clicked: when it is now checked, clears `选择框_全选` and flips every row's tick.
void InvertClicked(Controls& controls);
// The user toggled a row's tick box: that row becomes the selected row.
void RowTickToggled(Controls& controls, int row);

}  // namespace ak
