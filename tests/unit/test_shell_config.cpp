#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/start/config.hpp"
#include "app/pictures/picture_loading.hpp"
#include "app/pictures/picture_store.hpp"

using app::Config;
using app::DisplayChoice;
using media::DisplayMode;

namespace fs = std::filesystem;

namespace {

fs::path temp_dir(const char* name) {
  fs::path d = fs::temp_directory_path() / ("pipkin-unit-" + std::string(name) + "-" + std::to_string(::getpid()));
  fs::remove_all(d);
  fs::create_directories(d);
  return d;
}

void write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::string read(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

bool is(const DisplayChoice& c, int w, int h, int depth, int hz) {
  return c.ok && c.width == w && c.height == h && c.depth == depth && c.hz == hz;
}

}  // namespace

TEST(ShellConfig, ConfigFileLines) {
  fs::path d = temp_dir("config");
  Config none = app::read_config((d / "config.txt").string());
  EXPECT_FALSE(none.windowed);
  EXPECT_EQ(none.hz, 0);
  struct Case {
    const char* text;
    bool windowed;
    int hz;
  } cases[] = {
      {"1", true, 0},          {"0\r\n75\r\n", false, 75}, {"", true, 0},
      {"0\n  -60x\n", false, -60}, {"0\nabc\n", false, 0},  {"00\n85\n", true, 85},
      {"0\n0\n99\n", false, 0},
  };
  for (const Case& c : cases) {
    write(d / "config.txt", c.text);
    Config cfg = app::read_config((d / "config.txt").string());
    EXPECT_EQ(cfg.windowed, c.windowed) << c.text;
    EXPECT_EQ(cfg.hz, c.hz) << c.text;
  }
  fs::remove_all(d);
}

TEST(ShellConfig, ChoosingTheDisplay) {
  std::vector<DisplayMode> modes = {{1280, 1024, 24, 60}, {1024, 768, 16, 60}, {1024, 768, 24, 75},
                                    {1024, 768, 32, 60}, {1024, 768, 16, 75}, {800, 600, 24, 60}};
  // A window at 60 when asked for.
  EXPECT_TRUE(is(app::choose_display(modes, {true, 0}, 1024, 768), 1024, 768, 0, 60));
  // A configured rate takes the deepest depth listed at that rate; a rate nobody lists gives a window.
  EXPECT_TRUE(is(app::choose_display(modes, {false, 75}, 1024, 768), 1024, 768, 24, 75));
  EXPECT_TRUE(is(app::choose_display(modes, {false, 100}, 1024, 768), 1024, 768, 0, 60));
  // The best rate: depth 32 first, then 24, then 16.
  EXPECT_TRUE(is(app::choose_display(modes, {false, 0}, 1024, 768), 1024, 768, 32, 60));
  std::vector<DisplayMode> only16 = {{1024, 768, 16, 60}, {1024, 768, 16, 75}};
  EXPECT_TRUE(is(app::choose_display(only16, {false, 0}, 1024, 768), 1024, 768, 16, 75));
  // No 1024x768: the smallest mode larger in both directions, as a window.
  std::vector<DisplayMode> larger = {{800, 600, 24, 60}, {1280, 1024, 24, 60}};
  EXPECT_TRUE(is(app::choose_display(larger, {false, 0}, 1024, 768), 1280, 1024, 0, 60));
  std::vector<DisplayMode> order = {{1280, 800, 24, 60}, {1152, 864, 24, 60}};
  EXPECT_TRUE(is(app::choose_display(order, {true, 0}, 1024, 768), 1280, 800, 0, 60))
      << "the second mode is not smaller in both directions";
  std::vector<DisplayMode> smaller = {{1600, 1200, 24, 60}, {1280, 1024, 24, 60}};
  EXPECT_TRUE(is(app::choose_display(smaller, {true, 0}, 1024, 768), 1280, 1024, 0, 60));
  // Nothing big enough even for the picture scaled down: the message, and nothing to open.
  DisplayChoice no = app::choose_display({{640, 400, 24, 60}}, {false, 0}, 1024, 768);
  EXPECT_FALSE(no.ok);
  EXPECT_EQ(no.message, "Require 1024x768 screen - sorry!");
  // Rates of 0 (as some virtual displays report) never count as a full-screen rate.
  EXPECT_TRUE(is(app::choose_display({{1024, 768, 24, 0}}, {false, 0}, 1024, 768), 1024, 768, 0, 60));
}

TEST(ShellConfig, ProgressFileIsReadKeptInRangeAndReplacedWhole) {
  fs::path d = temp_dir("progress");
  std::string path = (d / "pipkin.txt").string();
  EXPECT_EQ(app::load_progress(path, 1, 9), 1);  // no file
  write(path, "5\r\n");
  EXPECT_EQ(app::load_progress(path, 1, 9), 5);
  write(path, "  7 levels\n");
  EXPECT_EQ(app::load_progress(path, 1, 9), 7);
  // A damaged file does not lock everything away, nor unlock more than there is.
  write(path, "");
  EXPECT_EQ(app::load_progress(path, 1, 9), 1);
  write(path, "garbage");
  EXPECT_EQ(app::load_progress(path, 1, 9), 1);
  write(path, "42");
  EXPECT_EQ(app::load_progress(path, 1, 9), 9);

  EXPECT_TRUE(app::save_progress(path, 6));
  EXPECT_EQ(read(path), "6\r\n");
  EXPECT_FALSE(fs::exists(path + ".new"));
  // A folder that cannot take the file leaves nothing behind and reports failure.
  EXPECT_FALSE(app::save_progress((d / "missing" / "pipkin.txt").string(), 3));
  fs::remove_all(d);
}

TEST(ShellConfig, PicturesFolderTakesLowercaseEndingsScaledAndSkipsBadFiles) {
  using app::PictureName;
  using app::NameRule;
  // The portable copy's folder: lowercase .png, .jpg and .bmp only.
  EXPECT_EQ(app::classify_picture_name("a.png", NameRule::Strict), PictureName::Accept);
  EXPECT_EQ(app::classify_picture_name(".jpg", NameRule::Strict), PictureName::Accept);
  EXPECT_EQ(app::classify_picture_name("a.bmp", NameRule::Strict), PictureName::Accept);
  EXPECT_EQ(app::classify_picture_name("a.PNG", NameRule::Strict), PictureName::WrongCase);
  EXPECT_EQ(app::classify_picture_name("a.Jpg", NameRule::Strict), PictureName::WrongCase);
  EXPECT_EQ(app::classify_picture_name("a.jpeg", NameRule::Strict), PictureName::Ignore);
  EXPECT_EQ(app::classify_picture_name("a.JPEG", NameRule::Strict), PictureName::Ignore);
  EXPECT_EQ(app::classify_picture_name("a.jpe", NameRule::Strict), PictureName::Ignore);
  EXPECT_EQ(app::classify_picture_name("png", NameRule::Strict), PictureName::Ignore);
  EXPECT_EQ(app::classify_picture_name(".", NameRule::Strict), PictureName::Ignore);
  // The parent's folders: any case, and every JPEG ending.
  for (const char* name : {"a.png", "a.PNG", "a.Png", "a.JPG", "a.jpeg", "a.JPEG", "a.jpe", "IMG_1.JPE", "a.Bmp"})
    EXPECT_EQ(app::classify_picture_name(name, NameRule::Relaxed), PictureName::Accept) << name;
  for (const char* name : {"a.mov", "IMG_1.AAE", "a.txt", "jpeg", "a.jpeg.txt", "a.pn", ""})
    EXPECT_EQ(app::classify_picture_name(name, NameRule::Relaxed), PictureName::Ignore) << name;
  ASSERT_NE(app::picture_ending("IMG_1.JPEG", NameRule::Relaxed), nullptr);
  EXPECT_EQ(app::picture_ending("IMG_1.JPEG", NameRule::Relaxed)->format, app::PictureFormat::Jpeg);
  EXPECT_EQ(app::picture_ending("a.Png", NameRule::Relaxed)->format, app::PictureFormat::Png);

  fs::path d = temp_dir("pics");
  // A real picture of 300x100 (BMP written by hand) and three bad files.
  std::string bmp(54 + 300 * 100 * 3, '\0');
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((v >> (8 * i)) & 255);
  };
  bmp[0] = 'B', bmp[1] = 'M';
  put32(2, static_cast<uint32_t>(bmp.size()));
  put32(10, 54), put32(14, 40), put32(18, 300), put32(22, 100);
  bmp[26] = 1, bmp[28] = 24;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 300; ++x) bmp[54 + (y * 300 + x) * 3 + 2] = x < 150 ? char(200) : char(20);  // red left
  write(d / "wide.bmp", bmp);
  write(d / "WIDE.BMP", bmp);
  write(d / "notes.txt", "hello");
  write(d / "broken.png", "\x89PNG\r\n\x1a\n this is cut short");
  app::PictureStore pics = app::load_pictures(d.string(), 1024, 768);
  ASSERT_EQ(pics.count(), 1u);
  media::ImagePtr pic = pics.at(0);
  ASSERT_TRUE(pic && pic->source);
  EXPECT_EQ(pic->width, 1024);
  EXPECT_EQ(pic->height, 768);
  // Cut to cover: 300x100 stretched to 2304x768 shows its middle 133 columns, so the red/dark edge
  // lands in the middle. The kept pixels are only the cut; the stretch happens when drawn.
  const media::Pixmap& px = *pic->source;
  EXPECT_EQ(px.width, 133);
  EXPECT_EQ(px.height, 100);
  uint32_t left = media::read_pixel(px, px.width / 2 - 4, 50);
  uint32_t right = media::read_pixel(px, px.width / 2 + 4, 50);
  EXPECT_GT((left >> 16) & 255, 150u);
  EXPECT_LT((right >> 16) & 255, 60u);
  fs::remove_all(d);
}
