#include "activities/register.hpp"

#include "activities/bounce.hpp"
#include "activities/colour.hpp"
#include "activities/count.hpp"
#include "activities/frames4.hpp"
#include "activities/jigsaw.hpp"
#include "activities/kaleid.hpp"
#include "activities/pairs.hpp"
#include "activities/uncover.hpp"
#include "activities/where.hpp"

namespace activities {

app::ActivityTable activity_table() {
  app::ActivityTable t;
  t[1] = plain_maker<TFrames4>();
  t[2] = plain_maker<TCount>();
  t[3] = plain_maker<TBounce>();
  t[4] = plain_maker<TKaleid>();
  t[5] = puzzle_maker<Uncover>();
  t[6] = puzzle_maker<Where>();
  t[7] = plain_maker<TColour>();
  t[8] = plain_maker<TPairs>();
  t[9] = puzzle_maker<Jigsaw>();
  return t;
}

}  // namespace activities
