#include "app/shell/activity.hpp"

#include <stdexcept>

namespace app {

ActivityTable::ActivityTable(std::vector<ActivityEntry> entries) : entries_(std::move(entries)) {
  // Said at once rather than found later as a digit that chooses nothing: there is no key for it.
  if (entries_.size() > static_cast<std::size_t>(kDigitKeys))
    throw std::length_error("an activity table holds at most one activity per digit key 1 to 9, not " +
                            std::to_string(entries_.size()));
}

const ActivityMaker& ActivityTable::operator[](int digit) const {
  static const ActivityMaker none;
  return has(digit) ? entry(digit).make : none;
}

}  // namespace app
