// The parent's side of the program: the settings page (Control+P) and the play-time limit with its
// break screen. While either shows, its screen over play (app/shell/parent_screens.hpp) hands it the
// keys and clicks it is meant to see, and the loop carries out what it reports; what it changes
// outside the program (the display, the configuration file, a file manager) goes through the Desktop
// it is given, so tests put stand-ins there. It never presents or waits: the loop draws it as part
// of the frame.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/start/assets.hpp"
#include "app/start/config.hpp"
#include "app/start/paths.hpp"
#include "app/parent/play_time.hpp"
#include "app/parent/settings_layout.hpp"
#include "media/input/events.hpp"
#include "media/display/font.hpp"
#include "media/display/image.hpp"
#include "media/text/words.hpp"

namespace app {

// What the parent's side asks of the system.
struct Desktop {
  std::function<bool(bool on)> set_fullscreen;                  // true when done
  std::function<void(bool on)> hold_keyboard;                   // the child lock's hold
  std::function<bool(const std::string& folder)> open_folder;   // in the desktop's file manager
  std::function<void(bool free)> free_pointer;                  // the held pointer let go, or held again
};

// The desktop as it really is: the display, the keyboard hold and xdg-open. whole_session: the
// program is the whole session (see media::hold_keyboard), kept when the lock is turned on again.
Desktop real_desktop(bool whole_session);

// One picture folder as the page shows it.
struct FolderSummary {
  std::string folder;  // as read (absolute or relative to the program's folder)
  bool parents = true; // the parent fills it (false: the pictures that come with Pipkin)
  int pictures = 0;
  int left_out = 0;
  std::vector<std::string> left_out_lines;  // "broken.jpg: cut short", the first few
  bool operator==(const FolderSummary&) const = default;
};

// What the parent's side starts with.
struct ParentSetup {
  Config config;            // as in force now, command-line options included
  std::string config_file;  // where changes are saved
  RunMode mode = RunMode::Portable;
  std::string home;  // a folder under it is written "~/..." for the parent
  // The picture folders with their pictures and the files left out, as of now.
  std::function<std::vector<FolderSummary>()> folders;
  int activities = 0;       // "open all" opens this many: the activity table's count
  // The run's language was changed on the page (the code): the help pages follow it.
  std::function<void(const std::string& code)> set_language;
  int minute_ms = 60'000;   // a test may make play-time minutes shorter; nothing else changes
};

// What the loop must do after the parent's side handled something.
enum class ParentAsk : uint8_t {
  Nothing,
  Redraw,
  StartAgain,    // progress back to activity 1
  OpenAll,       // every activity open
  LockChanged,   // the child lock was turned on or off (child_lock() says which)
  Quit,          // play is over for now: save and end
};

// The controls of the settings page, in the order the keyboard visits them.
enum class Control : uint8_t {
  FullScreen, Window, LockOn, LockOff, SoundOn, SoundOff, StartAgain, OpenAll, OpenFolder, Limit,
  MoreTime, EndPlay, Close, Language, LanguageEntry,
};
struct PageControl {
  Control what = Control::Close;
  int index = 0;       // OpenFolder: which folder; Limit: which of layout::kLimitMinutes; LanguageEntry: which language
  layout::Rect rect;   // on the page
  bool chosen = false; // a choice in force (drawn chosen)
};

// "~/Pictures/Pipkin" for a folder under home; other folders as they are.
std::string folder_for_parent(const std::string& folder, const std::string& home);

class Parent {
 public:
  // break_tune: plays the soft tune that tells the child the break has begun.
  Parent(ParentSetup setup, Desktop desktop, const Assets& assets, std::function<void()> break_tune);

  bool page_shown() const { return page_shown_; }
  bool on_break() const { return on_break_; }
  // The page or the break screen has the screen: the activity below sees no input.
  bool has_screen() const { return page_shown_ || on_break_; }
  bool child_lock() const { return config_.child_lock; }
  const Config& config() const { return config_; }
  const PlayClock& clock() const { return clock_; }

  // Control+P: the page opens, or closes.
  ParentAsk toggle_page();
  // A key without Control while the page is shown: Tab and the arrows move between the controls,
  // Return and Space use the one with the focus, Escape closes the page.
  ParentAsk page_key(media::Key key);
  // A click, in picture coordinates, while the page is shown.
  ParentAsk page_click(int x, int y);
  // Time has passed (the loop's clock); active: the window is shown and has the focus, so play time
  // counts. may_break: nothing is under way that should finish first. True when what it shows
  // changed: the break has just begun, or the page's folder counts moved while pictures load.
  bool tick(int now_ms, bool active, bool may_break);

  // The break picture, covering the screen, with its word for the grown-up.
  void draw_break() const;
  // The page as it stands, over whatever is beneath.
  void draw_page() const;
  // Installed only: the lines that tell the parent where the pictures are, for the title screen
  // and help page 0 (empty when the program runs portable: its texts already say so).
  std::vector<std::string> folder_lines() const;
  // Help page 0 of the installed program (none when portable, or when its file is missing).
  const media::ImagePtr& installed_help_page() const;
  // Help page 0 of the installed program: the folders written into the box its page leaves for them.
  void draw_help_folders(int page_x, int page_y) const;

  // The page's controls as they stand, and where the page lies on the screen.
  std::vector<PageControl> controls() const;
  int focus() const { return focus_; }
  const std::string& status() const { return status_; }
  bool status_is_trouble() const { return status_trouble_; }
  static constexpr int kPageX = (1024 - layout::kPageW) / 2, kPageY = (768 - layout::kPageH) / 2;
  static constexpr int kMoreMinutes = 10;  // what "more time" gives

 private:
  static constexpr int kLineH = 22;               // a line of the page's text
  static constexpr int kFoldersRefreshMs = 500;   // the folders' counts, while pictures load

  ParentAsk use(const PageControl& c);
  // The list of languages opens over the page (or closes); a language chosen from it is spoken at
  // once and saved, unless no font here shows it.
  void show_languages(bool shown);
  ParentAsk choose_language(std::string code);  // a copy: the list it comes from closes
  void show_page(bool shown);
  // Saves one line of the configuration file and says on the page what changed and where it was
  // saved, or why it could not be.
  void save(ConfigLine line, const std::string& said);
  // A yes-or-no setting changed and saved; false when it was so already (nothing is written then).
  bool set(bool& setting, bool value, ConfigLine line, const std::string& said);
  void say(std::string text, bool trouble = false);
  void end_break();
  bool refresh_folders();  // true when what the page lists changed
  void ensure_font() const;
  void draw_languages(int page_x, int page_y) const;
  // Where a rectangle of the page is: mirrored when the page runs right to left.
  layout::Rect placed(const layout::Rect& r) const;
  // A line of the page's text in the width from x, starting at the side the language starts at.
  void line_in(const std::string& text, int x, int y, int width) const;

  ParentSetup setup_;
  Desktop desktop_;
  const Assets& assets_;
  std::function<void()> break_tune_;
  Config config_;
  PlayClock clock_;
  bool page_shown_ = false;
  bool on_break_ = false;
  int focus_ = 0;  // index into controls()
  std::string status_;
  bool status_trouble_ = false;
  std::vector<FolderSummary> folders_;         // as of the page's opening, renewed while it shows
  // Where each folder of folders_ goes on the pictures card.
  struct FolderPlace {
    int top = 0;                        // its first line, page pixels
    std::vector<std::string> counts;    // its pictures and files left out, on the lines they take
    std::optional<layout::Rect> button;  // "open the folder", for the parent's folders
    int left_out_shown = 0;             // files left out listed by name
    bool more_line = false;             // then "and N more"
  };
  std::vector<FolderPlace> places_;
  std::vector<media::LanguageName> languages_;  // while the list of languages is open; else empty
  bool mirrored_ = false;  // the language runs right to left: so do the pages, mirrored
  int folders_read_ms_ = 0;
  // Read when first shown: the page's pictures, its font and the break screen.
  mutable media::ImagePtr page_, page_on_, folder_button_, break_image_, help_zero_;
  mutable media::FontPtr font_;
};

}  // namespace app
