// Rendering tests run against a real OpenGL window (Xvfb with Mesa's software renderer in CI).
#include <gtest/gtest.h>

#include <cstdio>

#include "media/display/display.hpp"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  if (!media::open_graphics(1024, 768, 0, 60)) {
    std::fprintf(stderr, "render_tests: no display (run under Xvfb)\n");
    return 1;
  }
  int rc = RUN_ALL_TESTS();
  media::close_graphics();
  return rc;
}
