#include "activities/register.hpp"

#include "activities/bounce.hpp"
#include "activities/colour.hpp"
#include "activities/count.hpp"
#include "activities/frames4.hpp"
#include "activities/jigsaw.hpp"
#include "activities/kaleid.hpp"
#include "activities/pairs.hpp"

namespace activities {

void register_all() {
  // One line per activity key.
  register_plain<TFrames4>(1);
  register_plain<TCount>(2);
  register_plain<TBounce>(3);
  register_plain<TKaleid>(4);
  register_jigsaw();  // keys 5, 6 and 9
  register_plain<TColour>(7);
  register_plain<TPairs>(8);
}

}  // namespace activities
