// The pictures of the pictures folders by name: every file whose name the folder's NameRule takes
// (app/pictures/names.hpp), in the folder's order, and the files left out by their names alone.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "app/pictures/left_out.hpp"
#include "app/pictures/names.hpp"

namespace app {

// A folder's entries: the pictures to load and the files left out by their names alone (upper-case
// endings in a strict folder; regular files with other endings, except hidden ones and Pipkin's own
// note). Names are inside the folder: "Summer 2026/beach.jpg" for one in a subfolder.
struct FolderListing {
  std::string folder;
  bool opened = false;  // the folder could be listed
  std::vector<std::string> names;  // the pictures, in the folder's order
  std::vector<LeftOutFile> refused;  // the first few hundred left out (FolderReport::kListedMost)
  size_t refused_more = 0;  // left out past those, counted only, so memory stays bounded
};

// How far listing goes: pictures in all (across every folder listed together), subfolder levels
// below a relaxed folder, and entries looked at in all (a tree of millions of other files ends too).
struct ListingLimits {
  size_t pictures = 10'000;
  int depth = 8;
  size_t entries = 200'000;
};

// Lists the folders under their rules, one listing each, in order. On standard error: a folder that
// cannot be opened, each upper-case ending in a strict folder, one line per folder counting the
// files that are not pictures, and one line when a limit stops the listing. A folder (the same
// device and inode, reached again through a symbolic link) is never read twice.
std::vector<FolderListing> list_picture_folders(const std::vector<PictureFolder>& folders,
                                                const ListingLimits& limits = {});
FolderListing list_picture_folder(const PictureFolder& folder, const ListingLimits& limits = {});

// Whether the folder (under its rule, subfolders included) holds a picture's name; quiet.
bool holds_a_picture(const PictureFolder& folder);

// The accepted names of a strict folder, in its order (list_picture_folder's names).
std::vector<std::string> picture_names(const std::string& folder);

}  // namespace app
