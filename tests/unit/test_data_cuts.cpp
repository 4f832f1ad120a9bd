// The generated jigsaw cuts: piece lists that parse, masks that fit the screen and tile the
// picture exactly (each pixel belongs to one piece's picture area or to an edge line), pieces in
// row-by-row order, and outline templates the program can draw over its dark backgrounds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "media/decode/decode.hpp"
#include "media/decode/pixmap.hpp"

namespace {

constexpr int kW = 1024, kH = 768;
const std::string kData = PIPKIN_DATA_DIR;

// The piece list's lines as integers, read the way the program reads them (CR ignored).
std::vector<int> read_list(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<int> out;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(std::atoi(line.c_str()));
  }
  return out;
}

bool opaque_white(uint32_t argb) { return argb == 0xFFFFFFFFu; }

}  // namespace

TEST(DataCuts, PieceListsAndMasksTileThePicture) {
  for (int n = 1; n <= 13; ++n) {
    SCOPED_TRACE("cut " + std::to_string(n));
    std::string dir = kData + "/pieces/" + std::to_string(n) + "/";
    std::ifstream raw(dir + "pieces.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(raw)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    std::vector<int> list = read_list(dir + "pieces.txt");
    ASSERT_GE(list.size(), 4u);
    int rows = list[0], cols = list[1];
    ASSERT_GE(rows, 1);
    ASSERT_LE(rows, 12);
    ASSERT_GE(cols, 1);
    ASSERT_LE(cols, 12);
    ASSERT_EQ(list.size(), 4u + 2u * rows * cols);
    EXPECT_FALSE(std::filesystem::exists(dir + std::to_string(rows * cols + 1) + ".png")) << "a mask too many";

    std::vector<uint8_t> inside(kW * kH, 0);  // how many masks show the picture here
    std::vector<uint8_t> edge(kW * kH, 0);    // some mask keeps an edge line here
    for (int i = 1; i <= rows * cols; ++i) {
      SCOPED_TRACE("piece " + std::to_string(i));
      media::PixmapPtr m = media::load_pixmap(dir + std::to_string(i) + ".png");
      ASSERT_TRUE(m);
      ASSERT_TRUE(media::format_has_alpha(m->format)) << "masks keep their own alpha";
      int w = m->width, h = m->height;
      EXPECT_EQ(w % 2, 0) << "even sizes keep the centred mask on whole pixels";
      EXPECT_EQ(h % 2, 0);
      int left = list[2 + 2 * i] - w / 2, top = list[3 + 2 * i] - h / 2;
      ASSERT_GE(left, 0);
      ASSERT_GE(top, 0);
      ASSERT_LE(left + w, kW);
      ASSERT_LE(top + h, kH);

      long count = 0;
      double sum_x = 0, sum_y = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          uint32_t p = media::read_pixel(*m, x, y);
          int at = (top + y) * kW + left + x;
          if ((p >> 24) < 128) {
            ++inside[at];
            ++count;
            sum_x += left + x;
            sum_y += top + y;
          } else if (!opaque_white(p)) {
            edge[at] = 1;
            EXPECT_EQ(p >> 24, 255u) << "edge lines are opaque";
          }
          // The shape stays clear of its rectangle's sides, except along the picture's border.
          bool side = (x == 0 && left > 0) || (y == 0 && top > 0) || (x == w - 1 && left + w < kW) ||
                      (y == h - 1 && top + h < kH);
          if (side) {
            ASSERT_TRUE(opaque_white(p)) << "at " << x << "," << y;
          }
        }
      ASSERT_GT(count, 0);
      // Pieces come row by row: the middle of piece i's picture area lies in its own cell.
      int r = (i - 1) / cols, c = (i - 1) % cols;
      EXPECT_EQ(static_cast<int>(sum_x / count * cols / kW), c);
      EXPECT_EQ(static_cast<int>(sum_y / count * rows / kH), r);
    }
    int gaps = 0, overlaps = 0;
    for (int at = 0; at < kW * kH; ++at) {
      if (inside[at] > 1) ++overlaps;
      if (inside[at] == 0 && !edge[at]) ++gaps;
    }
    EXPECT_EQ(gaps, 0) << "pixels that no piece covers";
    EXPECT_EQ(overlaps, 0) << "pixels that two pieces both show";
  }
}

TEST(DataCuts, TemplatesAreLightLinesOnTransparency) {
  for (int n = 1; n <= 13; ++n) {
    SCOPED_TRACE("template " + std::to_string(n));
    media::PixmapPtr t = media::load_pixmap(kData + "/templates/" + std::to_string(n) + ".png");
    ASSERT_TRUE(t);
    ASSERT_EQ(t->width, kW);
    ASSERT_EQ(t->height, kH);
    ASSERT_TRUE(media::format_has_alpha(t->format)) << "drawn masked, it must carry its own alpha";
    long lines = 0;
    bool dark = false;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        uint32_t p = media::read_pixel(*t, x, y);
        if ((p >> 24) < 128) continue;
        ++lines;
        if (((p >> 16) & 255) < 200 || ((p >> 8) & 255) < 200 || (p & 255) < 200) dark = true;
      }
    EXPECT_FALSE(dark) << "lines must be light to read on dark blue and dark red";
    // The border frame alone is about 11,000 pixels; every cut has inner lines besides.
    EXPECT_GT(lines, 15000);
    EXPECT_LT(lines, kW * kH / 10) << "mostly see-through";
    // The middle of the picture's top-left cell is background, not line.
    EXPECT_LT(media::read_pixel(*t, 60, 60) >> 24, 128u);
  }
}
