#include "tools/fake_douban/faults.h"

#include <functional>
#include <random>

namespace ak::fake {

bool FaultState::Matches(std::string_view match, std::string_view target, bool isPicture) {
  if (match.empty()) return !isPicture;
  return target.starts_with(match);
}

bool FaultState::CountAndCheckBlocked() {
  const long count = ++requests_;
  if (options_.blockAfter < 0 || count <= options_.blockAfter) return false;
  return options_.blockCount < 0 || count <= options_.blockAfter + options_.blockCount;
}

bool FaultState::TakeLoginPicture() {
  return options_.loginPictures > 0 && ++pictures_ <= options_.loginPictures;
}

bool FaultState::TakeEmpty(const std::string& host, const std::string& target, bool isPicture) {
  if (options_.emptyFirst <= 0 || !Matches(options_.emptyMatch, target, isPicture)) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  int& answered = emptyAnswers_[host + target];
  return answered++ < options_.emptyFirst;
}

bool FaultState::IsSlow(std::string_view target, bool isPicture) const {
  return options_.slowMs > 0 && Matches(options_.slowMatch, target, isPicture);
}

int FaultState::SlowMsFor(std::string_view target) const {
  if (!options_.slowVaried) return options_.slowMs;
  // The same address always waits the same; neighbours differ, so answers overtake each other.
  unsigned sum = 0;
  for (const char c : target) sum = sum * 31 + static_cast<unsigned char>(c);
  return options_.slowMs * static_cast<int>(sum % 4);
}

bool FaultState::IsCutOff(std::string_view target, bool isPicture) const {
  return options_.cutOff && Matches(options_.cutOffMatch, target, isPicture);
}

bool FaultState::IsGarbage(std::string_view target, bool isPicture) const {
  return options_.garbage && Matches(options_.garbageMatch, target, isPicture);
}

std::string GarbageBytes(std::string_view target) {
  std::mt19937 random(
      static_cast<std::mt19937::result_type>(std::hash<std::string_view>{}(target)));
  std::string bytes(16 * 1024, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

int FaultState::PictureError(const std::string& photoId) const {
  const auto it = options_.pictureErrors.find(photoId);
  return it == options_.pictureErrors.end() ? 0 : it->second;
}

}  // namespace ak::fake
