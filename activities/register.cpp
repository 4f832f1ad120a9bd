#include "activities/register.hpp"

#include "app/activity.hpp"

namespace activities {

void register_all() {
  // One line per activity key.
}

}  // namespace activities
