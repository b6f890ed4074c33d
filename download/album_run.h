#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "base/types.h"
#include "download/album_job.h"
#include "download/album_metadata.h"
#include "download/photo_file.h"
#include "download/picture_pipeline.h"
#include "download/pictures_on_disk.h"
#include "download/record_store.h"
#include "download/record_sync.h"
#include "requests/service_send.h"

namespace ak {

// Which picture size the option buttons ask for.
enum class PictureSize { kNone, kMedium, kLarge, kOriginal };

// One photo as a downloader found it.
struct PhotoToFetch {
  int runningNumber = 0;
  Text id;
  // The file name's description part, already cleaned.
  Text descriptionPart;
  Text mediumAddress;
  // The address of the full-size picture (the API downloader puts the medium one here when the
  // answer names none).
  Text largeAddress;
  // The description as the service sent it, for the album's metadata.
  Text description;
  // The original ("raw") picture; empty when the photo's addresses have no such form.
  Text originalAddress;
};

// The frame both album downloaders share: the record box's log line and the record store of the
// source, the album folder, page fetches with their retries, one photo's fetch, file and record,
// the progress display, and the album's closing lines. The store is closed when the run ends,
// whichever way it ends.
//
// Every method that waits on the network honours the batch's gate first; one that returns false
// or nothing has seen the batch ended, and the downloader must return at once.
class AlbumRun {
 public:
  // Logs whether the record box is ticked and opens the source's record store. The counts of
  // the album go to `tally`.
  AlbumRun(const AlbumDownloadEnv& env, BatchTally& tally);
  ~AlbumRun();
  AlbumRun(const AlbumRun&) = delete;
  AlbumRun& operator=(const AlbumRun&) = delete;

  // One page or API fetch, no retry, through the batch's send path (a refusal holds the batch
  // and sends the request again after continue). Nothing when the batch was ended.
  std::optional<Bytes> FetchOnce(const Text& url, RequestKind kind = RequestKind::kPage);
  // Up to 10 attempts, with the retry wait after every empty answer; the last (empty) answer
  // after ten. Nothing when the batch was ended, also during a wait.
  std::optional<Bytes> FetchWithRetries(const Text& url, RequestKind kind = RequestKind::kPage);

  // The album's start: count slot shown, progress at 0 of `maximum`, percentage cleared and the
  // start line "准备下载相册《name》" logged (the name as received). A `maximum` above 0 is a
  // promise of photos: an album that then lists none has failed (see Finish).
  void Start(const Text& albumName, int maximum);
  // The album promised photos although its count says none (a count the walk of its pages read
  // before it retried through the API, an answer that is no photo list).
  void ExpectPhotos() { promised_ = true; }
  // Why the album listed no photo, for the line that says it failed: a more specific reason
  // than the one Finish gives of its own (an error the service answered, for example).
  void SetNothingFoundReason(Text reason) { nothingFoundReason_ = std::move(reason); }

  // The album failed (whole, or its walk could not go on): one line naming it and why, and it
  // counts as a failed album of the batch (once, whatever else fails in it).
  void Fail(const Text& albumName, const Text& reason);

  // Cleans the source title and makes the album folder save root / title / `folderName`, where
  // `folderName` is the cleaned album name followed by `countPart`. Each level is cut to the
  // file system's name limit (FitName): the title, and the album name before its count. An
  // empty title adds no level; a folder name that would be empty is the album's digits. When
  // another album of this batch (another address) already used that folder, its pictures would
  // be replaced by this album's: the folder name then gets "_" and the album's digits, and a line
  // says so. `folderName` receives the name used. A folder that cannot be made fails the album
  // (Fail, naming the folder and the system's reason) and gives false: nothing of it is fetched.
  bool PrepareFolder(Text& folderName, std::string_view countPart, const Text& albumAddress);

  // Downloads one photo: skip when recorded (and the record box is ticked), fetch the size the
  // option buttons ask for, save it, record it. A photo that yields no picture or whose file
  // cannot be written is counted as failed and not recorded. False when the batch was ended.
  // The picture may still be on its way when this returns: up to the batch's connections are
  // in flight at once (see PicturePipeline), and each photo is saved, shown and recorded in its
  // running order. Page fetches and the album's end wait for every picture under way.
  bool DownloadPhoto(const PhotoToFetch& photo, const Text& countSlot);

  // Once every picture under way is saved: the album's closing line, the album's counts, the
  // cleared photo counter, and the line on failed photos when there were any. Nothing when the
  // batch was ended meanwhile.
  void Finish(const Text& folderName);

  int failedPhotos() const { return failed_; }
  // Waits for the pictures under way, then records every saved photo once its picture is on
  // the disk. Saved photos are otherwise recorded group by group beside the download
  // (RecordSync), and the rest at the album's end and when the run ends early.
  void RecordSavedPhotos();
  const Text& albumFolder() const { return albumFolder_; }
  // The ids of the photos this run saved.
  const std::vector<Text>& savedIds() const { return savedIds_; }

 private:
  void ShowProgress(const Text& countSlot);
  // One photo in its running order: progress, counts and record; `saved` is what became of
  // its file when a picture came.
  struct SavedFile {
    SavedPhoto file;
    long long bytes = 0;
  };
  void Conclude(const PhotoToFetch& photo, const Text& countSlot, bool recorded, PictureSize size,
                const FetchedPicture& picture, const SavedFile& file);
  // Records a group of saved photos once its sync has ended (`synced`: successfully).
  void RecordGroup(const std::vector<Text>& ids, bool synced);
  // After a refusal, for the rest of the batch: twice the interval and one connection.
  void SlowDownAfterRefusal();
  bool Settled();
  // Import: records the photo when its whole picture is in the folder.
  void ImportPhoto(const PhotoToFetch& photo);
  // The album's metadata file, once, with what was saved so far.
  void WriteMetadata();
  // The line on saved photos whose record could not be written, once for the album.
  void ReportUnrecorded();
  // The original with the sign-in's cookies; the large picture (and its fallbacks) when there
  // is no sign-in or the service keeps the original back.
  FetchedPicture FetchOriginal(const PhotoToFetch& photo);
  // An original-size photo: fetched alone once the pictures under way are saved.
  bool DownloadOriginal(const PhotoToFetch& photo, const Text& countSlot);
  // The record box as this batch sees it (ticked for a rerun of what failed).
  bool RecordBoxTicked() const;

  const AlbumDownloadEnv& env_;
  BatchTally& tally_;
  RefusalHold hold_;
  ServiceSender sender_;
  DownloadRecordStore store_;
  RecordSync recordSync_;
  PicturePipeline pipeline_;
  Text albumFolder_;
  // The batch's counts when the album began.
  int savedBefore_ = 0;
  int skippedBefore_ = 0;
  int refusedBefore_ = 0;
  std::vector<Text> savedIds_;
  int failed_ = 0;
  bool writeFailureLogged_ = false;
  // With the metadata box ticked at the album's start: album.json at its end.
  std::optional<AlbumMetadata> metadata_;
  bool folderReady_ = false;
  std::optional<FolderPictures> onDisk_;
  // Photos the album's pages or answers listed (downloaded, skipped or failed).
  int listed_ = 0;
  bool promised_ = false;
  Text nothingFoundReason_;
  Text albumName_;
  // The count the album claimed (the progress maximum).
  int claimed_ = 0;
  // The album is counted among the batch's failed albums already.
  bool countedFailed_ = false;
  // Saved photos whose record could not be written, and why.
  int unrecorded_ = 0;
  Text unrecordedReason_;
  bool unrecordedReported_ = false;
};

}  // namespace ak
