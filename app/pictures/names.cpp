#include "app/pictures/names.hpp"

#include <cctype>

namespace app {

const char* const kPicturesNoteName = "README.txt";

const std::vector<PictureEnding>& picture_endings() {
  static const std::vector<PictureEnding> endings = {
      {".png", PictureFormat::Png, true},   {".jpg", PictureFormat::Jpeg, true},
      {".bmp", PictureFormat::Bmp, true},   {".jpeg", PictureFormat::Jpeg, false},
      {".jpe", PictureFormat::Jpeg, false}, {".webp", PictureFormat::WebP, false},
      {".heic", PictureFormat::Heif, false}, {".heif", PictureFormat::Heif, false},
      {".hif", PictureFormat::Heif, false},  {".avif", PictureFormat::Avif, false},
  };
  return endings;
}

namespace {

bool ends_with(const std::string& name, const std::string& end, bool any_case) {
  if (name.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[name.size() - end.size() + i]);
    if ((any_case ? std::tolower(c) : c) != static_cast<unsigned char>(end[i])) return false;
  }
  return true;
}

}  // namespace

const PictureEnding* picture_ending(const std::string& name, NameRule rule) {
  for (const PictureEnding& e : picture_endings()) {
    if (rule == NameRule::Strict && !e.strict) continue;
    if (ends_with(name, e.ending, rule == NameRule::Relaxed)) return &e;
  }
  return nullptr;
}

PictureName classify_picture_name(const std::string& name, NameRule rule) {
  if (picture_ending(name, rule)) return PictureName::Accept;
  if (rule == NameRule::Strict)
    for (const PictureEnding& e : picture_endings())
      if (e.strict && ends_with(name, e.ending, true)) return PictureName::WrongCase;
  return PictureName::Ignore;
}

}  // namespace app
