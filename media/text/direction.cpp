#include "media/text/direction.hpp"

#include <fribidi.h>

#include <vector>

#include "media/text/utf8.hpp"

namespace media {

bool right_to_left(std::string_view utf8) {
  const std::u32string text = utf8_to_code_points(utf8);
  const auto n = static_cast<FriBidiStrIndex>(text.size());
  std::vector<FriBidiCharType> types(text.size());
  fribidi_get_bidi_types(reinterpret_cast<const FriBidiChar*>(text.data()), n, types.data());
  return fribidi_get_par_direction(types.data(), n) == FRIBIDI_PAR_RTL;
}

}  // namespace media
