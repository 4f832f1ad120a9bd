// The parent's side: the settings page's choices reach the display, the keyboard hold, the
// configuration file and the loop; the page is usable from the keyboard alone; trouble is said on the
// page; and the play-time limit ends in a break screen that only the parent can leave.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/start/config.hpp"
#include "app/shell/loop.hpp"
#include "app/parent/parent.hpp"
#include "media/input/clock.hpp"
#include "media/input/events.hpp"
#include "media/sound/sound.hpp"
#include "media/text/words.hpp"
#include "tests/unit/extra_activity.hpp"
#include "tests/unit/mo_file.hpp"
#include "tests/unit/test_world.hpp"

using namespace app;
namespace fs = std::filesystem;
using media::Key;

namespace {

std::string read_text(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// What the page asked of the system.
struct DesktopLog {
  std::vector<bool> fullscreen;
  std::vector<bool> holds;
  std::vector<bool> freed;  // the pointer let go (true) or held again
  std::vector<std::string> opened;
  bool refuse_fullscreen = false;
};

Desktop recording(DesktopLog& log) {
  return Desktop{[&log](bool on) {
                   if (log.refuse_fullscreen) return false;
                   log.fullscreen.push_back(on);
                   return true;
                 },
                 [&log](bool on) { log.holds.push_back(on); },
                 [&log](const std::string& folder) {
                   log.opened.push_back(folder);
                   return true;
                 },
                 [&log](bool free) { log.freed.push_back(free); }};
}

class ParentSide : public testing::Test {
 protected:
  void SetUp() override {
    media::use_manual_clock(true);
    media::set_manual_clock(1000);
    dir = fs::temp_directory_path() / ("pipkin-parent-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    setup.config_file = (dir / "config.txt").string();
    setup.home = "/home/ann";
    setup.mode = RunMode::Installed;
    setup.folders = [this] { return folders; };
    setup.minute_ms = 1000;  // a play-time minute is a second here
  }
  void TearDown() override {
    loop.reset();
    parent.reset();
    fs::remove_all(dir);
    media::use_manual_clock(false);
    media::close_audio();
  }
  Parent& make() {
    parent = std::make_unique<Parent>(setup, recording(log), world.assets,
                                      [this] { world.effects.play(Effect::Break); });
    return *parent;
  }
  // A loop with the swatch (a click finishes its game) at 3, the parent attached.
  Loop& make_loop(bool child_lock = false) {
    setup.config.child_lock = child_lock;
    make();
    loop = std::make_unique<Loop>(world.assets, extra::table_with_swatch(), (dir / "pipkin.txt").string(), 3,
                                  child_lock);
    loop->attach_parent(*parent);
    tw::press(*loop, media::digit_key(3));
    if (child_lock) chord(media::digit_key(3));
    return *loop;
  }
  extra::Swatch* swatch() { return static_cast<extra::Swatch*>(loop->slot(3)); }
  // A click on a control of the page, in picture coordinates.
  ParentAsk click(Control what, int index = 0) {
    for (const PageControl& c : parent->controls())
      if (c.what == what && c.index == index)
        return parent->page_click(Parent::kPageX + c.rect.x + c.rect.w / 2, Parent::kPageY + c.rect.y + c.rect.h / 2);
    ADD_FAILURE() << "no such control on the page";
    return ParentAsk::Nothing;
  }
  void click_in_loop(Control what, int index = 0) {
    for (const PageControl& c : parent->controls())
      if (c.what == what && c.index == index)
        tw::click_at(*loop, Parent::kPageX + c.rect.x + c.rect.w / 2, Parent::kPageY + c.rect.y + c.rect.h / 2);
  }
  bool chosen(Control what, int index = 0) {
    for (const PageControl& c : parent->controls())
      if (c.what == what && c.index == index) return c.chosen;
    return false;
  }
  // Control with a key, as a clean chord: Control down, the key down and up, Control up.
  Turn chord(Key key) {
    tw::press(*loop, Key::LeftControl);
    Turn t = tw::press(*loop, key);
    if (t == Turn::Continue) t = tw::release(*loop, key);
    if (t == Turn::Continue) t = tw::release(*loop, Key::LeftControl);
    return t;
  }
  // Control and a key held for ms (time passing on the loop's ticks), then let go.
  void hold_chord(Key key, int ms) {
    tw::press(*loop, Key::LeftControl);
    tw::press(*loop, key);
    play_for(ms);
    tw::release(*loop, key);
    tw::release(*loop, Key::LeftControl);
  }
  // Time passes on the loop's ticks, 20 ms at a time.
  void play_for(int ms) {
    for (int t = 0; t < ms; t += 20) {
      media::advance_manual_clock(20);
      tw::tick(*loop);
    }
  }
  std::string config_text() { return read_text(dir / "config.txt"); }

  tw::World world;
  fs::path dir;
  ParentSetup setup;
  DesktopLog log;
  std::vector<FolderSummary> folders;
  std::unique_ptr<Parent> parent;
  std::unique_ptr<Loop> loop;
};

TEST_F(ParentSide, ChoicesTakeEffectAndAreSavedKeepingTheRestOfTheFile) {
  std::ofstream(dir / "config.txt", std::ios::binary) << "0\n75\n0\n1\n0\nkept as it is\n";
  setup.config = read_config(setup.config_file);
  Parent& p = make();
  p.toggle_page();
  ASSERT_TRUE(p.page_shown());
  EXPECT_TRUE(chosen(Control::FullScreen));
  EXPECT_FALSE(chosen(Control::Window));

  EXPECT_EQ(click(Control::Window), ParentAsk::Redraw);
  EXPECT_EQ(log.fullscreen, std::vector<bool>{false});
  EXPECT_TRUE(chosen(Control::Window));
  EXPECT_EQ(config_text(), "1\n75\n0\n1\n0\nkept as it is\n");
  EXPECT_NE(p.status().find("config.txt"), std::string::npos) << p.status();
  EXPECT_FALSE(p.status_is_trouble());

  EXPECT_EQ(click(Control::LockOn), ParentAsk::LockChanged);
  EXPECT_TRUE(p.child_lock());
  EXPECT_EQ(log.holds, std::vector<bool>{true});
  EXPECT_EQ(click(Control::SoundOff), ParentAsk::Redraw);
  EXPECT_NE(p.status().find("next start"), std::string::npos) << "the page says when it applies: " << p.status();
  EXPECT_EQ(click(Control::Limit, 3), ParentAsk::Redraw);  // 20 minutes
  EXPECT_EQ(p.clock().limit_minutes(), 20);
  EXPECT_TRUE(chosen(Control::Limit, 3));
  EXPECT_EQ(config_text(), "1\n75\n1\n0\n20\nkept as it is\n");

  // What is already in force writes nothing and asks nothing.
  fs::remove(dir / "config.txt");
  EXPECT_EQ(click(Control::Window), ParentAsk::Nothing);
  EXPECT_EQ(click(Control::LockOn), ParentAsk::Nothing);
  EXPECT_FALSE(fs::exists(dir / "config.txt"));
  EXPECT_EQ(log.fullscreen.size(), 1u);

  // Read back at the next start as it was chosen.
  click(Control::FullScreen);
  const Config again = read_config(setup.config_file);
  EXPECT_FALSE(again.windowed);
  EXPECT_EQ(again.play_limit_minutes, 0) << "a new file holds only what was chosen since";
  EXPECT_TRUE(again.sound_at_start);
}

TEST_F(ParentSide, TroubleIsSaidOnThePageAndChangesNothingElse) {
  Parent& p = make();
  p.toggle_page();
  log.refuse_fullscreen = true;
  click(Control::Window);
  EXPECT_TRUE(p.status_is_trouble());
  EXPECT_TRUE(chosen(Control::FullScreen)) << "the screen stayed as it was";
  EXPECT_FALSE(fs::exists(dir / "config.txt"));

  // A configuration folder that cannot exist: a plain file stands where it would be.
  std::ofstream(dir / "not-a-folder") << "x";
  setup.config_file = (dir / "not-a-folder" / "config.txt").string();
  Parent& q = make();
  q.toggle_page();
  EXPECT_EQ(click(Control::LockOn), ParentAsk::LockChanged) << "the lock still changes now";
  EXPECT_TRUE(q.status_is_trouble());
  EXPECT_NE(q.status().find("could not be saved"), std::string::npos) << q.status();
}

TEST_F(ParentSide, EveryControlIsReachedFromTheKeyboard) {
  folders = {{"/home/ann/Pictures/Pipkin", true, 12, 0, {}}, {"/home/ann/.local/share/pipkin/pics", true, 0, 0, {}}};
  Parent& p = make();
  p.toggle_page();
  const size_t n = p.controls().size();
  std::vector<Control> seen;
  for (size_t i = 0; i < n; ++i) {
    seen.push_back(p.controls()[static_cast<size_t>(p.focus())].what);
    p.page_key(Key::Tab);
  }
  EXPECT_EQ(p.focus(), 0) << "Tab comes round to the first control";
  for (Control c : {Control::FullScreen, Control::Window, Control::LockOn, Control::LockOff, Control::SoundOn,
                    Control::SoundOff, Control::StartAgain, Control::OpenAll, Control::OpenFolder, Control::Limit,
                    Control::Language, Control::Close})
    EXPECT_NE(std::find(seen.begin(), seen.end(), c), seen.end()) << static_cast<int>(c);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), Control::OpenFolder), 2);

  p.page_key(Key::Right);  // the window
  EXPECT_EQ(p.page_key(Key::Return), ParentAsk::Redraw);
  EXPECT_EQ(log.fullscreen, std::vector<bool>{false});
  p.page_key(Key::Left);
  p.page_key(Key::Space);
  EXPECT_EQ(log.fullscreen, (std::vector<bool>{false, true}));
  EXPECT_EQ(p.page_key(Key::A), ParentAsk::Nothing);
  p.page_key(Key::Escape);
  EXPECT_FALSE(p.page_shown());
}

// A data folder whose catalogues are English, the pseudo-language (never offered), "xx", "yy",
// whose own name no font has, and "zz", written right to left; its fonts are the build's.
struct LanguagesFolder {
  LanguagesFolder() {
    fs::create_directories(dir / "locale");
    fs::create_directory_symlink(fs::path(PIPKIN_DATA_DIR) / "fonts", dir / "fonts");
    for (const char* mo : {"en.mo", "qps.mo"}) fs::copy_file(fs::path(PIPKIN_DATA_DIR) / "locale" / mo, dir / "locale" / mo);
    std::ofstream(dir / "locale/xx.mo", std::ios::binary)
        << mo::catalogue("nplurals=2; plural=(n != 1);", {{"language.name", "English", "Xish"},
                                                          {"parent.language_now", "", "Now {language}."},
                                                          {"parent.saved_in", "", "{said} ({folder})"}});
    std::ofstream(dir / "locale/yy.mo", std::ios::binary)
        << mo::catalogue("nplurals=2; plural=(n != 1);", {{"language.name", "English", "\u0378\u0379"}});
    std::ofstream(dir / "locale/zz.mo", std::ios::binary)
        << mo::catalogue("nplurals=2; plural=(n != 1);", {{"language.name", "English", "العربية"}});
  }
  ~LanguagesFolder() {
    fs::remove_all(dir);
    media::load_words(std::string(PIPKIN_DATA_DIR) + "/locale", media::kEnglish);
  }
  fs::path dir = fs::temp_directory_path() / ("pipkin-languages-" + std::to_string(::getpid()));
};

// The language button opens the list of languages, each by its own name; the one chosen is spoken
// at once, saved as the sixth line and handed to the help pages. One no font shows is refused.
TEST_F(ParentSide, ALanguageChosenOnThePageIsSpokenAtOnceAndKept) {
  LanguagesFolder data;
  world.assets.data_dir = data.dir.string() + "/";
  std::vector<std::string> handed;
  setup.set_language = [&handed](const std::string& code) { handed.push_back(code); };
  Parent& p = make();
  p.toggle_page();
  click(Control::Language);
  std::vector<std::string> listed;
  for (const PageControl& c : p.controls())
    if (c.what == Control::LanguageEntry) listed.push_back(c.chosen ? "*" : "");
  EXPECT_EQ(listed, (std::vector<std::string>{"*", "", "", ""})) << "English (spoken now), xx, yy, zz; not the pseudo-language";
  EXPECT_EQ(p.page_key(Key::Escape), ParentAsk::Redraw);
  EXPECT_TRUE(p.page_shown()) << "Escape closes the list first";

  click(Control::Language);
  click(Control::LanguageEntry, 1);
  EXPECT_EQ(media::words_language(), "xx");
  EXPECT_EQ(handed, std::vector<std::string>{"xx"});
  EXPECT_EQ(p.status(), "Now Xish. (" + setup.config_file + ")");
  EXPECT_EQ(app::read_config(setup.config_file).language, "xx");
  EXPECT_EQ(p.controls().back().what, Control::Close) << "the list closed";

  click(Control::Language);
  click(Control::LanguageEntry, 2);
  EXPECT_EQ(media::words_language(), "xx") << "yy's letters are in no font";
  EXPECT_TRUE(p.status_is_trouble());
  EXPECT_EQ(handed, std::vector<std::string>{"xx"});

  click(Control::Language);
  p.page_click(Parent::kPageX + 5, Parent::kPageY + 600);
  EXPECT_EQ(p.controls().back().what, Control::Close) << "a click beside the list closes it";

  // A right-to-left language mirrors the page: the close button is at the top left.
  click(Control::Language);
  click(Control::LanguageEntry, 3);
  EXPECT_EQ(p.controls().back().rect.x, layout::kPageW - layout::kClose.x - layout::kClose.w);
  click(Control::Close);
  EXPECT_FALSE(p.page_shown()) << "clicked where the mirrored button is";
}

TEST_F(ParentSide, FoldersAreNamedForTheParentAndOpenInTheFileManager) {
  EXPECT_EQ(folder_for_parent("/home/ann/Pictures/Pipkin", "/home/ann"), "~/Pictures/Pipkin");
  EXPECT_EQ(folder_for_parent("/home/annie/x", "/home/ann"), "/home/annie/x");
  EXPECT_EQ(folder_for_parent("/srv/pics", "/home/ann"), "/srv/pics");
  EXPECT_EQ(folder_for_parent("/home/ann", "/home/ann"), "~");

  folders = {{"/home/ann/Pictures/Pipkin", true, 12, 2, {"IMG_2231.HEIC: not a picture Pipkin reads", "broken.jpg: cut short"}},
             {"/home/ann/.local/share/pipkin/pics", true, 0, 0, {}},
             {"/usr/share/pipkin/pics", false, 40, 0, {}}};
  Parent& p = make();
  p.toggle_page();
  int buttons = 0;
  for (const PageControl& c : p.controls()) buttons += c.what == Control::OpenFolder;
  EXPECT_EQ(buttons, 2) << "Pipkin's own pictures are not the parent's to fill";
  click(Control::OpenFolder, 1);
  EXPECT_EQ(log.opened, std::vector<std::string>{"/home/ann/.local/share/pipkin/pics"});
  EXPECT_NE(p.status().find("~/.local/share/pipkin/pics"), std::string::npos) << p.status();

  const std::vector<std::string> title = p.folder_lines();
  ASSERT_EQ(title.size(), 2u);
  EXPECT_NE(title[0].find("Ctrl+P"), std::string::npos);
  EXPECT_EQ(title[1], "12 pictures from ~/Pictures/Pipkin.");
  folders[0].pictures = 0;
  EXPECT_EQ(p.folder_lines()[1], "Put your photos in ~/Pictures/Pipkin; until then Pipkin shows 40 pictures of its own.");
  folders[1].pictures = 1;
  EXPECT_EQ(p.folder_lines()[1], "1 picture from ~/.local/share/pipkin/pics.");

  setup.mode = RunMode::Portable;
  EXPECT_TRUE(make().folder_lines().empty()) << "the portable copy keeps its own title words";
}

TEST_F(ParentSide, ProgressStartsAgainOrOpensEverything) {
  Loop& l = make_loop();
  chord(Key::P);
  ASSERT_TRUE(parent->page_shown());
  click_in_loop(Control::OpenAll);
  EXPECT_EQ(l.state().level, 3) << "the test table has three activities";
  EXPECT_EQ(read_text(dir / "pipkin.txt").substr(0, 1), "3");
  click_in_loop(Control::StartAgain);
  EXPECT_EQ(l.state().level, 1);
  EXPECT_EQ(l.state().activity, 0) << "the activity shown is locked now: the title";
  EXPECT_EQ(read_text(dir / "pipkin.txt").substr(0, 1), "1");
}

TEST_F(ParentSide, ThePageTakesTheInputWhileItShows) {
  Loop& l = make_loop();
  tw::press(l, Key::LeftControl);
  tw::press(l, Key::P);
  tw::release(l, Key::P);
  tw::release(l, Key::LeftControl);
  ASSERT_TRUE(parent->page_shown());
  tw::click_at(l, 5, 5);
  EXPECT_EQ(swatch()->clicks, 0) << "a click beside the page's controls reaches no activity";
  EXPECT_EQ(tw::press(l, Key::Digit1), Turn::Continue);
  EXPECT_EQ(l.state().activity, 3) << "digits choose nothing while the page shows";
  EXPECT_EQ(tw::press(l, Key::Escape), Turn::Continue) << "Escape closes the page rather than quitting";
  EXPECT_FALSE(parent->page_shown());
  tw::click_at(l, 5, 5);
  EXPECT_EQ(swatch()->clicks, 1);

  // Its close button, and Control+P again.
  chord(Key::P);
  click_in_loop(Control::Close);
  EXPECT_FALSE(parent->page_shown());
  chord(Key::P);
  chord(Key::P);
  EXPECT_FALSE(parent->page_shown());

  // The child lock, turned on from the page, holds at once.
  chord(Key::P);
  click_in_loop(Control::LockOn);
  EXPECT_TRUE(l.child_lock());
  chord(Key::P);
  EXPECT_FALSE(parent->page_shown()) << "Control+P works as a chord under the lock";
  EXPECT_EQ(tw::press(l, Key::Escape), Turn::Continue);
  EXPECT_EQ(tw::release(l, Key::Escape), Turn::Continue) << "Escape alone no longer quits";
}

TEST_F(ParentSide, PlayTimeCountsOnlyWhileTheWindowIsActive) {
  setup.config.play_limit_minutes = 1;  // a second here
  Loop& l = make_loop();
  play_for(600);
  l.handle_event(media::Event{.kind = media::EventKind::WindowInactive});
  play_for(5000);
  EXPECT_FALSE(parent->on_break()) << "hidden or unfocused time does not count";
  l.handle_event(media::Event{.kind = media::EventKind::WindowActive});
  play_for(300);
  EXPECT_FALSE(parent->on_break());
  play_for(200);
  EXPECT_TRUE(parent->on_break());
  EXPECT_EQ(world.effects.count(Effect::Break), 1) << "a soft tune as the break begins";
}

TEST_F(ParentSide, TheBreakScreenIgnoresTheChildAndOnlyTheParentLeavesIt) {
  setup.config.play_limit_minutes = 1;
  Loop& l = make_loop();
  play_for(1100);
  ASSERT_TRUE(parent->on_break());
  for (Key k : {Key::Digit1, Key::Digit3, Key::H, Key::Space, Key::Return, Key::Escape, Key::Digit0, Key::Q}) {
    EXPECT_EQ(tw::press(l, k), Turn::Continue);
    EXPECT_EQ(tw::release(l, k), Turn::Continue);
  }
  for (int i = 0; i < 20; ++i) tw::click_at(l, 50 * i, 30 * i);
  EXPECT_TRUE(parent->on_break());
  EXPECT_FALSE(parent->page_shown());
  EXPECT_EQ(swatch()->clicks, 0);
  EXPECT_EQ(l.state().activity, 3);
  EXPECT_FALSE(l.shown(Layer::Help));

  // Control+P: the page offers more time or the end.
  chord(Key::P);
  ASSERT_TRUE(parent->page_shown());
  click_in_loop(Control::MoreTime);
  EXPECT_FALSE(parent->on_break());
  EXPECT_FALSE(parent->page_shown());
  tw::click_at(l, 5, 5);
  EXPECT_EQ(swatch()->clicks, 1) << "play goes on where it was";
  play_for(Parent::kMoreMinutes * 1000 - 100);
  EXPECT_FALSE(parent->on_break());
  play_for(200);
  ASSERT_TRUE(parent->on_break());
  chord(Key::P);
  for (const PageControl& c : parent->controls()) {
    if (c.what != Control::EndPlay) continue;
    EXPECT_EQ(l.handle_event(media::Event{.kind = media::EventKind::PointerDown,
                                          .button = media::Button::Left,
                                          .x = Parent::kPageX + c.rect.x + 5,
                                          .y = Parent::kPageY + c.rect.y + 5}),
              Turn::Quit);
  }
}

TEST_F(ParentSide, UnderTheChildLockTheBreakNeedsTheParentsChord) {
  setup.config.play_limit_minutes = 1;
  Loop& l = make_loop(true);
  play_for(1100);
  ASSERT_TRUE(parent->on_break());
  EXPECT_EQ(tw::press(l, Key::P), Turn::Continue);
  EXPECT_EQ(tw::release(l, Key::P), Turn::Continue);
  EXPECT_FALSE(parent->page_shown()) << "P alone is not the parent";
  chord(Key::P);
  EXPECT_FALSE(parent->page_shown()) << "a tapped chord is not enough either";
  hold_chord(Key::P, 1000);
  ASSERT_TRUE(parent->page_shown());
  tw::press(l, Key::Escape);  // a plain key belongs to the page under the lock too
  EXPECT_FALSE(parent->page_shown());
  EXPECT_TRUE(parent->on_break());
}

// Under the lock the page that can turn the lock off opens only when Control+P is held for the same
// second as quitting, with a ring of its own; it closes as before.
TEST_F(ParentSide, UnderTheChildLockThePageOpensOnlyOnAHeldChord) {
  Loop& l = make_loop(true);
  chord(Key::P);
  EXPECT_FALSE(parent->page_shown()) << "tapped";
  hold_chord(Key::P, 980);
  EXPECT_FALSE(parent->page_shown()) << "held short of the second";
  EXPECT_EQ(l.state().ring, HeldChord::None) << "the ring goes as the chord ends";

  tw::press(l, Key::LeftControl);
  tw::press(l, Key::P);
  play_for(500);
  EXPECT_EQ(l.state().ring, HeldChord::Settings);
  EXPECT_EQ(l.state().ring_held_ms, 500);
  play_for(500);
  EXPECT_TRUE(parent->page_shown()) << "opens at the second, still held";
  EXPECT_EQ(l.state().ring, HeldChord::None);
  tw::release(l, Key::P);
  tw::release(l, Key::LeftControl);
  EXPECT_TRUE(parent->page_shown()) << "letting go does not close it again";
  play_for(2000);
  chord(Key::P);
  EXPECT_FALSE(parent->page_shown()) << "a tap closes it";
  EXPECT_EQ(log.freed, (std::vector<bool>{true, false})) << "the pointer is let go while the page shows";

  // Timed by when the keys went down and up, not by when a busy program got to them.
  const int t = media::millisecs();
  l.handle_event({.kind = media::EventKind::KeyDown, .key = Key::LeftControl, .time_ms = t});
  l.handle_event({.kind = media::EventKind::KeyDown, .key = Key::P, .time_ms = t});
  media::advance_manual_clock(3000);
  l.handle_event({.kind = media::EventKind::KeyUp, .key = Key::P, .time_ms = t + 900});
  l.handle_event({.kind = media::EventKind::KeyUp, .key = Key::LeftControl, .time_ms = t + 910});
  tw::tick(l);
  EXPECT_FALSE(parent->page_shown()) << "held 0.9 s, taken in 3 s later";
  l.handle_event({.kind = media::EventKind::KeyDown, .key = Key::LeftControl, .time_ms = t + 3000});
  l.handle_event({.kind = media::EventKind::KeyDown, .key = Key::P, .time_ms = t + 3000});
  l.handle_event({.kind = media::EventKind::KeyUp, .key = Key::P, .time_ms = t + 4000});
  EXPECT_TRUE(parent->page_shown()) << "held a second: it acts before its end is taken in";
}

TEST_F(ParentSide, TheBreakWaitsForALookToEnd) {
  setup.config.play_limit_minutes = 1;
  Parent& p = make();
  p.tick(0, true, true);
  EXPECT_FALSE(p.tick(1500, true, false)) << "something is under way";
  EXPECT_FALSE(p.on_break());
  EXPECT_TRUE(p.tick(1520, true, true));
  EXPECT_TRUE(p.on_break());
  EXPECT_EQ(world.effects.count(Effect::Break), 1);
}

}  // namespace
