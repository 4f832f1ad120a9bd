// Line-based files, folder listings, file replacement and number parsing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "media/files/files.hpp"

namespace fs = std::filesystem;

namespace {

// A fresh folder under the system temp folder, removed afterwards.
class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() / ("pipkin_files_" + std::to_string(getpid()) + "_" +
                                        std::to_string(counter_++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

void put_bytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string get_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Files, ReadLineSplitsOnLfAndNulAndSkipsCr) {
  TempDir dir;
  const std::string path = dir.file("lines.txt");
  static const char kBytes[] = "one\r\ntwo\r\n\r\nfo\rur\nab\0cd\n\xe9t\xff\x80\r\nlast";
  put_bytes(path, std::string(kBytes, sizeof kBytes - 1));
  auto s = media::read_file(path);
  ASSERT_TRUE(s);
  EXPECT_EQ(media::read_line(*s), "one");
  EXPECT_EQ(media::read_line(*s), "two");
  EXPECT_EQ(media::read_line(*s), "");  // an empty line
  EXPECT_EQ(media::read_line(*s), "four");  // a lone CR is skipped too
  EXPECT_EQ(media::read_line(*s), "ab");  // a zero byte ends the line
  EXPECT_EQ(media::read_line(*s), "cd");
  EXPECT_EQ(media::read_line(*s), "\xe9t\xff\x80");  // bytes >= 128 kept as they are
  EXPECT_FALSE(media::end_of_file(*s));
  EXPECT_EQ(media::read_line(*s), "last");  // no line feed at the end
  EXPECT_TRUE(media::end_of_file(*s));
  EXPECT_EQ(media::read_line(*s), "");
  EXPECT_EQ(media::read_line(*s), "");
  EXPECT_TRUE(media::close(s));
  EXPECT_FALSE(s);

  EXPECT_FALSE(media::read_file(dir.file("missing.txt")));
  EXPECT_FALSE(media::write_file(dir.file("no/such/folder.txt")));
}

TEST(Files, WriteLineEndsWithCrLfAndTruncates) {
  TempDir dir;
  const std::string path = dir.file("out.txt");
  put_bytes(path, "old content that is longer than the new one");
  auto s = media::write_file(path);
  ASSERT_TRUE(s);
  EXPECT_TRUE(media::write_line(*s, "7"));
  EXPECT_TRUE(media::write_line(*s, ""));
  EXPECT_TRUE(media::write_line(*s, std::string("a\xff", 2)));
  EXPECT_TRUE(media::close(s));
  EXPECT_EQ(get_bytes(path), "7\r\n\r\na\xff\r\n");

  // What write_line writes, read_line reads back.
  auto r = media::read_file(path);
  ASSERT_TRUE(r);
  EXPECT_EQ(media::read_line(*r), "7");
  EXPECT_EQ(media::read_line(*r), "");
  EXPECT_EQ(media::read_line(*r), "a\xff");
  EXPECT_TRUE(media::end_of_file(*r));

  // A write that cannot reach the disk makes close report failure.
  if (fs::exists("/dev/full")) {
    auto full = media::write_file("/dev/full");
    ASSERT_TRUE(full);
    media::write_line(*full, std::string(100000, 'x'));
    EXPECT_FALSE(media::close(full));
  }
  media::StreamPtr none;
  EXPECT_FALSE(media::close(none));
}

TEST(Files, ReadDirListsEveryEntry) {
  TempDir dir;
  put_bytes(dir.file("a.png"), "x");
  put_bytes(dir.file("b.jpg"), "y");
  fs::create_directory(dir.path() / "sub");
  auto d = media::read_dir(dir.path().string());
  ASSERT_TRUE(d);
  std::multiset<std::string> names;
  for (std::string n = media::next_file(*d); !n.empty(); n = media::next_file(*d)) names.insert(n);
  EXPECT_EQ(names, (std::multiset<std::string>{".", "..", "a.png", "b.jpg", "sub"}));
  EXPECT_EQ(media::next_file(*d), "");
  media::close_dir(d);
  EXPECT_FALSE(d);
  EXPECT_FALSE(media::read_dir(dir.file("missing")));
}

TEST(Files, ReplaceFileLines) {
  TempDir dir;
  const std::string path = dir.file("pipkin.txt");
  put_bytes(path, "3\r\n");
  const std::string lines[] = {"5", "x y"};
  ASSERT_TRUE(media::replace_file_lines(path, lines, 2));
  EXPECT_EQ(get_bytes(path), "5\r\nx y\r\n");
  EXPECT_FALSE(fs::exists(path + ".new"));

  // A file that did not exist yet is created.
  ASSERT_TRUE(media::replace_file_lines(dir.file("fresh.txt"), lines, 1));
  EXPECT_EQ(get_bytes(dir.file("fresh.txt")), "5\r\n");

  // A folder that does not exist: refused, nothing left behind.
  EXPECT_FALSE(media::replace_file_lines(dir.file("gone/pipkin.txt"), lines, 2));
  EXPECT_FALSE(fs::exists(dir.file("gone")));

  // The target is a folder, so the rename fails: the temp file is removed, the folder kept.
  fs::create_directory(dir.path() / "taken");
  put_bytes(dir.file("taken/inside"), "keep");
  EXPECT_FALSE(media::replace_file_lines(dir.file("taken"), lines, 2));
  EXPECT_FALSE(fs::exists(dir.file("taken.new")));
  EXPECT_EQ(get_bytes(dir.file("taken/inside")), "keep");
  EXPECT_EQ(get_bytes(path), "5\r\nx y\r\n");
}

TEST(Files, ParseWholeNumber) {
  EXPECT_EQ(media::parse_whole_number("  -12abc"), -12);
  EXPECT_EQ(media::parse_whole_number("+7"), 7);
  EXPECT_EQ(media::parse_whole_number("\t 42 7"), 42);
  EXPECT_EQ(media::parse_whole_number("abc"), 0);
  EXPECT_EQ(media::parse_whole_number(""), 0);
  EXPECT_EQ(media::parse_whole_number("-"), 0);
  EXPECT_EQ(media::parse_whole_number("- 5"), 0);
  EXPECT_EQ(media::parse_whole_number("\n5"), 0);  // only spaces and tabs are skipped
  EXPECT_EQ(media::parse_whole_number("007"), 7);
  EXPECT_EQ(media::parse_whole_number("2147483647"), INT_MAX);
  EXPECT_EQ(media::parse_whole_number("-2147483648"), INT_MIN);
  EXPECT_EQ(media::parse_whole_number("2147483648"), INT_MAX);
  EXPECT_EQ(media::parse_whole_number("-2147483649"), INT_MIN);
  EXPECT_EQ(media::parse_whole_number("99999999999999999999999999999"), INT_MAX);
  EXPECT_EQ(media::parse_whole_number("-99999999999999999999999999999x"), INT_MIN);
}

TEST(Files, ChdirToExecutable) {
  const fs::path before = fs::current_path();
  ASSERT_TRUE(media::chdir_to_executable());
  EXPECT_EQ(fs::current_path(), fs::canonical("/proc/self/exe").parent_path());
  fs::current_path(before);
}
