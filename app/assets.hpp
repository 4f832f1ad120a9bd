// What the program loads once at start-up and only reads afterwards: the data folder's name, the
// fonts, the shared images, the help pages and the pictures. The loop and every activity are
// handed it read-only.
#pragma once
#include <array>
#include <memory>
#include <string>

#include "app/activity.hpp"
#include "app/pictures.hpp"
#include "media/display.hpp"
#include "media/font.hpp"
#include "media/image.hpp"

namespace app {

struct Assets {
  std::string data_dir;  // ends in '/'
  int screen_w = media::kScreenW, screen_h = media::kScreenH;
  media::FontPtr main_font, big_font;
  media::ImagePtr probe_image;     // one white pixel: what the pointer touches
  media::ImagePtr pointer_image, sky_image, title_image, thinking_image, smiley_image;
  std::array<media::ImagePtr, kActivities + 1> help_pages;  // by activity, 0 the title screen
  std::shared_ptr<const Pictures> pictures = std::make_shared<PictureList>();

  size_t picture_count() const { return pictures->count(); }
  media::ImagePtr picture(size_t i) const { return pictures->at(i); }
};

// Loads the fonts, shared images and help pages of a data folder (the pictures are loaded apart).
// A file that cannot be read leaves its slot empty.
Assets load_assets(const std::string& data_dir);

}  // namespace app
