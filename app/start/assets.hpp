// What the program loads once and only reads afterwards: the data folder's name, the fonts, the
// shared images, the help pages and the pictures. The loop and every activity are handed it
// read-only.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/pictures/pictures.hpp"
#include "media/display/display.hpp"
#include "media/display/font.hpp"
#include "media/display/image.hpp"

namespace app {

// The language whose help pages have no folder of their own: help/<id>.png.
inline constexpr std::string_view kEnglish = "en";

struct Assets {
  std::string data_dir;  // ends in '/'
  std::string language{kEnglish};  // of the help pages
  int screen_w = media::kScreenW, screen_h = media::kScreenH;
  media::FontPtr main_font, big_font;
  media::ImagePtr probe_image;     // one white pixel: what the pointer touches
  media::ImagePtr pointer_image, sky_image, title_image, thinking_image, smiley_image;
  std::shared_ptr<const Pictures> pictures = std::make_shared<PictureList>();

  size_t picture_count() const { return pictures->count(); }
  media::ImagePtr picture(size_t i) const { return pictures->at(i); }
  // The help page of an activity by its id (app::kTitleId for the title screen) and the digit key
  // that chooses it, if any: the first of help_page_files that can be read; none when none can.
  // Each is read the first time it is asked for (main thread): ten full-screen pages read at
  // start-up would delay the title and take the CPU the pictures load with. The loop asks only for
  // the activities of its table.
  media::ImagePtr help_page(std::string_view id, std::optional<int> digit) const;
  // A picture with words on it (the settings page, the break screen) in the run's language: the
  // first of worded_files that can be read, or none. Read when asked; the caller keeps it.
  media::ImagePtr worded_image(std::string_view folder, std::string_view id, std::string_view english_name) const;

 private:
  // Read so far, by language and id; a page looked for in vain is kept as none and not looked for again.
  mutable std::map<std::string, media::ImagePtr, std::less<>> help_pages_;
};

// Where a worded picture may be in the data folder, best first: the chosen language's copy,
// <folder>/<language>/<id>.webp or .png (not for English), then the English one by its own name,
// <folder>/<english_name>.
std::vector<std::string> worded_files(std::string_view language, std::string_view folder, std::string_view id,
                                      std::string_view english_name);

// Where a help page may be, in the data folder, best first: the page in the chosen language
// (help/<language>/<id>.webp or .png, not for English), the English page (help/<id>.png), and the page of
// its digit key (help/<digit>.png), as data folders named every page before activities had ids.
std::vector<std::string> help_page_files(std::string_view language, std::string_view id, std::optional<int> digit);

// Loads the fonts and shared images of a data folder (the help pages, in that language, when first
// shown; the pictures apart). A file that cannot be read leaves its slot empty.
Assets load_assets(const std::string& data_dir, std::string_view language = kEnglish);

}  // namespace app
