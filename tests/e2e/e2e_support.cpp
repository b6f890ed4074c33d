#include "tests/e2e/e2e_support.h"

#include <cstdint>
#include <sstream>

#include "tools/fake_douban/addresses.h"
#include "tools/fake_douban/jpeg_maker.h"

namespace ak::e2e {
namespace {

// Small albums keep the runs short; the first one spans two photo-list pages of the album's
// own pages (18 a page) and has a photo without large picture and one whose API address is
// written with "http".
constexpr const char* kFixture = R"json({
  "people": [
    {
      "name": "tester",
      "display_name": "测试者",
      "albums": [
        {
          "id": "1710000001",
          "title": "花园",
          "photos": [
            {"id": "2255000001", "host": "img3.doubanio.com", "desc": "第一张"},
            {"id": "2255000002", "host": "img1.doubanio.com", "desc": null, "large": false},
            {"id": "2255000003", "host": "img3.doubanio.com", "desc": "第三张", "api_scheme": "http"}
          ],
          "generated_photos": 16
        },
        {"id": "1710000002", "title": "不下载", "generated_photos": 2},
        {"id": "1710000003", "title": "海边 日落", "generated_photos": 4},
        {"id": "1710000004", "title": "雪山", "generated_photos": 1}
      ]
    },
    {
      "name": "visitor",
      "display_name": "访客",
      "albums": [{"id": "1720000001", "title": "小猫", "generated_photos": 2}]
    }
  ]
})json";

std::uint32_t ReadLe32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

}  // namespace

const std::string& FixtureJson() {
  static const std::string json = kFixture;
  return json;
}

const fake::Fixture& TheFixture() {
  static const fake::Fixture fixture = [] {
    fake::Fixture parsed;
    std::string error;
    if (!fake::ParseFixture(FixtureJson(), parsed, error)) {
      ADD_FAILURE() << "the end-to-end fixture does not parse: " << error;
    }
    return parsed;
  }();
  return fixture;
}

const fake::Album& FixtureAlbum(const std::string& id) {
  const fake::Album* album = TheFixture().FindAlbum(id);
  if (album == nullptr) {
    ADD_FAILURE() << "no album " << id << " in the fixture";
    static const fake::Album none;
    return none;
  }
  return *album;
}

std::string AlbumFolderName(const std::string& albumId) {
  const fake::Album& album = FixtureAlbum(albumId);
  // The titles of this fixture lose only their half-width spaces to the cleaning.
  std::string name;
  for (const char c : album.title) {
    if (c != ' ') name += c;
  }
  return name + std::to_string(album.photos.size());
}

std::map<std::string, std::string> ExpectedAlbumFiles(const std::string& albumId, Mode mode,
                                                      Size size) {
  std::map<std::string, std::string> files;
  const fake::Album& album = FixtureAlbum(albumId);
  for (std::size_t i = 0; i < album.photos.size(); ++i) {
    const fake::Photo& photo = album.photos[i];
    // Both ways number the photos in album order: 18 a page and 100 a page both continue the
    // count across pages.
    const std::string number = std::to_string(i + 1);
    const std::string name =
        mode == Mode::kBrowse ? number + "__.jpg" : number + "_" + photo.id + "_.jpg";
    const bool large = size == Size::kLarge && photo.hasLarge;
    files[name] = fake::MakeJpeg(size == Size::kOriginal ? fake::PictureSize::kRaw
                                 : large                 ? fake::PictureSize::kLarge
                                                         : fake::PictureSize::kMedium,
                                 photo.id);
  }
  return files;
}

std::map<std::string, std::string> FilesUnder(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
    if (entry.is_regular_file()) {
      files[entry.path().lexically_relative(root).string()] = testing::ReadFileBytes(entry.path());
    }
  }
  return files;
}

std::set<std::string> EntriesUnder(const std::filesystem::path& root) {
  std::set<std::string> entries;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
    entries.insert(entry.path().lexically_relative(root).string());
  }
  return entries;
}

std::set<std::string> RecordedPhotoIds(const std::filesystem::path& home,
                                       const std::string& source) {
  // The store's layout: the record count at 16, the record size at 24, the number of fields at
  // 112, 72 bytes per field descriptor from 116, then the records: a 4-byte number and the
  // 20-byte photo id, padded with zero bytes.
  std::set<std::string> ids;
  const std::string bytes = testing::ReadFileBytes(home / "防止重复下载数据库" / (source + ".edb"));
  if (bytes.size() < 116) return ids;
  const std::uint32_t count = ReadLe32(bytes, 16);
  const std::uint32_t recordSize = ReadLe32(bytes, 24);
  const std::size_t first = 116 + 72 * static_cast<std::size_t>(ReadLe32(bytes, 112));
  for (std::uint32_t record = 0; record < count; ++record) {
    const std::size_t at = first + record * static_cast<std::size_t>(recordSize) + 4;
    if (at + 20 > bytes.size()) {
      ADD_FAILURE() << "the record store ends inside record " << record;
      break;
    }
    std::string id = bytes.substr(at, 20);
    id.resize(id.find('\0') == std::string::npos ? id.size() : id.find('\0'));
    ids.insert(id);
  }
  return ids;
}

std::vector<test::LoggedRequest> PictureRequests(const std::vector<test::LoggedRequest>& log) {
  std::vector<test::LoggedRequest> pictures;
  for (const test::LoggedRequest& request : log) {
    if (request.target.starts_with("/view/photo/photo/") ||
        request.target.starts_with("/view/photo/large/")) {
      pictures.push_back(request);
    }
  }
  return pictures;
}

std::string PhotoIdOf(const test::LoggedRequest& request) {
  fake::PictureSize size;
  std::string id;
  const std::string path = request.target.substr(0, request.target.find('?'));
  return fake::ParsePicturePath(path, size, id) ? id : std::string();
}

bool IsWholePictureOf(const std::string& bytes, const std::string& id) {
  return bytes == fake::MakeJpeg(fake::PictureSize::kMedium, id) ||
         bytes == fake::MakeJpeg(fake::PictureSize::kLarge, id);
}

void EndToEndTest::StartDouble(std::vector<std::string> faults) {
  const std::filesystem::path fixtureFile = work_.path() / "fixture.json";
  testing::WriteFileBytes(fixtureFile, FixtureJson());
  douban_ = std::make_unique<test::FakeDouban>(
      test::FakeDoubanOptions{.fixtureFile = fixtureFile.string(), .extraArgs = faults});
  ASSERT_TRUE(douban_->Start()) << douban_->error();
}

EnvChanges EndToEndTest::Environment() const {
  EnvChanges env;
  env["ALBUMKEEPER_HOME"] = home().string();
  env["ALBUMKEEPER_DEMO_DOUBLE"] = std::nullopt;
  if (douban_ != nullptr) {
    env["ALBUMKEEPER_CONNECT_TO"] = douban_->connectTo();
    env["ALBUMKEEPER_CA_FILE"] = douban_->caFile();
    env["ALBUMKEEPER_UPDATE_URL"] = test::FakeDouban::UpdateUrl();
  }
  return env;
}

ProgramResult EndToEndTest::Run(const std::vector<std::string>& args) {
  return RunProgram(args, Environment());
}

std::vector<std::string> EndToEndTest::DownloadArgs(const std::vector<std::string>& options) const {
  std::vector<std::string> args = {"download", kPersonAddress, "--albums",
                                   "1,3-4",    "--to",         saveFolder().string()};
  args.insert(args.end(), options.begin(), options.end());
  return args;
}

ProgramResult EndToEndTest::Download(const std::vector<std::string>& options) {
  return Run(DownloadArgs(options));
}

std::filesystem::path EndToEndTest::AlbumFolder(const std::string& albumId) const {
  return saveFolder() / kOwnerFolder / AlbumFolderName(albumId);
}

std::string Describe(const ProgramResult& result) {
  std::ostringstream text;
  text << "exit status " << result.exitStatus;
  if (result.termSignal != 0) text << ", killed by signal " << result.termSignal;
  if (result.timedOut) text << ", did not end in time";
  text << "\n--- stdout ---\n" << result.out << "\n--- stderr ---\n" << result.err;
  return text.str();
}

}  // namespace ak::e2e
