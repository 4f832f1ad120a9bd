// UTF-8 to code points, for shaping: a byte that does not start a well-formed sequence (a folder
// name in another encoding, a cut-off character) becomes U+FFFD, so nothing is dropped silently.
#pragma once
#include <string>
#include <string_view>

namespace media {

std::u32string utf8_to_code_points(std::string_view text);

}  // namespace media
