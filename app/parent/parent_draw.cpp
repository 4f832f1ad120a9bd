// The parent's side as it shows: the settings page, the break picture and the folders on help page 0.
#include "app/parent/parent.hpp"

#include <algorithm>

#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/display/font.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/text/direction.hpp"
#include "media/text/words.hpp"

namespace app {
namespace {

// The page's colours: the help pages' ink and the parent's accent.
struct Rgb {
  int r, g, b;
};
constexpr Rgb kInk{41, 38, 84};
constexpr Rgb kSoftInk{97, 97, 128};
constexpr Rgb kAccent{58, 122, 138};
constexpr Rgb kHeading{50, 84, 114};
constexpr Rgb kTrouble{170, 50, 50};
constexpr Rgb kCream{255, 254, 246};
constexpr Rgb kCard{228, 237, 239};
constexpr Rgb kBreakHint{255, 248, 235};
constexpr int kTextSize = 16;

void colour(Rgb c) { media::set_colour(c.r, c.g, c.b); }

void frame_rect(const layout::Rect& r, int x0, int y0, int thick) {
  media::draw_rect(x0 + r.x - thick, y0 + r.y - thick, r.w + 2 * thick, thick);
  media::draw_rect(x0 + r.x - thick, y0 + r.y + r.h, r.w + 2 * thick, thick);
  media::draw_rect(x0 + r.x - thick, y0 + r.y, thick, r.h);
  media::draw_rect(x0 + r.x + r.w, y0 + r.y, thick, r.h);
}

// One line centred in the width from left, made to fit it.
void draw_centred(const std::string& text, int left, int width, int y) {
  media::draw_text_within(text, left + std::max(0, (width - media::text_width(text)) / 2), y, width);
}

// A button the pictures do not have (the break's two): filled with the accent, its corners softened.
void plain_button(const layout::Rect& r, int x0, int y0, const std::string& label) {
  colour(kAccent);
  constexpr int kRound = 6;
  media::draw_rect(x0 + r.x + kRound, y0 + r.y, r.w - 2 * kRound, r.h);
  media::draw_rect(x0 + r.x, y0 + r.y + kRound, r.w, r.h - 2 * kRound);
  for (int i = 1; i < kRound; ++i) {
    const int inset = kRound - i;
    media::draw_rect(x0 + r.x + inset, y0 + r.y + i, r.w - 2 * inset, 1);
    media::draw_rect(x0 + r.x + inset, y0 + r.y + r.h - 1 - i, r.w - 2 * inset, 1);
  }
  media::set_colour(255, 255, 255);
  constexpr int kPad = 8;
  draw_centred(label, x0 + r.x + kPad, r.w - 2 * kPad, y0 + r.y + (r.h - media::text_height()) / 2);
}

// The last line under a folder's first files left out: how many more there are.
std::string and_more(int more) {
  return media::fill(media::words("parent.and_more", static_cast<unsigned long>(more)), {{"count", std::to_string(more)}});
}

}  // namespace

// The open list of languages: a card under the language button, each language by its own name in
// its own script, the one spoken now filled with the accent.
void Parent::draw_languages(int x0, int y0) const {
  const layout::Rect list = placed(layout::language_list(static_cast<int>(languages_.size())));
  media::set_alpha(0.25f);
  colour(kInk);
  media::draw_rect(x0 + list.x + 4, y0 + list.y + 6, list.w, list.h);
  media::set_alpha(1.0f);
  colour(kCard);
  media::draw_rect(x0 + list.x, y0 + list.y, list.w, list.h);
  colour(kAccent);
  frame_rect(list, x0, y0, 2);
  const std::string current = media::words_language();
  for (size_t i = 0; i < languages_.size(); ++i) {
    const layout::Rect r = placed(layout::language_entry(static_cast<int>(i)));
    const bool chosen = languages_[i].code == current;
    colour(chosen ? kAccent : kCream);
    media::draw_rect(x0 + r.x, y0 + r.y, r.w, r.h);
    colour(chosen ? kCream : kInk);
    constexpr int kPad = 10;
    draw_centred(languages_[i].name, x0 + r.x + kPad, r.w - 2 * kPad, y0 + r.y + (r.h - media::text_height()) / 2);
  }
}

void Parent::draw_help_folders(int page_x, int page_y) const {
  if (setup_.mode != RunMode::Installed) return;
  media::SavedDrawState saved;
  ensure_font();
  media::set_font(font_);
  const layout::Rect box = placed(layout::kHelpFoldersBox);
  int y = page_y + box.y + 8;
  const int x = page_x + box.x + 12, w = box.w - 24;
  auto line = [&](const std::string& text) {
    line_in(text, x, y, w);
    y += kLineH;
  };
  for (const FolderSummary& f : setup_.folders ? setup_.folders() : std::vector<FolderSummary>{}) {
    if (!f.parents) continue;
    colour(kInk);
    line(folder_for_parent(f.folder, setup_.home));
  }
  colour(kSoftInk);
  line(media::fill(media::word("parent.kept_in"), {{"folder", folder_for_parent(setup_.config_file, setup_.home)}}));
}

void Parent::line_in(const std::string& text, int x, int y, int width) const {
  media::draw_text_within(text, mirrored_ ? x + std::max(0, width - media::text_width(text)) : x, y, width);
}

void Parent::ensure_font() const {
  if (!font_) font_ = media::load_font(assets_.data_dir + "fonts/Tahoma.ttf", kTextSize, media::FONT_SMOOTH);
}

void Parent::draw_break() const {
  media::SavedDrawState saved;
  ensure_font();
  if (!break_image_) break_image_ = assets_.worded_image("images", "break", "break.png");
  media::set_colour(255, 255, 255);  // pictures are drawn as they are, untinted
  media::set_blend(media::Blend::Solid);
  if (break_image_) {
    media::draw_image(break_image_, 0, 0, 0);
  } else {
    media::set_clear_colour(40, 50, 100);
    media::cls();
  }
  media::set_blend(media::Blend::Alpha);
  media::set_font(font_);
  colour(kBreakHint);
  const std::string hint = media::word("parent.hint");
  draw_centred(hint, 20, media::kScreenW - 40, media::kScreenH - 30);
}

void Parent::draw_page() const {
  media::SavedDrawState saved;
  ensure_font();
  if (!page_) page_ = assets_.worded_image("help", "settings", "settings.png");
  if (!page_on_) page_on_ = assets_.worded_image("help", "settings_on", "settings_on.png");
  if (!folder_button_) folder_button_ = assets_.worded_image("help", "settings_button", "settings_button.png");
  const int x0 = kPageX, y0 = kPageY;
  media::set_colour(255, 255, 255);
  media::set_blend(media::Blend::Solid);
  if (page_) {
    media::draw_image(page_, x0, y0, 0);
  } else {
    colour(kCream);
    media::draw_rect(x0, y0, layout::kPageW, layout::kPageH);
  }
  const std::vector<PageControl> all = controls();
  for (const PageControl& c : all) {
    if (!c.chosen || !page_on_) continue;
    media::ScopedClip clip(x0 + c.rect.x, y0 + c.rect.y, c.rect.w, c.rect.h);
    media::draw_image(page_on_, x0, y0, 0);
  }
  media::set_blend(media::Blend::Alpha);
  media::set_font(font_);

  // The pictures card: each folder, its counts, its button and the first files left out.
  const int x = x0 + placed({layout::kPicturesTextX, 0, layout::kPicturesTextW, 0}).x, w = layout::kPicturesTextW;
  for (size_t k = 0; k < folders_.size() && k < places_.size(); ++k) {
    const FolderSummary& f = folders_[k];
    const FolderPlace& place = places_[k];
    int y = y0 + place.top;
    colour(kInk);
    line_in(f.parents ? folder_for_parent(f.folder, setup_.home) : media::word("parent.own_pictures"), x, y, w);
    y += kLineH;
    colour(kSoftInk);
    for (const std::string& line : place.counts) {
      line_in(line, x, y, w);
      y += kLineH;
    }
    if (place.button) {
      const layout::Rect b = placed(*place.button);
      media::set_colour(255, 255, 255);
      if (folder_button_) media::draw_image(folder_button_, x0 + b.x, y0 + b.y, 0);
      y = y0 + b.y + b.h + 6;
    }
    colour(kTrouble);
    for (int i = 0; i < place.left_out_shown; ++i, y += kLineH)
      line_in(f.left_out_lines[static_cast<size_t>(i)], x, y, w);
    if (place.more_line) {
      colour(kSoftInk);
      line_in(and_more(f.left_out - place.left_out_shown), x, y, w);
    }
  }

  // Time up: the play-time row offers more time or the end instead of the limits.
  if (on_break_) {
    const layout::Rect card = placed(layout::kLimitCard);
    colour(kCard);
    media::draw_rect(x0 + card.x + 12, y0 + card.y + 8, card.w - 24, card.h - 16);
    colour(kHeading);
    line_in(media::word("break.choose"), x0 + card.x + 20, y0 + card.y + 12, card.w - 40);
    plain_button(placed(layout::kMoreTime), x0, y0, media::word("break.more_time"));
    plain_button(placed(layout::kEndPlay), x0, y0, media::word("break.end_play"));
  }

  if (!status_.empty()) {
    colour(status_trouble_ ? kTrouble : kHeading);
    // One line, or two close together when a longer language (or a long folder) needs them; what
    // a third would hold goes on the second, narrowed to fit.
    const layout::Rect status = placed(layout::kStatus);
    std::vector<std::string> lines = media::wrap_text(status_, status.w);
    if (lines.size() <= 1) {
      line_in(status_, x0 + status.x, y0 + status.y + 5, status.w);
    } else {
      for (size_t i = 2; i < lines.size(); ++i) lines[1] += " " + lines[i];
      line_in(lines[0], x0 + status.x, y0 + status.y - 4, status.w);
      line_in(lines[1], x0 + status.x, y0 + status.y + 14, status.w);
    }
  }

  if (!languages_.empty()) draw_languages(x0, y0);

  // The keyboard's place: a ring round the control it would use.
  if (focus_ >= 0 && focus_ < static_cast<int>(all.size())) {
    colour(kAccent);
    frame_rect(all[static_cast<size_t>(focus_)].rect, x0, y0, 3);
  }
}

}  // namespace app
