// The command line: every option, both long forms, the short ones, and what a mistake does.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/start/options.hpp"

namespace {

app::CommandLine parse(const std::vector<const char*>& args) {
  std::vector<std::string> owned{"pipkin"};
  owned.insert(owned.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : owned) argv.push_back(a.data());
  argv.push_back(nullptr);
  return app::parse_command_line(static_cast<int>(owned.size()), argv.data());
}

}  // namespace

TEST(Options, NoneRunsWithTheConfiguration) {
  const app::CommandLine cl = parse({});
  EXPECT_TRUE(cl.run);
  EXPECT_FALSE(cl.options.windowed.has_value());
  EXPECT_TRUE(cl.options.pictures_dir.empty());
  EXPECT_TRUE(cl.options.data_dir.empty());
  EXPECT_FALSE(cl.options.child_lock);
  EXPECT_TRUE(app::standard_output(cl).empty() && app::standard_error(cl).empty());
}

TEST(Options, HelpAndVersionPrintAndEnd) {
  for (const char* arg : {"--help", "-h"}) {
    const app::CommandLine cl = parse({arg});
    EXPECT_FALSE(cl.run);
    EXPECT_EQ(cl.exit_status, 0);
    EXPECT_EQ(app::standard_output(cl).rfind("Usage: pipkin", 0), 0u) << arg;
    for (const char* opt : {"--window", "--fullscreen", "--pictures", "--data", "--language", "--child-lock", "--session", "--version"})
      EXPECT_NE(app::standard_output(cl).find(opt), std::string::npos) << opt;
    EXPECT_EQ(app::standard_output(cl).find("--test-"), std::string::npos) << "the test hooks are not for parents";
    EXPECT_TRUE(app::standard_error(cl).empty());
  }
  for (const char* arg : {"--version", "-V"}) {
    const app::CommandLine cl = parse({arg});
    EXPECT_FALSE(cl.run);
    EXPECT_EQ(cl.exit_status, 0);
    EXPECT_EQ(app::standard_output(cl), "Pipkin 2.1\n");
  }
  // Help wins wherever it stands, as long as nothing wrong came before it.
  EXPECT_EQ(parse({"--window", "-h"}).exit_status, 0);
}

TEST(Options, EveryOptionInBothForms) {
  app::CommandLine cl = parse({"--window", "--pictures", "/tmp/p", "--data=/tmp/d", "--child-lock", "--session"});
  ASSERT_TRUE(cl.run) << app::standard_error(cl);
  EXPECT_TRUE(cl.options.whole_session);
  EXPECT_FALSE(parse({"--child-lock"}).options.whole_session);
  EXPECT_EQ(cl.options.windowed, std::optional<bool>(true));
  EXPECT_EQ(cl.options.pictures_dir, "/tmp/p");
  EXPECT_EQ(cl.options.data_dir, "/tmp/d");
  EXPECT_TRUE(cl.options.child_lock);

  cl = parse({"--pictures=/tmp/a/../b/", "--data", "/tmp/d", "--fullscreen"});
  ASSERT_TRUE(cl.run) << app::standard_error(cl);
  EXPECT_EQ(cl.options.windowed, std::optional<bool>(false));
  EXPECT_EQ(cl.options.pictures_dir, "/tmp/b/");
  // The last of --window and --fullscreen counts.
  EXPECT_EQ(parse({"--fullscreen", "--window"}).options.windowed, std::optional<bool>(true));

  // A relative folder is taken from where the program was started, not from the program's folder.
  cl = parse({"--pictures", "holiday"});
  EXPECT_EQ(cl.options.pictures_dir, (std::filesystem::current_path() / "holiday").string());
}

// The test hooks: each hidden option and what it sets, none of them set without it.
TEST(Options, TestHooksAreHiddenOptions) {
  using Hooks = app::TestHooks;
  const struct {
    std::vector<const char*> args;
    std::function<bool(const Hooks&)> set;
  } cases[] = {
      {{"--test-minute-ms=1500"}, [](const Hooks& h) { return h.minute_ms == 1500; }},
      {{"--test-minute-ms", "20"}, [](const Hooks& h) { return h.minute_ms == 20; }},
      {{"--test-quit-after-first-frame"}, [](const Hooks& h) { return h.quit_after_first_frame; }},
      {{"--test-quit-after-pictures"}, [](const Hooks& h) { return h.quit_after_pictures; }},
      {{"--test-hold-pictures=20:/tmp/go"},
       [](const Hooks& h) {
         return h.hold_pictures.from == 20 && !h.hold_pictures.full_pictures && h.hold_pictures.until == "/tmp/go";
       }},
      {{"--test-hold-pictures", "full:/tmp/a/../go"},
       [](const Hooks& h) {
         return h.hold_pictures.from == SIZE_MAX && h.hold_pictures.full_pictures && h.hold_pictures.until == "/tmp/go";
       }},
      {{"--test-startup-times=/tmp/times.txt"}, [](const Hooks& h) { return h.startup_times == "/tmp/times.txt"; }},
  };
  for (const auto& c : cases) {
    const app::CommandLine cl = parse(c.args);
    ASSERT_TRUE(cl.run) << c.args[0] << ": " << app::standard_error(cl);
    EXPECT_TRUE(c.set(cl.options.test)) << c.args[0];
    EXPECT_FALSE(c.set(parse({"--window"}).options.test)) << c.args[0] << " is set without its option";
  }
  // Relative files are taken from where the program was started: it works in its own folder.
  EXPECT_EQ(parse({"--test-startup-times=times.txt"}).options.test.startup_times,
            (std::filesystem::current_path() / "times.txt").string());
  EXPECT_EQ(parse({"--test-hold-pictures=3:go"}).options.test.hold_pictures.until,
            (std::filesystem::current_path() / "go").string());
}

TEST(Options, MistakesPrintTheUsageOnStandardErrorAndEndWithStatus2) {
  for (std::initializer_list<const char*> bad :
       {std::initializer_list<const char*>{"--colour"}, {"-x"}, {"--pictures"}, {"--data="}, {"--window=yes"},
        {"photos"}, {"--window", "photos"}, {"--test-minute-ms"}, {"--test-minute-ms=0"}, {"--test-minute-ms=1s"},
        {"--test-hold-pictures=20"}, {"--test-hold-pictures=some:/tmp/go"}, {"--test-hold-pictures=full:"},
        {"--test-startup-times="}, {"--test-quit-after-pictures=1"}}) {
    const app::CommandLine cl = parse(bad);
    EXPECT_FALSE(cl.run) << *bad.begin();
    EXPECT_EQ(cl.exit_status, 2) << *bad.begin();
    EXPECT_TRUE(app::standard_output(cl).empty());
    EXPECT_EQ(app::standard_error(cl).rfind("pipkin: ", 0), 0u) << app::standard_error(cl);
    EXPECT_NE(app::standard_error(cl).find("Usage: pipkin"), std::string::npos);
  }
  EXPECT_NE(app::standard_error(parse({"--colour"})).find("'--colour'"), std::string::npos);
  EXPECT_NE(app::standard_error(parse({"--test-minute-ms"})).find("'--test-minute-ms' needs a number of milliseconds"),
            std::string::npos);
  EXPECT_NE(app::standard_error(parse({"--pictures"})).find("'--pictures' needs a folder"), std::string::npos);
  // Parsing again after a mistake starts afresh.
  EXPECT_TRUE(parse({"--window"}).run);
}

TEST(Options, OptionsOverrideTheConfigurationFile) {
  app::Config cfg;
  cfg.windowed = false;
  cfg.hz = 75;
  app::Options o;
  app::apply_options(cfg, o);
  EXPECT_FALSE(cfg.windowed);
  o.windowed = true;
  o.child_lock = true;
  app::apply_options(cfg, o);
  EXPECT_TRUE(cfg.windowed);
  EXPECT_TRUE(cfg.child_lock);
  EXPECT_EQ(cfg.hz, 75);
  o.windowed = false;
  app::apply_options(cfg, o);
  EXPECT_FALSE(cfg.windowed);
}
