// Shared set-up of the tests of activities 1 to 4: a fresh shell whose data folder links the real
// generated images and holds tiny sound files of its own (so that an effect that played can be seen
// as a filled sound slot), plain-colour pictures, a stopped clock and a fixed random seed.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/furniture.hpp"
#include "app/shell.hpp"
#include "media/clock.hpp"
#include "media/events.hpp"
#include "media/image.hpp"
#include "media/pixmap.hpp"

namespace act_test {

// Sound slots of the shell's effects.
enum Effect { BOUNCE = 0, POP = 1, MAGIC = 2, PING = 3, CLICK = 4 };

// A 1024x768 picture of one colour, loaded the way the shell loads pictures (flags 0).
inline media::ImagePtr plain_picture(uint32_t argb, int w = 1024, int h = 768) {
  media::PixmapPtr p = media::create_pixmap(w, h, media::PF_RGB);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) media::write_pixel(*p, x, y, argb);
  return media::image_from_pixmap(p, 0);
}

// Distinct, bright colours for picture i.
inline uint32_t picture_colour(int i) {
  static const uint32_t c[] = {0xFFE02020, 0xFF20C020, 0xFF2040E0, 0xFFE0E020, 0xFFE020E0, 0xFF20E0E0,
                               0xFFF08020, 0xFF8020F0, 0xFF208080, 0xFF808020, 0xFF802020, 0xFF202080,
                               0xFFF0A0A0, 0xFFA0F0A0, 0xFFA0A0F0, 0xFF606060};
  return c[i % 16];
}

class ActivityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/pipkin-act-XXXXXX";
    dir_ = mkdtemp(tmpl);
    const std::string real = PIPKIN_DATA_DIR;
    for (const char* sub : {"frames4", "count", "count_glow", "count_red", "kaleid", "images"})
      std::filesystem::create_directory_symlink(real + "/" + sub, dir_ + "/" + sub);
    std::filesystem::create_directories(dir_ + "/sound");
    for (const char* name : {"bounce.wav", "pop.wav", "magic.ogg", "ping.ogg", "click.ogg"})
      write_wav(dir_ + "/sound/" + name);

    app::reset_shell();
    app::forget_sounds();
    app::Shell& s = app::shell();
    s.data_dir = dir_ + "/";
    s.probe_image = media::load_image(s.data_dir + "images/white.bmp", 0);
    s.sky_image = media::load_image(s.data_dir + "images/sky.jpg", 0);
    ASSERT_TRUE(s.probe_image) << "the generated data folder is missing";
    set_pictures(16);
    media::use_manual_clock(true);
    media::set_manual_clock(1000);
    media::seed_random(12345);
    media::flush_events();
    media::move_pointer(0, 0);
  }

  void TearDown() override {
    app::forget_sounds();
    app::reset_shell();
    media::use_manual_clock(false);
    media::flush_events();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  void set_pictures(int n) {
    app::Shell& s = app::shell();
    s.pictures.clear();
    for (int i = 0; i < n; ++i) s.pictures.add(plain_picture(picture_colour(i), 64, 48));
  }

  // Which picture of the shell's list an image is; -1 for none or a stranger.
  static int picture_number(const media::ImagePtr& img) {
    const auto& p = app::shell().pictures;
    for (size_t i = 0; i < p.count(); ++i)
      if (p.image(i) == img) return static_cast<int>(i);
    return -1;
  }

  // True when the effect played since the last call (its sound slot filled), and empties the slots.
  static bool played(Effect e) {
    bool was = app::sound_loaded(e);
    app::forget_sounds();
    return was;
  }

  std::string dir_;

 private:
  static void write_wav(const std::string& path) {
    const int frames = 64;
    std::string s = "RIFF";
    auto put = [&s](uint32_t v, int bytes) {
      for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(36 + frames * 2, 4);
    s += "WAVEfmt ";
    put(16, 4);
    put(1, 2);          // PCM
    put(1, 2);          // mono
    put(44100, 4);
    put(44100 * 2, 4);  // bytes per second
    put(2, 2);          // block
    put(16, 2);         // bits
    s += "data";
    put(frames * 2, 4);
    for (int i = 0; i < frames; ++i) put(static_cast<uint32_t>((i % 8) * 1000), 2);
    std::ofstream(path, std::ios::binary) << s;
  }
};

}  // namespace act_test
