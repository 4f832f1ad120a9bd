// tour OUT_DIR: runs a copy of the built program with every activity unlocked on the current
// display, visits the title screen and every activity of the program's table with a little play in
// each, then the title's help page, and saves one screenshot per screen into OUT_DIR (0-title.png,
// then <digit>-<name>.png for each activity: 1-frames.png, ..., and <count + 1>-help.png). Used by
// run.sh without a display.
// Each screenshot is taken once the screen shows what it should (the program's pointer drawn at a
// new place after the input, or the activity's own look), never after a fixed time.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "activities/register.hpp"
#include "tests/e2e/harness.hpp"

namespace {

// Pixels of an area that differ between two pictures by more than 30 on some channel.
int changed(const media::Pixmap& a, const media::Pixmap& b, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      uint32_t p = media::read_pixel(a, x, y), q = media::read_pixel(b, x, y);
      for (int s = 0; s < 24; s += 8)
        if (std::abs(static_cast<int>((p >> s) & 255) - static_cast<int>((q >> s) & 255)) > 30) {
          ++n;
          break;
        }
    }
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tour OUT_DIR\n");
    return 2;
  }
  std::string out = argv[1];
  e2e::sh("mkdir -p '" + out + "'");
  const app::ActivityTable table = activities::activity_table();
  e2e::Options opt;
  opt.level = table.count();
  e2e::Pipkin app(opt);
  media::PixmapPtr sky = media::load_pixmap(app.data("images/sky.jpg"));
  if (!app.start()) {
    std::fprintf(stderr, "tour: Pipkin did not start:\n%s", app.stderr_text().c_str());
    return 1;
  }
  bool all_seen = true;
  auto expect = [&](bool seen, const char* what) {
    if (!seen) std::fprintf(stderr, "tour: %s not seen in time\n", what);
    all_seen = all_seen && seen;
  };
  auto shot = [&](const std::string& name) {
    std::string path = out + "/" + name + ".png";
    app.screenshot(path);
    std::printf("tour: %s\n", path.c_str());
  };
  shot("0-title");
  media::PixmapPtr title = app.screenshot();
  // A little play in each activity, by its name in the table, until the screen shows it. An
  // activity without play of its own here is only looked at: the program's pointer moved and seen.
  auto pale = [](uint32_t c) { return ((c >> 16) & 255) > 235 && ((c >> 8) & 255) > 230 && (c & 255) > 215; };
  const std::map<std::string, std::function<void()>> play = {
      {"frames",
       [&] {
         // The frames must be up before the pointer moves into one (the activity notes where it starts).
         expect(app.wait_for([&](const media::Pixmap& p) {
           return pale(media::read_pixel(p, 270, 206)) && pale(media::read_pixel(p, 756, 538));
         }),
                "the empty frames");
         expect(app.move_and_see(250, 200), "frames, top-left");
         expect(app.move_and_see(700, 550), "frames, bottom-right");
       }},
      {"count", [&] { expect(app.move_and_see(512, 384), "counting balls"); }},
      {"cards",
       [&] {
         expect(!sky || app.wait_for([&](const media::Pixmap& p) { return changed(*sky, p, 0, 0, 1000, 740) < 100; }),
                "the empty sky of bouncing cards");
         for (int i = 1; i <= 3; ++i) {
           app.click(200 + 150 * i, 300, 1);
           app.click(800 - 100 * i, 300, 3);
         }
         expect(!sky || app.wait_for([&](const media::Pixmap& p) {
           return changed(*sky, p, 0, 0, 300, 768) > 30000 && changed(*sky, p, 724, 0, 1024, 768) > 30000;
         }),
                "card trails from both sides");
       }},
      {"kaleid",
       [&] {
         app.move(400, 300);
         expect(app.wait_for([](const media::Pixmap& p) {
           int lit = 0;
           for (int y = 250; y < 350; ++y)
             for (int x = 350; x < 450; ++x) lit += (media::read_pixel(p, x, y) & 0xFFFFFF) != 0;
           return e2e::near(media::read_pixel(p, 20, 20), 0, 0, 0, 8) && lit > 5000;
         }),
                "the kaleidoscope round the pointer");
       }},
      {"uncover",
       [&] {
         expect(app.move_and_see(990, 30), "uncover");
         for (int x : {250, 750}) app.click(x, 200);
         expect(app.move_and_see(990, 50), "two pieces uncovered");
       }},
      {"where", [&] { expect(app.move_and_see(1000, 20), "where"); }},
      {"colour",
       [&] {
         app.click(60, 560);   // a colour from the palette
         app.click(700, 300);  // and a fill
         expect(app.move_and_see(900, 700), "colouring");
       }},
      {"pairs",
       [&] {
         app.click(140, 100);
         app.click(386, 100);
         expect(app.move_and_see(1012, 8), "pairs");
       }},
      {"jigsaw", [&] { expect(app.move_and_see(980, 40), "jigsaw"); }},
  };
  for (int d = 1; d <= table.count(); ++d) {
    const std::string& name = table.entry(d).name;
    app.key(std::to_string(d));
    if (auto own = play.find(name); own != play.end())
      own->second();
    else
      expect(app.move_and_see(500 + 10 * d, 400), name.c_str());
    shot(std::to_string(d) + "-" + name);
  }
  app.key("0");
  expect(!title || app.wait_for([&](const media::Pixmap& p) { return changed(*title, p, 0, 0, 1000, 740) < 100; }),
         "the title screen again");
  app.key("h");  // the title screen's help page, for the parent
  expect(!title || app.wait_for([&](const media::Pixmap& p) { return changed(*title, p, 300, 300, 700, 500) > 20000; }),
         "the title's help page");
  shot(std::to_string(table.count() + 1) + "-help");
  app.key("h");
  expect(!title || app.wait_for([&](const media::Pixmap& p) { return changed(*title, p, 300, 300, 700, 500) < 100; }),
         "the help page closed");
  // The parent's settings page: its header stands where the page's picture has it.
  const int page_x = (1024 - 900) / 2, page_y = (768 - 680) / 2;
  media::PixmapPtr page = media::load_pixmap(app.data("help/settings.png"));
  auto shows_page = [&](const media::Pixmap& p) {
    if (!page) return true;
    int same = 0;
    for (int y = 20; y < 120; y += 4)
      for (int x = 20; x < 700; x += 4)
      {
        const uint32_t q = media::read_pixel(*page, x, y);
        same += e2e::near(media::read_pixel(p, page_x + x, page_y + y), (q >> 16) & 255, (q >> 8) & 255, q & 255);
      }
    return same > 170 * 25 * 9 / 10;
  };
  app.key("ctrl+p");
  expect(app.wait_for(shows_page), "the settings page");
  shot(std::to_string(table.count() + 2) + "-settings");
  app.key("Escape");
  expect(app.wait_for([&](const media::Pixmap& p) { return !shows_page(p); }), "the settings page closed");
  app.key("Escape");
  bool ended = app.wait_exit() && app.exit_status() == 0;

  // The break at the end of play time, with a play-time minute of a second and a half, and the page
  // the parent opens on it.
  e2e::Options timed = opt;
  timed.config = "0\n0\n0\n1\n1\n";
  e2e::Pipkin later(timed);
  media::PixmapPtr rest = media::load_pixmap(later.data("images/break.png"));
  if (!later.start(true, {"--test-minute-ms=1500"})) {
    std::fprintf(stderr, "tour: Pipkin did not start again:\n%s", later.stderr_text().c_str());
    return 1;
  }
  later.key("1");
  expect(!rest || later.wait_for([&](const media::Pixmap& p) { return changed(*rest, p, 0, 0, 1024, 720) < 2000; }),
         "the break screen");
  later.screenshot(out + "/" + std::to_string(table.count() + 3) + "-break.png");
  std::printf("tour: %s\n", (out + "/" + std::to_string(table.count() + 3) + "-break.png").c_str());
  later.key("ctrl+p");
  expect(later.wait_for(shows_page), "the settings page over the break");
  later.screenshot(out + "/" + std::to_string(table.count() + 4) + "-break-settings.png");
  std::printf("tour: %s\n", (out + "/" + std::to_string(table.count() + 4) + "-break-settings.png").c_str());
  later.key("ctrl+q");
  ended = later.wait_exit() && later.exit_status() == 0 && ended;
  return ended && all_seen ? 0 : 1;
}
