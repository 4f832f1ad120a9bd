#include "activities/register.hpp"

#include "activities/bounce.hpp"
#include "activities/colour.hpp"
#include "activities/count.hpp"
#include "activities/frames4.hpp"
#include "activities/jigsaw_core.hpp"
#include "activities/kaleid.hpp"
#include "activities/pairs.hpp"

namespace activities {

app::ActivityTable activity_table() {
  return app::ActivityTable({
      {"frames", plain_maker<TFrames4>()},
      {"count", plain_maker<TCount>()},
      {"cards", plain_maker<TBounce>()},
      {"kaleid", plain_maker<TKaleid>()},
      {"uncover", jigsaw_maker(JigsawMode::Uncover)},
      {"where", jigsaw_maker(JigsawMode::Where)},
      {"colour", plain_maker<TColour>()},
      {"pairs", plain_maker<TPairs>()},
      {"jigsaw", jigsaw_maker(JigsawMode::Jigsaw)},
  });
}

}  // namespace activities
