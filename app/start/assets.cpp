#include "app/start/assets.hpp"

#include <filesystem>
#include <system_error>

namespace app {

Assets load_assets(const std::string& d, std::string_view language) {
  Assets a;
  a.data_dir = d;
  a.language = language;
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

namespace {

// The first of the files (in the data folder) that can be read as a picture.
media::ImagePtr first_image(const std::string& data_dir, const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    // Most data folders lack the better choices: looking for them says nothing.
    std::error_code absent;
    if (!std::filesystem::exists(data_dir + file, absent)) continue;
    if (media::ImagePtr image = media::load_image(data_dir + file, 0)) return image;
  }
  return nullptr;
}

}  // namespace

std::vector<std::string> worded_files(std::string_view language, std::string_view folder, std::string_view id,
                                      std::string_view english_name) {
  std::vector<std::string> files;
  const std::string in = std::string(folder) + "/";
  if (language != kEnglish)
    for (const char* ending : {".webp", ".png"}) files.push_back(in + std::string(language) + "/" + std::string(id) + ending);
  files.push_back(in + std::string(english_name));
  return files;
}

std::vector<std::string> help_page_files(std::string_view language, std::string_view id, std::optional<int> digit) {
  std::vector<std::string> files = worded_files(language, "help", id, std::string(id) + ".png");
  if (digit) files.push_back("help/" + std::to_string(*digit) + ".png");
  return files;
}

media::ImagePtr Assets::help_page(std::string_view id, std::optional<int> digit) const {
  // Kept by language too: the parent may change it while the program runs.
  auto [page, first_time] = help_pages_.try_emplace(language + "/" + std::string(id));
  if (first_time) page->second = first_image(data_dir, help_page_files(language, id, digit));
  return page->second;
}

media::ImagePtr Assets::worded_image(std::string_view folder, std::string_view id, std::string_view english_name) const {
  return first_image(data_dir, worded_files(language, folder, id, english_name));
}

}  // namespace app
