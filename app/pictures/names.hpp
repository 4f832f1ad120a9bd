// Which files of a pictures folder are pictures: by the ending of their names, under the folder's
// rule. The folder itself is handed on with its rule (app/start/paths.hpp chooses them).
#pragma once
#include <string>
#include <vector>

namespace app {

// How the names in a pictures folder are read; chosen with the folder, and handed on with it.
enum class NameRule {
  // The portable copy's data/pics, as it always was: the folder's own files only, in the order the
  // system lists them, names ending in lowercase .png, .jpg or .bmp (an upper-case one is reported).
  Strict,
  // The parent's folders (installed, or --pictures): endings in any case and every JPEG ending, the
  // folder's own files in name order and then its subfolders, depth first in name order.
  Relaxed,
};

// A folder to read pictures from, and how.
struct PictureFolder {
  std::string dir;
  NameRule rule = NameRule::Strict;
  bool operator==(const PictureFolder&) const = default;
};

// The formats a picture's name can promise.
enum class PictureFormat { Png, Jpeg, Bmp, WebP, Heif, Avif };

// A name ending that makes a file a picture. Compared in any case in relaxed folders; strict folders
// take only the ones marked strict, and only in lowercase.
struct PictureEnding {
  const char* ending;  // lowercase, with its dot
  PictureFormat format;
  bool strict;  // also taken in a strict folder
};
// Every ending Pipkin takes, in one table (a new decoder adds its endings there).
const std::vector<PictureEnding>& picture_endings();

// What a folder entry is under the folder's rule: a picture to load, a picture with an upper-case
// ending (strict folders: reported, not read), or something else.
enum class PictureName { Accept, WrongCase, Ignore };
PictureName classify_picture_name(const std::string& name, NameRule rule);
// The ending a name is taken for under the rule; none when it is not a picture's name there.
const PictureEnding* picture_ending(const std::string& name, NameRule rule);

// The name of the note put into a new pictures folder: a file of the folder that is never counted
// as left out.
extern const char* const kPicturesNoteName;

}  // namespace app
