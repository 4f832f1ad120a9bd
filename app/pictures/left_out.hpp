// What became of a pictures folder's files: the ones left out and why, as the parent's page tells
// it, and each folder's tally while its pictures load.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace app {

// Why a file of a pictures folder was left out, as the parent's page tells it.
enum class LeftOutReason : uint8_t {
  NotAPicture,  // not a picture in a format Pipkin reads: another ending, another format, text
  CutShort,     // the file ends early (an unfinished copy or download)
  TooLarge,     // past the limits on pixels, sides or file size
  CannotRead,   // the file cannot be opened or read
  Damaged,      // any other damage inside the picture
  WrongCase,    // a picture whose ending is not lowercase
};
// The reason in a few plain words for a parent ("cut short").
std::string plain_words(LeftOutReason reason);

struct LeftOutFile {
  std::string name;  // inside its folder
  LeftOutReason reason = LeftOutReason::Damaged;
};

// What became of one folder's files so far, for the parent's page.
struct FolderReport {
  static constexpr size_t kListedMost = 200;  // left-out files named; the rest are only counted
  std::string folder;
  bool opened = true;   // false: the folder could not be listed
  size_t taken = 0;     // pictures loaded
  size_t left_out = 0;  // files left out, all of them
  size_t to_come = 0;   // pictures still loading
  std::vector<LeftOutFile> listed;  // the first kListedMost of those left out
};

// The reports of folders whose files load one after the other, in order. One thread counts the
// files as they come; any thread may copy the reports at any time.
class FolderReports {
 public:
  // Starts again with these reports; ends[k] is the index after folder k's last file.
  void reset(std::vector<FolderReport> reports, std::vector<size_t> ends);
  // File i (each once, in increasing order), `path` its whole path, is in or left out.
  void count(size_t i, const std::string& path, bool taken, LeftOutReason reason);
  std::vector<FolderReport> copy() const;

 private:
  mutable std::mutex mutex_;
  std::vector<FolderReport> reports_;
  std::vector<size_t> ends_;  // only the counting thread reads these two
  size_t at_ = 0;             // the folder of the next file
};

}  // namespace app
