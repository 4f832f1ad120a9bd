// Shared set-up of the jigsaw tests: a shell with the generated data and plain pictures, puzzles
// built by hand from opaque rectangles, and a count of the sound effects played.
#pragma once
#include <memory>
#include <string>

#include "activities/jigsaw.hpp"
#include "app/furniture.hpp"
#include "app/shell.hpp"
#include "media/clock.hpp"
#include "media/events.hpp"
#include "media/image.hpp"
#include "media/sound.hpp"
#include "tests/unit/test_jigsaw_files.hpp"

namespace jt {

inline const std::string kData = std::string(PIPKIN_DATA_DIR) + "/";

// A w x h image whose every pixel is the given colour (RGBA source: its alpha is kept).
inline media::ImagePtr solid(int w, int h, uint32_t argb = 0xFF808080u) {
  media::PixmapPtr p = media::create_pixmap(w, h, media::PF_RGBA);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) media::write_pixel(*p, x, y, argb);
  return media::image_from_pixmap(p, 0);
}

// A data folder holding only the click and magic sounds (short WAV files: sounds are known by
// their content), so that counting effects does not depend on the generated sounds.
inline std::string sound_dir() {
  static TempDir dir("sounds");
  static bool written = false;
  if (!written) {
    std::string wav = "RIFF";
    const uint32_t frames = 441;
    samples::put32(wav, 36 + frames * 2);
    wav += "WAVEfmt ";
    samples::put32(wav, 16);
    samples::put16(wav, 1);      // PCM
    samples::put16(wav, 1);      // mono
    samples::put32(wav, 44100);  // rate
    samples::put32(wav, 44100 * 2);
    samples::put16(wav, 2);
    samples::put16(wav, 16);
    wav += "data";
    samples::put32(wav, frames * 2);
    for (uint32_t i = 0; i < frames; ++i) samples::put16(wav, (i % 50) * 400);
    write_bytes(dir.dir() + "sound/click.ogg", wav);
    write_bytes(dir.dir() + "sound/magic.ogg", wav);
    written = true;
  }
  return dir.dir();
}

// A fresh shell on the generated data with `pictures` plain 1024x768 pictures and sound on
// (without a sound device every effect played stays queued, so the tests can count them). With
// test_sounds the data folder is one that holds only the two sounds the jigsaw plays.
inline app::Shell& fresh_shell(int pictures = 2, bool test_sounds = false) {
  app::reset_shell();
  app::Shell& s = app::shell();
  s.data_dir = kData;
  s.probe_image = media::load_image(kData + "images/white.bmp", 0);
  s.smiley_image = media::load_image(kData + "images/smiley.png");
  for (int i = 0; i < pictures; ++i) s.pictures.add(solid(1024, 768, 0xFF204060u + 0x10u * i));
  s.sound_on = true;
  if (test_sounds) s.data_dir = sound_dir();
  app::forget_sounds();
  media::close_audio();
  media::seed_random(1234);
  return s;
}

inline int sounds_played() { return media::channels_playing(); }


// A puzzle of rows x cols opaque square pieces of `side` pixels, homes `side` apart from
// (200, 200), all at home, none revealed, in the given mode. Nothing is read from files.
inline std::unique_ptr<activities::TJigsaw> hand_made(int rows, int cols, const std::string& mode, int side = 100) {
  auto j = std::make_unique<activities::TJigsaw>();
  j->mode = mode;
  j->nr = rows;
  j->nc = cols;
  j->n = 1;
  j->pic = app::shell().pictures.count() == 0 ? nullptr : app::shell().pictures.image(0);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      auto p = std::make_unique<activities::TPiece>();
      p->r = r;
      p->c = c;
      p->x = p->x0 = 200 + c * side;
      p->y = p->y0 = 200 + r * side;
      p->img = solid(side, side);
      media::mid_handle(p->img);
      j->pieces.push_back(std::move(p));
    }
  return j;
}

inline activities::TPiece& at(activities::TJigsaw& j, int r, int c) { return *j.piece_rc(r, c); }

// Clicks with the pointer at (x, y).
inline void click_at(activities::TJigsaw& j, int x, int y) {
  media::move_pointer(x, y);
  j.left_click();
}

// Picks p up by its centre, moves it (the redraw on the way moves its group along) and puts it
// down with its centre at (x, y).
inline void carry_to(activities::TJigsaw& j, activities::TPiece& p, int x, int y) {
  click_at(j, p.x, p.y);
  media::move_pointer(x, y);
  j.draw();
  j.left_click();
}

}  // namespace jt
