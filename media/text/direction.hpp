// Which way a paragraph runs: the direction of its first letter that has one (the Unicode
// bidirectional algorithm's rule P2), left to right when none has.
#pragma once
#include <string_view>

namespace media {

bool right_to_left(std::string_view utf8);

}  // namespace media
