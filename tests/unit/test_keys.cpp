#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/activity.hpp"
#include "app/config.hpp"
#include "app/keys.hpp"
#include "app/loop.hpp"
#include "app/shell.hpp"
#include "media/clock.hpp"
#include "media/events.hpp"

using app::KeyAction;
using app::key_action;
using media::Event;

namespace {

struct KeyCase {
  int code;
  KeyAction action;  // without the lock, Control up or down alike (but see Q)
};

const KeyCase kProgramKeys[] = {
    {media::KEY_ESCAPE, KeyAction::Quit},        {'V', KeyAction::ToggleInfo},
    {'H', KeyAction::ToggleHelp},                {media::KEY_F1, KeyAction::ToggleHelp},
    {'S', KeyAction::ToggleSound},               {'0', KeyAction::TitleScreen},
    {'1', KeyAction::SelectActivity},            {'5', KeyAction::SelectActivity},
    {'9', KeyAction::SelectActivity},            {'A', KeyAction::CloseHelp},
    {0, KeyAction::CloseHelp},  // a key the program has no code for
    {' ', KeyAction::CloseHelp},
};

}  // namespace

TEST(KeyRules, WithoutTheLockEveryKeyWorksAlone) {
  for (const KeyCase& k : kProgramKeys) {
    EXPECT_EQ(key_action(k.code, false, false), k.action) << k.code;
    EXPECT_EQ(key_action(k.code, true, false), k.action) << "Control+" << k.code;
  }
  EXPECT_EQ(key_action('Q', false, false), KeyAction::CloseHelp) << "Q alone is an ordinary key";
  EXPECT_EQ(key_action('Q', true, false), KeyAction::Quit);
  EXPECT_EQ(key_action(media::KEY_LCONTROL, false, false), KeyAction::ControlDown);
  EXPECT_EQ(key_action(media::KEY_RCONTROL, true, false), KeyAction::ControlDown);
}

TEST(KeyRules, WithTheLockKeysNeedControl) {
  for (const KeyCase& k : kProgramKeys) {
    EXPECT_EQ(key_action(k.code, false, true), KeyAction::Ignore) << k.code;
    EXPECT_EQ(key_action(k.code, true, true), k.action) << "Control+" << k.code;
  }
  EXPECT_EQ(key_action('Q', false, true), KeyAction::Ignore);
  EXPECT_EQ(key_action('Q', true, true), KeyAction::Quit);
  // Control must still be seen, or Control+key could never work.
  EXPECT_EQ(key_action(media::KEY_LCONTROL, false, true), KeyAction::ControlDown);
  EXPECT_EQ(key_action(media::KEY_RCONTROL, false, true), KeyAction::ControlDown);
  // Every code a key event can carry, pressed without Control, is ignored (Control aside).
  for (int code = 0; code < 256; ++code) {
    if (code == media::KEY_LCONTROL || code == media::KEY_RCONTROL) continue;
    EXPECT_EQ(key_action(code, false, true), KeyAction::Ignore) << code;
  }
}

TEST(KeyRules, ConfigThirdLineTurnsTheLockOn) {
  namespace fs = std::filesystem;
  fs::path p = fs::path(testing::TempDir()) / ("pipkin-keys-config-" + std::to_string(::getpid()) + ".txt");
  struct Case {
    const char* text;
    bool lock;
  } cases[] = {{"0\n0\n1\n", true}, {"1\r\n60\r\n1\r\n", true}, {"0\n0\n", false}, {"0\n0\n0\n", false},
               {"0\n0\n11\n", false}, {"0\n0\n 1\n", false}, {"1\n", false}, {"", false}};
  EXPECT_FALSE(app::read_config(p.string()).child_lock) << "no file";
  for (const Case& c : cases) {
    std::ofstream(p, std::ios::binary) << c.text;
    app::Config cfg = app::read_config(p.string());
    EXPECT_EQ(cfg.child_lock, c.lock) << c.text;
  }
  std::ofstream(p, std::ios::binary) << "1\n75\n1\n";
  app::Config cfg = app::read_config(p.string());
  EXPECT_TRUE(cfg.windowed);
  EXPECT_EQ(cfg.hz, 75) << "the third line leaves the first two as they were";
  fs::remove(p);
}

namespace {

struct Counting : app::Activity {
  int n;
  explicit Counting(int k) : n(k) {}
  int draw() override { return 0; }
  int setup() override { return 0; }
  int clear() override { return 0; }
  int update() override { return 0; }
  int left_click() override { return ++left, 0; }
  int right_click() override { return ++right, 0; }
  int mouse_move() override { return 0; }
  int completed() override { return 0; }
  int complete_flag() const override { return 0; }
  int cut_number() const override { return 0; }
  int picture_index() const override { return 0; }
  int left = 0, right = 0;
};

class LockedLoop : public testing::Test {
 protected:
  void SetUp() override {
    app::reset_shell();
    media::use_manual_clock(true);
    media::set_manual_clock(1000);
    for (int k = 1; k <= 9; ++k)
      app::register_activity(k, [k](int, int) -> app::ActivityPtr { return std::make_unique<Counting>(k); });
    app::Shell& s = app::shell();
    s.config_dir = testing::TempDir();
    s.child_lock = true;
    s.level = 9;
    s.redraw_needed = false;
  }
  void TearDown() override {
    for (int k = 1; k <= 9; ++k) app::register_activity(k, nullptr);
    media::use_manual_clock(false);
    app::reset_shell();
  }
  app::Turn key(int code) { return app::handle_event(Event{media::EV_KEY_DOWN, code}); }
  void key_up(int code) { app::handle_event(Event{media::EV_KEY_UP, code}); }
  app::Turn ctrl(int code) {
    key(media::KEY_LCONTROL);
    app::Turn t = key(code);
    key_up(media::KEY_LCONTROL);
    return t;
  }
};

}  // namespace

TEST_F(LockedLoop, KeysAloneChangeNothingNotEvenARedraw) {
  app::Shell& s = app::shell();
  ctrl('3');
  ASSERT_EQ(s.activity, 3);
  ctrl('H');
  ASSERT_TRUE(s.help_shown);
  s.redraw_needed = false;
  for (int code = 0; code < 256; ++code) {
    if (code == media::KEY_LCONTROL || code == media::KEY_RCONTROL) continue;
    EXPECT_EQ(key(code), app::Turn::Continue) << code;
    key_up(code);
  }
  EXPECT_EQ(s.activity, 3);
  EXPECT_TRUE(s.help_shown) << "not even the help page closes";
  EXPECT_FALSE(s.info_shown);
  EXPECT_TRUE(s.sound_on);
  EXPECT_FALSE(s.redraw_needed);
  EXPECT_FALSE(s.activity_slots[5]);
}

TEST_F(LockedLoop, ControlKeysWorkAsWithoutTheLock) {
  app::Shell& s = app::shell();
  ctrl('2');
  EXPECT_EQ(s.activity, 2);
  ctrl('V');
  EXPECT_TRUE(s.info_shown);
  ctrl('S');
  EXPECT_FALSE(s.sound_on);
  ctrl('H');
  EXPECT_TRUE(s.help_shown);
  ctrl('0');
  EXPECT_EQ(s.activity, 0);
  EXPECT_EQ(ctrl(media::KEY_ESCAPE), app::Turn::Quit);
  EXPECT_EQ(ctrl('Q'), app::Turn::Quit);
  EXPECT_EQ(key('Q'), app::Turn::Continue);
  EXPECT_EQ(key(media::KEY_ESCAPE), app::Turn::Continue);
  // Releasing Control ends it: the next key alone does nothing again.
  key(media::KEY_RCONTROL);
  key_up(media::KEY_RCONTROL);
  key('4');
  EXPECT_EQ(s.activity, 0);
}

TEST_F(LockedLoop, MouseStillPlaysAndControlClickIsARightClick) {
  app::Shell& s = app::shell();
  ctrl('3');
  auto* a = static_cast<Counting*>(s.activity_slots[3].get());
  app::handle_event(Event{media::EV_MOUSE_DOWN, 1});
  EXPECT_EQ(a->left, 1);
  key(media::KEY_LCONTROL);
  app::handle_event(Event{media::EV_MOUSE_DOWN, 1});
  key_up(media::KEY_LCONTROL);
  EXPECT_EQ(a->right, 1);
  EXPECT_EQ(a->left, 1);
}
