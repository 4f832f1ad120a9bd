#include "app/pictures/left_out.hpp"

#include "media/text/words.hpp"

#include <utility>

namespace app {

std::string plain_words(LeftOutReason reason) {
  switch (reason) {
    case LeftOutReason::NotAPicture: return media::word("pictures.left_out.not_a_picture");
    case LeftOutReason::CutShort: return media::word("pictures.left_out.cut_short");
    case LeftOutReason::TooLarge: return media::word("pictures.left_out.too_large");
    case LeftOutReason::CannotRead: return media::word("pictures.left_out.cannot_read");
    case LeftOutReason::Damaged: break;
    case LeftOutReason::WrongCase: return media::word("pictures.left_out.wrong_case");
  }
  return media::word("pictures.left_out.damaged");
}

void FolderReports::reset(std::vector<FolderReport> reports, std::vector<size_t> ends) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    reports_ = std::move(reports);
  }
  ends_ = std::move(ends);
  at_ = 0;
}

void FolderReports::count(size_t i, const std::string& path, bool taken, LeftOutReason reason) {
  while (at_ < ends_.size() && i >= ends_[at_]) ++at_;
  if (at_ == ends_.size()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  FolderReport& r = reports_[at_];
  --r.to_come;
  if (taken) {
    ++r.taken;
    return;
  }
  ++r.left_out;
  if (r.listed.size() < FolderReport::kListedMost) {
    const size_t inside = r.folder.empty() ? 0 : r.folder.size() + 1;
    r.listed.push_back({path.substr(inside), reason});
  }
}

std::vector<FolderReport> FolderReports::copy() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return reports_;
}

}  // namespace app
