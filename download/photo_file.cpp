#include "download/photo_file.h"

#include <filesystem>
#include <system_error>

#include "base/codec.h"
#include "base/file_writer.h"
#include "base/text_ops.h"
#include "download/name_fit.h"

namespace ak {
Text PhotoFileName(int runningNumber, std::string_view descriptionPart) {
  return FitName(std::to_string(runningNumber) + "_", descriptionPart, "_.jpg");
}

Text ShortPhotoFileName(int runningNumber) { return std::to_string(runningNumber) + "_.jpg"; }

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (std::size_t at = 0; at < name.size(); at += IsGbkLead(name[at]) ? 2 : 1) {
    const char c = name[at];
    if (c == '/' || c == '\0') return false;
#ifdef _WIN32
    if (c == '\\' || c == ':') return false;
#endif
  }
  // A trail byte of zero is no character of GBK; a name holding one is not a name.
  return name.find('\0') == std::string_view::npos;
}

SavedPhoto SavePhotoFile(const Text& folder, int runningNumber, std::string_view descriptionPart,
                         std::string_view bytes) {
  SavedPhoto saved;
  saved.fileName = PhotoFileName(runningNumber, descriptionPart);
  if (IsPlainFileName(saved.fileName)) {
    std::error_code code;
    if (WriteFileAtomically(std::filesystem::path(GbkToUtf8(folder + saved.fileName)), bytes,
                            Publish::kReplace, &code, Durability::kLater)) {
      saved.saved = true;
      return saved;
    }
    saved.error = code.message();
  }
  saved.fileName = ShortPhotoFileName(runningNumber);
  std::error_code code;
  saved.saved = WriteFileAtomically(std::filesystem::path(GbkToUtf8(folder + saved.fileName)),
                                    bytes, Publish::kReplace, &code, Durability::kLater);
  if (!saved.saved) saved.error = code.message();
  return saved;
}

}  // namespace ak
