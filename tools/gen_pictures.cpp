// The pictures folder: friendly full-screen pictures for the frames, cards, kaleidoscope and
// jigsaws, each drawn from its own fixed seed and written as pics/NN_name.jpg.
#include <cstdio>

#include "tools/kit/canvas.hpp"
#include "tools/picture_kit.hpp"

namespace {

struct Picture {
  const char* name;
  uint32_t seed;
  pk::pics::Draw draw;
};

const Picture kPictures[] = {
    {"01_cat", 101, pk::pics::cat},
    {"02_dog", 102, pk::pics::dog},
    {"03_farm", 103, pk::pics::farm},
    {"04_tractor", 104, pk::pics::tractor},
    {"05_fire_engine", 105, pk::pics::fire_engine},
    {"06_train", 106, pk::pics::train},
    {"07_boat", 107, pk::pics::boat},
    {"08_fish", 108, pk::pics::underwater},
    {"09_garden", 109, pk::pics::garden},
    {"10_house", 110, pk::pics::house},
    {"11_night", 111, pk::pics::night},
    {"12_rainbow", 112, pk::pics::rainbow},
    {"13_elephant", 113, pk::pics::elephant},
    {"14_lion", 114, pk::pics::lion},
    {"15_ducks", 115, pk::pics::ducks},
    {"16_balloon", 116, pk::pics::balloon_ride},
    {"17_bus", 117, pk::pics::bus},
    {"18_rocket", 118, pk::pics::rocket},
    {"19_teddy", 119, pk::pics::teddy},
    {"20_fruit", 120, pk::pics::fruit},
    {"21_snowman", 121, pk::pics::snowman},
    {"22_beach", 122, pk::pics::beach},
    {"23_birds", 123, pk::pics::birds},
    {"24_lighthouse", 124, pk::pics::lighthouse},
};

// Keeps every channel a little off the extremes: pure black turns transparent when a picture is
// masked, and pure white drops out of the kaleidoscope's pattern.
void soften_extremes(gen::Canvas& canvas) {
  cairo_surface_t* s = canvas.surface();
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < canvas.height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < canvas.width(); ++x) {
      uint32_t p = row[x];
      uint32_t out = 0xff000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        uint32_t c = (p >> shift) & 255;
        c = c < 12 ? 12 : (c > 240 ? 240 : c);
        out |= c << shift;
      }
      row[x] = out;
    }
  }
  cairo_surface_mark_dirty(s);
}

bool make_pictures(const gen::fs::path& out) {
  bool ok = true;
  for (const Picture& p : kPictures) {
    gen::Canvas canvas(pk::kWidth, pk::kHeight);
    cairo_t* cr = canvas.cr();
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_paint(cr);
    gen::Rng rng(p.seed);
    p.draw(cr, rng);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
      std::fprintf(stderr, "pipkin_gen: picture %s: %s\n", p.name, cairo_status_to_string(cairo_status(cr)));
      ok = false;
      continue;
    }
    soften_extremes(canvas);
    ok = canvas.save_jpeg(out / "pics" / (std::string(p.name) + ".jpg"), 90) && ok;
  }
  return ok;
}

gen::Register reg("pictures", make_pictures);

}  // namespace
