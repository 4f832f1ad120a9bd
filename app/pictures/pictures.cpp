#include "app/pictures/pictures.hpp"

#include <algorithm>

namespace app {

bool pictures_ready(const Pictures& pictures, int shows) {
  const size_t wanted = shows == kEveryPicture ? 1 : static_cast<size_t>(std::max(shows, 0));
  return !pictures.loading() || pictures.count() >= wanted;
}

}  // namespace app
