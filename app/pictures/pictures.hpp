// The pictures as the activities reach them. Where they come from: the folders' names
// (app/pictures/folder_listing.hpp), loaded in the background into a PictureStore
// (app/pictures/picture_store.hpp), wired together in app/pictures/picture_loading.hpp.
#pragma once
#include <cstddef>
#include <utility>
#include <vector>

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

// Pictures an activity shows: a count, or every picture of the list.
constexpr int kEveryPicture = -1;

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

}  // namespace app
