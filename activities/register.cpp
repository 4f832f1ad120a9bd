#include "activities/register.hpp"

#include "activities/bounce.hpp"
#include "activities/colour.hpp"
#include "activities/count.hpp"
#include "activities/frames.hpp"
#include "activities/jigsaw_core.hpp"
#include "activities/kaleid.hpp"
#include "activities/pairs.hpp"

namespace activities {

app::ActivityTable activity_table() {
  app::ActivityTable t;
  t[1] = factory_maker<PictureFrames>();
  t[2] = factory_maker<CountingBalls>();
  t[3] = factory_maker<BouncingCards>();
  t[4] = factory_maker<Kaleidoscope>();
  t[5] = jigsaw_maker(JigsawMode::Uncover);
  t[6] = jigsaw_maker(JigsawMode::Where);
  t[7] = app::ActivityMaker(&Colouring::make, Colouring::kTraits.pictures, Colouring::kTraits.pictures_to_start);
  t[8] = app::ActivityMaker(&Pairs::make, Pairs::kTraits.pictures, Pairs::kTraits.pictures_to_start);
  t[9] = jigsaw_maker(JigsawMode::Jigsaw);
  return t;
}

}  // namespace activities
