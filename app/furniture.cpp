#include "app/furniture.hpp"

#include <array>

#include "app/shell.hpp"
#include "media/draw.hpp"
#include "media/events.hpp"
#include "media/sound.hpp"

namespace app {
namespace {

std::array<media::SoundPtr, 5> sound_slots;
const char* const sound_files[5] = {"sound/bounce.wav", "sound/pop.wav", "sound/magic.ogg", "sound/ping.ogg",
                                    "sound/click.ogg"};

void play_effect(int which) {
  Shell& s = shell();
  if (!s.sound_on) return;
  media::SoundPtr& slot = sound_slots[which];
  if (!slot) slot = media::load_sound(s.data_dir + sound_files[which]);
  if (slot) media::play_sound(slot);
}

int corner_y() {
  const Shell& s = shell();
  return s.screen_h - media::image_width(s.smiley_image) - 5;
}

}  // namespace

void draw_title_screen() {
  Shell& s = shell();
  media::draw_image(s.sky_image, 0, 0, 0);
  media::set_blend(media::ALPHA);
  media::draw_image(s.title_image, 160, 52, 0);
  media::set_font(s.main_font);
  media::set_colour(150, 150, 150);
  media::draw_text("press H", 10, 680);
  media::draw_text("Pipkin lives in the folder it was started from; its pictures are in data/pics there.", 10, 700);
  media::draw_text("Pipkin is free: copy it and pass it on to anyone, unchanged or improved.", 10, 720);
  media::draw_text("Made by the Pipkin team for small hands and big smiles.", 10, 740);
  media::set_colour(255, 255, 255);
  media::set_blend(s.default_blend);
  if (s.pictures.loading()) draw_picture_progress(s.pictures.files_done(), s.pictures.files());
}

void draw_picture_progress(size_t done, size_t total) {
  Shell& s = shell();
  constexpr int kBarW = 480, kBarH = 18, kBarY = 604;
  const int x = (s.screen_w - kBarW) / 2;
  const int filled = total ? static_cast<int>(kBarW * done / total) : 0;
  media::set_blend(media::ALPHA);
  // A soft white track with a white fill, framed like the title's own lettering.
  media::set_colour(40, 70, 140);
  media::set_alpha(0.5f);
  media::draw_rect(x - 3, kBarY - 3, kBarW + 6, kBarH + 6);
  media::set_colour(255, 255, 255);
  media::set_alpha(0.35f);
  media::draw_rect(x, kBarY, kBarW, kBarH);
  media::set_alpha(1.0f);
  media::set_colour(255, 255, 240);
  media::draw_rect(x, kBarY, filled, kBarH);
  media::set_font(s.main_font);
  const std::string text = std::to_string(done) + " of " + std::to_string(total) + " pictures";
  const int tx = (s.screen_w - media::text_width(text)) / 2, ty = kBarY - media::text_height() - 8;
  media::set_colour(40, 70, 140);
  media::draw_text(text, tx + 1, ty + 1);
  media::set_colour(255, 255, 255);
  media::draw_text(text, tx, ty);
  media::set_blend(s.default_blend);
}

void draw_help_page(const media::ImagePtr& page) {
  const Shell& s = shell();
  int x = (s.screen_w - media::image_width(page)) / 2;
  int y = (s.screen_h - media::image_height(page)) / 2;
  media::set_blend(media::SOLID);
  media::draw_image(page, x, y, 0);
  media::set_blend(s.default_blend);
}

void draw_label(const std::string& text, const media::FontPtr& font, int x, int y, int m) {
  const Shell& s = shell();
  media::set_font(font);
  int tw = media::text_width(text);
  int th = media::text_height();
  if (x == 0) {
    x = s.screen_w / 2;
    y = s.screen_h / 2;
  }
  int left = x - tw / 2 - m - 2;
  int top = y - th / 2 - m + 1;
  media::set_blend(media::ALPHA);
  media::set_alpha(0.5f);
  media::set_colour(64, 64, 255);
  media::draw_rect(left, top, tw + 2 * m + 4, th + 2 * m + 4);
  media::set_colour(0, 255, 255);
  media::draw_rect(left + 2, top + 2, tw + 2 * m, th + 2 * m);
  media::set_alpha(1.0f);
  media::set_colour(255, 255, 192);
  media::draw_text(text, x - tw / 2, y - th / 2);
  media::set_colour(255, 255, 255);
  media::set_blend(s.default_blend);
}

void draw_activity_number() {
  const Shell& s = shell();
  media::set_font(s.main_font);
  media::set_colour(210, 210, 210);
  media::draw_text(std::to_string(s.activity), 1010, 744);
  media::set_colour(255, 255, 255);
}

void draw_corner_button() { media::draw_image(shell().smiley_image, 5, corner_y(), 0); }

bool corner_button_hit() { return mouse_over(shell().smiley_image, 5, corner_y(), 0); }

void show_thinking() {
  const Shell& s = shell();
  media::draw_image(s.thinking_image, s.screen_w / 2, s.screen_h / 2, 0);
  media::present(1);
}

bool mouse_over(const media::ImagePtr& image, float x, float y, int /*frame*/) {
  return media::images_collide(image, x, y, shell().probe_image, media::mouse_x(), media::mouse_y());
}

bool mouse_in(int x1, int y1, int x2, int y2) {
  int mx = media::mouse_x(), my = media::mouse_y();
  return x1 <= mx && mx <= x2 && y1 <= my && my <= y2;
}

void play_bounce() { play_effect(0); }
void play_pop() { play_effect(1); }
void play_magic() { play_effect(2); }
void play_ping() { play_effect(3); }
void play_click() { play_effect(4); }

void forget_sounds() { sound_slots.fill(nullptr); }
bool sound_loaded(int which) { return sound_slots.at(which) != nullptr; }

}  // namespace app
