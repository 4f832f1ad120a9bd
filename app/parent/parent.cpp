#include "app/parent/parent.hpp"

#include <algorithm>

#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/display/font.hpp"
#include "media/files/launch.hpp"
#include "media/files/log.hpp"

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
constexpr int kPicturesBottom = 514;  // the pictures card's text ends above this (page pixels)

void colour(Rgb c) { media::set_colour(c.r, c.g, c.b); }

// Shortened with "..." to fit width pixels in the current font.
std::string fitted(std::string text, int width) {
  if (media::text_width(text) <= width) return text;
  while (!text.empty() && media::text_width(text + "...") > width) text.pop_back();
  return text + "...";
}

void frame_rect(const layout::Rect& r, int x0, int y0, int thick) {
  media::draw_rect(x0 + r.x - thick, y0 + r.y - thick, r.w + 2 * thick, thick);
  media::draw_rect(x0 + r.x - thick, y0 + r.y + r.h, r.w + 2 * thick, thick);
  media::draw_rect(x0 + r.x - thick, y0 + r.y, thick, r.h);
  media::draw_rect(x0 + r.x + r.w, y0 + r.y, thick, r.h);
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
  media::draw_text(label, x0 + r.x + (r.w - media::text_width(label)) / 2,
                   y0 + r.y + (r.h - media::text_height()) / 2);
}

}  // namespace

std::string folder_for_parent(const std::string& folder, const std::string& home) {
  if (!home.empty() && home != "/" && folder.rfind(home, 0) == 0 &&
      (folder.size() == home.size() || folder[home.size()] == '/'))
    return "~" + folder.substr(home.size());
  return folder;
}

Desktop real_desktop(bool whole_session) {
  Desktop d;
  d.set_fullscreen = [](bool on) { return media::set_fullscreen(on, media::kScreenW, media::kScreenH); };
  d.hold_keyboard = [whole_session](bool on) { media::hold_keyboard(on, whole_session); };
  d.free_pointer = [](bool free) { media::free_pointer(free); };
  d.open_folder = [](const std::string& folder) {
    std::string why;
    if (media::launch({"xdg-open", folder}, &why)) return true;
    media::log_error("settings", "cannot start xdg-open for " + folder + ": " + why);
    return false;
  };
  return d;
}

Parent::Parent(ParentSetup setup, Desktop desktop, const Assets& assets, Effects& effects)
    : setup_(std::move(setup)),
      desktop_(std::move(desktop)),
      assets_(assets),
      effects_(effects),
      config_(setup_.config),
      clock_(setup_.minute_ms) {
  clock_.set_limit(config_.play_limit_minutes);
}

std::vector<PageControl> Parent::controls() const {
  std::vector<PageControl> c;
  const bool full = !config_.windowed;
  c.push_back({Control::FullScreen, 0, layout::kFullScreen, full});
  c.push_back({Control::Window, 0, layout::kWindow, !full});
  c.push_back({Control::LockOn, 0, layout::kLockOn, config_.child_lock});
  c.push_back({Control::LockOff, 0, layout::kLockOff, !config_.child_lock});
  c.push_back({Control::SoundOn, 0, layout::kSoundOn, config_.sound_at_start});
  c.push_back({Control::SoundOff, 0, layout::kSoundOff, !config_.sound_at_start});
  c.push_back({Control::StartAgain, 0, layout::kStartAgain});
  c.push_back({Control::OpenAll, 0, layout::kOpenAll});
  for (size_t i = 0; i < places_.size(); ++i)
    if (places_[i].button) c.push_back({Control::OpenFolder, static_cast<int>(i), *places_[i].button});
  if (on_break_) {
    c.push_back({Control::MoreTime, 0, layout::kMoreTime});
    c.push_back({Control::EndPlay, 0, layout::kEndPlay});
  } else {
    for (size_t i = 0; i < layout::kLimitMinutes.size(); ++i)
      c.push_back({Control::Limit, static_cast<int>(i), layout::limit_button(static_cast<int>(i)),
                   layout::kLimitMinutes[i] == clock_.limit_minutes()});
  }
  c.push_back({Control::Close, 0, layout::kClose});
  return c;
}

// The page lets the pointer go (a parent may reach for another screen); closed, the lock holds it
// again.
void Parent::show_page(bool shown) {
  if (shown == page_shown_) return;
  page_shown_ = shown;
  if (desktop_.free_pointer) desktop_.free_pointer(shown);
}

ParentAsk Parent::toggle_page() {
  show_page(!page_shown_);
  if (page_shown_) {
    focus_ = 0;
    say("");
    refresh_folders();
  }
  return ParentAsk::Redraw;
}

ParentAsk Parent::page_key(media::Key key) {
  using media::Key;
  const int n = static_cast<int>(controls().size());
  switch (key) {
    case Key::Escape: show_page(false); return ParentAsk::Redraw;
    case Key::Tab:
    case Key::Right:
    case Key::Down: focus_ = (focus_ + 1) % n; return ParentAsk::Redraw;
    case Key::Left:
    case Key::Up: focus_ = (focus_ + n - 1) % n; return ParentAsk::Redraw;
    case Key::Return:
    case Key::Space: return use(controls()[static_cast<size_t>(std::clamp(focus_, 0, n - 1))]);
    default: return ParentAsk::Nothing;
  }
}

ParentAsk Parent::page_click(int x, int y) {
  const int px = x - kPageX, py = y - kPageY;
  const std::vector<PageControl> all = controls();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].rect.contains(px, py)) {
      focus_ = static_cast<int>(i);
      return use(all[i]);
    }
  return ParentAsk::Nothing;
}

void Parent::say(std::string text, bool trouble) {
  status_ = std::move(text);
  status_trouble_ = trouble;
}

void Parent::save(ConfigLine line, const std::string& said) {
  const ConfigWrite w = save_setting(setup_.config_file, config_, line);
  if (w.ok)
    say(said + " Saved in " + folder_for_parent(setup_.config_file, setup_.home) + ".");
  else
    say(said + " It could not be saved in " + folder_for_parent(setup_.config_file, setup_.home) + ": " + w.problem +
            ".",
        true);
}

bool Parent::set(bool& setting, bool value, ConfigLine line, const std::string& said) {
  if (setting == value) return false;
  setting = value;
  save(line, said);
  return true;
}

ParentAsk Parent::use(const PageControl& c) {
  switch (c.what) {
    case Control::FullScreen:
    case Control::Window: {
      const bool full = c.what == Control::FullScreen;
      if (full == !config_.windowed) return ParentAsk::Nothing;
      if (!desktop_.set_fullscreen(full)) {
        say(full ? "The desktop would not give Pipkin the whole screen." : "The desktop would not make Pipkin a window.",
            true);
        return ParentAsk::Redraw;
      }
      config_.windowed = !full;
      save(ConfigLine::Screen, full ? "Full screen, at once." : "A window, at once.");
      return ParentAsk::Redraw;
    }
    case Control::LockOn:
    case Control::LockOff: {
      const bool on = c.what == Control::LockOn;
      if (!set(config_.child_lock, on, ConfigLine::ChildLock,
               on ? "Child lock on, at once: keys work only with Ctrl held." : "Child lock off, at once."))
        return ParentAsk::Nothing;
      desktop_.hold_keyboard(on);
      return ParentAsk::LockChanged;
    }
    case Control::SoundOn:
    case Control::SoundOff: {
      const bool on = c.what == Control::SoundOn;
      return set(config_.sound_at_start, on, ConfigLine::SoundAtStart,
                 std::string(on ? "Sound on" : "Sound off") + " at the next start (S turns it on or off now).")
                 ? ParentAsk::Redraw
                 : ParentAsk::Nothing;
    }
    case Control::Limit: {
      const int minutes = layout::kLimitMinutes[static_cast<size_t>(c.index)];
      clock_.set_limit(minutes);
      config_.play_limit_minutes = minutes;
      save(ConfigLine::PlayLimit,
           minutes ? "Play time: " + std::to_string(minutes) + " minutes, counted from now." : "No play-time limit.");
      return ParentAsk::Redraw;
    }
    case Control::StartAgain: say("Progress starts again from activity 1, at once."); return ParentAsk::StartAgain;
    case Control::OpenAll:
      say("All " + std::to_string(setup_.activities) + " activities are open, at once.");
      return ParentAsk::OpenAll;
    case Control::OpenFolder: {
      if (static_cast<size_t>(c.index) >= folders_.size()) return ParentAsk::Nothing;
      const std::string& folder = folders_[static_cast<size_t>(c.index)].folder;
      const std::string shown = folder_for_parent(folder, setup_.home);
      if (desktop_.open_folder(folder))
        say("Opening " + shown + ": pictures put there show from the next start.");
      else
        say("The file manager could not be started for " + shown + ".", true);
      return ParentAsk::Redraw;
    }
    case Control::MoreTime:
      clock_.extend(kMoreMinutes);
      end_break();
      show_page(false);
      return ParentAsk::Redraw;
    case Control::EndPlay: return ParentAsk::Quit;
    case Control::Close: show_page(false); return ParentAsk::Redraw;
  }
  return ParentAsk::Nothing;
}

void Parent::end_break() { on_break_ = false; }

bool Parent::tick(int now_ms, bool active, bool may_break) {
  clock_.tick(now_ms, active);
  bool changed = false;
  if (page_shown_ && now_ms - folders_read_ms_ >= kFoldersRefreshMs) {
    changed = refresh_folders();  // pictures still loading change the counts
    folders_read_ms_ = now_ms;
  }
  if (on_break_ || !may_break || !clock_.time_up()) return changed;
  on_break_ = true;
  effects_.play(Effect::Break);
  return true;
}

bool Parent::refresh_folders() {
  std::vector<FolderSummary> now = setup_.folders ? setup_.folders() : std::vector<FolderSummary>{};
  if (now == folders_ && !places_.empty()) return false;
  folders_ = std::move(now);
  // Every folder gets its two lines and, when it is the parent's, a button; the files left out get
  // the lines that are left, first come first served, each list ending in "and N more" if cut.
  places_.clear();
  int fixed = 0;
  for (const FolderSummary& f : folders_) fixed += 2 * kLineH + (f.parents ? layout::kOpenFolderH + 12 : 0) + 10;
  int lines_left = std::max(0, (kPicturesBottom - layout::kPicturesTextY - fixed) / kLineH);
  int y = layout::kPicturesTextY;
  for (const FolderSummary& f : folders_) {
    FolderPlace place;
    place.top = y;
    y += 2 * kLineH;
    if (f.parents) {
      place.button = layout::Rect{layout::kPicturesTextX, y + 6, layout::kOpenFolderW, layout::kOpenFolderH};
      y += layout::kOpenFolderH + 12;
    }
    const int listed = static_cast<int>(f.left_out_lines.size());
    int shown = std::min(listed, lines_left);
    if (shown < f.left_out && shown > 0 && shown == lines_left) --shown;  // room for "and N more"
    place.left_out_shown = shown;
    place.more_line = f.left_out > shown && lines_left > shown;
    const int used = shown + (place.more_line ? 1 : 0);
    lines_left -= used;
    y += used * kLineH + 10;
    places_.push_back(place);
  }
  return true;
}

std::vector<std::string> Parent::folder_lines() const {
  if (setup_.mode != RunMode::Installed) return {};
  int yours = 0, own = 0;
  std::string where, first_folder;
  for (const FolderSummary& f : setup_.folders ? setup_.folders() : std::vector<FolderSummary>{}) {
    if (!f.parents) {
      own += f.pictures;
      continue;
    }
    if (first_folder.empty()) first_folder = folder_for_parent(f.folder, setup_.home);
    if (f.pictures == 0) continue;
    yours += f.pictures;
    where += (where.empty() ? "" : " and ") + folder_for_parent(f.folder, setup_.home);
  }
  const auto pictures = [](int n) { return std::to_string(n) + (n == 1 ? " picture" : " pictures"); };
  std::string line;
  if (yours > 0)
    line = pictures(yours) + " from " + where + ".";
  else if (!first_folder.empty())
    line = "Put your photos in " + first_folder + "; until then Pipkin shows " + pictures(own) + " of its own.";
  else
    line = pictures(own) + ".";
  return {"press H for help, Ctrl+P for the parent's settings", line};
}

const media::ImagePtr& Parent::installed_help_page() const {
  static const media::ImagePtr none;
  if (setup_.mode != RunMode::Installed) return none;
  if (!help_zero_) help_zero_ = media::load_image(assets_.data_dir + "help/0-installed.png", 0);
  return help_zero_;
}

void Parent::draw_help_folders(int page_x, int page_y) const {
  if (setup_.mode != RunMode::Installed) return;
  media::SavedDrawState saved;
  ensure_font();
  media::set_font(font_);
  const layout::Rect box = layout::kHelpFoldersBox;
  int y = page_y + box.y + 8;
  const int x = page_x + box.x + 12, w = box.w - 24;
  for (const FolderSummary& f : setup_.folders ? setup_.folders() : std::vector<FolderSummary>{}) {
    if (!f.parents) continue;
    colour(kInk);
    media::draw_text(fitted(folder_for_parent(f.folder, setup_.home), w), x, y);
    y += kLineH;
  }
  colour(kSoftInk);
  media::draw_text(fitted("Settings kept in " + folder_for_parent(setup_.config_file, setup_.home), w), x, y);
}

void Parent::ensure_font() const {
  if (!font_) font_ = media::load_font(assets_.data_dir + "fonts/Tahoma.ttf", kTextSize, media::FONT_SMOOTH);
}

void Parent::draw() const {
  media::SavedDrawState saved;
  ensure_font();
  if (on_break_) {
    if (!break_image_) break_image_ = media::load_image(assets_.data_dir + "images/break.png", 0);
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
    const std::string hint = "For the grown-up: Ctrl+P";
    media::draw_text(hint, (media::kScreenW - media::text_width(hint)) / 2, media::kScreenH - 30);
  }
  if (page_shown_) draw_page();
}

void Parent::draw_page() const {
  if (!page_) page_ = media::load_image(assets_.data_dir + "help/settings.png", 0);
  if (!page_on_) page_on_ = media::load_image(assets_.data_dir + "help/settings_on.png", 0);
  if (!folder_button_) folder_button_ = media::load_image(assets_.data_dir + "help/settings_button.png", 0);
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
  const int x = x0 + layout::kPicturesTextX, w = layout::kPicturesTextW;
  for (size_t k = 0; k < folders_.size() && k < places_.size(); ++k) {
    const FolderSummary& f = folders_[k];
    const FolderPlace& place = places_[k];
    int y = y0 + place.top;
    colour(kInk);
    media::draw_text(fitted(f.parents ? folder_for_parent(f.folder, setup_.home) : "Pipkin's own pictures", w), x, y);
    y += kLineH;
    colour(kSoftInk);
    std::string counts = std::to_string(f.pictures) + (f.pictures == 1 ? " picture" : " pictures");
    if (f.left_out) counts += ", " + std::to_string(f.left_out) + " left out";
    if (!f.parents) counts += ", while your folders have none";
    media::draw_text(fitted(counts, w), x, y);
    y += kLineH;
    if (place.button) {
      media::set_colour(255, 255, 255);
      if (folder_button_) media::draw_image(folder_button_, x0 + place.button->x, y0 + place.button->y, 0);
      y = y0 + place.button->y + place.button->h + 6;
    }
    colour(kTrouble);
    for (int i = 0; i < place.left_out_shown; ++i, y += kLineH)
      media::draw_text(fitted(f.left_out_lines[static_cast<size_t>(i)], w), x, y);
    if (place.more_line) {
      colour(kSoftInk);
      media::draw_text(fitted("and " + std::to_string(f.left_out - place.left_out_shown) + " more", w), x, y);
    }
  }

  // Time up: the play-time row offers more time or the end instead of the limits.
  if (on_break_) {
    const layout::Rect card = layout::kLimitCard;
    colour(kCard);
    media::draw_rect(x0 + card.x + 12, y0 + card.y + 8, card.w - 24, card.h - 16);
    colour(kHeading);
    media::draw_text("Play time is up. The child sees the break picture until you choose:", x0 + card.x + 20,
                     y0 + card.y + 12);
    plain_button(layout::kMoreTime, x0, y0, "10 more minutes");
    plain_button(layout::kEndPlay, x0, y0, "End play for now");
  }

  if (!status_.empty()) {
    colour(status_trouble_ ? kTrouble : kHeading);
    media::draw_text(fitted(status_, layout::kStatus.w), x0 + layout::kStatus.x, y0 + layout::kStatus.y + 5);
  }

  // The keyboard's place: a ring round the control it would use.
  if (focus_ >= 0 && focus_ < static_cast<int>(all.size())) {
    colour(kAccent);
    frame_rect(all[static_cast<size_t>(focus_)].rect, x0, y0, 3);
  }
}

}  // namespace app
