// Where Pipkin keeps its things. Two ways to run one program:
//  - portable: a "data" folder lies beside the executable (the build tree, an unpacked folder); the
//    resources, config.txt, the progress file and the pictures all live in it, as they always have;
//  - installed: the read-only resources come from ../share/pipkin beside the executable's folder,
//    config.txt from $XDG_CONFIG_HOME/pipkin, the progress file from $XDG_STATE_HOME/pipkin, and the
//    pictures from the parent's own folders ($XDG_DATA_HOME/pipkin/pics and Pictures/Pipkin), with
//    the bundled pictures when those hold none; fitted copies of slow photos are cached in
//    $XDG_CACHE_HOME/pipkin/fitted. The portable copy caches nothing: it writes only into its own
//    data folder, and a fitted copy there would travel with the folder for no gain.
// The choice is made here only, once, and handed to the shell as a plain struct.
#pragma once
#include <string>
#include <vector>

#include "app/pictures/names.hpp"

namespace app {

enum class RunMode { Portable, Installed };

// What the choice depends on, gathered from the process (current_environment) or made up by tests.
// Empty strings stand for unset variables.
struct Environment {
  std::string exe_dir;  // absolute folder of the running executable
  std::string home;
  std::string xdg_config_home, xdg_state_home, xdg_data_home, xdg_cache_home;
};

Environment current_environment();

// Command-line overrides that change the folders.
struct FolderOverrides {
  std::string data_dir;      // --data: read-only resources from here
  std::string pictures_dir;  // --pictures: pictures from this folder only
};

struct Folders {
  RunMode mode = RunMode::Portable;
  std::string data_dir;       // resources, ending in '/'
  std::string config_file;    // config.txt (read only, may be missing)
  std::string progress_dir;   // folder of the progress file, ending in '/'; "" when it cannot be kept
  std::vector<PictureFolder> picture_dirs;  // read in this order, their pictures concatenated
  // Fitted copies of photos in slow formats (app/pictures/picture_cache.hpp), ending in '/'; "" for none.
  // Made when the first copy is written, not here.
  std::string cache_dir;
  // The folders a parent puts pictures in, read or not (an empty one is not read): what the
  // program names to the parent. The bundled pictures are not among them.
  std::vector<std::string> parent_dirs;
  std::vector<std::string> problems;      // one line each, for standard error
  std::string progress_file() const { return progress_dir.empty() ? "" : progress_dir + "pipkin.txt"; }
};

// Pipkin's own files, wherever the command line's --data (when given) or the executable's place puts
// them; ending in '/'.
std::string data_folder(const Environment& env, const std::string& data_override = {});

// Portable (a data folder beside the executable) or installed; nothing is looked at but that folder.
RunMode run_mode(const Environment& env);
// The configuration file of a run: "data/config.txt" beside the program (relative to its folder)
// when portable, <config home>/pipkin/config.txt when installed.
std::string config_file(const Environment& env, RunMode mode);

// Decides the folders and, in installed mode, creates the ones Pipkin writes to (the state folder and
// the parent's pictures folder with a note saying what to put in it). A folder that cannot be made
// or written to is reported in problems and the program carries on without it.
Folders prepare_folders(const Environment& env, const FolderOverrides& overrides = {});

// The user's Pictures folder: XDG_PICTURES_DIR from <config home>/user-dirs.dirs, else ~/Pictures.
std::string pictures_folder(const Environment& env);

}  // namespace app
