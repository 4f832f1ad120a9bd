#include "app/start/paths.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/pictures/folder_listing.hpp"
#include "media/text/words.hpp"

namespace fs = std::filesystem;

namespace app {

namespace {

std::string with_slash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string env_or_empty(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// An XDG base folder: the variable when it holds an absolute path (relative ones are to be ignored),
// else the default under home.
std::string base_folder(const std::string& variable, const std::string& home, const char* fallback) {
  if (!variable.empty() && variable.front() == '/') return variable;
  return home + "/" + fallback;
}

bool is_dir(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

// Creates the folder (and its parents) and checks it can be written to. "" on success, else why not.
std::string make_writable_folder(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return ec.message();
  if (!is_dir(folder)) return "not a folder";
  if (access(folder.c_str(), W_OK | X_OK) != 0) return std::error_code(errno, std::generic_category()).message();
  return "";
}

}  // namespace

Environment current_environment() {
  Environment env;
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  env.exe_dir = ec ? fs::current_path(ec).string() : exe.parent_path().string();
  env.home = env_or_empty("HOME");
  if (env.home.empty()) {
    if (const passwd* pw = getpwuid(getuid())) env.home = pw->pw_dir;
  }
  env.xdg_config_home = env_or_empty("XDG_CONFIG_HOME");
  env.xdg_state_home = env_or_empty("XDG_STATE_HOME");
  env.xdg_data_home = env_or_empty("XDG_DATA_HOME");
  env.xdg_cache_home = env_or_empty("XDG_CACHE_HOME");
  return env;
}

std::string pictures_folder(const Environment& env) {
  const std::string fallback = env.home + "/Pictures";
  std::ifstream in(base_folder(env.xdg_config_home, env.home, ".config") + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    // The file is shell-like: XDG_PICTURES_DIR="$HOME/Pictures" or an absolute path in quotes.
    const std::string key = "XDG_PICTURES_DIR=";
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    std::string value = line.substr(start + key.size());
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) value.pop_back();
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
    value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = env.home + value.substr(5);
    else if (value.empty() || value.front() != '/') continue;
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    return value;
  }
  return fallback;
}

std::string data_folder(const Environment& env, const std::string& data_override) {
  if (!data_override.empty()) return with_slash(data_override);
  if (is_dir(env.exe_dir + "/data")) return with_slash(env.exe_dir + "/data");
  return with_slash((fs::path(env.exe_dir) / ".." / "share" / "pipkin").lexically_normal().string());
}

RunMode run_mode(const Environment& env) {
  return data_folder(env) == with_slash(env.exe_dir + "/data") ? RunMode::Portable : RunMode::Installed;
}

std::string config_file(const Environment& env, RunMode mode) {
  if (mode == RunMode::Portable) return "data/config.txt";
  return base_folder(env.xdg_config_home, env.home, ".config") + "/pipkin/config.txt";
}

Folders prepare_folders(const Environment& env, const FolderOverrides& overrides) {
  Folders f;
  f.mode = run_mode(env);
  f.config_file = config_file(env, f.mode);
  if (f.mode == RunMode::Portable) {
    // Beside the executable, and relative to it: the shell runs in the executable's folder.
    f.data_dir = "data/";
    f.progress_dir = "data/";
    f.picture_dirs = {{"data/pics", NameRule::Strict}};
  } else {
    f.data_dir = data_folder(env);

    const std::string state = base_folder(env.xdg_state_home, env.home, ".local/state") + "/pipkin";
    if (std::string why = make_writable_folder(state); why.empty()) {
      f.progress_dir = with_slash(state);
    } else {
      f.problems.push_back(state + ": cannot make or write this folder (" + why + "); progress will not be saved");
    }

    f.cache_dir = base_folder(env.xdg_cache_home, env.home, ".cache") + "/pipkin/fitted/";

    if (overrides.pictures_dir.empty()) {
      const std::string own = base_folder(env.xdg_data_home, env.home, ".local/share") + "/pipkin/pics";
      const bool existed = is_dir(own);
      if (!existed) {
        if (std::string why = make_writable_folder(own); why.empty()) {
          std::ofstream note(own + "/" + kPicturesNoteName);
          note << media::word("pictures.note");
        } else {
          f.problems.push_back(own + ": cannot make this pictures folder (" + why + ")");
        }
      }
      f.parent_dirs = {pictures_folder(env) + "/Pipkin", own};
      for (const std::string& dir : {own, pictures_folder(env) + "/Pipkin"})
        if (holds_a_picture({dir, NameRule::Relaxed})) f.picture_dirs.push_back({dir, NameRule::Relaxed});
    }
  }
  if (!overrides.data_dir.empty()) f.data_dir = with_slash(overrides.data_dir);
  if (f.mode == RunMode::Portable)
    for (const PictureFolder& p : f.picture_dirs) f.parent_dirs.push_back(p.dir);
  if (!overrides.pictures_dir.empty()) {
    f.picture_dirs = {{overrides.pictures_dir, NameRule::Relaxed}};
    f.parent_dirs = {overrides.pictures_dir};
  } else if (f.mode == RunMode::Installed && f.picture_dirs.empty()) {
    f.picture_dirs = {{f.data_dir + "pics", NameRule::Strict}};  // the bundled pictures, ours, as in the portable copy
  }
  if (f.mode == RunMode::Installed && !is_dir(f.data_dir))
    f.problems.push_back(f.data_dir + ": Pipkin's data folder is missing; reinstall Pipkin or give --data DIR");
  return f;
}

}  // namespace app
