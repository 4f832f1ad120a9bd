// The pictures as the activities reach them, and the pictures folders: every picture whose name the
// folder's NameRule takes (app/start/paths.hpp), in the folder's order, turned upright and fitted to cover
// the 1024x768 screen, loaded in the background into a PictureStore (app/pictures/picture_store.hpp).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/start/paths.hpp"
#include "media/display/image.hpp"

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

// The formats a picture's name can promise.
enum class PictureFormat { Png, Jpeg, Bmp, WebP, Heif, Avif };

// A name ending that makes a file a picture. Compared in any case in relaxed folders; strict folders
// take only the ones marked strict, and only in lowercase.
struct PictureEnding {
  const char* ending;  // lowercase, with its dot
  PictureFormat format;
  bool strict;  // also taken in a strict folder
};
// Every ending Pipkin takes, in one table (a new decoder adds its endings there).
const std::vector<PictureEnding>& picture_endings();

// What a folder entry is under the folder's rule: a picture to load, a picture with an upper-case
// ending (strict folders: reported, not read), or something else.
enum class PictureName { Accept, WrongCase, Ignore };
PictureName classify_picture_name(const std::string& name, NameRule rule);
// The ending a name is taken for under the rule; none when it is not a picture's name there.
const PictureEnding* picture_ending(const std::string& name, NameRule rule);

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

// A folder's entries: the pictures to load and the files left out by their names alone (upper-case
// endings in a strict folder; regular files with other endings, except hidden ones and Pipkin's own
// note). Names are inside the folder: "Summer 2026/beach.jpg" for one in a subfolder.
struct FolderListing {
  std::string folder;
  bool opened = false;  // the folder could be listed
  std::vector<std::string> names;  // the pictures, in the folder's order
  std::vector<LeftOutFile> refused;  // the first few hundred left out (FolderReport::kListedMost)
  size_t refused_more = 0;  // left out past those, counted only, so memory stays bounded
};

// How far listing goes: pictures in all (across every folder listed together), subfolder levels
// below a relaxed folder, and entries looked at in all (a tree of millions of other files ends too).
struct ListingLimits {
  size_t pictures = 10'000;
  int depth = 8;
  size_t entries = 200'000;
};

// Lists the folders under their rules, one listing each, in order. On standard error: a folder that
// cannot be opened, each upper-case ending in a strict folder, one line per folder counting the
// files that are not pictures, and one line when a limit stops the listing. A folder (the same
// device and inode, reached again through a symbolic link) is never read twice.
std::vector<FolderListing> list_picture_folders(const std::vector<PictureFolder>& folders,
                                                const ListingLimits& limits = {});
FolderListing list_picture_folder(const PictureFolder& folder, const ListingLimits& limits = {});

// Whether the folder (under its rule, subfolders included) holds a picture's name; quiet.
bool holds_a_picture(const PictureFolder& folder);

// The accepted names of a strict folder, in its order (list_picture_folder's names).
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
// exists; with PIPKIN_HOLD_PICTURES=full:FILE, photos shown from their previews stay so until then. With a cache folder, photos in slow formats are fitted once and then read from there
// (app/pictures/picture_cache.hpp).
void prepare_pictures(PictureStore& store, const std::vector<PictureFolder>& folders, int width = 1024,
                      int height = 768, const std::string& cache_dir = "");

// The folders, loaded before it returns (tests, benchmarks); one folder alone is read strictly.
PictureStore load_pictures(const std::string& folder, int width = 1024, int height = 768);
PictureStore load_pictures(const std::vector<PictureFolder>& folders, int width = 1024, int height = 768);

// For the start-up benchmark: with PIPKIN_STARTUP_TIMES=FILE in the environment, appends a line
// "what milliseconds" (the monotonic clock) to FILE.
void note_startup_time(const char* what);

}  // namespace app
