// Text broken into lines of a width: at spaces, at line ends, and inside a word only when it must.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/text/utf8.hpp"
#include "media/text/wrap.hpp"

namespace {

// One unit per character, as a fixed-width font measures.
int characters(const std::string& s) { return static_cast<int>(media::utf8_to_code_points(s).size()); }

TEST(Wrap, BreaksAtSpacesLineEndsAndInsideOverlongWords) {
  struct Case {
    const char* text;
    int width;
    std::vector<std::string> lines;
  } cases[] = {
      {"one two three", 20, {"one two three"}},
      {"one two three", 7, {"one two", "three"}},
      {"one  two", 3, {"one", "two"}},
      {"a\nb c", 10, {"a", "b c"}},
      {"a\n\nb", 10, {"a", "", "b"}},
      {"", 5, {""}},
      {"abcdefgh ij", 3, {"abc", "def", "gh", "ij"}},
      {"Bücherregal", 4, {"Büch", "erre", "gal"}},  // counted and broken by characters, not bytes
      {"水水水", 1, {"水", "水", "水"}},
      {"wide", 0, {"w", "i", "d", "e"}},  // no room at all: still one character a line, never none
  };
  for (const Case& c : cases) EXPECT_EQ(media::wrap_lines(c.text, c.width, characters), c.lines) << c.text << " in " << c.width;
}

}  // namespace
