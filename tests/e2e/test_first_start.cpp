// A phone's HEIC photos at the installed program's first start. The photos' own previews are drawn
// with a strong green cast here, so a screenshot tells which is on screen. With the full pictures
// held back (the program's test hold, --test-hold-pictures=full:FILE), the first frame shows its
// photo from the preview; once they are let go, the same frame shows the full picture without the
// child moving again. A photo without a usable preview (none, or too small) is decoded whole at
// once, so its frame never shows a preview. Nothing here depends on how fast the machine decodes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/e2e/harness.hpp"
#include "tests/support/phone_photos.hpp"

namespace {

using e2e::Pipkin;
using phone_photos::Preview;

// Smaller than a phone's (a full 4032x3024 grid takes seconds to make and to decode on a busy
// machine), but of the same build: a grid of 512x512 tiles and a 320x240 thumbnail.
constexpr int kPhotoW = 2048, kPhotoH = 1536;

// The frames' picture areas (top-left corners); the first picture shown in frame i is the
// folder's picture 4i + 1, or that index wrapped round the pictures in so far.
constexpr int kFrameSpots[4][2] = {{94, 74}, {580, 74}, {94, 406}, {580, 406}};

enum class Shown { Nothing, Preview, Full };

// What the top of frame i shows: the photos' sky, green where the marked preview is drawn.
Shown shown_in(const media::Pixmap& p, int i) {
  long r = 0, g = 0, b = 0, n = 0;
  for (int y = kFrameSpots[i][1] + 10; y < kFrameSpots[i][1] + 40; y += 3)
    for (int x = kFrameSpots[i][0] + 40; x < kFrameSpots[i][0] + 312; x += 7, ++n) {
      const uint32_t px = media::read_pixel(p, x, y);
      r += (px >> 16) & 255, g += (px >> 8) & 255, b += px & 255;
    }
  r /= n, g /= n, b /= n;
  if (r > 225 && g > 215 && b > 190) return Shown::Nothing;  // the empty frame's cream
  return g > r + 60 && g > b + 60 ? Shown::Preview : Shown::Full;
}

// Enters frame i from between the frames until it shows something, and returns what.
Shown enter(Pipkin& app, int i) {
  const int cx = kFrameSpots[i][0] + 176, cy = kFrameSpots[i][1] + 110;
  Shown got = Shown::Nothing;
  for (int tries = 0; tries < 3 && got == Shown::Nothing; ++tries) {
    app.move(512, 384);
    app.move(cx, cy);
    app.wait_for([&](const media::Pixmap& p) { return (got = shown_in(p, i)) != Shown::Nothing; }, e2e::kDeadlineMs / 3);
  }
  return got;
}

TEST(FirstStart, PhotosShowFromTheirPreviewsAtOnceThenAtFullQualityInPlace) {
  e2e::Options opt;
  opt.installed = true;
  opt.keep_pictures = false;
  opt.wait_for_pictures = false;
  Pipkin app(opt);
  // Folder order: picture 1 (the first frame's) has a preview; picture 5 (the second frame's) has
  // none and picture 9 (the third's) one too small to stand in for it (marked too: were it shown,
  // the test would see green).
  constexpr int kPhotos = 10, kNone = 5, kTiny = 9;
  const std::string folder = app.home() + "/Pictures/Pipkin";
  e2e::sh("mkdir -p '" + folder + "'");
  for (int k = 0; k < kPhotos; ++k) {
    phone_photos::Options o;
    o.format = phone_photos::Format::Heic;
    o.seed = static_cast<uint32_t>(k + 1);
    o.width = kPhotoW, o.height = kPhotoH;
    o.preview = k == kNone ? Preview::None : Preview::Marked;
    if (k == kTiny) o.preview_width = 96, o.preview_height = 72;
    const std::string bytes = phone_photos::make(o);
    std::ofstream(folder + "/" + phone_photos::file_name(o.format, k + 1), std::ios::binary) << bytes;
  }
  const std::string go = app.dir() + "/full-pictures";
  ASSERT_TRUE(app.start(true, {"--test-hold-pictures=full:" + go})) << app.stderr_text();

  app.key("1");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return app.pointer_at(p, 512, 384); }))
      << "picture frames start with the pointer in the middle";
  const Shown first = enter(app, 0);
  app.screenshot(e2e::shot("first_start_preview"));
  EXPECT_EQ(first, Shown::Preview) << "the first frame shows its photo from the preview while the full pictures are held";
  // Every photo in (from its preview or whole), so that the frames' indexes no longer wrap.
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap&) { return app.startup_notes().find("pictures ") != std::string::npos; }))
      << "every photo is in while the full pictures are held";
  EXPECT_EQ(enter(app, 1), Shown::Full) << "a photo without a preview is decoded whole at once";
  EXPECT_EQ(enter(app, 2), Shown::Full) << "a photo whose preview is too small is decoded whole at once";

  // Let the full pictures come: the first frame changes to the full picture by itself.
  e2e::sh("touch '" + go + "'");
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) { return shown_in(p, 0) == Shown::Full; }))
      << "the preview on screen is replaced by the full picture";
  app.screenshot(e2e::shot("first_start_full"));
  // The fourth frame's photo (picture 13, wrapped round to 3) comes to full quality too.
  EXPECT_NE(enter(app, 3), Shown::Nothing);
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) { return shown_in(p, 3) == Shown::Full; }));
}

}  // namespace
