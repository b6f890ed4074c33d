#include "commands/album_commands.h"

#include "albums/address_kind.h"
#include "albums/album_list.h"
#include "albums/album_pages.h"
#include "albums/album_walk.h"
#include "albums/listing_requests.h"
#include "albums/page_text.h"
#include "base/codec.h"
#include "base/text_ops.h"
#include "net/service_config.h"

namespace ak {
namespace {

// The listing's hold after a refusal: the context's choice of holding or ending, and while
// it holds, continue and end act on the listing.
RefusalHold ContextListingHold(CommandContext& ctx, WorkerGate& gate) {
  RefusalPolicy policy;
  policy.endOnRefusal = ctx.endOnRefusal;
  policy.onHold = [&ctx] {
    if (ctx.onListingRefusalHold) ctx.onListingRefusalHold();
  };
  RefusalHold hold = ListingHold(ctx.controls, gate, std::move(policy));
  // Held before its buttons show, so that a press of continue or end reaches the listing.
  hold.showHeld = [&ctx, show = std::move(hold.showHeld)] {
    ctx.listingHeld = true;
    show();
  };
  return hold;
}

// The listing worker: the page that gives the title, the source, the opening texts, then the
// person's albums or the one album. The button comes back however the worker ends.
ListingOutcome RunListing(CommandContext& ctx, const ClassifiedAddress& typed, WorkerGate& gate) {
  Controls& controls = ctx.controls;
  struct ButtonBack {
    Controls& controls;
    ~ButtonBack() { controls.SetEnabled(ctl::按钮_获取相册封面, true); }
  } buttonBack{controls};
  RefusalHold hold = ContextListingHold(ctx, gate);
  auto ended = [&] { return ListingOutcome{controls.RowCount(), true, hold.endedByRefusal}; };

  const bool person = typed.kind == AddressKind::kPerson;
  const Text titlePage = person ? "http://" + WebHost() + "/people/" + typed.id : typed.address;
  const std::optional<ServiceSender::Page> answer =
      SendListingPage(hold, ServiceListingIo(), titlePage);
  if (!answer || !gate.Checkpoint()) return ended();
  const Text page = PageText(answer->body);
  Source source{typed.address, typed.id, person ? ReadOwnerName(page) : ReadAlbumTitle(page)};
  ctx.source.Set(source);

  controls.SetCaption(ctl::标签_动态, AK_GBK("温馨提示：正在获取相册列表..."));
  controls.AppendLog(AK_GBK("正努力获取相册列表，耐心等待哈！\r\n\r\n"));
  controls.SetVisible(ctl::画板1, false);
  std::vector<AlbumEntry> entries;
  if (person) {
    const bool done = ListPersonAlbums(controls, source, gate, ServiceListingIo(), &hold, &entries);
    ctx.listedEntries.Set(std::move(entries));
    if (!done) return ended();
  } else {
    if (!ListSingleAlbum(controls, source, gate)) return ended();
    // The album's cleaned title is the folder level above the album folder.
    ctx.source.Set(source);
    // The album page itself shows the count, where the downloader reads it ("共N张照片").
    AlbumEntry entry{{}, source.address, source.title};
    const Text unit = AK_GBK("张照片");
    entry.photoCount =
        ShownPhotoCount(TextBetween(page, "\n</span>\n\n<span class=\"pl\">", unit) + unit);
    ctx.listedEntries.Set({std::move(entry)});
  }
  return ListingOutcome{controls.RowCount(), false, false};
}

// Whether a refusal of the service ended the last listing (the command line's --no-wait).
bool ListingEndedByRefusal(const CommandContext& ctx) {
  return ctx.lastListing.Get().endedByRefusal;
}

}  // namespace

GetAlbumsOutcome GetAlbumsCommand(CommandContext& ctx) {
  Controls& controls = ctx.controls;
  if (ctx.listing.Running()) return GetAlbumsOutcome::kBusy;
  const Text typed = controls.Caption(ctl::编辑框_号码);
  if (typed.empty()) {
    controls.ShowMessage(AK_GBK("请输入网址"));
    return GetAlbumsOutcome::kEmptyAddress;
  }
  const ClassifiedAddress address = ClassifyAddress(typed, WebHost());
  if (address.kind != AddressKind::kPerson && address.kind != AddressKind::kAlbum) {
    controls.ShowMessage(AK_GBK("网址格式不符"));
    return GetAlbumsOutcome::kBadAddress;
  }
  // The page fetch that gives the title runs on the worker too, so the window never waits on
  // the network; the button stays disabled until the listing has ended.
  controls.SetEnabled(ctl::按钮_获取相册封面, false);
  const bool started = ctx.listing.Start([&ctx, address](WorkerGate& gate) {
    ctx.lastListing.Set({});
    ctx.listedEntries.Set({});
    ctx.lastListing.Set(RunListing(ctx, address, gate));
    ctx.listingHeld = false;
  });
  if (started) return GetAlbumsOutcome::kStarted;
  controls.SetEnabled(ctl::按钮_获取相册封面, true);
  return ctx.listing.Running() ? GetAlbumsOutcome::kBusy : GetAlbumsOutcome::kNoWorker;
}

ListingResult AwaitListing(CommandContext& ctx) {
  ctx.listing.Wait();
  ListingResult result;
  const Controls& controls = ctx.controls;
  const std::vector<AlbumEntry> entries = ctx.listedEntries.Get();
  for (int row = 0; row < controls.RowCount(); ++row) {
    ListedAlbum album{controls.Cell(row, kColumnNumber), controls.Cell(row, kColumnName),
                      controls.Cell(row, kColumnAddress)};
    if (static_cast<std::size_t>(row) < entries.size() && entries[row].address == album.address) {
      album.cover = entries[row].cover;
      album.photoCount = entries[row].photoCount;
    }
    result.rows.push_back(std::move(album));
  }
  result.endedByRefusal = ListingEndedByRefusal(ctx);
  return result;
}

void SelectAllCommand(CommandContext& ctx) { SelectAllClicked(ctx.controls); }

void InvertCommand(CommandContext& ctx) { InvertClicked(ctx.controls); }

void RowTickToggledCommand(CommandContext& ctx, int row) { RowTickToggled(ctx.controls, row); }

void OpenSearchWindowCommand(CommandContext& ctx) { ctx.controls.SetVisible(ctl::查找窗口, true); }

void FindAlbumCommand(CommandContext& ctx) { FindAlbum(ctx.controls, ctx.search); }

void FindNextAlbumCommand(CommandContext& ctx) { FindNextAlbum(ctx.controls, ctx.search); }

void FindPreviousAlbumCommand(CommandContext& ctx) { FindPreviousAlbum(ctx.controls, ctx.search); }

}  // namespace ak
