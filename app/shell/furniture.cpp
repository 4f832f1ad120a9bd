#include "app/shell/furniture.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/display/font.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/input/events.hpp"
#include "media/text/words.hpp"

namespace app {
namespace {

int corner_y(const Assets& a) { return a.screen_h - media::image_width(a.smiley_image) - 5; }

}  // namespace

void draw_title_screen(const Assets& a, const std::vector<std::string>& installed_lines) {
  media::SavedDrawState saved;
  media::draw_image(a.sky_image, 0, 0, 0);
  media::set_blend(media::Blend::Alpha);
  media::draw_image(a.title_image, 160, 52, 0);
  media::set_font(a.main_font);
  media::set_colour(150, 150, 150);
  const int width = a.screen_w - 20;
  if (installed_lines.empty()) {
    media::draw_text_within(media::word("title.press_h"), 10, 680, width);
    media::draw_text_within(media::word("title.portable"), 10, 700, width);
  } else {
    for (size_t i = 0; i < installed_lines.size() && i < 2; ++i)
      media::draw_text_within(installed_lines[i], 10, 680 + 20 * static_cast<int>(i), width);
  }
  media::draw_text_within(media::word("title.free"), 10, 720, width);
  // The last line is raised as far as marks set deep under its letters would reach off the screen.
  const std::string made_by = media::word("title.made_by");
  media::draw_text_within(made_by, 10, std::min(740, a.screen_h - media::text_ink_bottom(made_by)), width);
  if (a.pictures->loading()) draw_picture_progress(a, a.pictures->files_done(), a.pictures->files());
}

void draw_picture_progress(const Assets& a, size_t done, size_t total) {
  media::SavedDrawState saved;
  constexpr int kBarW = 480, kBarH = 18, kBarY = 604;
  const int x = (a.screen_w - kBarW) / 2;
  const int filled = total ? static_cast<int>(kBarW * done / total) : 0;
  media::set_blend(media::Blend::Alpha);
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
  media::set_font(a.main_font);
  const std::string text = media::fill(media::words("title.loading", static_cast<unsigned long>(total)),
                                       {{"done", std::to_string(done)}, {"count", std::to_string(total)}});
  const int tx = (a.screen_w - media::text_width(text)) / 2, ty = kBarY - media::text_height() - 8;
  media::set_colour(40, 70, 140);
  media::draw_text(text, tx + 1, ty + 1);
  media::set_colour(255, 255, 255);
  media::draw_text(text, tx, ty);
}

void draw_lock_notice(const Assets& a, media::Hold keys, media::Hold pointer) {
  media::SavedDrawState saved;
  const bool keys_free = media::not_held(keys), pointer_free = media::not_held(pointer);
  const char* first = keys_free && pointer_free ? "lock.neither_held"
                      : keys_free                ? "lock.keys_free"
                                                 : "lock.pointer_free";
  media::set_font(a.main_font);
  // Each sentence on as many lines as it needs: a language may say it at greater length.
  constexpr int kMargin = 40;
  std::vector<std::string> lines;
  for (const char* id : {first, "lock.choose_session"})
    for (std::string& line : media::wrap_text(media::word(id), a.screen_w - 2 * kMargin)) lines.push_back(std::move(line));
  const int line_h = media::text_height() + 4;
  int w = 0;
  for (const std::string& l : lines) w = std::max(w, media::text_width(l));
  const int x = (a.screen_w - w) / 2, y = kLockNoticeY;
  // Framed like the loading bar, so it reads as the title's own and not as part of a game.
  media::set_blend(media::Blend::Alpha);
  media::set_colour(40, 70, 140);
  media::set_alpha(0.5f);
  media::draw_rect(x - 12, y - 8, w + 24, static_cast<int>(lines.size()) * line_h + 12);
  media::set_alpha(1.0f);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int tx = (a.screen_w - media::text_width(lines[i])) / 2, ty = y + static_cast<int>(i) * line_h;
    media::set_colour(40, 70, 140);
    media::draw_text(lines[i], tx + 1, ty + 1);
    media::set_colour(255, 255, 255);
    media::draw_text(lines[i], tx, ty);
  }
}

std::string lock_label(media::Hold keys, media::Hold pointer) {
  const bool keys_free = media::not_held(keys), pointer_free = media::not_held(pointer);
  if (keys_free && pointer_free) return media::word("lock.label.neither");
  if (keys_free) return media::word("lock.label.keys");
  if (pointer_free) return media::word("lock.label.pointer");
  return media::word("lock.label.held");
}

void draw_help_page(const Assets& a, const media::ImagePtr& page) {
  media::SavedDrawState saved;
  int x = (a.screen_w - media::image_width(page)) / 2;
  int y = (a.screen_h - media::image_height(page)) / 2;
  media::set_blend(media::Blend::Solid);
  media::draw_image(page, x, y, 0);
}

void draw_label(const std::string& text, const media::FontPtr& font, int x, int y, int m) {
  media::SavedDrawState saved;
  media::set_font(font);
  // A label too wide for the screen goes on more lines, each centred.
  const std::vector<std::string> lines = media::wrap_text(text, media::kScreenW - 2 * m - 24);
  int tw = 0;
  for (const std::string& l : lines) tw = std::max(tw, media::text_width(l));
  const int line_h = media::text_height();
  const int th = line_h * static_cast<int>(lines.size());
  if (x == 0) {
    x = media::kScreenW / 2;
    y = media::kScreenH / 2;
  }
  int left = x - tw / 2 - m - 2;
  int top = y - th / 2 - m + 1;
  media::set_blend(media::Blend::Alpha);
  media::set_alpha(0.5f);
  media::set_colour(64, 64, 255);
  media::draw_rect(left, top, tw + 2 * m + 4, th + 2 * m + 4);
  media::set_colour(0, 255, 255);
  media::draw_rect(left + 2, top + 2, tw + 2 * m, th + 2 * m);
  media::set_alpha(1.0f);
  media::set_colour(255, 255, 192);
  for (size_t i = 0; i < lines.size(); ++i)
    media::draw_text(lines[i], x - media::text_width(lines[i]) / 2, y - th / 2 + static_cast<int>(i) * line_h);
}

void draw_activity_number(const Assets& a, int activity) {
  media::SavedDrawState saved;
  media::set_font(a.main_font);
  media::set_colour(210, 210, 210);
  media::draw_text(std::to_string(activity), 1010, 744);
}

void draw_hold_ring(const Assets& a, HeldChord chord, float done) {
  const bool settings = chord == HeldChord::Settings;
  media::SavedDrawState saved;
  media::set_blend(media::Blend::Alpha);
  const int cx = ring_x(a), cy = kRingY;
  const float sweep = std::clamp(done, 0.0f, 1.0f) * 2.0f * std::numbers::pi_v<float>;
  // Each pixel is the backdrop, the track or the filled part (or outside); every row is drawn as
  // runs of one kind, so nothing is drawn twice and the half-transparent backdrop stays even.
  enum Kind { Outside, Back, Track, Filled };
  auto kind = [&](int x, int y) {
    const float dx = static_cast<float>(x - cx) + 0.5f, dy = static_cast<float>(y - cy) + 0.5f;
    const float d = std::hypot(dx, dy);
    if (d > kRingBack) return Outside;
    if (d < kRingInner || d > kRingOuter) return Back;
    float angle = std::atan2(dx, -dy);  // clockwise from the top
    if (angle < 0) angle += 2.0f * std::numbers::pi_v<float>;
    return angle < sweep ? Filled : Track;
  };
  auto paint = [settings](Kind k, int x, int y, int w) {
    switch (k) {
      case Outside: return;
      case Back: media::set_colour(20, 40, 90), media::set_alpha(0.6f); break;
      case Track: media::set_colour(120, 140, 190), media::set_alpha(1.0f); break;
      case Filled:
        if (settings)
          media::set_colour(90, 210, 110);
        else
          media::set_colour(255, 220, 60);
        media::set_alpha(1.0f);
        break;
    }
    media::draw_rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w), 1.0f);
  };
  for (int y = cy - kRingBack; y <= cy + kRingBack; ++y) {
    int run = cx - kRingBack;
    Kind k = kind(run, y);
    for (int x = run + 1; x <= cx + kRingBack + 1; ++x) {
      const Kind next = x <= cx + kRingBack ? kind(x, y) : Outside;
      if (next == k && x <= cx + kRingBack) continue;
      paint(k, run, y, x - run);
      run = x;
      k = next;
    }
  }
  if (!settings) return;
  // The settings page's sign: three short bars, as a list of settings, inside the ring.
  media::set_colour(235, 245, 235);
  media::set_alpha(1.0f);
  for (int row = -1; row <= 1; ++row) media::draw_rect(static_cast<float>(cx - 8), static_cast<float>(cy + 6 * row - 1), 16.0f, 3.0f);
}

void draw_corner_button(const Assets& a) { media::draw_image(a.smiley_image, 5, corner_y(a), 0); }

bool corner_button_hit(const Assets& a, int px, int py) { return point_over(a, a.smiley_image, 5, corner_y(a), px, py); }

void draw_thinking(const Assets& a) { media::draw_image(a.thinking_image, a.screen_w / 2, a.screen_h / 2, 0); }

bool point_over(const Assets& a, const media::ImagePtr& image, float x, float y, int px, int py) {
  return media::images_collide(image, x, y, a.probe_image, static_cast<float>(px), static_cast<float>(py));
}

bool point_in(int px, int py, int x1, int y1, int x2, int y2) { return x1 <= px && px <= x2 && y1 <= py && py <= y2; }

}  // namespace app
