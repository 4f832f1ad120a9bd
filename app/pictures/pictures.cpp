#include "app/pictures/pictures.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

#include "app/shell/activity.hpp"
#include "app/start/paths.hpp"
#include "app/pictures/picture_cache.hpp"
#include "app/pictures/picture_store.hpp"
#include "media/files/files.hpp"
#include "media/files/log.hpp"
#include "media/text/words.hpp"

namespace app {

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

std::string plain_words(LeftOutReason reason) {
  switch (reason) {
    case LeftOutReason::NotAPicture: return media::word("pictures.left_out.not_a_picture");
    case LeftOutReason::CutShort: return media::word("pictures.left_out.cut_short");
    case LeftOutReason::TooLarge: return media::word("pictures.left_out.too_large");
    case LeftOutReason::CannotRead: return media::word("pictures.left_out.cannot_read");
    case LeftOutReason::Damaged: break;
    case LeftOutReason::WrongCase: return media::word("pictures.left_out.wrong_case");
  }
  return media::word("pictures.left_out.damaged");
}

namespace {

// One listing of several folders: the limits are shared by all of them, and so is the set of
// folders already read (by device and inode), so a symbolic link back up the tree ends there.
struct Walk {
  ListingLimits limits;
  bool quiet = false;  // nothing on standard error
  size_t pictures = 0, entries = 0;
  bool full = false;  // a limit was reached: nothing more is listed
  std::set<std::pair<dev_t, ino_t>> seen;

  void log(const std::string& line) const {
    if (!quiet) media::log_error("pictures", line);
  }
  // False once the entry limit is reached (said once, for the folder it was reached in).
  bool count_entry(const std::string& top) {
    if (++entries <= limits.entries) return true;
    full = true;
    log(top + ": stopped after looking at " + std::to_string(limits.entries) +
        " files; the rest are not read");
    return false;
  }
  // False once the picture limit is reached.
  bool room_for_a_picture(const std::string& top) {
    if (pictures < limits.pictures) return true;
    full = true;
    log(top + ": stopped at " + std::to_string(limits.pictures) + " pictures in all; the rest are not read");
    return false;
  }
  // True the first time the folder is met.
  bool first_visit(const struct stat& st) { return seen.insert({st.st_dev, st.st_ino}).second; }
};

// What one top folder's listing has met so far, beyond its names.
struct Tally {
  size_t not_pictures = 0;
  bool too_deep = false;
};

void refuse(FolderListing& listing, std::string name, LeftOutReason reason) {
  if (listing.refused.size() < FolderReport::kListedMost) listing.refused.push_back({std::move(name), reason});
  else ++listing.refused_more;
}

// A file of the folder that the parent put there as a picture, though it is none Pipkin reads (a
// video, a phone's side file): not hidden files, folders, or the note Pipkin puts in a new folder.
bool listed_as_not_a_picture(const std::string& folder, const std::string& name) {
  if (name.empty() || name[0] == '.' || name == kPicturesNoteName) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(folder + "/" + name, ec);
}

// A strict folder, as it always was: its own entries in the order the system lists them.
void list_strict(Walk& walk, FolderListing& listing, Tally& tally) {
  const std::string& folder = listing.folder;
  media::DirPtr dir = media::read_dir(folder);
  if (!dir) {
    walk.log(folder + ": cannot open the pictures folder");
    return;
  }
  listing.opened = true;
  for (std::string name = media::next_file(*dir); !name.empty(); name = media::next_file(*dir)) {
    if (!walk.count_entry(folder)) break;
    switch (classify_picture_name(name, NameRule::Strict)) {
      case PictureName::Accept:
        if (!walk.room_for_a_picture(folder)) break;
        listing.names.push_back(name);
        ++walk.pictures;
        break;
      case PictureName::WrongCase:
        walk.log(folder + "/" + name + ": not read; rename it to end in lowercase .png, .jpg or .bmp");
        refuse(listing, name, LeftOutReason::WrongCase);
        break;
      case PictureName::Ignore:
        if (listed_as_not_a_picture(folder, name)) {
          refuse(listing, name, LeftOutReason::NotAPicture);
          ++tally.not_pictures;
        }
        break;
    }
    if (walk.full) break;
  }
  media::close_dir(dir);
}

// A relaxed folder's files in name order, then its subfolders depth first in name order. `path` is
// the folder on disk, `inside` its place in the top folder ("" or "Summer 2026/"), `depth` its level
// below the top folder. Hidden entries are skipped; only regular files are taken (a pipe named like
// a picture would hold up loading); a folder reached again is not read twice.
void list_relaxed(Walk& walk, FolderListing& listing, Tally& tally, const std::string& path,
                  const std::string& inside, int depth) {
  const std::string& top = listing.folder;
  media::DirPtr dir = media::read_dir(path);
  if (!dir) {
    if (depth == 0) {
      walk.log(top + ": cannot open the pictures folder");
    } else {
      walk.log(path + ": cannot open this folder");
      refuse(listing, inside.substr(0, inside.size() - 1), LeftOutReason::CannotRead);
    }
    return;
  }
  if (depth == 0) listing.opened = true;
  std::vector<std::string> files;
  std::vector<std::pair<std::string, struct stat>> folders;
  for (std::string name = media::next_file(*dir); !name.empty(); name = media::next_file(*dir)) {
    if (name[0] == '.') continue;  // ".", ".." and hidden entries
    if (!walk.count_entry(top)) break;
    struct stat st;
    if (::stat((path + "/" + name).c_str(), &st) != 0) continue;  // a broken link, or one that loops
    if (S_ISDIR(st.st_mode)) folders.emplace_back(name, st);
    else if (S_ISREG(st.st_mode)) files.push_back(std::move(name));
  }
  media::close_dir(dir);
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const std::string& name : files) {
    if (picture_ending(name, NameRule::Relaxed)) {
      if (!walk.room_for_a_picture(top)) return;
      listing.names.push_back(inside + name);
      ++walk.pictures;
    } else if (depth > 0 || name != kPicturesNoteName) {
      refuse(listing, inside + name, LeftOutReason::NotAPicture);
      ++tally.not_pictures;
    }
  }
  for (const auto& [name, st] : folders) {
    if (walk.full) return;
    if (depth >= walk.limits.depth) {
      tally.too_deep = true;
      continue;
    }
    if (!walk.first_visit(st)) continue;
    list_relaxed(walk, listing, tally, path + "/" + name, inside + name + "/", depth + 1);
  }
}

FolderListing list_one(Walk& walk, const PictureFolder& folder) {
  FolderListing listing;
  listing.folder = folder.dir;
  if (walk.full) {
    // A limit was reached in an earlier folder: this one is not read at all (it is said once).
    listing.opened = media::read_dir(folder.dir) != nullptr;
    return listing;
  }
  Tally tally;
  if (folder.rule == NameRule::Strict) {
    list_strict(walk, listing, tally);
  } else {
    struct stat st;
    if (::stat(folder.dir.c_str(), &st) == 0 && !walk.first_visit(st)) {
      listing.opened = true;  // the same folder as one already listed
      return listing;
    }
    list_relaxed(walk, listing, tally, folder.dir, "", 0);
  }
  if (tally.not_pictures > 0)
    walk.log(folder.dir + ": " + std::to_string(tally.not_pictures) +
             (tally.not_pictures == 1 ? " file that is not a picture" : " files that are not pictures") +
             " left out");
  if (tally.too_deep)
    walk.log(folder.dir + ": folders more than " + std::to_string(walk.limits.depth) +
             " levels down are not read");
  return listing;
}

}  // namespace

std::vector<FolderListing> list_picture_folders(const std::vector<PictureFolder>& folders,
                                                const ListingLimits& limits) {
  Walk walk;
  walk.limits = limits;
  std::vector<FolderListing> listings;
  for (const PictureFolder& folder : folders) listings.push_back(list_one(walk, folder));
  return listings;
}

FolderListing list_picture_folder(const PictureFolder& folder, const ListingLimits& limits) {
  return std::move(list_picture_folders({folder}, limits).front());
}

bool holds_a_picture(const PictureFolder& folder) {
  Walk walk;
  walk.limits.pictures = 1;
  walk.quiet = true;
  return !list_one(walk, folder).names.empty();
}

std::vector<std::string> picture_names(const std::string& folder) {
  return list_picture_folder({folder, NameRule::Strict}).names;
}

namespace {

// One worker per core (0 when unknown); the store keeps the count within its own limits.
unsigned worker_count() { return std::thread::hardware_concurrency(); }

}  // namespace

void prepare_pictures(PictureStore& store, const std::vector<PictureFolder>& folders, int width, int height,
                      const std::string& cache_dir) {
  size_t hold_from = SIZE_MAX;
  bool hold_full = false;
  std::function<bool()> released;
  if (const char* hold = std::getenv("PIPKIN_HOLD_PICTURES")) {
    std::string h = hold;
    size_t colon = h.find(':');
    if (colon != std::string::npos) {
      hold_full = h.compare(0, colon, "full") == 0;
      if (!hold_full) hold_from = std::strtoul(h.substr(0, colon).c_str(), nullptr, 10);
      released = [file = h.substr(colon + 1)] {
        struct stat st;
        return ::stat(file.c_str(), &st) == 0;
      };
    }
  }
  // One cache for the whole start: its first write trims the folder to its bound, on a worker.
  auto cache = cache_dir.empty() ? nullptr : std::make_shared<PictureCache>(cache_dir);
  store.prepare(list_picture_folders(folders), cached_codec(screen_codec(width, height), std::move(cache), width, height),
                worker_count(), hold_from, std::move(released));
  if (hold_full) store.hold_full_pictures();
}

PictureStore load_pictures(const std::vector<PictureFolder>& folders, int width, int height) {
  PictureStore store;
  store.prepare(list_picture_folders(folders), screen_codec(width, height), worker_count());
  store.run();
  store.wait();
  return store;
}

PictureStore load_pictures(const std::string& folder, int width, int height) {
  return load_pictures(std::vector<PictureFolder>{{folder, NameRule::Strict}}, width, height);
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
