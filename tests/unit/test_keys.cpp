#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "app/config.hpp"
#include "app/keys.hpp"
#include "media/events.hpp"

using app::Command;

namespace {

// The command of a key with Control held or not, and the child lock on or off.
Command key_action(int code, bool ctrl, bool lock) { return app::command_for_key(code, ctrl, lock).command; }

}  // namespace

namespace {

struct KeyCase {
  int code;
  Command action;  // without the lock, Control up or down alike (but see Q)
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

TEST(KeyRules, WithoutTheLockEveryKeyWorksAlone) {
  for (const KeyCase& k : kProgramKeys) {
    EXPECT_EQ(key_action(k.code, false, false), k.action) << k.code;
    EXPECT_EQ(key_action(k.code, true, false), k.action) << "Control+" << k.code;
  }
  EXPECT_EQ(key_action('Q', false, false), Command::Nothing) << "Q alone is an ordinary key";
  EXPECT_EQ(key_action('Q', true, false), Command::Quit);
  EXPECT_EQ(key_action(media::KEY_LCONTROL, false, false), Command::ControlDown);
  EXPECT_EQ(key_action(media::KEY_RCONTROL, true, false), Command::ControlDown);
}

TEST(KeyRules, WithTheLockKeysNeedControl) {
  for (const KeyCase& k : kProgramKeys) {
    EXPECT_EQ(key_action(k.code, false, true), Command::Ignore) << k.code;
    EXPECT_EQ(key_action(k.code, true, true), k.action) << "Control+" << k.code;
  }
  EXPECT_EQ(key_action('Q', false, true), Command::Ignore);
  EXPECT_EQ(key_action('Q', true, true), Command::Quit);
  // Control must still be seen, or Control+key could never work.
  EXPECT_EQ(key_action(media::KEY_LCONTROL, false, true), Command::ControlDown);
  EXPECT_EQ(key_action(media::KEY_RCONTROL, false, true), Command::ControlDown);
  // Every code a key event can carry, pressed without Control, is ignored (Control aside).
  for (int code = 0; code < 256; ++code) {
    if (code == media::KEY_LCONTROL || code == media::KEY_RCONTROL) continue;
    EXPECT_EQ(key_action(code, false, true), Command::Ignore) << code;
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
