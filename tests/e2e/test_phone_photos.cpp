// A parent's folder as a phone fills it, end to end: the installed program reads every picture
// format a phone saves (JPEG under any of its endings and in any case, WebP, HEIC, AVIF), reads the
// album folders inside the folder, leaves hidden files, side files and videos out with one line,
// follows a link back up the tree only once, and shows turned photos upright in the frames and on
// the pairs' cards. The portable copy keeps its strict rule: "photo.JPG" in data/pics is passed over.
//
// The pictures are made here with the command-line tools the tests install (ImageMagick, cwebp,
// heif-enc, avifenc), and the turned HEIC with libheif's encoder (heif-enc cannot write a turn).
// Each one is a flat colour, or two, that survives lossy coding and scaling.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/harness.hpp"
#include "tests/unit/heif_images.hpp"

namespace {

using e2e::near;
using e2e::Pipkin;
using media::read_pixel;

struct Colour {
  int r, g, b;
};
std::string rgb(const Colour& c) {
  return "rgb(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}
// Colours far enough apart that lossy coding at a middling quality never turns one into another.
const Colour kColours[] = {{220, 40, 40},  {40, 180, 40},  {40, 60, 220},  {230, 210, 40},
                           {200, 60, 200}, {40, 200, 210}, {240, 140, 30}, {110, 70, 30}};
constexpr int kTolerance = 28;
// The two halves of the portrait test photos (indexes into kColours).
constexpr int kUpper = 4, kLower = 6;

// The colour (index into kColours) a screen pixel shows, or -1.
int colour_of(uint32_t px) {
  for (int i = 0; i < static_cast<int>(std::size(kColours)); ++i)
    if (near(px, kColours[i].r, kColours[i].g, kColours[i].b, kTolerance)) return i;
  return -1;
}

void run(const std::string& cmd) { ASSERT_EQ(e2e::sh(cmd), 0) << cmd; }
std::string q(const std::string& s) { return "'" + s + "'"; }

// A flat picture as PNG (the tools' common input), w x h. Always 8-bit RGB: ImageMagick would
// write a one-colour picture with a palette, which heif-enc misreads.
void flat_png(const std::string& path, const Colour& c, int w = 640, int h = 480) {
  run("convert -size " + std::to_string(w) + "x" + std::to_string(h) + " xc:" + q(rgb(c)) + " " + q("PNG24:" + path));
}
// A picture that stands upright only when the reader turns it: stored lying on its side (800 x 600)
// with `upper` on the side that becomes the top, `lower` on the other.
//   turned_left: the stored right half becomes the top (a quarter turn anticlockwise shows it).
void lying_png(const std::string& path, const Colour& upper, const Colour& lower) {
  run("convert -size 800x600 xc:" + q(rgb(lower)) + " -fill " + q(rgb(upper)) +
      " -draw 'rectangle 400,0 799,599' " + q("PNG24:" + path));
}

// Encodes a PNG into the format the destination's ending names; the PNG is removed.
void encode(const std::string& png, const std::string& to, const std::string& extra = "") {
  const std::string ext = to.substr(to.rfind('.') + 1);
  std::string lower;
  for (char c : ext) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "webp")
    run("cwebp -quiet -q 80 " + extra + " " + q(png) + " -o " + q(to));
  else if (lower == "heic")
    run("heif-enc -q 80 " + extra + " " + q(png) + " -o " + q(to) + " >/dev/null");
  else if (lower == "avif")
    run("avifenc -s 10 -j 2 " + extra + " " + q(png) + " " + q(to) + " >/dev/null");
  else
    run("convert " + q(png) + " -quality 90 " + extra + " " + q(to));
  run("rm -f " + q(png));
}

void picture(const std::string& path, const Colour& c, const std::string& extra = "") {
  const std::string png = path + ".src.png";
  flat_png(png, c);
  encode(png, path, extra);
}

// Picture frames: frame i's picture area (its centre) and a point clear of every frame.
constexpr int kFrameSpots[4][2] = {{94, 74}, {580, 74}, {94, 406}, {580, 406}};
int frame_cx(int i) { return kFrameSpots[i][0] + 176; }
int frame_cy(int i) { return kFrameSpots[i][1] + 110; }
constexpr int kOutX = 512, kOutY = 384;

// Enters frame i (from outside every frame) and waits until it shows a picture other than `last`;
// returns the colour it shows at (dx, dy) from its centre, or -1.
int enter_frame(Pipkin& app, int i, int last, int dy = -60) {
  app.move(kOutX, kOutY);
  app.move(frame_cx(i), frame_cy(i));
  int now = -1;
  app.wait_for([&](const media::Pixmap& p) {
    now = colour_of(read_pixel(p, frame_cx(i), frame_cy(i) + dy));
    return now >= 0 && now != last;
  });
  return now;
}

TEST(PhonePhotos, EveryFormatAnyCaseAlbumsWithinAlbumsAndOneLineForTheRest) {
  e2e::Options opt;
  opt.installed = true;
  opt.level = 9;
  Pipkin app(opt);
  const std::string f = app.home() + "/Pictures/Pipkin";
  run("mkdir -p " + q(f + "/Summer 2026/Day 2") + " " + q(f + "/.thumbnails"));
  // Eight pictures: four in the folder itself under every JPEG ending and case, the phone formats,
  // and two in albums, one of them an album within an album.
  picture(f + "/IMG_0001.JPG", kColours[0]);
  picture(f + "/IMG_0002.JPEG", kColours[1]);
  picture(f + "/IMG_2231.HEIC", kColours[2]);
  picture(f + "/PXL_20251104.jpg", kColours[3]);
  picture(f + "/new.avif", kColours[4]);
  picture(f + "/sticker.webp", kColours[5]);
  picture(f + "/Summer 2026/beach.jpg", kColours[6]);
  picture(f + "/Summer 2026/Day 2/sand.jpe", kColours[7]);
  // Not pictures: a video, an edit's side file and a note (three, in one line); hidden files and
  // folders, which are not counted at all; and a link back to the folder itself.
  run("head -c 20000 /dev/urandom > " + q(f + "/VID_0003.MP4"));
  run("echo '<?xml version=\"1.0\"?><plist/>' > " + q(f + "/IMG_2231.AAE"));
  run("echo 'photos from the phone' > " + q(f + "/Summer 2026/notes.txt"));
  flat_png(f + "/.hidden.png", {255, 255, 255});
  flat_png(f + "/.thumbnails/IMG_0001.png", {255, 255, 255});
  run("ln -s .. " + q(f + "/Summer 2026/Day 2/back to the top"));

  ASSERT_TRUE(app.start()) << app.stderr_text();
  const std::string err = app.stderr_text();
  EXPECT_NE(err.find(f + ": 3 files that are not pictures left out"), std::string::npos) << err;
  EXPECT_EQ(err.find("IMG_"), std::string::npos) << "no picture is named as left out:\n" << err;
  EXPECT_EQ(err.find("sticker"), std::string::npos) << err;
  EXPECT_EQ(err.find("new.avif"), std::string::npos) << err;

  // Frames 0 and 1 each show four of the eight pictures in turn as the pointer enters them: all
  // eight, each once (a picture read twice through the link would push one out).
  app.key("1");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return app.pointer_at(p, 512, 384); }))
      << "picture frames start with the pointer in the middle";
  std::multiset<int> seen;
  for (int i = 0; i < 2; ++i) {
    int last = -1;
    for (int turn = 0; turn < 4; ++turn) {
      last = enter_frame(app, i, last);
      if (last < 0) app.screenshot(e2e::shot("phone_frames_stuck"));
      ASSERT_GE(last, 0) << "frame " << i << ", entry " << turn;
      seen.insert(last);
    }
  }
  app.screenshot(e2e::shot("phone_frames"));
  for (int c = 0; c < 8; ++c) EXPECT_EQ(seen.count(c), 1u) << "picture " << c << " shown once";
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit());
}

// The pairs' cards: where card k lies, and a click on it that moves away at once.
constexpr int kCols[4] = {32, 279, 526, 773}, kRows[4] = {24, 209, 394, 579};

// One portrait photo in the parent's folder (made by `make`; a turned one stored lying on its side
// with the file saying how to turn it): the frames and the pairs' cards show it upright, its upper
// colour above its lower one.
void expect_upright(const std::string& name, const std::function<void(const std::string& path)>& make) {
  SCOPED_TRACE(name);
  e2e::Options opt;
  opt.installed = true;
  opt.level = 9;
  Pipkin app(opt);
  const std::string f = app.home() + "/Pictures/Pipkin";
  run("mkdir -p " + q(f));
  make(f + "/" + name);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  EXPECT_EQ(app.stderr_text().find("left out"), std::string::npos) << app.stderr_text();

  app.key("1");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return app.pointer_at(p, 512, 384); }));
  ASSERT_EQ(enter_frame(app, 0, -1, -70), kUpper) << "the frame's upper part shows the photo's top";
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    return colour_of(read_pixel(p, frame_cx(0), frame_cy(0) + 70)) == kLower &&
           colour_of(read_pixel(p, frame_cx(0) - 120, frame_cy(0) - 70)) == kUpper &&
           colour_of(read_pixel(p, frame_cx(0) + 120, frame_cy(0) - 70)) == kUpper;
  })) << "and its lower part the photo's bottom, across the whole width";
  app.screenshot(e2e::shot("phone_upright_frames_" + name));

  app.key("8");
  app.click_then_move(kCols[0] + 205, kRows[0] + 150, 1012, 8);
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    return colour_of(read_pixel(p, kCols[0] + 100, kRows[0] + 30)) == kUpper &&
           colour_of(read_pixel(p, kCols[0] + 100, kRows[0] + 130)) == kLower;
  })) << "the turned card shows the photo upright";
  app.screenshot(e2e::shot("phone_upright_pairs_" + name));
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit());
}

TEST(PhonePhotos, TurnedAvifStandsUprightInFramesAndPairs) {
  // A quarter turn anticlockwise on showing: the stored right half becomes the top.
  expect_upright("turned.avif", [](const std::string& path) {
    lying_png(path + ".png", kColours[kUpper], kColours[kLower]);
    encode(path + ".png", path, "--irot 1");
  });
}

TEST(PhonePhotos, TurnedHeicStandsUprightInFramesAndPairs) {
  // As a phone held upright saves it: the picture stored lying on its side and the file's turn
  // saying "a quarter turn clockwise to show it", so the stored left half becomes the top.
  ASSERT_TRUE(heif_samples::can_encode(heif_compression_HEVC)) << "this libheif has no HEVC encoder";
  expect_upright("IMG_4032.HEIC", [](const std::string& path) {
    heif_samples::HeifSpec spec;
    spec.width = 800, spec.height = 600;
    spec.orientation = heif_orientation_rotate_90_cw;
    const std::string bytes = heif_samples::encode_heif(spec, [](int x, int, uint8_t* px) {
      const Colour& c = kColours[x < 400 ? kUpper : kLower];
      px[0] = uint8_t(c.r), px[1] = uint8_t(c.g), px[2] = uint8_t(c.b);
    });
    ASSERT_FALSE(bytes.empty());
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  });
}

TEST(PhonePhotos, WebPAndUpperCaseJpegInFramesAndPairs) {
  // WebP and JPEG have no turn of their own here: the portrait is stored upright.
  for (const std::string name : {"upright.webp", "UPRIGHT.JPEG"})
    expect_upright(name, [](const std::string& path) {
      run("convert -size 600x800 xc:" + q(rgb(kColours[kLower])) + " -fill " + q(rgb(kColours[kUpper])) +
          " -draw 'rectangle 0,0 599,399' " + q("PNG24:" + path + ".png"));
      encode(path + ".png", path);
    });
}

TEST(PhonePhotos, ThePortableCopyReadsOnlyLowerCaseEndings) {
  e2e::Options opt;
  opt.keep_pictures = false;
  Pipkin app(opt);
  picture(app.data("pics/photo.JPG"), kColours[0]);
  picture(app.data("pics/photo.jpeg"), kColours[0]);
  picture(app.data("pics/sticker.webp"), kColours[0]);
  picture(app.data("pics/shown.jpg"), kColours[1]);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  app.key("1");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return app.pointer_at(p, 512, 384); }));
  // Every entry shows the one picture read; the others would show as red.
  int last = -1;
  for (int turn = 0; turn < 4; ++turn) {
    app.move(kOutX, kOutY);
    app.move(frame_cx(0), frame_cy(0));
    EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) {
      last = colour_of(read_pixel(p, frame_cx(0), frame_cy(0) - 60));
      return last >= 0;
    }));
    EXPECT_EQ(last, 1) << "entry " << turn;
  }
  const std::string err = app.stderr_text();
  EXPECT_NE(err.find("photo.JPG"), std::string::npos) << "the strict folder names what it passes over:\n" << err;
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit());
}

}  // namespace
