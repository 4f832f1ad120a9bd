#include "app/pictures.hpp"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <thread>

#include "media/decode.hpp"
#include "media/files.hpp"
#include "media/log.hpp"
#include "media/resample.hpp"

namespace app {

PictureName classify_picture_name(const std::string& name) {
  if (name.size() < 4) return PictureName::Ignore;
  std::string end = name.substr(name.size() - 4);
  if (end == ".png" || end == ".jpg" || end == ".bmp") return PictureName::Accept;
  std::string lower = end;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  if (lower == ".png" || lower == ".jpg" || lower == ".bmp") return PictureName::WrongCase;
  return PictureName::Ignore;
}

std::vector<media::ImagePtr> load_pictures(const std::string& folder, int width, int height) {
  return load_pictures(std::vector<std::string>{folder}, width, height);
}

std::vector<media::ImagePtr> load_pictures(const std::vector<std::string>& folders, int width, int height) {
  std::vector<std::string> names;  // full paths, folder by folder
  for (const std::string& folder : folders) {
    media::DirPtr dir = media::read_dir(folder);
    if (!dir) {
      media::log_error("pictures", folder + ": cannot open the pictures folder");
      continue;
    }
    for (std::string name = media::next_file(*dir); !name.empty(); name = media::next_file(*dir)) {
      switch (classify_picture_name(name)) {
        case PictureName::Accept: names.push_back(folder + "/" + name); break;
        case PictureName::WrongCase:
          media::log_error("pictures", folder + "/" + name +
                                           ": not read; rename it to end in lowercase .png, .jpg or .bmp");
          break;
        case PictureName::Ignore: break;
      }
    }
    media::close_dir(dir);
  }

  // Decode on worker threads; each result keeps its place in the folder's order.
  struct Result {
    media::PixmapPtr pixmap;
    std::string error;
  };
  std::vector<Result> results(names.size());
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < names.size(); i = next++) {
      std::string bytes, error;
      if (!media::read_whole_file(names[i], bytes, error)) {
        results[i].error = error;
        continue;
      }
      media::DecodeResult d = media::decode_image(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                                  media::DecodeOptions{width, height});
      if (!d.pixmap) {
        results[i].error = d.error;
        continue;
      }
      // Scale in the file's own frame (a turned photo has its width and height swapped), then turn
      // the small result upright.
      bool turned = d.orientation >= 5 && d.orientation <= 8;
      media::PixmapPtr fitted = media::cover_pixmap(*d.pixmap, turned ? height : width, turned ? width : height);
      d.pixmap.reset();
      results[i].pixmap = fitted ? media::orient_pixmap(*fitted, d.orientation) : nullptr;
      if (!results[i].pixmap) results[i].error = "cannot be scaled";
    }
  };
  unsigned n_workers = std::clamp<unsigned>(std::thread::hardware_concurrency(), 1, 8);
  n_workers = std::min<unsigned>(n_workers, static_cast<unsigned>(std::max<size_t>(names.size(), 1)));
  std::vector<std::thread> workers;
  for (unsigned i = 1; i < n_workers; ++i) workers.emplace_back(work);
  work();
  for (std::thread& t : workers) t.join();

  std::vector<media::ImagePtr> pictures;
  for (size_t i = 0; i < names.size(); ++i) {
    if (!results[i].pixmap) {
      media::log_error("pictures", names[i] + ": left out: " + results[i].error);
      continue;
    }
    media::ImagePtr img = media::image_from_pixmap(results[i].pixmap, 0);
    results[i].pixmap.reset();
    media::release_pixels(img);  // pictures are only drawn: video memory holds them
    if (img) pictures.push_back(std::move(img));
  }
  return pictures;
}

}  // namespace app
