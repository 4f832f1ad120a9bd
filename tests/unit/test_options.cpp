// The command line: every option, both long forms, the short ones, and what a mistake does.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/start/options.hpp"

namespace {

app::CommandLine parse(std::initializer_list<const char*> args) {
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
    for (const char* opt : {"--window", "--fullscreen", "--pictures", "--data", "--child-lock", "--session", "--version"})
      EXPECT_NE(app::standard_output(cl).find(opt), std::string::npos) << opt;
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

TEST(Options, MistakesPrintTheUsageOnStandardErrorAndEndWithStatus2) {
  for (std::initializer_list<const char*> bad :
       {std::initializer_list<const char*>{"--colour"}, {"-x"}, {"--pictures"}, {"--data="}, {"--window=yes"},
        {"photos"}, {"--window", "photos"}}) {
    const app::CommandLine cl = parse(bad);
    EXPECT_FALSE(cl.run) << *bad.begin();
    EXPECT_EQ(cl.exit_status, 2) << *bad.begin();
    EXPECT_TRUE(app::standard_output(cl).empty());
    EXPECT_EQ(app::standard_error(cl).rfind("pipkin: ", 0), 0u) << app::standard_error(cl);
    EXPECT_NE(app::standard_error(cl).find("Usage: pipkin"), std::string::npos);
  }
  EXPECT_NE(app::standard_error(parse({"--colour"})).find("'--colour'"), std::string::npos);
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
