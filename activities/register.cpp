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
  app::ActivityTable t;
  t[1] = plain_maker<TFrames4>();
  t[2] = plain_maker<TCount>();
  t[3] = plain_maker<TBounce>();
  t[4] = plain_maker<TKaleid>();
  t[5] = jigsaw_maker(JigsawMode::Uncover);
  t[6] = jigsaw_maker(JigsawMode::Where);
  t[7] = app::ActivityMaker(&Colouring::make, Colouring::kTraits.pictures, Colouring::kTraits.pictures_to_start);
  t[8] = app::ActivityMaker(&Pairs::make, Pairs::kTraits.pictures, Pairs::kTraits.pictures_to_start);
  t[9] = jigsaw_maker(JigsawMode::Jigsaw);
  return t;
}

}  // namespace activities
