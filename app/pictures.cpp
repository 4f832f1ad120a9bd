#include "app/pictures.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>

#include "app/activity.hpp"
#include "app/paths.hpp"
#include "app/picture_store.hpp"
#include "media/files.hpp"
#include "media/log.hpp"

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

const char* plain_words(LeftOutReason reason) {
  switch (reason) {
    case LeftOutReason::NotAPicture: return "not a picture Pipkin reads";
    case LeftOutReason::CutShort: return "cut short";
    case LeftOutReason::TooLarge: return "too large";
    case LeftOutReason::CannotRead: return "cannot be read";
    case LeftOutReason::Damaged: return "damaged";
    case LeftOutReason::WrongCase: return "name must end in lowercase .png, .jpg or .bmp";
  }
  return "damaged";
}

namespace {

// A file of the folder that the parent put there as a picture, though it is none Pipkin reads (a
// phone's .heic, a video): not hidden files, folders, or the note Pipkin puts in a new folder.
bool listed_as_not_a_picture(const std::string& folder, const std::string& name) {
  if (name.empty() || name[0] == '.' || name == kPicturesNoteName) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(folder + "/" + name, ec);
}

}  // namespace

FolderListing list_picture_folder(const std::string& folder) {
  FolderListing listing;
  listing.folder = folder;
  media::DirPtr dir = media::read_dir(folder);
  if (!dir) {
    media::log_error("pictures", folder + ": cannot open the pictures folder");
    return listing;
  }
  listing.opened = true;
  for (std::string name = media::next_file(*dir); !name.empty(); name = media::next_file(*dir)) {
    switch (classify_picture_name(name)) {
      case PictureName::Accept: listing.names.push_back(name); break;
      case PictureName::WrongCase:
        media::log_error("pictures", folder + "/" + name +
                                         ": not read; rename it to end in lowercase .png, .jpg or .bmp");
        listing.refused.push_back({name, LeftOutReason::WrongCase});
        break;
      case PictureName::Ignore:
        if (listed_as_not_a_picture(folder, name)) listing.refused.push_back({name, LeftOutReason::NotAPicture});
        break;
    }
  }
  media::close_dir(dir);
  return listing;
}

std::vector<std::string> picture_names(const std::string& folder) { return list_picture_folder(folder).names; }

namespace {

std::vector<FolderListing> list_picture_folders(const std::vector<std::string>& folders) {
  std::vector<FolderListing> listings;
  for (const std::string& folder : folders) listings.push_back(list_picture_folder(folder));
  return listings;
}

}  // namespace


namespace {

// One worker per core (0 when unknown); the store keeps the count within its own limits.
unsigned worker_count() { return std::thread::hardware_concurrency(); }

}  // namespace

void prepare_pictures(PictureStore& store, const std::vector<std::string>& folders, int width, int height) {
  size_t hold_from = SIZE_MAX;
  std::function<bool()> released;
  if (const char* hold = std::getenv("PIPKIN_HOLD_PICTURES")) {
    std::string h = hold;
    size_t colon = h.find(':');
    if (colon != std::string::npos) {
      hold_from = std::strtoul(h.substr(0, colon).c_str(), nullptr, 10);
      released = [file = h.substr(colon + 1)] {
        struct stat st;
        return ::stat(file.c_str(), &st) == 0;
      };
    }
  }
  store.prepare(list_picture_folders(folders), screen_codec(width, height), worker_count(), hold_from,
                std::move(released));
}

PictureStore load_pictures(const std::vector<std::string>& folders, int width, int height) {
  PictureStore store;
  store.prepare(list_picture_folders(folders), screen_codec(width, height), worker_count());
  store.run();
  store.wait();
  return store;
}

PictureStore load_pictures(const std::string& folder, int width, int height) {
  return load_pictures(std::vector<std::string>{folder}, width, height);
}

void note_startup_time(const char* what) {
  const char* file = std::getenv("PIPKIN_STARTUP_TIMES");
  if (!file) return;
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
  if (FILE* f = std::fopen(file, "a")) {
    std::fprintf(f, "%s %.3f\n", what, ms);
    std::fclose(f);
  }
}

bool pictures_ready(const Pictures& pictures, int shows) {
  const size_t wanted = shows == kEveryPicture ? 1 : static_cast<size_t>(std::max(shows, 0));
  return !pictures.loading() || pictures.count() >= wanted;
}

}  // namespace app
