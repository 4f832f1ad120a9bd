// The configuration file: reading its six lines (old files of one to three lines read as they always
// did), and changing one setting while every other byte of the file stays, written whole or not at
// all.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "app/start/config.hpp"
#include "media/files/files.hpp"

namespace fs = std::filesystem;

using app::Config;
using app::ConfigLine;

namespace {

class ConfigFile : public testing::Test {
 protected:
  ConfigFile() {
    static int serial = 0;
    dir_ = fs::temp_directory_path() /
           ("pipkin-config-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~ConfigFile() override { fs::remove_all(dir_); }

  std::string path(const std::string& name = "config.txt") const { return (dir_ / name).string(); }
  void put(const std::string& bytes, const std::string& name = "config.txt") const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string get(const std::string& name = "config.txt") const {
    std::ifstream f(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  // Every entry of the folder, to see that no temporary file is left behind.
  size_t entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }
  Config read() const { return app::read_config(path()); }

  fs::path dir_;
};

struct Read {
  bool windowed;
  int hz;
  bool lock;
  bool sound;
  int limit;
};

void expect_reads(const Config& c, const Read& want, const std::string& text) {
  EXPECT_EQ(c.windowed, want.windowed) << text;
  EXPECT_EQ(c.hz, want.hz) << text;
  EXPECT_EQ(c.child_lock, want.lock) << text;
  EXPECT_EQ(c.sound_at_start, want.sound) << text;
  EXPECT_EQ(c.play_limit_minutes, want.limit) << text;
}

TEST_F(ConfigFile, OldFilesReadAsBeforeAndTheNewLinesDefaultToSoundOnWithoutLimit) {
  expect_reads(read(), {false, 0, false, true, 0}, "no file");
  struct Case {
    const char* text;
    Read want;
  } cases[] = {
      {"", {true, 0, false, true, 0}},  // an empty file is a window, as it always was
      {"1", {true, 0, false, true, 0}},
      {"0", {false, 0, false, true, 0}},
      {"0\r\n75\r\n", {false, 75, false, true, 0}},
      {"0\n  -60x\n", {false, -60, false, true, 0}},
      {"0\nabc\n", {false, 0, false, true, 0}},
      {"00\n85\n", {true, 85, false, true, 0}},
      {"0\n0\n1\n", {false, 0, true, true, 0}},
      {"0\n0\n1", {false, 0, true, true, 0}},
      {"0\n0\n 1\n", {false, 0, false, true, 0}},
      {"0\n0\n99\n", {false, 0, false, true, 0}},
      {"\n\n1\r\n", {true, 0, true, true, 0}},
      {"0\r\n60\r\n1\r\n", {false, 60, true, true, 0}},
  };
  for (const Case& c : cases) {
    put(c.text);
    expect_reads(read(), c.want, c.text);
  }
}

TEST_F(ConfigFile, SoundAndPlayLimitLines) {
  struct Case {
    const char* text;
    bool sound;
    int limit;
  } cases[] = {
      {"0\n0\n0\n0\n", false, 0},       {"0\n0\n0\n0\r\n20\r\n", false, 20}, {"0\n0\n0\n1\n45", true, 45},
      {"0\n0\n0\n\n30\n", true, 30},    {"0\n0\n0\nno\n", true, 0},           {"0\n0\n0\n 0\n", true, 0},
      {"0\n0\n0\n0\n-5\n", false, 0},   {"0\n0\n0\n1\n601\n", true, 600},     {"0\n0\n0\n1\n99999999999\n", true, 600},
      {"0\n0\n0\n1\n 15 min\n", true, 15}, {"0\n0\n0\n1\nabc\n", true, 0},     {"0\n0\n0\n1\n0\n7\n", true, 0},
  };
  for (const Case& c : cases) {
    put(c.text);
    const Config cfg = read();
    EXPECT_EQ(cfg.sound_at_start, c.sound) << c.text;
    EXPECT_EQ(cfg.play_limit_minutes, c.limit) << c.text;
  }
}

// The sixth line is the language chosen on the parent's page: a code, or nothing.
TEST_F(ConfigFile, TheLanguageLineHoldsOnlyACode) {
  const std::pair<const char*, const char*> cases[] = {
      {"0\n0\n0\n1\n0\nde\n", "de"},      {"0\n0\n0\n1\n0\npt_BR\r\n", "pt_BR"}, {"0\n0\n0\n1\n0\n", ""},
      {"0\n0\n0\n1\n0\n../../x\n", ""}, {"0\n0\n0\n1\n0\nde DE\n", ""},       {"0\n0\n0\n1\n0\nabcdefghijklmnop\n", ""},
  };
  for (const auto& [text, language] : cases) {
    put(text);
    EXPECT_EQ(read().language, language) << text;
  }
}

// Every setting written on its own into a file that lacks it reads back as written, and changes
// nothing else that is read.
TEST_F(ConfigFile, EverySettingRoundTrips) {
  Config want;
  want.windowed = true;
  want.hz = 75;
  want.child_lock = true;
  want.sound_at_start = false;
  want.play_limit_minutes = 25;
  for (ConfigLine line : {ConfigLine::PlayLimit, ConfigLine::SoundAtStart, ConfigLine::ChildLock, ConfigLine::Rate,
                          ConfigLine::Screen}) {
    ASSERT_TRUE(app::save_setting(path(), want, line)) << static_cast<int>(line);
  }
  expect_reads(read(), {true, 75, true, false, 25}, get());
  EXPECT_EQ(get(), "1\n75\n1\n0\n25\n");

  // And back the other way, one at a time, each change seen at once and alone.
  Config off;
  app::save_setting(path(), off, ConfigLine::Screen);
  expect_reads(read(), {false, 75, true, false, 25}, get());
  app::save_setting(path(), off, ConfigLine::Rate);
  expect_reads(read(), {false, 0, true, false, 25}, get());
  app::save_setting(path(), off, ConfigLine::ChildLock);
  expect_reads(read(), {false, 0, false, false, 25}, get());
  app::save_setting(path(), off, ConfigLine::SoundAtStart);
  expect_reads(read(), {false, 0, false, true, 25}, get());
  app::save_setting(path(), off, ConfigLine::PlayLimit);
  expect_reads(read(), {false, 0, false, true, 0}, get());

  // Values out of range are stored as they read.
  Config odd;
  odd.play_limit_minutes = 5000;
  odd.hz = -3;
  app::save_setting(path(), odd, ConfigLine::PlayLimit);
  app::save_setting(path(), odd, ConfigLine::Rate);
  EXPECT_EQ(read().play_limit_minutes, app::kMaxPlayLimitMinutes);
  EXPECT_EQ(read().hz, 0);
}

TEST_F(ConfigFile, AWriteKeepsEveryOtherLineAndItsEnding) {
  // Windows line ends, a comment-like sixth line and a seventh without an end: all kept.
  put("1\r\n60\r\n1\r\n0\r\n10\r\nmy notes \xC3\xA9\r\nlast");
  ASSERT_TRUE(app::write_config_line(path(), ConfigLine::PlayLimit, "20"));
  EXPECT_EQ(get(), "1\r\n60\r\n1\r\n0\r\n20\r\nmy notes \xC3\xA9\r\nlast");
  ASSERT_TRUE(app::write_config_line(path(), ConfigLine::Screen, "0"));
  EXPECT_EQ(get(), "0\r\n60\r\n1\r\n0\r\n20\r\nmy notes \xC3\xA9\r\nlast");

  // Mixed endings: the written line takes the first line's, the others keep their own.
  put("1\n60\r\n1\n");
  ASSERT_TRUE(app::write_config_line(path(), ConfigLine::Rate, "0"));
  EXPECT_EQ(get(), "1\n0\n1\n");
  put("1\r\n60\n1\n");
  ASSERT_TRUE(app::write_config_line(path(), ConfigLine::ChildLock, "0"));
  EXPECT_EQ(get(), "1\r\n60\n0\r\n");

  // Lines with odd bytes (blanks, a lone carriage return) are kept as they are.
  put("  0 \n\r75\n1\n");
  ASSERT_TRUE(app::write_config_line(path(), ConfigLine::SoundAtStart, "0"));
  EXPECT_EQ(get(), "  0 \n\r75\n1\n0\n");
  expect_reads(read(), {true, 75, true, false, 0}, get());
  EXPECT_EQ(entries(), 1u) << "no temporary file left";
}

// Lines the file lacks before the one written are filled so that they read as their absence did.
TEST_F(ConfigFile, MissingLinesAreFilledToReadTheSame) {
  struct Case {
    const char* before;
    ConfigLine line;
    const char* value;
    const char* after;
  } cases[] = {
      {"1", ConfigLine::PlayLimit, "30", "1\n0\n0\n1\n30\n"},
      {"0\r\n75", ConfigLine::SoundAtStart, "0", "0\r\n75\r\n0\r\n0\r\n"},
      {"0\n", ConfigLine::ChildLock, "1", "0\n0\n1\n"},
      {"0\n0\n1\n", ConfigLine::PlayLimit, "15", "0\n0\n1\n1\n15\n"},
      {"0\n0\n1\n", ConfigLine::Language, "uk", "0\n0\n1\n1\n0\nuk\n"},
      // An existing empty file is a window: its first line is filled to say so.
      {"", ConfigLine::Rate, "60", "1\n60\n"},
  };
  for (const Case& c : cases) {
    put(c.before);
    const Config before_cfg = read();
    ASSERT_TRUE(app::write_config_line(path(), c.line, c.value)) << c.before;
    EXPECT_EQ(get(), c.after) << c.before;
    const Config after_cfg = read();
    for (ConfigLine other : {ConfigLine::Screen, ConfigLine::Rate, ConfigLine::ChildLock, ConfigLine::SoundAtStart,
                             ConfigLine::PlayLimit, ConfigLine::Language}) {
      if (other == c.line) continue;
      EXPECT_EQ(app::config_line_text(after_cfg, other), app::config_line_text(before_cfg, other))
          << c.before << " line " << static_cast<int>(other);
    }
    EXPECT_EQ(app::config_line_text(after_cfg, c.line), c.value) << c.before;
  }
}

// No file, no folder (an installed Pipkin's ~/.config/pipkin): both are made, and the new file is
// full screen like the missing one was.
TEST_F(ConfigFile, WritingMakesAMissingFileAndItsFolders) {
  const std::string deep = path("config/pipkin/config.txt");
  ASSERT_TRUE(app::write_config_line(deep, ConfigLine::ChildLock, "1"));
  EXPECT_EQ(get("config/pipkin/config.txt"), "0\n0\n1\n");
  const Config cfg = app::read_config(deep);
  expect_reads(cfg, {false, 0, true, true, 0}, "new file");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "config/pipkin"), {}), 1);

  ASSERT_TRUE(app::write_config_line(path("fresh.txt"), ConfigLine::Screen, "1"));
  EXPECT_EQ(get("fresh.txt"), "1\n");
}

TEST_F(ConfigFile, AFileThatCannotBeWrittenIsLeftAsItWasWithAReason) {
  // A file stands where the folder should be: no folder can be made there, root or not.
  put("x", "somefile");
  app::ConfigWrite w = app::write_config_line(path("somefile/config.txt"), ConfigLine::ChildLock, "1");
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.problem, "a file is in the way of the folder");
  EXPECT_EQ(get("somefile"), "x");

  // The old file stays when the new one cannot be made beside it (a folder holds its temporary's
  // name), and what stood there is not removed either.
  put("0\r\n75\r\n");
  fs::create_directory(dir_ / "config.txt.new");
  w = app::write_config_line(path(), ConfigLine::Rate, "60");
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.problem, "a folder is in the way");
  EXPECT_EQ(get(), "0\r\n75\r\n");
  EXPECT_TRUE(fs::is_directory(dir_ / "config.txt.new"));
  fs::remove(dir_ / "config.txt.new");

  // The file is a folder: nothing to read, so nothing is written over it.
  fs::create_directory(dir_ / "taken.txt");
  w = app::write_config_line(path("taken.txt"), ConfigLine::Rate, "60");
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.problem, "the settings file cannot be read");
  EXPECT_TRUE(fs::is_directory(dir_ / "taken.txt"));

  // /proc takes no new files, even from root.
  w = app::write_config_line("/proc/pipkin-config-test.txt", ConfigLine::Rate, "60");
  EXPECT_FALSE(w.ok);
  EXPECT_FALSE(w.problem.empty());

  // A value that would break the file into more lines is refused.
  w = app::write_config_line(path(), ConfigLine::Rate, "60\n1");
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(get(), "0\r\n75\r\n");
  EXPECT_EQ(entries(), 3u) << "config.txt, somefile, taken.txt and nothing else";
}

TEST(ConfigFileProblems, PlainWordsForTheCommonFailures) {
  EXPECT_EQ(app::plain_write_problem(ENOSPC), "the disk is full");
  EXPECT_EQ(app::plain_write_problem(EDQUOT), "the disk is full");
  EXPECT_EQ(app::plain_write_problem(EACCES), "the folder cannot be written");
  EXPECT_EQ(app::plain_write_problem(EROFS), "the disk can only be read");
  EXPECT_NE(app::plain_write_problem(ELOOP).find("cannot be written"), std::string::npos);
}

}  // namespace
