// Rendering tests run against a real OpenGL window (Xvfb with Mesa's software renderer in CI).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "media/display/display.hpp"
#include "media/text/words.hpp"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  // The build's English words, as the program reads them at its start.
  if (!media::load_words(std::string(PIPKIN_DATA_DIR) + "/locale", media::kEnglish)) return 1;
  if (!media::open_graphics(1024, 768, 0, 60)) {
    std::fprintf(stderr, "render_tests: no display (run under Xvfb)\n");
    return 1;
  }
  int rc = RUN_ALL_TESTS();
  media::close_graphics();
  return rc;
}
