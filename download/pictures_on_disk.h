#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string_view>

#include "base/types.h"

namespace ak {

// True when `bytes` hold a whole picture: a JPEG from its start marker to its end marker
// (FFD9, only zero bytes after it), a PNG up to its IEND chunk, a GIF up to its trailer, a
// WebP whose RIFF length is the file's. A picture cut off by an interrupted transfer is not.
bool IsWholePicture(std::string_view bytes);

// The pictures of one album folder as the downloaders name them: running number + "_" + a
// description or photo id + "_.jpg", or the short running number + "_.jpg". Each photo of the
// album claims the file of its running number; a middle part of digits only is a photo id and
// must be the photo's.
class FolderPictures {
 public:
  explicit FolderPictures(const std::filesystem::path& folder);
  // The file (GBK name) of photo `id` with `runningNumber` when one is there and holds a whole
  // picture; empty otherwise. A file claimed is not counted as unrecognised.
  Text Claim(int runningNumber, const Text& id);
  // Files of the folder that no photo claimed (the metadata file and temporary files aside).
  int Unclaimed() const;

 private:
  std::filesystem::path folder_;
  // running number -> file names (GBK) of that number
  std::map<int, std::set<Text>> byNumber_;
  std::set<Text> others_;
  std::set<Text> claimed_;
};

}  // namespace ak
