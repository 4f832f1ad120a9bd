// What the program loads once and only reads afterwards: the data folder's name, the fonts, the
// shared images, the help pages and the pictures. The loop and every activity are handed it
// read-only.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "app/pictures/pictures.hpp"
#include "media/display/display.hpp"
#include "media/display/font.hpp"
#include "media/display/image.hpp"

namespace app {

struct Assets {
  std::string data_dir;  // ends in '/'
  int screen_w = media::kScreenW, screen_h = media::kScreenH;
  media::FontPtr main_font, big_font;
  media::ImagePtr probe_image;     // one white pixel: what the pointer touches
  media::ImagePtr pointer_image, sky_image, title_image, thinking_image, smiley_image;
  std::shared_ptr<const Pictures> pictures = std::make_shared<PictureList>();

  size_t picture_count() const { return pictures->count(); }
  media::ImagePtr picture(size_t i) const { return pictures->at(i); }
  // The help page of an activity (0: the title screen), help/<activity>.png; none when its file
  // cannot be read. Each is read the first time it is asked for (main thread): ten full-screen pages
  // read at start-up would delay the title and take the CPU the pictures load with. The loop asks
  // only for the activities of its table.
  media::ImagePtr help_page(int activity) const;

 private:
  // Read so far, by activity; a page looked for in vain is kept as none and not looked for again.
  mutable std::map<int, media::ImagePtr> help_pages_;
};

// Loads the fonts and shared images of a data folder (the help pages when first shown, the pictures
// apart). A file that cannot be read leaves its slot empty.
Assets load_assets(const std::string& data_dir);

}  // namespace app
