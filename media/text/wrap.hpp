// Text broken into lines that fit a width, for sentences whose length depends on the language.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace media {

// Lines of at most `width` as `measure` counts them, broken at spaces, and at line ends, which
// always break. A word wider than the width alone is broken between characters (never inside one
// UTF-8 sequence). Spaces at a break are dropped.
std::vector<std::string> wrap_lines(std::string_view text, int width, const std::function<int(const std::string&)>& measure);

}  // namespace media
