// Where Pipkin looks for its data, configuration, progress and pictures, in both ways of running.
// Real temporary folders stand in for the program's folder and the user's home.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/start/paths.hpp"
#include "app/pictures/picture_loading.hpp"
#include "app/pictures/picture_store.hpp"
#include "app/pictures/pictures.hpp"
#include "media/decode/pixmap.hpp"
#include "tests/unit/sample_images.hpp"

namespace fs = std::filesystem;
using app::Environment;
using app::Folders;
using app::NameRule;
using app::PictureFolder;
using app::RunMode;

namespace app {
// Failures name the folder and its rule.
[[maybe_unused]] static void PrintTo(const PictureFolder& p, std::ostream* os) {
  *os << p.dir << (p.rule == NameRule::Strict ? " (strict)" : " (relaxed)");
}
}  // namespace app

namespace {

struct TempRoot {
  fs::path dir;
  explicit TempRoot(const char* name) {
    dir = fs::temp_directory_path() / ("pipkin-paths-" + std::string(name) + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~TempRoot() { fs::remove_all(dir); }
  std::string operator/(const std::string& rel) const { return (dir / rel).string(); }
};

void write(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string small_bmp(uint32_t rgb) {
  samples::BmpSpec spec;
  spec.width = 4, spec.height = 4;
  spec.pixel_data = samples::bmp_rows(4, 4, 24, [rgb](int, int) { return rgb; });
  return samples::encode_bmp(spec);
}

// An installed layout: <root>/usr/bin (the program) and <root>/usr/share/pipkin (its data), and an
// empty home with no XDG variables set.
Environment installed(const TempRoot& t) {
  fs::create_directories(t / "usr/bin");
  fs::create_directories(t / "usr/share/pipkin/pics");
  fs::create_directories(t / "home");
  Environment env;
  env.exe_dir = t / "usr/bin";
  env.home = t / "home";
  return env;
}

// Every file under a folder, relative to it.
std::vector<std::string> files_under(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (!e.is_directory()) out.push_back(fs::relative(e.path(), dir).string());
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

TEST(Paths, PortableWhenDataLiesBesideTheProgram) {
  TempRoot t("portable");
  fs::create_directories(t / "data/pics");
  fs::create_directories(t / "home");
  Environment env{t / "", t / "home", t / "xdg-config", t / "xdg-state", t / "xdg-data", t / "xdg-cache"};
  env.exe_dir = t.dir.string();
  const Folders f = app::prepare_folders(env);
  EXPECT_EQ(f.mode, RunMode::Portable);
  EXPECT_EQ(f.data_dir, "data/");
  EXPECT_EQ(f.config_file, "data/config.txt");
  EXPECT_EQ(f.progress_file(), "data/pipkin.txt");
  EXPECT_EQ(f.picture_dirs, (std::vector<PictureFolder>{{"data/pics", NameRule::Strict}}));
  EXPECT_TRUE(f.problems.empty());
  // Portable runs leave the user's folders alone, and cache no fitted pictures anywhere.
  EXPECT_EQ(f.cache_dir, "");
  EXPECT_TRUE(files_under(t / "home").empty());
  EXPECT_FALSE(fs::exists(t / "xdg-state"));
  EXPECT_FALSE(fs::exists(t / "xdg-data"));
  EXPECT_FALSE(fs::exists(t / "xdg-cache"));
}

TEST(Paths, InstalledWithDefaultFolders) {
  TempRoot t("installed");
  const Environment env = installed(t);
  const Folders f = app::prepare_folders(env);
  EXPECT_EQ(f.mode, RunMode::Installed);
  EXPECT_EQ(f.data_dir, t / "usr/share/pipkin/");
  EXPECT_EQ(f.config_file, t / "home/.config/pipkin/config.txt");
  EXPECT_EQ(f.progress_file(), t / "home/.local/state/pipkin/pipkin.txt");
  EXPECT_EQ(f.cache_dir, t / "home/.cache/pipkin/fitted/");
  EXPECT_TRUE(f.problems.empty()) << f.problems.front();
  // The state folder is made ready; the parent's pictures folder is made with a note saying what to
  // put there, and while it holds no picture the bundled ones are shown. The cache folder waits for
  // its first fitted picture.
  EXPECT_TRUE(fs::is_directory(t / "home/.local/state/pipkin"));
  EXPECT_EQ(files_under(t / "home"), std::vector<std::string>{".local/share/pipkin/pics/README.txt"});
  EXPECT_EQ(f.picture_dirs, (std::vector<PictureFolder>{{t / "usr/share/pipkin/pics", NameRule::Strict}}));
  // The configuration folder is only read, never made.
  EXPECT_FALSE(fs::exists(t / "home/.config"));

  // A second start leaves the folders (and a note the parent edited) as they are.
  write(t / "home/.local/share/pipkin/pics/README.txt", "mine");
  app::prepare_folders(env);
  std::ifstream note(t / "home/.local/share/pipkin/pics/README.txt");
  std::string text((std::istreambuf_iterator<char>(note)), {});
  EXPECT_EQ(text, "mine");
}

TEST(Paths, InstalledFollowsXdgVariablesAndIgnoresRelativeOnes) {
  TempRoot t("xdg");
  Environment env = installed(t);
  env.xdg_config_home = t / "cfg";
  env.xdg_state_home = t / "state";
  env.xdg_data_home = t / "share";
  env.xdg_cache_home = t / "cache";
  Folders f = app::prepare_folders(env);
  EXPECT_EQ(f.cache_dir, t / "cache/pipkin/fitted/");
  EXPECT_EQ(f.config_file, t / "cfg/pipkin/config.txt");
  EXPECT_EQ(f.progress_file(), t / "state/pipkin/pipkin.txt");
  EXPECT_TRUE(fs::exists(t / "share/pipkin/pics/README.txt"));
  EXPECT_TRUE(files_under(t / "home").empty());

  // Relative values are not valid base folders: the defaults under home are used instead.
  env.xdg_config_home = "cfg";
  env.xdg_state_home = "state";
  env.xdg_data_home = "share";
  env.xdg_cache_home = "cache";
  f = app::prepare_folders(env);
  EXPECT_EQ(f.cache_dir, t / "home/.cache/pipkin/fitted/");
  EXPECT_EQ(f.config_file, t / "home/.config/pipkin/config.txt");
  EXPECT_EQ(f.progress_file(), t / "home/.local/state/pipkin/pipkin.txt");
  EXPECT_TRUE(fs::exists(t / "home/.local/share/pipkin/pics/README.txt"));
}

TEST(Paths, ParentsPicturesComeFromBothFoldersBeforeTheBundledOnes) {
  TempRoot t("pictures");
  const Environment env = installed(t);
  const std::string own = t / "home/.local/share/pipkin/pics";
  // Only a non-picture in the Pictures/Pipkin folder: still the bundled pictures.
  write(t / "home/Pictures/Pipkin/notes.txt", "x");
  EXPECT_EQ(app::prepare_folders(env).picture_dirs, (std::vector<PictureFolder>{{t / "usr/share/pipkin/pics", NameRule::Strict}}));

  write(t / "home/Pictures/Pipkin/b.bmp", small_bmp(0x0000FF));
  EXPECT_EQ(app::prepare_folders(env).picture_dirs, (std::vector<PictureFolder>{{t / "home/Pictures/Pipkin", NameRule::Relaxed}}));

  write(own + "/a.bmp", small_bmp(0xFF0000));
  const Folders f = app::prepare_folders(env);
  ASSERT_EQ(f.picture_dirs, (std::vector<PictureFolder>{{own, NameRule::Relaxed}, {t / "home/Pictures/Pipkin", NameRule::Relaxed}}));

  // The loader reads the folders in that order: red from the own folder first, then blue.
  app::PictureStore pics = app::load_pictures(f.picture_dirs, 64, 48);
  ASSERT_EQ(pics.count(), 2u);
  EXPECT_EQ(media::read_pixel(*pics.at(0)->source, 0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(media::read_pixel(*pics.at(1)->source, 0, 0) & 0xFFFFFF, 0x0000FFu);
}

// The parent's folders count as holding pictures by the relaxed rule: a picture's name in any case,
// or one inside a subfolder, is enough; a hidden one or a video is not.
TEST(Paths, AParentsFolderHoldsPicturesByTheRelaxedRule) {
  TempRoot t("relaxed");
  const Environment env = installed(t);
  const std::string phone = t / "home/Pictures/Pipkin";
  const std::vector<PictureFolder> bundled{{t / "usr/share/pipkin/pics", NameRule::Strict}};
  write(phone + "/.hidden.jpg", "x");
  write(phone + "/.thumbnails/a.jpg", "x");
  write(phone + "/clip.mp4", "x");
  EXPECT_EQ(app::prepare_folders(env).picture_dirs, bundled);
  write(phone + "/Summer 2026/Beach/IMG_0001.JPEG", "x");
  EXPECT_EQ(app::prepare_folders(env).picture_dirs, (std::vector<PictureFolder>{{phone, NameRule::Relaxed}}));
  fs::remove_all(phone);
  write(phone + "/IMG_0002.Jpg", "x");
  EXPECT_EQ(app::prepare_folders(env).picture_dirs, (std::vector<PictureFolder>{{phone, NameRule::Relaxed}}));
}

TEST(Paths, PicturesFolderFromUserDirs) {
  TempRoot t("userdirs");
  Environment env = installed(t);
  EXPECT_EQ(app::pictures_folder(env), t / "home/Pictures");  // no user-dirs.dirs
  write(t / "home/.config/user-dirs.dirs",
        "# written by the desktop\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
  EXPECT_EQ(app::pictures_folder(env), t / "home/Bilder");
  write(t / "home/.config/user-dirs.dirs", "XDG_PICTURES_DIR=\"/srv/photos/\"\n");
  EXPECT_EQ(app::pictures_folder(env), "/srv/photos");
  // The file sits in the configuration folder, wherever that is.
  env.xdg_config_home = t / "cfg";
  write(t / "cfg/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n");
  EXPECT_EQ(app::pictures_folder(env), t / "home/Fotos");
  // A line that is not in the expected form is passed over.
  write(t / "cfg/user-dirs.dirs", "XDG_PICTURES_DIR=Fotos\n");
  EXPECT_EQ(app::pictures_folder(env), t / "home/Pictures");

  write(t / "home/Fotos/Pipkin/x.bmp", small_bmp(0x00FF00));
  write(t / "cfg/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n");
  EXPECT_EQ(app::prepare_folders(env).picture_dirs, (std::vector<PictureFolder>{{t / "home/Fotos/Pipkin", NameRule::Relaxed}}));
}

TEST(Paths, FoldersThatCannotBeMadeAreReportedAndTheProgramCarriesOn) {
  TempRoot t("unwritable");
  Environment env = installed(t);
  // A plain file where a folder should be: no one, not even root, can make folders below it.
  write(t / "blocked", "a file");
  env.xdg_state_home = t / "blocked/state";
  env.xdg_data_home = t / "blocked/data";
  const Folders f = app::prepare_folders(env);
  EXPECT_EQ(f.progress_dir, "");
  EXPECT_EQ(f.progress_file(), "");
  ASSERT_EQ(f.problems.size(), 2u);
  EXPECT_NE(f.problems[0].find(t / "blocked/state/pipkin"), std::string::npos);
  EXPECT_NE(f.problems[0].find("progress will not be saved"), std::string::npos);
  EXPECT_NE(f.problems[1].find(t / "blocked/data/pipkin/pics"), std::string::npos);
  for (const std::string& p : f.problems) EXPECT_EQ(p.find('\n'), std::string::npos);
  EXPECT_EQ(f.picture_dirs, (std::vector<PictureFolder>{{t / "usr/share/pipkin/pics", NameRule::Strict}}));
  EXPECT_EQ(f.data_dir, t / "usr/share/pipkin/");
}

TEST(Paths, MissingDataFolderIsReported) {
  TempRoot t("nodata");
  Environment env = installed(t);
  fs::remove_all(t / "usr/share/pipkin");
  const Folders f = app::prepare_folders(env);
  ASSERT_EQ(f.problems.size(), 1u);
  EXPECT_NE(f.problems[0].find("--data"), std::string::npos);
}

TEST(Paths, CommandLineFoldersTakePrecedence) {
  TempRoot t("overrides");
  Environment env = installed(t);
  write(t / "home/Pictures/Pipkin/b.bmp", small_bmp(0x0000FF));
  fs::create_directories(t / "mine");
  fs::create_directories(t / "otherdata/pics");
  Folders f = app::prepare_folders(env, {"", t / "mine"});
  EXPECT_EQ(f.picture_dirs, (std::vector<PictureFolder>{{t / "mine", NameRule::Relaxed}}));
  // With --pictures the parent's own pictures folder is not made either.
  EXPECT_FALSE(fs::exists(t / "home/.local/share/pipkin"));

  fs::remove_all(t / "home/Pictures");
  f = app::prepare_folders(env, {t / "otherdata", ""});
  EXPECT_EQ(f.data_dir, t / "otherdata/");
  EXPECT_EQ(f.picture_dirs, (std::vector<PictureFolder>{{t / "otherdata/pics", NameRule::Strict}}));
  EXPECT_TRUE(f.problems.empty());

  // Portable: the data folder moves, the configuration and progress stay beside the program.
  fs::create_directories(t / "usr/bin/data");
  f = app::prepare_folders(env, {t / "otherdata", t / "mine"});
  EXPECT_EQ(f.mode, RunMode::Portable);
  EXPECT_EQ(f.data_dir, t / "otherdata/");
  EXPECT_EQ(f.config_file, "data/config.txt");
  EXPECT_EQ(f.picture_dirs, (std::vector<PictureFolder>{{t / "mine", NameRule::Relaxed}}));
  EXPECT_EQ(f.cache_dir, "") << "a portable copy caches nothing, even for a folder of its own choosing";
}
