#include "download/album_run.h"

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <memory>
#include <system_error>

#include "albums/name_cleaning.h"
#include "base/codec.h"
#include "base/delay.h"
#include "base/file_writer.h"
#include "base/text_ops.h"
#include "download/batch_buttons.h"
#include "download/ensure_folder.h"
#include "download/name_fit.h"
#include "download/photo_counts.h"
#include "download/photo_file.h"
#include "download/photo_request.h"
#include "net/cookie_jar.h"
#include "net/sign_in_cookies.h"
#include "requests/original_fetch.h"

namespace ak {
namespace {

constexpr int kPageAttempts = 10;

RefusalHold BatchHold(const AlbumDownloadEnv& env) {
  Controls& controls = env.controls;
  RefusalHold hold{controls, env.gate, env.pacer, env.policy.refusal};
  hold.heldLine = AK_GBK(
      "豆瓣拒绝了请求（访问太频繁，或需要登录），下载已暂停：请在登录页登录豆瓣，"
      "或等待一段时间，然后按“继续下载”，被拒绝的请求会重新发送。\r\n\r\n");
  hold.endedLine = AK_GBK("豆瓣拒绝了请求（访问太频繁，或需要登录），下载已结束。\r\n\r\n");
  hold.showHeld = [&controls] { ShowHeldButtons(controls); };
  // The batch is over: the buttons of the idle state, as after the end command.
  hold.showEnded = [&controls] { ShowIdleButtons(controls); };
  return hold;
}

PictureSize ChosenSize(const Controls& controls) {
  if (controls.Checked(ctl::单选框_中图)) return PictureSize::kMedium;
  if (controls.Checked(ctl::单选框_原图)) return PictureSize::kLarge;
  if (controls.Checked(ctl::单选框_原始尺寸)) return PictureSize::kOriginal;
  return PictureSize::kNone;
}

PictureRequest RequestFor(const PhotoToFetch& photo, PictureSize size, PictureLimits limits) {
  PictureRequest request;
  request.limits = limits;
  request.headerBlock = PhotoHeaderBlock(photo.id);
  if (size == PictureSize::kMedium) {
    request.url = photo.mediumAddress;
    request.on404 = photo.mediumAddress;
    request.onOtherStatus = photo.mediumAddress;
  } else {
    request.url = photo.largeAddress;
    request.on404 = photo.mediumAddress;
    request.onOtherStatus = photo.largeAddress;
  }
  return request;
}

bool IsFolder(const Text& path) {
  std::error_code error;
  return std::filesystem::is_directory(std::filesystem::path(GbkToUtf8(path)), error);
}

// The system's reason as a text of the log (GBK).
Text ReasonText(const std::error_code& error) {
  return error ? Utf8ToGbk(error.message()) : AK_GBK("原因不明");
}

// Whole seconds, rounded up, for a line of the log.
std::string Seconds(std::chrono::milliseconds limit) {
  return std::to_string((limit.count() + 999) / 1000);
}

}  // namespace

AlbumRun::AlbumRun(const AlbumDownloadEnv& env, BatchTally& tally)
    : env_(env),
      tally_(tally),
      hold_(BatchHold(env)),
      sender_(hold_),
      store_([&env](const Text& line) { env.controls.AppendLog(line); }),
      recordSync_([this](const std::vector<Text>& ids, bool synced) { RecordGroup(ids, synced); }),
      pipeline_(
          env.gate, hold_, env.pacer,
          [this] { return tally_.oneConnection ? 1 : std::clamp(env_.policy.connections, 1, 8); },
          [this](int refused) { tally_.refusedPhotos += refused; }),
      savedBefore_(tally.savedPhotos),
      skippedBefore_(tally.skippedPhotos),
      refusedBefore_(tally.refusedPhotos) {
  hold_.afterHeldLine = [this] { SlowDownAfterRefusal(); };
  env_.controls.AppendLog(RecordBoxTicked() ? AK_GBK("已经勾选了防止重复下载功能\r\n\r\n")
                                            : AK_GBK("未勾选了防止重复下载功能\r\n\r\n"));
  store_.OpenForSource(env_.programDir + "/" + DownloadRecordStore::FolderName(), env_.source.id);
  if (env_.controls.Checked(ctl::选择框_元数据) && !env_.policy.importExisting) {
    metadata_.emplace();
  }
}

AlbumRun::~AlbumRun() {
  // Pictures still under way are dropped unsaved; the saved ones are recorded once on the disk.
  recordSync_.Flush();
  ReportUnrecorded();
  // An ended batch leaves the metadata of what it saved.
  WriteMetadata();
  store_.Close();
}

void AlbumRun::WriteMetadata() {
  if (!metadata_ || !folderReady_) return;
  std::string error;
  if (!metadata_->Write(std::filesystem::path(GbkToUtf8(albumFolder_)), &error)) {
    env_.controls.AppendLog(AK_GBK("相册信息文件无法保存：") + albumFolder_ +
                            kAlbumMetadataFileName + AK_GBK("（") + Utf8ToGbk(error) +
                            AK_GBK("）\r\n\r\n"));
  }
  metadata_.reset();
}

bool AlbumRun::Settled() {
  if (pipeline_.Drain()) return true;
  if (hold_.endedByRefusal) tally_.endedByRefusal = true;
  return false;
}

void AlbumRun::RecordSavedPhotos() {
  Settled();
  recordSync_.Flush();
}

void AlbumRun::RecordGroup(const std::vector<Text>& ids, bool synced) {
  // A photo is recorded only once its picture is on the disk: a power cut must not leave a
  // record of a picture that was lost, or a later run would skip it. Without the sync the
  // photos stay unrecorded and a later run fetches them again.
  if (!synced) {
    unrecorded_ += static_cast<int>(ids.size());
    if (unrecordedReason_.empty()) unrecordedReason_ = AK_GBK("照片无法同步到磁盘");
  } else if (!store_.is_open()) {
    unrecorded_ += static_cast<int>(ids.size());
    if (unrecordedReason_.empty()) {
      unrecordedReason_ =
          AK_GBK("下载记录无法打开（") + ReasonText(store_.last_error()) + AK_GBK("）");
    }
  } else {
    for (const Text& id : ids) {
      store_.Rewind();
      if (store_.Find(id) || store_.Add(id)) continue;
      ++unrecorded_;
      if (unrecordedReason_.empty()) {
        unrecordedReason_ =
            AK_GBK("下载记录无法写入（") + ReasonText(store_.last_error()) + AK_GBK("）");
      }
    }
  }
}

void AlbumRun::SlowDownAfterRefusal() {
  if (env_.pacer != nullptr) {
    const IntervalRange slower = env_.pacer->SlowDown();
    env_.controls.AppendLog(AK_GBK("请求被拒绝后，本次下载余下的请求间隔加倍为") +
                            IntervalText(slower) + AK_GBK("毫秒（设置不变）\r\n\r\n"));
  }
  if (!tally_.oneConnection && env_.policy.connections > 1) {
    env_.controls.AppendLog(
        AK_GBK("请求被拒绝后，本次下载余下的照片改为一张一张地下载（一个连接）\r\n\r\n"));
  }
  tally_.oneConnection = true;
}

void AlbumRun::ReportUnrecorded() {
  if (unrecorded_ == 0 || unrecordedReported_) return;
  unrecordedReported_ = true;
  tally_.unrecordedPhotos += unrecorded_;
  env_.controls.AppendLog(AK_GBK("相册《") + albumName_ + AK_GBK("》有") +
                          std::to_string(unrecorded_) +
                          AK_GBK("张照片已保存，但没有记入下载记录：") + unrecordedReason_ +
                          AK_GBK("。下次下载这个相册时会重新获取这些照片\r\n\r\n"));
}

void AlbumRun::Fail(const Text& albumName, const Text& reason) {
  if (!countedFailed_) ++tally_.failedAlbums;
  countedFailed_ = true;
  env_.controls.AppendLog(AK_GBK("相册《") + albumName + AK_GBK("》下载失败：") + reason +
                          "\r\n\r\n");
}

std::optional<Bytes> AlbumRun::FetchOnce(const Text& url, RequestKind kind) {
  // Pages go one at a time, never beside pictures.
  if (!Settled()) return std::nullopt;
  std::optional<ServiceSender::Page> page = sender_.SendPage(url, kind);
  if (hold_.endedByRefusal) tally_.endedByRefusal = true;
  if (!page) return std::nullopt;
  return std::move(page->body);
}

std::optional<Bytes> AlbumRun::FetchWithRetries(const Text& url, RequestKind kind) {
  if (!Settled()) return std::nullopt;
  Bytes body;
  for (int attempt = 0; attempt < kPageAttempts; ++attempt) {
    std::optional<ServiceSender::Page> page = sender_.SendPage(url, kind);
    if (hold_.endedByRefusal) tally_.endedByRefusal = true;
    if (!page) return std::nullopt;
    body = std::move(page->body);
    if (page->kind != AnswerKind::kEmpty) return body;
    PumpingDelay(env_.retryWait.count(), 0, env_.gate.StopToken());
    if (env_.gate.Stopped()) return std::nullopt;
  }
  return body;
}

void AlbumRun::Start(const Text& albumName, int maximum) {
  albumName_ = albumName;
  claimed_ = maximum;
  if (maximum > 0) promised_ = true;
  env_.controls.SetCaption(ctl::标签_进度条比例, {});
  env_.controls.SetProgressPosition(ctl::进度条1, 0);
  env_.controls.SetProgressMaximum(ctl::进度条1, maximum);
  env_.controls.AppendLog(AK_GBK("准备下载相册《") + albumName + AK_GBK("》\r\n\r\n"));
  if (metadata_) {
    MetadataAlbum album;
    album.name = albumName;
    album.claimedCount = maximum;
    metadata_->SetAlbum(std::move(album));
  }
}

bool AlbumRun::PrepareFolder(Text& folderName, std::string_view countPart,
                             const Text& albumAddress) {
  assert(std::string_view(folderName).ends_with(countPart));
  CleanAlbumName(env_.source.title);
  Text root = env_.controls.Caption(ctl::编辑框_保存位置);
  if (root.empty()) root = env_.programDir;
  // The owner's (or the single album's) folder level; a title that cleaned to nothing has none.
  Text parent = root + "/";
  if (!env_.source.title.empty()) parent += FitName({}, env_.source.title, {}) + "/";
  // Names from the service may be longer than a folder name can be: the name is cut, the count
  // and the suffix below are kept.
  Text name = folderName.substr(0, folderName.size() - countPart.size());
  // Without a name and a count the photos would land in the folder above, beside other albums'.
  if (name.empty() && countPart.empty()) name = DigitsOf(albumAddress);
  if (name.empty() && countPart.empty()) name = AK_GBK("相册");
  folderName = FitName({}, name, countPart);
  const auto used = tally_.albumFolders.find(parent + folderName);
  if (used != tally_.albumFolders.end() && used->second != albumAddress) {
    const Text shared = folderName;
    folderName = FitName({}, name, Text(countPart) + "_" + DigitsOf(albumAddress));
    env_.controls.AppendLog(AK_GBK("相册《") + shared +
                            AK_GBK("》的文件夹已被本次下载的另一个相册使用，照片存入《") +
                            folderName + AK_GBK("》\r\n\r\n"));
  }
  tally_.albumFolders.emplace(parent + folderName, albumAddress);
  albumFolder_ = parent + folderName;
  albumName_ = folderName;
  std::error_code error;
  // An import looks at what is there and makes no folder.
  if (!env_.policy.importExisting && !IsFolder(albumFolder_) &&
      !EnsureFolder(albumFolder_, &error) && !EnsureFolder(albumFolder_, &error)) {
    // Every picture of the album would fail to be written: none is fetched.
    Fail(folderName, AK_GBK("无法创建文件夹 ") + albumFolder_ + AK_GBK("（") + ReasonText(error) +
                         AK_GBK("）"));
    return false;
  }
  // EnsureFolder ends the path in a separator; so must a folder that already existed.
  if (albumFolder_.back() != '/') albumFolder_ += '/';
  folderReady_ = true;
  if (env_.policy.importExisting) onDisk_.emplace(std::filesystem::path(GbkToUtf8(albumFolder_)));
  if (metadata_) {
    MetadataAlbum album = metadata_->album();
    album.address = albumAddress;
    album.id = TextBetween(albumAddress, "/photos/album/", "/");
    if (album.id.empty()) album.id = DigitsOf(albumAddress);
    if (env_.receivedNames != nullptr) {
      const auto received = env_.receivedNames->find(albumAddress);
      if (received != env_.receivedNames->end()) album.name = received->second;
    }
    album.owner = env_.source.title;
    album.sourceAddress = env_.source.address;
    album.sourceId = env_.source.id;
    metadata_->SetAlbum(std::move(album));
  }
  return true;
}

void AlbumRun::ImportPhoto(const PhotoToFetch& photo) {
  store_.Rewind();
  const bool recorded = store_.Find(photo.id);
  const Text file = onDisk_ ? onDisk_->Claim(photo.runningNumber, photo.id) : Text();
  if (recorded) {
    ++tally_.skippedPhotos;
  } else if (!file.empty()) {
    ++tally_.importedPhotos;
    recordSync_.Saved(std::filesystem::path(GbkToUtf8(albumFolder_)), photo.id);
  }
}

bool AlbumRun::DownloadPhoto(const PhotoToFetch& photo, const Text& countSlot) {
  if (env_.gate.Stopped()) return false;
  ++listed_;
  if (env_.policy.importExisting) {
    env_.controls.SetProgressPosition(ctl::进度条1, photo.runningNumber);
    ImportPhoto(photo);
    ShowProgress(countSlot);
    return true;
  }
  store_.Rewind();
  const bool recorded =
      (RecordBoxTicked() && store_.Find(photo.id)) || tally_.alreadySaved.count(photo.id) > 0;
  const PictureSize size = ChosenSize(env_.controls);
  if (!recorded && size == PictureSize::kOriginal) return DownloadOriginal(photo, countSlot);
  PicturePipeline::Photo entry;
  if (!recorded && size != PictureSize::kNone) {
    entry.request = RequestFor(photo, size, env_.policy.pictureLimits);
  }
  auto saved = std::make_shared<SavedFile>();
  entry.save = [this, saved, number = photo.runningNumber,
                part = photo.descriptionPart](const FetchedPicture& picture) {
    saved->file = SavePhotoFile(albumFolder_, number, part, picture.bytes);
    saved->bytes = static_cast<long long>(picture.bytes.size());
  };
  entry.conclude = [this, saved, photo, countSlot, recorded, size](const FetchedPicture& picture) {
    Conclude(photo, countSlot, recorded, size, picture, *saved);
  };
  if (pipeline_.Submit(std::move(entry))) return true;
  if (hold_.endedByRefusal) tally_.endedByRefusal = true;
  return false;
}

bool AlbumRun::DownloadOriginal(const PhotoToFetch& photo, const Text& countSlot) {
  // The original goes with the sign-in's cookies, one at a time after the pictures under way.
  if (!Settled()) return false;
  const int refusalsBefore = hold_.refusals;
  FetchedPicture picture = FetchOriginal(photo);
  if (hold_.refusals > refusalsBefore) ++tally_.refusedPhotos;
  if (hold_.endedByRefusal) tally_.endedByRefusal = true;
  if (picture.result == FetchedPicture::Result::kEnded || env_.gate.Stopped()) return false;
  SavedFile saved;
  if (picture.result == FetchedPicture::Result::kPicture) {
    saved.file =
        SavePhotoFile(albumFolder_, photo.runningNumber, photo.descriptionPart, picture.bytes);
    saved.bytes = static_cast<long long>(picture.bytes.size());
  }
  Conclude(photo, countSlot, false, PictureSize::kOriginal, picture, saved);
  return true;
}

void AlbumRun::Conclude(const PhotoToFetch& photo, const Text& countSlot, bool recorded,
                        PictureSize size, const FetchedPicture& picture, const SavedFile& file) {
  Controls& controls = env_.controls;
  controls.SetProgressPosition(ctl::进度条1, photo.runningNumber);
  MetadataPhoto listed;
  listed.id = photo.id;
  listed.number = photo.runningNumber;
  listed.description = photo.description;
  if (recorded) {
    ++tally_.skippedPhotos;
    listed.state = MetadataPhoto::State::kRecordedEarlier;
    listed.file = PhotoFileName(photo.runningNumber, photo.descriptionPart);
  } else {
    if (picture.result != FetchedPicture::Result::kPicture) {
      ++failed_;
      listed.state = MetadataPhoto::State::kFailed;
      listed.error = size == PictureSize::kNone ? "no picture size chosen"
                     : picture.timedOut
                         ? "timed out"
                         : "no picture came (status " + std::to_string(picture.status) + " from " +
                               GbkToUtf8(picture.url) + ")";
      if (picture.timedOut) {
        controls.AppendLog(
            AK_GBK("第") + std::to_string(photo.runningNumber) + AK_GBK("张照片下载超时（") +
            Seconds(env_.policy.pictureLimits.whole) + AK_GBK("秒内没有收到图片）：") +
            (size == PictureSize::kMedium ? photo.mediumAddress : photo.largeAddress) + "\r\n\r\n");
      }
    } else {
      const SavedPhoto& saved = file.file;
      listed.file = saved.fileName;
      listed.url = picture.url;
      listed.sizeAsked = size == PictureSize::kOriginal ? "original"
                         : size == PictureSize::kLarge  ? "large"
                                                        : "medium";
      listed.sizeSaved = picture.url == photo.mediumAddress ? "medium"
                         : !photo.originalAddress.empty() && picture.url == photo.originalAddress
                             ? "original"
                             : "large";
      listed.fallback = picture.fallback;
      listed.bytes = file.bytes;
      listed.state = saved.saved ? MetadataPhoto::State::kSaved : MetadataPhoto::State::kFailed;
      if (!saved.saved) listed.error = "the file could not be written: " + saved.error;
      if (saved.saved) {
        ++tally_.savedPhotos;
        savedIds_.push_back(photo.id);
        recordSync_.Saved(std::filesystem::path(GbkToUtf8(albumFolder_)), photo.id);
      } else {
        ++failed_;
        if (!writeFailureLogged_) {
          writeFailureLogged_ = true;
          controls.AppendLog(AK_GBK("照片无法保存：") + albumFolder_ + saved.fileName +
                             AK_GBK("（") + Utf8ToGbk(saved.error) + AK_GBK("）\r\n\r\n"));
        }
      }
    }
  }
  if (metadata_) metadata_->Add(std::move(listed));
  ShowProgress(countSlot);
}

FetchedPicture AlbumRun::FetchOriginal(const PhotoToFetch& photo) {
  const CookieJar& jar = SharedCookieJar();
  if (!HasSignIn(jar)) {
    if (!tally_.originalSignInLogged) {
      tally_.originalSignInLogged = true;
      env_.controls.AppendLog(
          AK_GBK("原始尺寸的照片只给登录的用户：请在登录页登录豆瓣（命令行：cookies.txt 或 "
                 "--cookies），这次改存大图\r\n\r\n"));
    }
  } else if (!photo.originalAddress.empty()) {
    FetchedPicture raw = FetchOriginalPicture(photo.originalAddress, PhotoHeaderBlock(photo.id),
                                              SignInCookieHeader(jar), env_.gate, env_.pacer);
    if (raw.result != FetchedPicture::Result::kNoPicture) return raw;
    if (!tally_.originalFallbackLogged) {
      tally_.originalFallbackLogged = true;
      env_.controls.AppendLog(AK_GBK("豆瓣没有给出照片的原始尺寸（回答") +
                              std::to_string(raw.status) +
                              AK_GBK("），这样的照片改存大图\r\n\r\n"));
    }
  }
  return sender_.SendPicture(RequestFor(photo, PictureSize::kLarge, env_.policy.pictureLimits));
}

bool AlbumRun::RecordBoxTicked() const {
  return env_.policy.recordForced || env_.controls.Checked(ctl::选择框_下载记录);
}

void AlbumRun::ShowProgress(const Text& countSlot) {
  Controls& controls = env_.controls;
  const long long position = controls.ProgressPosition(ctl::进度条1);
  const long long maximum = controls.ProgressMaximum(ctl::进度条1);
  // With no known total the share cannot be computed; the label then stays at "0%".
  const long long percent = maximum > 0 ? position * 100 / maximum : 0;
  controls.SetCaption(ctl::标签_进度条比例, std::to_string(percent) + "%");
  controls.SetCaption(ctl::标签_第多少张照片, countSlot + "/" + std::to_string(position));
}

void AlbumRun::Finish(const Text& folderName) {
  if (!Settled()) return;
  env_.controls.AppendLog(AK_GBK("---完成相册《") + folderName + AK_GBK("》下载\r\n\r\n"));
  env_.controls.AppendLog(PhotoCountsLine(
      AK_GBK("本相册："), {tally_.savedPhotos - savedBefore_, tally_.skippedPhotos - skippedBefore_,
                           failed_, tally_.refusedPhotos - refusedBefore_}));
  env_.controls.SetCaption(ctl::标签_第多少张照片, {});
  recordSync_.Flush();
  albumName_ = folderName;
  ReportUnrecorded();
  WriteMetadata();
  if (onDisk_) {
    tally_.unrecognisedFiles += onDisk_->Unclaimed();
    onDisk_.reset();
  }
  tally_.failedPhotos += failed_;
  if (listed_ > 0 && listed_ < claimed_) {
    env_.controls.AppendLog(AK_GBK("豆瓣声称相册《") + folderName + AK_GBK("》有") +
                            std::to_string(claimed_) + AK_GBK("张照片，但只列出了") +
                            std::to_string(listed_) + AK_GBK("张\r\n\r\n"));
  }
  if (failed_ > 0) {
    if (!countedFailed_) ++tally_.failedAlbums;
    countedFailed_ = true;
    env_.controls.AppendLog(AK_GBK("相册《") + folderName + AK_GBK("》有") +
                            std::to_string(failed_) +
                            AK_GBK("张照片没有下载成功，以后再下载这个相册时会重新获取\r\n\r\n"));
  } else if (listed_ == 0 && promised_) {
    Fail(folderName,
         nothingFoundReason_.empty()
             ? AK_GBK("豆瓣说相册里有照片，但没有找到任何一张（页面或应答的格式可能已改变）")
             : nothingFoundReason_);
  }
  store_.Close();
}

}  // namespace ak
