#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/start/config.hpp"
#include "app/shell/keys.hpp"
#include "media/input/events.hpp"

using app::Command;
using media::Key;

namespace {

// The command of a key with Control held or not.
Command key_action(Key key, bool ctrl) { return app::command_for_key(key, ctrl).command; }

// The key with that letter or digit on it.
constexpr Key K(char c) {
  if (c >= '0' && c <= '9') return media::digit_key(c - '0');
  if (c >= 'A' && c <= 'Z') return static_cast<Key>(media::key_index(Key::A) + (c - 'A'));
  return c == ' ' ? Key::Space : Key::None;
}

}  // namespace

namespace {

struct KeyCase {
  Key key;
  Command action;  // Control up or down alike (but see Q)
};

const KeyCase kProgramKeys[] = {
    {Key::Escape, Command::Quit},  {K('V'), Command::ToggleInfo}, {K('H'), Command::ToggleHelp},
    {Key::F1, Command::ToggleHelp}, {K('S'), Command::ToggleSound}, {K('0'), Command::TitleScreen},
    {K('1'), Command::Choose},     {K('5'), Command::Choose},     {K('9'), Command::Choose},
    {K('A'), Command::Nothing},    {Key::None, Command::Nothing},  // a key the program has no name for
    {Key::Space, Command::Nothing}, {Key::F2, Command::Nothing},
};

}  // namespace

TEST(KeyRules, EveryKeyMeansOneCommand) {
  for (const KeyCase& k : kProgramKeys) {
    EXPECT_EQ(key_action(k.key, false), k.action) << media::key_index(k.key);
    EXPECT_EQ(key_action(k.key, true), k.action) << "Control+" << media::key_index(k.key);
  }
  EXPECT_EQ(app::command_for_key(K('7'), false).digit, 7);
  EXPECT_EQ(key_action(K('Q'), false), Command::Nothing) << "Q alone is an ordinary key";
  EXPECT_EQ(key_action(K('Q'), true), Command::Quit);
  EXPECT_EQ(key_action(Key::LeftControl, false), Command::ControlDown);
  EXPECT_EQ(key_action(Key::RightControl, true), Command::ControlDown);
}

namespace {

// A key going down or coming up, fed to the chord rule.
struct Step {
  Key key;
  bool down;
};
Step dn(Key key) { return {key, true}; }
Step up(Key key) { return {key, false}; }
Step dn(char c) { return dn(K(c)); }
Step up(char c) { return up(K(c)); }

constexpr Key kCtrl = Key::LeftControl, kRCtrl = Key::RightControl, kEsc = Key::Escape;

using Keys = std::vector<Key>;

// The keys of the clean chords the steps end, in order.
Keys chords(const std::vector<Step>& steps, app::Chord c = {}) {
  Keys ended;
  for (const Step& s : steps) {
    if (s.down) {
      app::chord_key_down(c, s.key, 0);
    } else if (std::optional<Key> k = app::chord_key_up(c, s.key)) {
      ended.push_back(*k);
    }
  }
  return ended;
}

}  // namespace

TEST(ChordRules, OneControlAndOneKeyEndCleanlyOnEitherRelease) {
  EXPECT_EQ(chords({dn(kCtrl), dn('1'), up('1'), up(kCtrl)}), Keys{K('1')}) << "the key let go first";
  EXPECT_EQ(chords({dn(kRCtrl), dn('1'), up(kRCtrl), up('1')}), Keys{K('1')}) << "Control let go first: once only";
  EXPECT_EQ(chords({dn(kCtrl), dn('V'), up('V'), dn('H'), up('H'), up(kCtrl)}), (Keys{K('V'), K('H')}))
      << "Control held for two chords in a row";
  EXPECT_EQ(chords({dn(kCtrl), dn('Q'), dn('Q'), dn('Q'), up('Q')}), Keys{K('Q')})
      << "a key going down that is already down is not a new key";
  EXPECT_EQ(chords({dn(kCtrl), dn('2'), up('5'), up(kRCtrl), up('2')}), Keys{K('2')})
      << "keys let go that were never down do not end it";

  // Not chords: the key before Control, both Controls, Control alone.
  EXPECT_EQ(chords({dn('1'), dn(kCtrl), up('1'), up(kCtrl)}), Keys{});
  EXPECT_EQ(chords({dn(kCtrl), dn(kRCtrl), dn('1'), up('1')}), Keys{});
  EXPECT_EQ(chords({dn(kCtrl), dn('1'), dn(kRCtrl), up('1')}), Keys{}) << "the other Control spoils it too";
  EXPECT_EQ(chords({dn(kCtrl), up(kCtrl), dn(kRCtrl), up(kRCtrl)}), Keys{});
  EXPECT_EQ(chords({dn(kCtrl), up(kCtrl), dn('1'), up('1')}), Keys{});
}

TEST(ChordRules, AnotherKeyDownSpoilsTheChord) {
  // Keys the program has no code for spoil it as any other key does, whatever code they arrive with.
  for (Key other : {K('A'), kEsc, K('2'), Key::None, Key::LeftShift, Key::F12}) {
    EXPECT_EQ(chords({dn(kCtrl), dn('Q'), dn(other), up(other), up('Q'), up(kCtrl)}), Keys{})
        << media::key_index(other);
  }
  // Once only Control is down again, a new key starts a clean chord.
  EXPECT_EQ(chords({dn(kCtrl), dn('1'), dn(kEsc), up(kEsc), up('1'), dn('2'), up('2')}), Keys{K('2')});
  // The key under way and its start time.
  app::Chord c;
  app::chord_key_down(c, kCtrl, 10);
  app::chord_key_down(c, K('Q'), 40);
  EXPECT_TRUE(c.held);
  EXPECT_EQ(c.key, K('Q'));
  EXPECT_EQ(c.since_ms, 40);
  app::chord_key_down(c, K('Q'), 90);
  EXPECT_EQ(c.since_ms, 40) << "not a new key";
  app::chord_key_down(c, K('W'), 100);
  EXPECT_FALSE(c.held);
}

// A hand laid flat: Control and several keys all go down, then all come up, in any order. No order
// of going down or coming up ends a clean chord.
TEST(ChordRules, PalmsInAnyOrderEndNoChord) {
  auto every_order = [](std::vector<Key> keys) {
    std::vector<Key> downs = keys;
    std::sort(downs.begin(), downs.end());
    int orders = 0;
    do {
      std::vector<Key> ups = keys;
      std::sort(ups.begin(), ups.end());
      do {
        std::vector<Step> steps;
        for (Key k : downs) steps.push_back(dn(k));
        for (Key k : ups) steps.push_back(up(k));
        EXPECT_EQ(chords(steps), Keys{}) << "order " << orders;
        ++orders;
      } while (std::next_permutation(ups.begin(), ups.end()));
    } while (std::next_permutation(downs.begin(), downs.end()));
    return orders;
  };
  EXPECT_EQ(every_order({kCtrl, K('Q'), K('A')}), 36);
  EXPECT_EQ(every_order({kCtrl, kEsc, K('1')}), 36);
  EXPECT_EQ(every_order({kCtrl, K('Q'), K('W'), K('S')}), 576);
  // Six keys: a fixed sample of orders.
  std::mt19937 rng(19);
  std::vector<Key> palm = {kCtrl, K('A'), K('S'), K('Q'), K('W'), K('Z')};
  for (int i = 0; i < 300; ++i) {
    std::vector<Key> downs = palm, ups = palm;
    std::shuffle(downs.begin(), downs.end(), rng);
    std::shuffle(ups.begin(), ups.end(), rng);
    std::vector<Step> steps;
    for (Key k : downs) steps.push_back(dn(k));
    for (Key k : ups) steps.push_back(up(k));
    EXPECT_EQ(chords(steps), Keys{}) << "sample " << i;
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
