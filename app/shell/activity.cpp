#include "app/shell/activity.hpp"

#include <algorithm>

namespace app {

const ActivityMaker& ActivityTable::operator[](int place) const {
  static const ActivityMaker none;
  return has(place) ? entry(place).make : none;
}

std::optional<int> ActivityTable::digit_of(int place) const {
  if (place == 0 || place_of_digit(place) == place) return place;
  return std::nullopt;
}

int ActivityTable::place_of(std::string_view id) const {
  const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const ActivityEntry& e) { return e.id == id; });
  return found == entries_.end() ? 0 : static_cast<int>(found - entries_.begin()) + 1;
}

}  // namespace app
