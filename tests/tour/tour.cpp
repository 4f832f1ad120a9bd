// tour OUT_DIR: runs a copy of the built program with every activity unlocked on the current
// display, visits the title screen and the nine activities with a little play in each, then the title's
// help page, and saves one screenshot per screen into OUT_DIR (0-title.png, 1-frames.png, ..., 10-help.png). Used by run.sh without a display.
#include <cstdio>
#include <string>

#include "tests/e2e/harness.hpp"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tour OUT_DIR\n");
    return 2;
  }
  std::string out = argv[1];
  e2e::sh("mkdir -p '" + out + "'");
  e2e::Options opt;
  opt.level = 9;
  e2e::Pipkin app(opt);
  if (!app.start()) {
    std::fprintf(stderr, "tour: Pipkin did not start:\n%s", app.stderr_text().c_str());
    return 1;
  }
  auto shot = [&](const char* name) {
    std::string path = out + "/" + name + ".png";
    app.screenshot(path);
    std::printf("tour: %s\n", path.c_str());
  };
  shot("0-title");
  app.key("1");
  app.move(250, 200);
  app.move(700, 550);
  app.settle(300);
  shot("1-frames");
  app.key("2");
  app.move(512, 384);
  app.settle(300);
  shot("2-count");
  app.key("3");
  for (int i = 1; i <= 3; ++i) {
    app.click(200 + 150 * i, 300, 1);
    app.click(800 - 100 * i, 300, 3);
  }
  app.settle(1500);
  shot("3-cards");
  app.key("4");
  app.move(400, 300);
  app.settle(1500);
  shot("4-kaleid");
  app.key("5");
  app.settle(500);
  for (int x : {250, 750}) app.click(x, 200);
  shot("5-uncover");
  app.key("6");
  app.settle(500);
  shot("6-where");
  app.key("7");
  app.settle(500);
  app.click(60, 560);   // a colour from the palette
  app.click(700, 300);  // and a fill
  shot("7-colour");
  app.key("8");
  app.settle(500);
  app.click(140, 100);
  app.click(386, 100);
  shot("8-pairs");
  app.key("9");
  app.settle(1000);
  shot("9-jigsaw");
  app.key("0");
  app.settle(300);
  app.key("h");  // the title screen's help page, for the parent
  app.settle(500);
  shot("10-help");
  app.key("Escape");
  return app.wait_exit(5000) && app.exit_status() == 0 ? 0 : 1;
}
