// Shared set-up of the jigsaw tests: assets on the generated data with plain pictures, puzzles
// built by hand from opaque rectangles, a count of the sound effects played, and a loop to drive.
#pragma once
#include <memory>
#include <string>

#include "activities/jigsaw.hpp"
#include "activities/jigsaw_core.hpp"
#include "activities/uncover.hpp"
#include "activities/where.hpp"
#include "activities/register.hpp"
#include "app/shell/furniture.hpp"
#include "app/shell/loop.hpp"
#include "media/input/clock.hpp"
#include "media/input/events.hpp"
#include "media/display/image.hpp"
#include "tests/unit/test_jigsaw_files.hpp"
#include "tests/unit/test_world.hpp"

namespace jt {

inline const std::string kData = std::string(PIPKIN_DATA_DIR) + "/";

// A w x h image whose every pixel is the given colour (RGBA source: its alpha is kept).
inline media::ImagePtr solid(int w, int h, uint32_t argb = 0xFF808080u) {
  media::PixmapPtr p = media::create_pixmap(w, h, media::PF_RGBA);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) media::write_pixel(*p, x, y, argb);
  return media::image_from_pixmap(p, 0);
}

// The world every jigsaw test builds in: the generated data, plain 1024x768 pictures and recorded
// sound effects. fresh_world() puts it back to that with `pictures` pictures.
inline tw::World& world() {
  static tw::World w;
  return w;
}

inline tw::World& fresh_world(int pictures = 2) {
  tw::World& w = world();
  w.assets = app::Assets{};
  w.assets.data_dir = kData;
  w.assets.probe_image = media::load_image(kData + "images/white.bmp", 0);
  w.assets.smiley_image = media::load_image(kData + "images/smiley.png");
  std::vector<media::ImagePtr> list;
  for (int i = 0; i < pictures; ++i) list.push_back(solid(1024, 768, 0xFF204060u + 0x10u * i));
  w.set_pictures(std::move(list));
  w.effects.played.clear();
  media::seed_random(1234);
  return w;
}

inline const app::Context& context() { return world().context; }
inline int sounds_played() { return static_cast<int>(world().effects.played.size()); }

// A loop on the world's assets with every activity's maker, at the given level.
inline std::unique_ptr<app::Loop> make_loop(int level) {
  static TempDir config("loop");
  return std::make_unique<app::Loop>(world().assets, activities::activity_table(), config.dir() + "pipkin.txt", level);
}

// A puzzle of rows x cols opaque square pieces of `side` pixels, homes `side` apart from
// (200, 200), on cut 1 with the given outlines, its first game dealt. Nothing is read from files.
template <class T>
std::unique_ptr<T> hand_made(int rows, int cols, int side = 100, media::ImagePtr outlines = nullptr) {
  activities::PuzzleParts parts;
  parts.cut = 1;
  parts.rows = rows;
  parts.cols = cols;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      auto p = std::make_unique<activities::Piece>();
      p->row = r;
      p->col = c;
      p->x = p->x0 = 200 + c * side;
      p->y = p->y0 = 200 + r * side;
      p->picture = solid(side, side);
      media::mid_handle(p->picture);
      parts.pieces.push_back(std::move(p));
    }
  parts.picture = world().assets.picture_count() == 0 ? nullptr : world().assets.picture(0);
  parts.outlines = std::move(outlines);
  return std::make_unique<T>(context(), std::move(parts));
}

inline activities::Piece& at(activities::Puzzle& j, int r, int c) { return *j.piece_at(r, c); }

// Clicks with the pointer at (x, y).
inline app::Outcome click_at(activities::Puzzle& j, int x, int y) { return j.click(tw::at(x, y)); }

// Picks p up by its centre, moves it (its group moves along) and puts it down with its centre at
// (x, y).
inline void carry_to(activities::Jigsaw& j, activities::Piece& p, int x, int y) {
  click_at(j, p.x, p.y);
  j.move(tw::at(x, y));
  j.click(tw::at(x, y));
}

}  // namespace jt
