// The parent's side of the real program: the installed program names its folders, Control+P opens
// the settings page with the files it left out and a way to open the folder, and a play-time limit
// ends on a break screen that a child's clicks and keys do not change and Control+P leads out of.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/parent/settings_layout.hpp"
#include "media/decode/decode.hpp"
#include "media/decode/pixmap.hpp"
#include "tests/e2e/harness.hpp"

namespace fs = std::filesystem;
namespace layout = app::layout;
using e2e::Pipkin;
using media::read_pixel;

namespace {

using e2e::shows_page;

constexpr int kPageX = (1024 - layout::kPageW) / 2, kPageY = (768 - layout::kPageH) / 2;

void write_all(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A 320x240 BMP of one colour, like a photo a parent puts in.
std::string solid_bmp(uint8_t r, uint8_t g, uint8_t b) {
  const int w = 320, h = 240;
  std::string bmp(54 + w * h * 3, '\0');
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[static_cast<size_t>(at + i)] = static_cast<char>((v >> (8 * i)) & 255);
  };
  bmp[0] = 'B', bmp[1] = 'M';
  put32(2, static_cast<uint32_t>(bmp.size()));
  put32(10, 54), put32(14, 40), put32(18, w), put32(22, h);
  bmp[26] = 1, bmp[28] = 24;
  for (int i = 0; i < w * h; ++i) {
    bmp[static_cast<size_t>(54 + i * 3)] = static_cast<char>(b);
    bmp[static_cast<size_t>(54 + i * 3 + 1)] = static_cast<char>(g);
    bmp[static_cast<size_t>(54 + i * 3 + 2)] = static_cast<char>(r);
  }
  return bmp;
}


// Pixels of an area of the screen in the page's trouble colour: the files left out are listed in it.
int trouble_pixels(const media::Pixmap& shot, const layout::Rect& r) {
  int n = 0;
  for (int y = kPageY + r.y; y < kPageY + r.y + r.h; ++y)
    for (int x = kPageX + r.x; x < kPageX + r.x + r.w; ++x) {
      const uint32_t c = read_pixel(shot, x, y);
      n += ((c >> 16) & 255) > 130 && ((c >> 8) & 255) < 110 && (c & 255) < 110;
    }
  return n;
}

void click_on_page(Pipkin& app, const layout::Rect& r) { app.click(kPageX + r.x + r.w / 2, kPageY + r.y + r.h / 2); }

}  // namespace

TEST(Parent, InstalledProgramNamesItsFoldersAndListsWhatItLeftOut) {
  // A stand-in file manager on the PATH that notes what it was asked to open.
  const std::string bin = testing::TempDir() + "pipkin-xdg-" + std::to_string(::getpid());
  const std::string opened = bin + "/opened.txt";
  fs::remove_all(bin);
  write_all(bin + "/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + opened + "'\n");
  chmod((bin + "/xdg-open").c_str(), 0755);
  // The portable copy's title first, to hold the installed one against (one window at a time: a
  // screenshot of a window shows what covers it).
  media::PixmapPtr portable_title;
  {
    Pipkin portable;
    ASSERT_TRUE(portable.start()) << portable.stderr_text();
    portable_title = portable.screenshot();
    portable.key("Escape");
    ASSERT_TRUE(portable.wait_exit());
  }
  e2e::Options opt;
  opt.installed = true;
  opt.env = {{"PATH", bin + ":" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin")}};
  Pipkin app(opt);
  const std::string folder = app.home() + "/Pictures/Pipkin";
  write_all(folder + "/red.bmp", solid_bmp(220, 30, 30));
  write_all(folder + "/green.bmp", solid_bmp(30, 200, 30));
  write_all(folder + "/IMG_2231.HEIC", "not a picture this program reads");
  write_all(folder + "/broken.jpg", e2e::read_file(app.data("images/sky.jpg")).substr(0, 3000));
  ASSERT_TRUE(app.start()) << app.stderr_text();

  // The installed title's own lines, not the portable copy's words about data/pics.
  media::PixmapPtr title = app.screenshot(e2e::shot("parent_installed_title"));
  ASSERT_TRUE(title && portable_title);
  EXPECT_GT(e2e::diff(*title, *portable_title, 0, 676, 1024, 730).n, 400) << "the folder line differs";
  const e2e::Diff rest = e2e::diff(*title, *portable_title, 0, 732, 1024, 768);
  EXPECT_LT(rest.n, 50) << "the rest of the title is the same; differs in " << rest.x0 << "," << rest.y0 << " - "
                        << rest.x1 << "," << rest.y1;

  // Help page 0 as the installed program has it, its folders written into the box it leaves.
  media::PixmapPtr help = media::load_pixmap(app.data("help/0-installed.png"));
  ASSERT_TRUE(help);
  const int help_x = (1024 - help->width) / 2, help_y = (768 - help->height) / 2;
  app.key("h");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& s) {
    return e2e::near(read_pixel(s, help_x + 30, help_y + 300), (read_pixel(*help, 30, 300) >> 16) & 255,
                     (read_pixel(*help, 30, 300) >> 8) & 255, read_pixel(*help, 30, 300) & 255);
  }));
  media::PixmapPtr with_help = app.screenshot(e2e::shot("parent_installed_help"));
  ASSERT_TRUE(with_help);
  int ink = 0;
  const layout::Rect box = layout::kHelpFoldersBox;
  for (int y = box.y + 4; y < box.y + box.h - 4; ++y)
    for (int x = box.x + 4; x < box.x + box.w - 4; ++x) {
      const uint32_t c = read_pixel(*with_help, help_x + x, help_y + y);
      ink += ((c >> 16) & 255) < 120 && ((c >> 8) & 255) < 120;
    }
  EXPECT_GT(ink, 300) << "the folders are written into the help page's box";
  app.key("h");

  // Control+P: the page, with the two files left out in the pictures card.
  media::PixmapPtr page = media::load_pixmap(app.data("help/settings.png"));
  ASSERT_TRUE(page);
  app.key("ctrl+p");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& s) { return shows_page(s, *page); })) << app.stderr_text();
  const layout::Rect card{layout::kPicturesTextX, layout::kPicturesTextY, layout::kPicturesTextW, 290};
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& s) { return trouble_pixels(s, card) > 150; }))
      << "the files left out are listed";
  app.screenshot(e2e::shot("parent_settings"));
  const std::string err = app.stderr_text();
  EXPECT_NE(err.find("broken.jpg"), std::string::npos) << err;

  // The keyboard alone reaches "open the folder": the ninth control, after the eight choices.
  for (int i = 0; i < 8; ++i) app.key("Tab");
  app.key("Return");
  ASSERT_TRUE(e2e::wait_until([&] { return e2e::read_file(opened) == folder + "\n"; }, e2e::kDeadlineMs))
      << "xdg-open was asked for: " << e2e::read_file(opened) << app.stderr_text();

  // Escape closes the page; a second Escape quits as ever.
  app.key("Escape");
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& s) { return !shows_page(s, *page); }));
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit());
  EXPECT_EQ(app.exit_status(), 0);
  fs::remove_all(bin);
}

TEST(Parent, PlayTimeEndsOnABreakThatOnlyTheParentEnds) {
  e2e::Options opt;
  opt.level = 9;
  opt.config = "0\n0\n0\n1\n1\n";  // full screen, no lock, sound on, one minute of play
  Pipkin app(opt);
  media::PixmapPtr rest = media::load_pixmap(app.data("images/break.png"));
  media::PixmapPtr page = media::load_pixmap(app.data("help/settings.png"));
  ASSERT_TRUE(rest && page);
  ASSERT_TRUE(app.start(true, {"--test-minute-ms=1500"})) << app.stderr_text();
  app.key("1");
  auto on_break = [&](const media::Pixmap& s) { return e2e::diff(*rest, s, 0, 0, 1024, 720).n < 2000; };
  ASSERT_TRUE(app.wait_for(on_break)) << "the break screen";
  app.screenshot(e2e::shot("parent_break"));

  // A child at the keyboard and the mouse: nothing changes, nothing quits.
  for (const char* k : {"1", "2", "9", "h", "F1", "space", "Return", "Escape", "q", "0", "a", "p", "v"}) app.key(k);
  for (int i = 0; i < 12; ++i) app.click(80 * i + 20, 60 * i + 30, i % 3 == 2 ? 3 : 1);
  // Everything sent so far is handled before Control+P: the page shows over the break screen.
  app.key("ctrl+p");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& s) { return shows_page(s, *page); }));
  media::PixmapPtr over = app.screenshot(e2e::shot("parent_break_settings"));
  ASSERT_TRUE(over);
  EXPECT_TRUE(app.running()) << "Escape on the break screen does not quit";
  EXPECT_LT(e2e::diff(*rest, *over, 0, 0, kPageX, 768).n, 200) << "the break picture is still behind the page";

  // Ten more minutes: activity 1 comes back as it was left, with its frames.
  click_on_page(app, layout::kMoreTime);
  auto pale = [](uint32_t c) { return ((c >> 16) & 255) > 235 && ((c >> 8) & 255) > 230 && (c & 255) > 215; };
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& s) {
    return pale(read_pixel(s, 270, 206)) && pale(read_pixel(s, 756, 538));
  })) << "the frames again";
  app.key("ctrl+q");
  EXPECT_TRUE(app.wait_exit());
  EXPECT_EQ(app.exit_status(), 0);
}
