// The system's fonts, found through fontconfig, for characters the program's own font lacks.
#pragma once
#include <optional>
#include <string>

namespace media {

struct FontFile {
  std::string path;
  int index = 0;  // the face within a collection (.ttc)
  bool operator==(const FontFile&) const = default;
};

// A sans-serif font of the system's that has the character; none when no font has it. Answers are
// kept, so asking again costs nothing. Main thread only.
std::optional<FontFile> system_font_with(char32_t c);

}  // namespace media
