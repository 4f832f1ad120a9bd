// The generated pictures folder: enough full-screen pictures for every activity, each one
// different from the others at a glance, with detail in every part (a jigsaw piece or a
// kaleidoscope wedge cut anywhere shows something), and free of the colours that masking removes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "media/decode/decode.hpp"
#include "media/decode/pixmap.hpp"

namespace {

namespace fs = std::filesystem;

const std::string kPics = std::string(PIPKIN_DATA_DIR) + "/pics";

struct Picture {
  std::string name;
  media::PixmapPtr pixels;
};

// Every file the program would take as a JPEG picture, in name order.
const std::vector<Picture>& pictures() {
  static const std::vector<Picture> list = [] {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(kPics, ec)) {
      std::string n = e.path().filename().string();
      if (n.size() >= 4 && n.compare(n.size() - 4, 4, ".jpg") == 0) names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    std::vector<Picture> out;
    for (const auto& n : names) out.push_back({n, media::load_pixmap(kPics + "/" + n)});
    return out;
  }();
  return list;
}

struct Stats {
  double mean[3] = {0, 0, 0};
  double variance = 0;  // summed over the three channels
};

Stats region_stats(const media::Pixmap& p, int x0, int y0, int w, int h) {
  double sum[3] = {0, 0, 0}, sq[3] = {0, 0, 0};
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) {
      uint32_t c = media::read_pixel(p, x, y);
      const double ch[3] = {double(c >> 16 & 255), double(c >> 8 & 255), double(c & 255)};
      for (int k = 0; k < 3; ++k) {
        sum[k] += ch[k];
        sq[k] += ch[k] * ch[k];
      }
    }
  Stats s;
  const double n = double(w) * h;
  for (int k = 0; k < 3; ++k) {
    s.mean[k] = sum[k] / n;
    s.variance += sq[k] / n - s.mean[k] * s.mean[k];
  }
  return s;
}

// Mean colours of a 4 x 4 grid: roughly what a 215 x 161 memory card looks like from afar.
std::array<double, 48> coarse_look(const media::Pixmap& p) {
  std::array<double, 48> look{};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      Stats s = region_stats(p, c * 256, r * 192, 256, 192);
      for (int k = 0; k < 3; ++k) look[(r * 4 + c) * 3 + k] = s.mean[k];
    }
  return look;
}

}  // namespace

TEST(DataPictures, FolderHoldsEnoughScreenSizedPictures) {
  const auto& list = pictures();
  // Frames show sixteen different pictures; the memory game and jigsaws want plenty more.
  ASSERT_GE(list.size(), 20u);
  for (const auto& p : list) {
    SCOPED_TRACE(p.name);
    ASSERT_TRUE(p.pixels) << "does not decode";
    EXPECT_EQ(p.pixels->width, 1024);
    EXPECT_EQ(p.pixels->height, 768);
    // Names sort into a fixed order: two digits, an underscore, a lowercase word.
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(p.name[0])) && std::isdigit(static_cast<unsigned char>(p.name[1])) &&
                p.name[2] == '_');
  }
}

TEST(DataPictures, NoTwoPicturesLookAlikeFromAfar) {
  const auto& list = pictures();
  ASSERT_GE(list.size(), 20u);
  std::vector<std::array<double, 48>> looks;
  for (const auto& p : list) {
    ASSERT_TRUE(p.pixels) << p.name;
    looks.push_back(coarse_look(*p.pixels));
  }
  for (size_t i = 0; i < looks.size(); ++i)
    for (size_t j = i + 1; j < looks.size(); ++j) {
      double d = 0;
      for (int k = 0; k < 48; ++k) d += (looks[i][k] - looks[j][k]) * (looks[i][k] - looks[j][k]);
      // Root-mean-square difference per channel of the coarse grids.
      EXPECT_GT(std::sqrt(d / 48), 20.0) << list[i].name << " and " << list[j].name << " look alike";
    }
}

TEST(DataPictures, EveryPartOfEveryPictureHasDetail) {
  for (const auto& p : pictures()) {
    ASSERT_TRUE(p.pixels) << p.name;
    // Every 128 x 128 block (a small jigsaw piece) holds more than one flat colour.
    for (int by = 0; by < 768; by += 128)
      for (int bx = 0; bx < 1024; bx += 128)
        EXPECT_GT(region_stats(*p.pixels, bx, by, 128, 128).variance, 100.0)
            << p.name << ": the block at " << bx << "," << by << " is nearly flat";
  }
}

TEST(DataPictures, NoPureBlackOrWhiteForMaskingToPunchOut) {
  // The kaleidoscope masks pure black when it copies a picture and pure white when it cuts
  // its wedge; either would leave holes in the pattern.
  for (const auto& p : pictures()) {
    ASSERT_TRUE(p.pixels) << p.name;
    int black = 0, white = 0;
    for (int y = 0; y < p.pixels->height; ++y)
      for (int x = 0; x < p.pixels->width; ++x) {
        uint32_t c = media::read_pixel(*p.pixels, x, y) & 0xFFFFFFu;
        black += c == 0;
        white += c == 0xFFFFFFu;
      }
    EXPECT_EQ(black, 0) << p.name;
    EXPECT_EQ(white, 0) << p.name;
  }
}
