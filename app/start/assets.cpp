#include "app/start/assets.hpp"

namespace app {

Assets load_assets(const std::string& d) {
  Assets a;
  a.data_dir = d;
  a.main_font = media::load_font(d + "fonts/Tahoma.ttf", 20, media::FONT_SMOOTH);
  a.big_font = media::load_font(d + "fonts/Tahoma.ttf", 48, media::FONT_SMOOTH);
  a.probe_image = media::load_image(d + "images/white.bmp", 0);
  a.pointer_image = media::load_image(d + "images/pointer.png", -1);
  a.sky_image = media::load_image(d + "images/sky.jpg", 0);
  a.title_image = media::load_image(d + "images/title.png", -1);
  a.thinking_image = media::load_image(d + "images/thinking.png", -1);
  media::mid_handle(a.thinking_image);
  a.smiley_image = media::load_image(d + "images/smiley.png", -1);
  return a;
}

media::ImagePtr Assets::help_page(int activity) const {
  if (activity < 0) return nullptr;
  auto [page, first_time] = help_pages_.try_emplace(activity);
  if (first_time) page->second = media::load_image(data_dir + "help/" + std::to_string(activity) + ".png", 0);
  return page->second;
}

}  // namespace app
