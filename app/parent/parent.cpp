#include "app/parent/parent.hpp"

#include <algorithm>

#include "app/start/language.hpp"
#include "media/display/display.hpp"
#include "media/display/font.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/files/launch.hpp"
#include "media/files/log.hpp"
#include "media/text/direction.hpp"
#include "media/text/words.hpp"

namespace app {
namespace {

// A folder's counts on the pictures card: its pictures, the files left out, and whether they are
// the parent's own.
std::string counts_line(const FolderSummary& f) {
  std::string counts =
      media::fill(media::words("pictures.count", static_cast<unsigned long>(f.pictures)), {{"count", std::to_string(f.pictures)}});
  if (f.left_out)
    counts = media::fill(media::word("parent.left_out"), {{"pictures", counts}, {"count", std::to_string(f.left_out)}});
  if (!f.parents) counts = media::fill(media::word("parent.yours_have_none"), {{"pictures", counts}});
  return counts;
}

constexpr int kPicturesBottom = 514;  // the pictures card's text ends above this (page pixels)

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

Parent::Parent(ParentSetup setup, Desktop desktop, const Assets& assets, std::function<void()> break_tune)
    : setup_(std::move(setup)),
      desktop_(std::move(desktop)),
      assets_(assets),
      break_tune_(std::move(break_tune)),
      config_(setup_.config),
      clock_(setup_.minute_ms) {
  clock_.set_limit(config_.play_limit_minutes);
  mirrored_ = media::right_to_left(media::word("language.name"));
}

layout::Rect Parent::placed(const layout::Rect& r) const {
  return mirrored_ ? layout::Rect{layout::kPageW - r.x - r.w, r.y, r.w, r.h} : r;
}

std::vector<PageControl> Parent::controls() const {
  std::vector<PageControl> c;
  // The list of languages, open, is all the page offers until one is chosen or it is closed.
  if (!languages_.empty()) {
    const std::string current = media::words_language();
    for (size_t i = 0; i < languages_.size(); ++i)
      c.push_back({Control::LanguageEntry, static_cast<int>(i), layout::language_entry(static_cast<int>(i)),
                   languages_[i].code == current});
    c.push_back({Control::Language, 0, layout::kLanguage});
    for (PageControl& control : c) control.rect = placed(control.rect);
    return c;
  }
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
  c.push_back({Control::Language, 0, layout::kLanguage});
  c.push_back({Control::Close, 0, layout::kClose});
  for (PageControl& control : c) control.rect = placed(control.rect);
  return c;
}

void Parent::show_languages(bool shown) {
  languages_ = shown ? media::available_languages(assets_.data_dir + "locale") : std::vector<media::LanguageName>{};
  focus_ = 0;
  const std::vector<PageControl> all = controls();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].chosen || (!shown && all[i].what == Control::Language)) focus_ = static_cast<int>(i);
}

ParentAsk Parent::choose_language(std::string code) {
  show_languages(false);
  const std::string before = media::words_language(), locale = assets_.data_dir + "locale";
  if (code == before) return ParentAsk::Redraw;
  media::load_words(locale, code);
  ensure_font();
  if (!words_shown(font_)) {
    const std::string line = no_font_line();
    media::load_words(locale, before);
    say(line, true);
    return ParentAsk::Redraw;
  }
  config_.language = code;
  mirrored_ = media::right_to_left(media::word("language.name"));
  if (setup_.set_language) setup_.set_language(code);
  // The page's pictures and its words, read again in the new language.
  page_ = page_on_ = folder_button_ = break_image_ = help_zero_ = nullptr;
  places_.clear();
  refresh_folders();
  save(ConfigLine::Language, media::fill(media::word("parent.language_now"), {{"language", media::word("language.name")}}));
  return ParentAsk::Redraw;
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
    case Key::Escape:
      if (!languages_.empty()) show_languages(false);
      else show_page(false);
      return ParentAsk::Redraw;
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
  // A click beside the open list of languages closes it.
  if (!languages_.empty()) {
    show_languages(false);
    return ParentAsk::Redraw;
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
    say(media::fill(media::word("parent.saved_in"), {{"said", said}, {"folder", folder_for_parent(setup_.config_file, setup_.home)}}));
  else
    say(media::fill(media::word("parent.not_saved_in"),
                   {{"said", said}, {"folder", folder_for_parent(setup_.config_file, setup_.home)}, {"problem", w.problem}}),
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
        say(media::word(full ? "parent.no_full_screen" : "parent.no_window"), true);
        return ParentAsk::Redraw;
      }
      config_.windowed = !full;
      save(ConfigLine::Screen, media::word(full ? "parent.full_screen_now" : "parent.window_now"));
      return ParentAsk::Redraw;
    }
    case Control::LockOn:
    case Control::LockOff: {
      const bool on = c.what == Control::LockOn;
      if (!set(config_.child_lock, on, ConfigLine::ChildLock,
               media::word(on ? "parent.lock_on_now" : "parent.lock_off_now")))
        return ParentAsk::Nothing;
      desktop_.hold_keyboard(on);
      return ParentAsk::LockChanged;
    }
    case Control::SoundOn:
    case Control::SoundOff: {
      const bool on = c.what == Control::SoundOn;
      return set(config_.sound_at_start, on, ConfigLine::SoundAtStart,
                 media::word(on ? "parent.sound_on_next" : "parent.sound_off_next"))
                 ? ParentAsk::Redraw
                 : ParentAsk::Nothing;
    }
    case Control::Limit: {
      const int minutes = layout::kLimitMinutes[static_cast<size_t>(c.index)];
      clock_.set_limit(minutes);
      config_.play_limit_minutes = minutes;
      save(ConfigLine::PlayLimit,
           minutes ? media::fill(media::words("parent.play_time_now", static_cast<unsigned long>(minutes)),
                                  {{"count", std::to_string(minutes)}})
                   : media::word("parent.no_limit"));
      return ParentAsk::Redraw;
    }
    case Control::Language: show_languages(languages_.empty()); return ParentAsk::Redraw;
    case Control::LanguageEntry:
      if (static_cast<size_t>(c.index) >= languages_.size()) return ParentAsk::Nothing;
      return choose_language(languages_[static_cast<size_t>(c.index)].code);
    case Control::StartAgain: say(media::word("parent.start_again_now")); return ParentAsk::StartAgain;
    case Control::OpenAll:
      say(media::fill(media::words("parent.open_all_now", static_cast<unsigned long>(setup_.activities)),
                     {{"count", std::to_string(setup_.activities)}}));
      return ParentAsk::OpenAll;
    case Control::OpenFolder: {
      if (static_cast<size_t>(c.index) >= folders_.size()) return ParentAsk::Nothing;
      const std::string& folder = folders_[static_cast<size_t>(c.index)].folder;
      const std::string shown = folder_for_parent(folder, setup_.home);
      if (desktop_.open_folder(folder))
        say(media::fill(media::word("parent.opening"), {{"folder", shown}}));
      else
        say(media::fill(media::word("parent.no_file_manager"), {{"folder", shown}}), true);
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
  if (break_tune_) break_tune_();
  return true;
}

bool Parent::refresh_folders() {
  std::vector<FolderSummary> now = setup_.folders ? setup_.folders() : std::vector<FolderSummary>{};
  if (now == folders_ && !places_.empty()) return false;
  folders_ = std::move(now);
  // Every folder gets its two lines and, when it is the parent's, a button; the files left out get
  // the lines that are left, first come first served, each list ending in "and N more" if cut.
  // A folder's counts may take two lines in a longer language.
  places_.clear();
  media::SavedDrawState saved;
  ensure_font();
  media::set_font(font_);
  int fixed = 0;
  for (const FolderSummary& f : folders_) {
    FolderPlace place;
    place.counts = media::wrap_text(counts_line(f), layout::kPicturesTextW);
    fixed += (1 + static_cast<int>(place.counts.size())) * kLineH + (f.parents ? layout::kOpenFolderH + 12 : 0) + 10;
    places_.push_back(std::move(place));
  }
  int lines_left = std::max(0, (kPicturesBottom - layout::kPicturesTextY - fixed) / kLineH);
  int y = layout::kPicturesTextY;
  for (size_t k = 0; k < folders_.size(); ++k) {
    const FolderSummary& f = folders_[k];
    FolderPlace& place = places_[k];
    place.top = y;
    y += (1 + static_cast<int>(place.counts.size())) * kLineH;
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
    const std::string here = folder_for_parent(f.folder, setup_.home);
    where = where.empty() ? here : media::fill(media::word("parent.and"), {{"first", where}, {"second", here}});
  }
  const auto pictures = [](int n) {
    return media::fill(media::words("pictures.count", static_cast<unsigned long>(n)), {{"count", std::to_string(n)}});
  };
  std::string line;
  if (yours > 0)
    line = media::fill(media::word("parent.pictures_from"), {{"pictures", pictures(yours)}, {"folders", where}});
  else if (!first_folder.empty())
    line = media::fill(media::word("parent.put_photos"), {{"folder", first_folder}, {"pictures", pictures(own)}});
  else
    line = media::fill(media::word("parent.pictures_only"), {{"pictures", pictures(own)}});
  return {media::word("title.installed_hint"), line};
}

const media::ImagePtr& Parent::installed_help_page() const {
  static const media::ImagePtr none;
  if (setup_.mode != RunMode::Installed) return none;
  if (!help_zero_) help_zero_ = assets_.worded_image("help", "title-installed", "0-installed.png");
  return help_zero_;
}

}  // namespace app
