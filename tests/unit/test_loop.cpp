#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/activity.hpp"
#include "app/loop.hpp"
#include "app/shell.hpp"
#include "media/clock.hpp"
#include "media/events.hpp"

using namespace app;
using media::Event;

namespace {

std::vector<std::string> calls;  // "key:method" in call order

struct Fake : Activity {
  int key, cut, pic;
  int complete = 0;
  bool request_restart = false;
  Fake(int k, int c, int p) : key(k), cut(c), pic(p) {}
  void log(const char* m) { calls.push_back(std::to_string(key) + ":" + m); }
  int draw() override { return log("draw"), 0; }
  int setup() override { return log("setup"), 0; }
  int clear() override { return log("clear"), 0; }
  int update() override { return log("update"), 0; }
  int left_click() override {
    log("left");
    if (request_restart) shell().restart_requested = true;
    return 0;
  }
  int right_click() override { return log("right"), 0; }
  int mouse_move() override { return log("move"), 0; }
  int completed() override { return log("completed"), complete; }
  int complete_flag() const override { return complete; }
  int cut_number() const override { return cut; }
  int picture_index() const override { return pic; }
};

std::vector<int> failing_cuts;  // cuts whose jigsaw cannot be built

class Loop : public testing::Test {
 protected:
  void SetUp() override {
    reset_shell();
    calls.clear();
    failing_cuts.clear();
    media::use_manual_clock(true);
    media::set_manual_clock(1000);
    media::seed_random(7);
    for (int k = 1; k <= 9; ++k)
      register_activity(k, [k](int cut, int pic) -> ActivityPtr {
        for (int f : failing_cuts)
          if (f == cut) return nullptr;
        calls.push_back(std::to_string(k) + ":init");
        return std::make_unique<Fake>(k, cut, pic);
      });
    shell().config_dir = testing::TempDir();
    for (int i = 0; i < 5; ++i) shell().pictures.add(std::make_shared<media::Image>());
  }
  void TearDown() override {
    for (int k = 1; k <= 9; ++k) register_activity(k, nullptr);
    media::use_manual_clock(false);
    reset_shell();
  }
  Turn key(int code) { return handle_event(Event{media::EV_KEY_DOWN, code}); }
  void key_up(int code) { handle_event(Event{media::EV_KEY_UP, code}); }
  void click(int button) { handle_event(Event{media::EV_MOUSE_DOWN, button}); }
  Fake* slot(int n) { return static_cast<Fake*>(shell().activity_slots[n].get()); }
  bool called(const std::string& c) { return std::find(calls.begin(), calls.end(), c) != calls.end(); }
};

}  // namespace

TEST_F(Loop, LockedDigitsAndTheHelpPage) {
  Shell& s = shell();
  key('H');
  EXPECT_TRUE(s.help_shown);
  key('2');  // locked at level 1: nothing but closing the help page
  EXPECT_EQ(s.activity, 0);
  EXPECT_FALSE(s.help_shown);
  EXPECT_FALSE(s.activity_slots[2]);
  key(media::KEY_F1);
  EXPECT_TRUE(s.help_shown);
  key(media::KEY_F1);
  EXPECT_FALSE(s.help_shown);
  // V and Escape do not close the help page; clicks do.
  key('H');
  key('V');
  EXPECT_TRUE(s.info_shown);
  EXPECT_TRUE(s.help_shown);
  click(3);  // middle button: a redraw and nothing else
  EXPECT_TRUE(s.help_shown);
  click(1);
  EXPECT_FALSE(s.help_shown);
  s.redraw_needed = false;
  key('S');
  EXPECT_FALSE(s.sound_on);
  EXPECT_TRUE(s.redraw_needed);
  // Level 5 opens digits up to 5 at once.
  s.level = 5;
  key('5');
  EXPECT_EQ(s.activity, 5);
  key('6');
  EXPECT_EQ(s.activity, 5);
}

TEST_F(Loop, SelectionRulesPerActivity) {
  Shell& s = shell();
  s.level = 9;
  key('1');
  EXPECT_EQ(calls, (std::vector<std::string>{"1:init"}));
  key('1');
  EXPECT_TRUE(called("1:clear"));
  key('2');
  EXPECT_EQ(calls.back(), "2:setup");
  key('2');
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "2:setup"), 2);
  // Every selection of 3 restarts its cards; 4 again changes nothing.
  key('3');
  key('3');
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "3:clear"), 2);
  key('4');
  size_t n = calls.size();
  key('4');
  EXPECT_EQ(calls.size(), n);
  // 7: setup only when pressed again while current. 8: also after a finished game.
  key('7');
  key('8');
  slot(8)->complete = 1;
  key('1');
  key('8');
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "8:setup"), 2);
  // Coming back to an unfinished game resumes it.
  slot(8)->complete = 0;
  key('1');
  key('8');
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "8:setup"), 2);
  key('0');
  EXPECT_EQ(s.activity, 0);
  EXPECT_TRUE(s.activity_slots[8]);
}

TEST_F(Loop, JigsawGamesChangeCutAndPictureAndResume) {
  Shell& s = shell();
  s.level = 9;
  key('5');
  Fake* first = slot(5);
  ASSERT_TRUE(first);
  int cut = first->cut, pic = first->pic;
  EXPECT_GE(cut, 1);
  EXPECT_LE(cut, 13);
  EXPECT_GE(pic, 0);
  EXPECT_LT(pic, 5);
  key('1');
  key('5');
  EXPECT_EQ(slot(5), first) << "an unfinished puzzle resumes";
  for (int i = 0; i < 20; ++i) {
    key('5');  // again while current: a new puzzle, different cut and picture
    ASSERT_NE(slot(5)->cut, cut);
    ASSERT_NE(slot(5)->pic, pic);
    cut = slot(5)->cut, pic = slot(5)->pic;
  }
  // A finished puzzle is replaced when coming back.
  slot(5)->complete = 1;
  Fake* done = slot(5);
  key('1');
  key('5');
  EXPECT_NE(slot(5), done);
  // With one picture only the cut must change.
  s.pictures.clear();
  s.pictures.add(std::make_shared<media::Image>());
  key('6');
  key('6');
  EXPECT_EQ(slot(6)->pic, 0);
}

TEST_F(Loop, UnreadableCutsAreSkippedAndNoCutMeansNoActivity) {
  Shell& s = shell();
  s.level = 9;
  for (int c = 1; c <= 12; ++c) failing_cuts.push_back(c);
  key('9');
  ASSERT_TRUE(slot(9));
  EXPECT_EQ(slot(9)->cut, 13);
  EXPECT_EQ(s.activity, 9);
  failing_cuts.push_back(13);
  key('6');
  EXPECT_FALSE(slot(6));
  EXPECT_EQ(s.activity, 9) << "the key does nothing when no cut can be built";
}

TEST_F(Loop, ClicksUnlockAndRestart) {
  Shell& s = shell();
  s.level = 3;
  key('3');
  click(1);
  EXPECT_EQ(s.level, 4) << "a click in the highest activity 3 unlocks 4";
  key('1');
  key('3');
  click(1);
  EXPECT_EQ(s.level, 4) << "activity 3 is not the highest any more";
  // Activities 5 and 6 unlock after a click that completes them, and not before.
  s.level = 5;
  key('5');
  click(1);
  EXPECT_EQ(s.level, 5);
  slot(5)->complete = 1;
  click(1);
  EXPECT_EQ(s.level, 6);
  // The corner button of a finished game restarts it through its digit key.
  s.level = 9;
  key('8');
  slot(8)->complete = 1;
  slot(8)->request_restart = true;
  calls.clear();
  click(1);
  EXPECT_EQ(calls, (std::vector<std::string>{"8:left", "8:setup"}));
  EXPECT_FALSE(s.restart_requested);
  // The unlock rule never goes past 9.
  key('9');
  click(1);
  EXPECT_EQ(s.level, 9);
}

TEST_F(Loop, ControlClickIsARightClickAndEitherControlKeyReleases) {
  Shell& s = shell();
  s.level = 9;
  key('7');
  calls.clear();
  key(media::KEY_LCONTROL);
  key(media::KEY_RCONTROL);
  click(1);
  EXPECT_EQ(calls.back(), "7:right");
  key_up(media::KEY_RCONTROL);
  EXPECT_FALSE(s.ctrl_down) << "releasing either Control key clears it";
  click(1);
  EXPECT_EQ(calls.back(), "7:left");
  click(2);
  EXPECT_EQ(calls.back(), "7:right");
  // Control+Q ends the program and saves.
  key(media::KEY_LCONTROL);
  EXPECT_EQ(key('Q'), Turn::Quit);
}

TEST_F(Loop, PointerMovesAreHandledOnlyMoreThanTenMillisecondsApart) {
  Shell& s = shell();
  key('1');
  s.last_move_ms = media::millisecs();
  calls.clear();
  s.redraw_needed = false;
  media::advance_manual_clock(10);
  handle_event(Event{media::EV_MOUSE_MOVE});
  EXPECT_TRUE(calls.empty());
  EXPECT_FALSE(s.redraw_needed) << "a dropped move costs nothing";
  media::advance_manual_clock(1);
  handle_event(Event{media::EV_MOUSE_MOVE});
  EXPECT_EQ(calls, (std::vector<std::string>{"1:move"}));
  EXPECT_TRUE(s.redraw_needed);
  media::advance_manual_clock(5);
  handle_event(Event{media::EV_MOUSE_MOVE});
  EXPECT_EQ(calls.size(), 1u);
  // Ticks, repeats, characters and releases only turn the loop.
  s.redraw_needed = false;
  for (int id : {media::EV_TIMER_TICK, media::EV_KEY_REPEAT, media::EV_KEY_CHAR, media::EV_MOUSE_UP})
    EXPECT_EQ(handle_event(Event{id, 'H'}), Turn::Continue);
  EXPECT_FALSE(s.redraw_needed);
  EXPECT_FALSE(s.help_shown);
}

TEST_F(Loop, HelpInActivityThreeRestartsCardsWhenClosed) {
  Shell& s = shell();
  s.level = 3;
  key('3');
  calls.clear();
  key('H');
  EXPECT_TRUE(calls.empty()) << "opening the help page does not touch the cards";
  key('H');
  EXPECT_EQ(calls, (std::vector<std::string>{"3:clear"}));
  // The animated activities step on every turn.
  calls.clear();
  update_activity();
  EXPECT_EQ(calls, (std::vector<std::string>{"3:update"}));
}

TEST_F(Loop, EndingSavesTheLevel) {
  Shell& s = shell();
  s.level = 6;
  EXPECT_EQ(key(media::KEY_ESCAPE), Turn::Quit);
  std::ifstream f(s.config_dir + "pipkin.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(f)), {});
  EXPECT_EQ(text, "6\r\n");
  s.level = 7;
  EXPECT_EQ(handle_event(Event{media::EV_TERMINATE}), Turn::Quit);
  std::ifstream g(s.config_dir + "pipkin.txt", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(g)), {}), "7\r\n");
}
