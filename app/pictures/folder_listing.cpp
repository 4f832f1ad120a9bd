#include "app/pictures/folder_listing.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "media/files/files.hpp"
#include "media/files/log.hpp"

namespace app {

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

}  // namespace app
