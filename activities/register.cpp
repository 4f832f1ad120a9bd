#include "activities/register.hpp"

#include "activities/pairs.hpp"
#include "app/activity.hpp"

namespace activities {

void register_all() {
  // One line per activity key.
  register_pairs();    // key 8
}

}  // namespace activities
