#include "activities/register.hpp"

#include "activities/bounce.hpp"
#include "activities/colour.hpp"
#include "activities/count.hpp"
#include "activities/frames4.hpp"
#include "activities/jigsaw.hpp"
#include "activities/kaleid.hpp"
#include "activities/pairs.hpp"
#include "app/activity.hpp"

namespace activities {

void register_all() {
  // One line per activity key.
  register_frames4();  // key 1
  register_count();    // key 2
  register_bounce();   // key 3
  register_kaleid();   // key 4
  register_jigsaw();   // keys 5, 6 and 9
  register_colour();   // key 7
  register_pairs();    // key 8
}

}  // namespace activities
