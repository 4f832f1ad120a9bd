#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/config.hpp"
#include "app/keys.hpp"
#include "media/events.hpp"

using app::Command;

namespace {

// The command of a key with Control held or not.
Command key_action(int code, bool ctrl) { return app::command_for_key(code, ctrl).command; }

}  // namespace

namespace {

struct KeyCase {
  int code;
  Command action;  // Control up or down alike (but see Q)
};

const KeyCase kProgramKeys[] = {
    {media::KEY_ESCAPE, Command::Quit},        {'V', Command::ToggleInfo},
    {'H', Command::ToggleHelp},                {media::KEY_F1, Command::ToggleHelp},
    {'S', Command::ToggleSound},               {'0', Command::TitleScreen},
    {'1', Command::Choose},            {'5', Command::Choose},
    {'9', Command::Choose},            {'A', Command::Nothing},
    {0, Command::Nothing},  // a key the program has no code for
    {' ', Command::Nothing},
};

}  // namespace

TEST(KeyRules, EveryKeyMeansOneCommand) {
  for (const KeyCase& k : kProgramKeys) {
    EXPECT_EQ(key_action(k.code, false), k.action) << k.code;
    EXPECT_EQ(key_action(k.code, true), k.action) << "Control+" << k.code;
  }
  EXPECT_EQ(key_action('Q', false), Command::Nothing) << "Q alone is an ordinary key";
  EXPECT_EQ(key_action('Q', true), Command::Quit);
  EXPECT_EQ(key_action(media::KEY_LCONTROL, false), Command::ControlDown);
  EXPECT_EQ(key_action(media::KEY_RCONTROL, true), Command::ControlDown);
}

namespace {

// A key going down or coming up, fed to the chord rule.
struct Step {
  int code;
  bool down;
};
Step dn(int code) { return {code, true}; }
Step up(int code) { return {code, false}; }

constexpr int kCtrl = media::KEY_LCONTROL, kRCtrl = media::KEY_RCONTROL, kEsc = media::KEY_ESCAPE;

// The keys of the clean chords the steps end, in order.
std::vector<int> chords(const std::vector<Step>& steps, app::Chord c = {}) {
  std::vector<int> ended;
  for (const Step& s : steps) {
    if (s.down) {
      app::chord_key_down(c, s.code, 0);
    } else if (std::optional<int> k = app::chord_key_up(c, s.code)) {
      ended.push_back(*k);
    }
  }
  return ended;
}

using Keys = std::vector<int>;

}  // namespace

TEST(ChordRules, OneControlAndOneKeyEndCleanlyOnEitherRelease) {
  EXPECT_EQ(chords({dn(kCtrl), dn('1'), up('1'), up(kCtrl)}), Keys{'1'}) << "the key let go first";
  EXPECT_EQ(chords({dn(kRCtrl), dn('1'), up(kRCtrl), up('1')}), Keys{'1'}) << "Control let go first: once only";
  EXPECT_EQ(chords({dn(kCtrl), dn('V'), up('V'), dn('H'), up('H'), up(kCtrl)}), (Keys{'V', 'H'}))
      << "Control held for two chords in a row";
  EXPECT_EQ(chords({dn(kCtrl), dn('Q'), dn('Q'), dn('Q'), up('Q')}), Keys{'Q'})
      << "a key going down that is already down is not a new key";
  EXPECT_EQ(chords({dn(kCtrl), dn('2'), up('5'), up(kRCtrl), up('2')}), Keys{'2'})
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
  for (int other : std::vector<int>{'A', kEsc, '2', 0, 160, 300, -5}) {
    EXPECT_EQ(chords({dn(kCtrl), dn('Q'), dn(other), up(other), up('Q'), up(kCtrl)}), Keys{}) << other;
  }
  // Once only Control is down again, a new key starts a clean chord.
  EXPECT_EQ(chords({dn(kCtrl), dn('1'), dn(kEsc), up(kEsc), up('1'), dn('2'), up('2')}), Keys{'2'});
  // The key under way and its start time.
  app::Chord c;
  app::chord_key_down(c, kCtrl, 10);
  app::chord_key_down(c, 'Q', 40);
  EXPECT_TRUE(c.held);
  EXPECT_EQ(c.key, 'Q');
  EXPECT_EQ(c.since_ms, 40);
  app::chord_key_down(c, 'Q', 90);
  EXPECT_EQ(c.since_ms, 40) << "not a new key";
  app::chord_key_down(c, 'W', 100);
  EXPECT_FALSE(c.held);
}

// A hand laid flat: Control and several keys all go down, then all come up, in any order. No order
// of going down or coming up ends a clean chord.
TEST(ChordRules, PalmsInAnyOrderEndNoChord) {
  auto every_order = [](std::vector<int> keys) {
    std::vector<int> downs = keys;
    std::sort(downs.begin(), downs.end());
    int orders = 0;
    do {
      std::vector<int> ups = keys;
      std::sort(ups.begin(), ups.end());
      do {
        std::vector<Step> steps;
        for (int k : downs) steps.push_back(dn(k));
        for (int k : ups) steps.push_back(up(k));
        EXPECT_EQ(chords(steps), Keys{}) << "order " << orders;
        ++orders;
      } while (std::next_permutation(ups.begin(), ups.end()));
    } while (std::next_permutation(downs.begin(), downs.end()));
    return orders;
  };
  EXPECT_EQ(every_order({kCtrl, 'Q', 'A'}), 36);
  EXPECT_EQ(every_order({kCtrl, kEsc, '1'}), 36);
  EXPECT_EQ(every_order({kCtrl, 'Q', 'W', 'S'}), 576);
  // Six keys: a fixed sample of orders.
  std::mt19937 rng(19);
  std::vector<int> palm = {kCtrl, 'A', 'S', 'Q', 'W', 'Z'};
  for (int i = 0; i < 300; ++i) {
    std::vector<int> downs = palm, ups = palm;
    std::shuffle(downs.begin(), downs.end(), rng);
    std::shuffle(ups.begin(), ups.end(), rng);
    std::vector<Step> steps;
    for (int k : downs) steps.push_back(dn(k));
    for (int k : ups) steps.push_back(up(k));
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
