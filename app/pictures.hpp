// The pictures as the activities reach them, and the pictures folder: every picture whose name ends
// in lowercase .png, .jpg or .bmp, in the folder's order, turned upright and fitted to cover the
// 1024x768 screen, loaded in the background into a PictureStore (app/picture_store.hpp).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "media/image.hpp"

namespace app {

// The pictures as the activities reach them: a count and the picture at an index below it. While
// the folder is still loading, the count only grows, at its end.
class Pictures {
 public:
  virtual ~Pictures() = default;
  virtual size_t count() const = 0;
  virtual media::ImagePtr at(size_t i) const = 0;
  // Loading progress: files still to come, files in all and files done (loaded or left out).
  virtual bool loading() const { return false; }
  virtual size_t files() const { return count(); }
  virtual size_t files_done() const { return count(); }
};

// Whether an activity that shows `shows` pictures (its Traits::pictures) can start: loading has
// ended (with however many there are), or as many as it shows are in. One that shows any of them
// (kEveryPicture) needs one.
bool pictures_ready(const Pictures& pictures, int shows);

// Pictures held in a plain list.
class PictureList final : public Pictures {
 public:
  PictureList() = default;
  explicit PictureList(std::vector<media::ImagePtr> list) : list_(std::move(list)) {}
  size_t count() const override { return list_.size(); }
  media::ImagePtr at(size_t i) const override { return list_.at(i); }

 private:
  std::vector<media::ImagePtr> list_;
};

// What a folder entry is: a picture to load, a picture with an upper-case ending (reported, not
// read), or something else (ignored).
enum class PictureName { Accept, WrongCase, Ignore };
PictureName classify_picture_name(const std::string& name);

// Why a file of a pictures folder was left out, as the parent's page tells it.
enum class LeftOutReason : uint8_t {
  NotAPicture,  // not a PNG, JPEG or BMP Pipkin reads: another ending, another format, text
  CutShort,     // the file ends early (an unfinished copy or download)
  TooLarge,     // past the limits on pixels, sides or file size
  CannotRead,   // the file cannot be opened or read
  Damaged,      // any other damage inside the picture
  WrongCase,    // a picture whose ending is not lowercase
};
// The reason in a few plain words for a parent ("cut short").
const char* plain_words(LeftOutReason reason);

struct LeftOutFile {
  std::string name;  // inside its folder
  LeftOutReason reason = LeftOutReason::Damaged;
};

// A folder's entries: the pictures to load and the files left out by their names alone (upper-case
// endings; regular files with other endings, except hidden ones and Pipkin's own note).
struct FolderListing {
  std::string folder;
  bool opened = false;  // the folder could be listed
  std::vector<std::string> names;  // the pictures, in the folder's order
  std::vector<LeftOutFile> refused;
};

// Lists a pictures folder; upper-case endings and a folder that cannot be opened are reported on
// standard error.
FolderListing list_picture_folder(const std::string& folder);

// The accepted names in the folder's order (list_picture_folder's names).
std::vector<std::string> picture_names(const std::string& folder);

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

class PictureStore;

// Lists the folders into the store, their pictures one after the other, to be loaded in the
// background by one worker per core (at most PictureStore::kMaxWorkers) once store.run() starts
// them. With PIPKIN_HOLD_PICTURES=N:FILE in the environment, loading stops after N files until FILE
// exists.
void prepare_pictures(PictureStore& store, const std::vector<std::string>& folders, int width = 1024,
                      int height = 768);

// The whole folder (or folders), loaded before it returns (tests, benchmarks).
PictureStore load_pictures(const std::string& folder, int width = 1024, int height = 768);
PictureStore load_pictures(const std::vector<std::string>& folders, int width = 1024, int height = 768);

// For the start-up benchmark: with PIPKIN_STARTUP_TIMES=FILE in the environment, appends a line
// "what milliseconds" (the monotonic clock) to FILE.
void note_startup_time(const char* what);

}  // namespace app
