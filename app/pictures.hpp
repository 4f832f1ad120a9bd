// The pictures as the activities reach them, and the pictures folder: every picture whose name ends
// in lowercase .png, .jpg or .bmp, in the folder's order, turned upright and fitted to cover the
// 1024x768 screen, loaded in the background into a PictureStore (app/picture_store.hpp).
#pragma once
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

// The accepted names in the folder's order; upper-case endings and a missing folder are reported.
std::vector<std::string> picture_names(const std::string& folder);

class PictureStore;

// The accepted files of several folders, folder after folder, as whole paths.
std::vector<std::string> picture_paths(const std::vector<std::string>& folders);

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
