// The Debian package as a user gets it: built by scripts/package from this build, unpacked with
// dpkg-deb -x into a temporary root (never installed on this machine) and started from there with
// HOME and the XDG folders in a temporary home.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "media/decode/decode.hpp"
#include "media/decode/pixmap.hpp"
#include "tests/e2e/harness.hpp"

namespace fs = std::filesystem;

namespace {

std::string capture(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[512];
  while (fgets(buf, sizeof buf, p)) out += buf;
  pclose(p);
  return out;
}

std::string last_line(std::string s) {
  while (!s.empty() && s.back() == '\n') s.pop_back();
  const size_t nl = s.rfind('\n');
  return nl == std::string::npos ? s : s.substr(nl + 1);
}

std::string read_all(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// Polls until cond holds; false once the deadline passes. Deadlines are generous: CI is slow.
bool wait_until(const std::function<bool()>& cond, int timeout_ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  do {
    if (cond()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < end);
  return cond();
}

// A 640x480 BMP of one colour, like a photo a parent puts in.
void write_solid_bmp(const std::string& path, uint8_t r, uint8_t g, uint8_t b) {
  const int w = 640, h = 480;
  std::string bmp(54 + w * h * 3, '\0');
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((v >> (8 * i)) & 255);
  };
  bmp[0] = 'B', bmp[1] = 'M';
  put32(2, static_cast<uint32_t>(bmp.size()));
  put32(10, 54), put32(14, 40), put32(18, w), put32(22, h);
  bmp[26] = 1, bmp[28] = 24;
  for (int i = 0; i < w * h; ++i) {
    bmp[54 + i * 3] = static_cast<char>(b);
    bmp[54 + i * 3 + 1] = static_cast<char>(g);
    bmp[54 + i * 3 + 2] = static_cast<char>(r);
  }
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bmp;
}

// The package, built once for all the tests of this file.
class Package : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char tmpl[] = "/tmp/pipkin-deb-XXXXXX";
    work_ = mkdtemp(tmpl);
    const std::string script = fs::path(PIPKIN_TEST_DIR).parent_path().string() + "/scripts/package";
    deb_ = last_line(capture("'" + script + "' --no-build '" + e2e::build_dir() + "' '" + work_ + "/out' 2>&1"));
    root_ = work_ + "/root";
    if (fs::exists(deb_)) e2e::sh("dpkg-deb -x '" + deb_ + "' '" + root_ + "'");
  }
  static void TearDownTestSuite() {
    if (!work_.empty() && std::getenv("PIPKIN_E2E_KEEP") == nullptr) e2e::sh("rm -rf '" + work_ + "'");
  }
  void SetUp() override {
    ASSERT_TRUE(fs::exists(deb_)) << "scripts/package did not make a package: " << deb_;
    ASSERT_TRUE(fs::exists(root_ + "/usr/bin/pipkin"));
  }
  static std::string program() { return root_ + "/usr/bin/pipkin"; }
  // The languages the package speaks besides English: its catalogues, the pseudo-language apart.
  static std::vector<std::string> languages() {
    std::vector<std::string> codes;
    for (const auto& f : fs::directory_iterator(root_ + "/usr/share/pipkin/locale"))
      if (const std::string code = f.path().stem().string(); code != "en" && code != "qps") codes.push_back(code);
    return codes;
  }

  static std::string work_, deb_, root_;
};
std::string Package::work_, Package::deb_, Package::root_;

}  // namespace

TEST_F(Package, HoldsTheProgramDataAndDesktopFiles) {
  for (const char* f : {"usr/share/pipkin/fonts/Tahoma.ttf", "usr/share/pipkin/fonts/LICENSE-font.txt",
                        "usr/share/pipkin/help/0.png", "usr/share/applications/org.pipkin.Pipkin.desktop",
                        "usr/share/metainfo/org.pipkin.Pipkin.metainfo.xml",
                        "usr/share/wayland-sessions/pipkin.desktop",
                        "usr/share/icons/hicolor/48x48/apps/org.pipkin.Pipkin.png",
                        "usr/share/icons/hicolor/256x256/apps/org.pipkin.Pipkin.png",
                        "usr/share/icons/hicolor/scalable/apps/org.pipkin.Pipkin.svg",
                        "usr/share/man/man6/pipkin.6.gz", "usr/share/doc/pipkin/copyright",
                        "usr/share/doc/pipkin/changelog.gz"})
    EXPECT_TRUE(fs::exists(root_ + "/" + f)) << f;
  EXPECT_FALSE(fs::exists(root_ + "/usr/share/pipkin/pipkin.txt")) << "no progress file is shipped";
  EXPECT_FALSE(fs::exists(root_ + "/usr/share/pipkin/.generated"));
  const std::string copyright = read_all(root_ + "/usr/share/doc/pipkin/copyright");
  EXPECT_NE(copyright.find("SIL OPEN FONT LICENSE Version 1.1"), std::string::npos);
  EXPECT_NE(copyright.find("Permission is hereby granted"), std::string::npos);
  const std::string control = capture("dpkg-deb -f '" + deb_ + "' Package Version Depends Recommends");
  EXPECT_NE(control.find("Package: pipkin"), std::string::npos);
  EXPECT_NE(control.find("Version: 2.1"), std::string::npos);
  EXPECT_NE(control.find("libsdl2"), std::string::npos) << control;
  EXPECT_NE(control.find("libheif1"), std::string::npos) << control;  // HEIC pictures
  EXPECT_NE(control.find("libavcodec59"), std::string::npos) << control;  // their HEVC decoder
  EXPECT_NE(control.find("libavif15"), std::string::npos) << control;  // AVIF pictures
  EXPECT_NE(control.find("libwebp7"), std::string::npos) << control;   // WebP pictures
  EXPECT_NE(control.find("Recommends: cage, libdecor-0-plugin-1-cairo"), std::string::npos) << control;
  // The control file as a whole is one that dpkg reads back field by field.
  EXPECT_EQ(e2e::sh("dpkg-deb --info '" + deb_ + "' >/dev/null 2>&1"), 0);
  // The login screen's session runs the installed program alone in cage, with the lock.
  const std::string session = read_all(root_ + "/usr/share/wayland-sessions/pipkin.desktop");
  EXPECT_NE(session.find("\nName=Pipkin (child session)\n"), std::string::npos) << session;
  EXPECT_NE(session.find("\nTryExec=cage\n"), std::string::npos) << session;
  EXPECT_NE(session.find("\nExec=cage -d -- pipkin --child-lock --fullscreen --session\n"), std::string::npos) << session;
  EXPECT_EQ(e2e::sh("desktop-file-validate '" + root_ + "/usr/share/wayland-sessions/pipkin.desktop'"), 0);
  // Every language of the catalogue speaks in the menu, on the login screen and in the software centre.
  const std::string menu = read_all(root_ + "/usr/share/applications/org.pipkin.Pipkin.desktop");
  const std::string metainfo = read_all(root_ + "/usr/share/metainfo/org.pipkin.Pipkin.metainfo.xml");
  for (const std::string& code : languages()) {
    EXPECT_NE(menu.find("\nComment[" + code + "]="), std::string::npos) << code;
    EXPECT_NE(session.find("\nName[" + code + "]="), std::string::npos) << code;
    EXPECT_NE(metainfo.find("<summary xml:lang=\"" + code + "\">"), std::string::npos) << code;
  }
}

TEST_F(Package, CommandLineOfTheUnpackedProgram) {
  EXPECT_EQ(capture("'" + program() + "' --version"), "Pipkin 2.1\n");
  EXPECT_NE(capture("'" + program() + "' -h").find("--pictures"), std::string::npos);
  // The words come from the installed catalogues: the pseudo-language's are bracketed and accented.
  EXPECT_EQ(capture("'" + program() + "' --language=qps -h").rfind("[Ûšáĝé: þîþķîñ", 0), 0u);
  EXPECT_EQ(e2e::sh("'" + program() + "' --no-such-option 2>/dev/null"), 2);
  // The installed program follows the desktop's language.
  const std::string english = capture("LANG=C.UTF-8 '" + program() + "' -h");
  for (const std::string& code : languages())
    EXPECT_NE(capture("LANGUAGE= LC_ALL= LC_MESSAGES= LANG=" + code + ".UTF-8 '" + program() + "' -h"), english) << code;
}

TEST_F(Package, RunsFromTheUnpackedTreeWithTheUsersOwnFolders) {
  const std::string home = work_ + "/home";
  fs::create_directories(home);
  // The parent's photo: one bright magenta picture in ~/Pictures/Pipkin, so every frame shows it.
  write_solid_bmp(home + "/Pictures/Pipkin/photo.bmp", 255, 0, 255);
  // Every path of the unpacked tree with its time and size: anything the run writes changes this.
  const std::string list_tree = "cd '" + root_ + "' && find . -printf '%p %T@ %s\\n' | sort";
  const std::string tree_before = capture(list_tree);
  ASSERT_NE(tree_before.find("./usr/bin/pipkin"), std::string::npos);

  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir("/") != 0) _exit(127);
    if (!freopen((work_ + "/stderr.txt").c_str(), "w", stderr)) _exit(127);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_STATE_HOME", (home + "/state").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    execl(program().c_str(), program().c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  int status = -1;
  auto exited = [&] {
    if (status != -1) return true;
    int st = 0;
    if (waitpid(pid, &st, WNOHANG) != pid) return false;
    status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return true;
  };
  struct Reaper {
    pid_t pid;
    std::function<bool()> exited;
    ~Reaper() {
      if (!exited()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
      }
    }
  } reaper{pid, exited};

  std::string window;
  ASSERT_TRUE(wait_until([&] {
    if (exited()) return true;
    window = last_line(capture("xdotool search --pid " + std::to_string(pid) + " --name '^Pipkin$' 2>/dev/null"));
    return !window.empty();
  }, 30000));
  ASSERT_FALSE(window.empty()) << "no window; stderr:\n" << read_all(work_ + "/stderr.txt");
  const std::string shot_file = work_ + "/shot.png";
  auto screen = [&]() -> media::PixmapPtr {
    if (e2e::sh("import -window " + window + " '" + shot_file + "' 2>/dev/null") != 0) return nullptr;
    return media::load_pixmap(shot_file);
  };
  media::PixmapPtr last;
  auto screen_shows = [&](const std::function<bool(const media::Pixmap&)>& pred) {
    return [&, pred] {
      last = screen();
      return last && pred(*last);
    };
  };

  // The title screen, drawn from the installed data: not black, and not the parent's photo.
  EXPECT_TRUE(wait_until(screen_shows([](const media::Pixmap& p) {
    const uint32_t c = media::read_pixel(p, 512, 300);
    return (c & 0xFFFFFF) != 0 && !e2e::near(c, 255, 0, 255, 40);
  }), 30000)) << read_all(work_ + "/stderr.txt");
  if (last && !e2e::shot("package_title").empty()) e2e::sh("cp '" + shot_file + "' '" + e2e::shot("package_title") + "'");

  // Activity 1: the pointer entering the top-left frame shows the parent's photo in it.
  e2e::sh("xdotool key --clearmodifiers 1");
  bool shown = wait_until([&] {
    e2e::sh("xdotool mousemove 200 250 && xdotool mousemove 250 200");
    last = screen();
    return last && e2e::near(media::read_pixel(*last, 150, 120), 255, 0, 255, 40) &&
           e2e::near(media::read_pixel(*last, 400, 300), 255, 0, 255, 40);
  }, 30000);
  EXPECT_TRUE(shown) << "the photo from ~/Pictures/Pipkin is not in the frame";
  if (last && !e2e::shot("package_frames").empty()) e2e::sh("cp '" + shot_file + "' '" + e2e::shot("package_frames") + "'");

  // Escape: the program ends and keeps its progress in the state folder.
  e2e::sh("xdotool key --clearmodifiers Escape");
  ASSERT_TRUE(wait_until(exited, 30000));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(read_all(home + "/state/pipkin/pipkin.txt"), "1\r\n");
  // Its own pictures folder was made for the parent, with a note.
  EXPECT_TRUE(fs::exists(home + "/share/pipkin/pics/README.txt"));
  // Nothing at all was written into the unpacked tree.
  EXPECT_EQ(capture(list_tree), tree_before);
  const std::string err = read_all(work_ + "/stderr.txt");
  EXPECT_EQ(err.find("folders"), std::string::npos) << err;
}
