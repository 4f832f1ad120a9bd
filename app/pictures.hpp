// The pictures folder: every picture whose name ends in lowercase .png, .jpg or .bmp, in the folder's
// order, decoded on worker threads, turned upright and scaled to cover the 1024x768 screen.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "media/image.hpp"

namespace app {

// The pictures as the activities reach them: a count and the picture at an index below it.
class Pictures {
 public:
  virtual ~Pictures() = default;
  virtual size_t count() const = 0;
  virtual media::ImagePtr at(size_t i) const = 0;
};

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

// Loads the folder's pictures (flags 0). Bad files are left out with one line on stderr each.
std::vector<media::ImagePtr> load_pictures(const std::string& folder, int width = 1024, int height = 768);
// The same for several folders, their pictures one after the other.
std::vector<media::ImagePtr> load_pictures(const std::vector<std::string>& folders, int width = 1024,
                                           int height = 768);

}  // namespace app
