// Small jigsaw cuts written by the tests into a temporary data folder: a piece list and one PNG
// mask per piece (transparent inside the piece, opaque white outside, an optional edge colour).
#pragma once
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/unit/sample_images.hpp"

namespace jt {

namespace fs = std::filesystem;

// A folder that is removed with everything in it when the object goes.
class TempDir {
 public:
  explicit TempDir(const std::string& name) {
    static int serial = 0;
    path_ = fs::temp_directory_path() /
            ("pipkin-jigsaw-" + name + "-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The folder with a trailing slash, as the shell's data_dir has it.
  std::string dir() const { return path_.string() + "/"; }

 private:
  fs::path path_;
};

inline void write_bytes(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// An RGBA PNG whose pixels are f(x, y) -> 0xAARRGGBB.
inline void write_png(const std::string& path, int w, int h, const std::function<uint32_t(int, int)>& f) {
  samples::PngSpec spec;
  spec.width = w;
  spec.height = h;
  spec.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
  write_bytes(path, samples::encode_png(spec, [&](int x, int y, uint8_t* px) {
                uint32_t v = f(x, y);
                px[0] = static_cast<uint8_t>(v >> 16);
                px[1] = static_cast<uint8_t>(v >> 8);
                px[2] = static_cast<uint8_t>(v);
                px[3] = static_cast<uint8_t>(v >> 24);
              }));
}

struct MaskPiece {
  int x0 = 0, y0 = 0;  // home
  int w = 0, h = 0;    // mask size
  // Mask pixel at (x, y) of the mask; the default is a rectangle with a 4-pixel white border.
  std::function<uint32_t(int, int)> pixel;
};

inline uint32_t framed(int x, int y, int w, int h) {
  bool inside = x >= 4 && y >= 4 && x < w - 4 && y < h - 4;
  return inside ? 0x00000000u : 0xFFFFFFFFu;
}

// Writes cut n: the piece list (rows, columns, the two unused lines, homes) and the masks.
inline void write_cut(const std::string& data_dir, int n, int rows, int cols, const std::vector<MaskPiece>& pieces,
                      const std::string& line3 = "0", const std::string& line4 = "0") {
  std::string dir = data_dir + "pieces/" + std::to_string(n) + "/";
  std::string list = std::to_string(rows) + "\r\n" + std::to_string(cols) + "\r\n" + line3 + "\r\n" + line4 + "\r\n";
  int i = 0;
  for (const MaskPiece& p : pieces) {
    list += std::to_string(p.x0) + "\r\n" + std::to_string(p.y0) + "\r\n";
    int w = p.w, h = p.h;
    auto pixel = p.pixel ? p.pixel : [w, h](int x, int y) { return framed(x, y, w, h); };
    write_png(dir + std::to_string(++i) + ".png", w, h, pixel);
  }
  write_bytes(dir + "pieces.txt", list);
}

// A grid of rows x cols rectangular pieces of w x h masks, homes one mask apart from (x, y).
inline std::vector<MaskPiece> grid(int rows, int cols, int w, int h, int x = 100, int y = 100) {
  std::vector<MaskPiece> out;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) out.push_back({x + c * w, y + r * h, w, h, nullptr});
  return out;
}

}  // namespace jt
