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
  return app::ActivityTable({
      {"frames", factory_maker<PictureFrames>()},
      {"count", factory_maker<CountingBalls>()},
      {"cards", factory_maker<BouncingCards>()},
      {"kaleid", factory_maker<Kaleidoscope>()},
      {"uncover", puzzle_maker<Uncover>()},
      {"where", puzzle_maker<Where>()},
      {"colour", factory_maker<Colouring>()},
      {"pairs", factory_maker<Pairs>()},
      {"jigsaw", puzzle_maker<Jigsaw>()},
  });
}

}  // namespace activities
