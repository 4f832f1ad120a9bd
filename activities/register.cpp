#include "activities/register.hpp"

#include "activities/bounce.hpp"
#include "activities/colour.hpp"
#include "activities/count.hpp"
#include "activities/frames.hpp"
#include "activities/jigsaw.hpp"
#include "activities/kaleid.hpp"
#include "activities/pairs.hpp"
#include "activities/uncover.hpp"
#include "activities/where.hpp"

namespace activities {

app::ActivityTable activity_table() {
  app::ActivityTable t;
  t[1] = factory_maker<PictureFrames>();
  t[2] = factory_maker<CountingBalls>();
  t[3] = factory_maker<BouncingCards>();
  t[4] = factory_maker<Kaleidoscope>();
  t[5] = puzzle_maker<Uncover>();
  t[6] = puzzle_maker<Where>();
  t[7] = factory_maker<Colouring>();
  t[8] = factory_maker<Pairs>();
  t[9] = puzzle_maker<Jigsaw>();
  return t;
}

}  // namespace activities
