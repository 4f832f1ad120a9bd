#include <gtest/gtest.h>

#include "media/draw.hpp"

// Whatever a scope changes, the state it found comes back at its end, nested scopes included.
TEST(SavedDrawState, PutsEveryPartOfTheStateBack) {
  media::reset_draw_state();
  media::set_colour(10, 20, 30);
  media::set_blend(media::Blend::Light);
  const media::DrawState before = media::draw_state();
  {
    media::SavedDrawState outer;
    media::set_colour(1, 2, 3);
    media::set_alpha(0.25f);
    media::set_blend(media::Blend::Alpha);
    media::set_clear_colour(9, 8, 7);
    {
      media::SavedDrawState inner;
      media::set_transform(90, 2, -1);
      EXPECT_FLOAT_EQ(media::draw_state().rotation, 90);
    }
    EXPECT_FLOAT_EQ(media::draw_state().rotation, 0);
    EXPECT_FLOAT_EQ(media::draw_state().scale_x, 1);
    EXPECT_FLOAT_EQ(media::draw_state().ix, 1) << "the matrix comes back with rotation and scale";
    EXPECT_EQ(media::blend(), media::Blend::Alpha);
    EXPECT_EQ(media::draw_state().r, 1);
  }
  const media::DrawState& after = media::draw_state();
  EXPECT_EQ(after.r, before.r);
  EXPECT_EQ(after.g, before.g);
  EXPECT_EQ(after.b, before.b);
  EXPECT_FLOAT_EQ(after.alpha, before.alpha);
  EXPECT_EQ(after.blend, media::Blend::Light);
  EXPECT_EQ(media::blend(), media::Blend::Light);
  EXPECT_EQ(after.clear_r + after.clear_g + after.clear_b, 0);
  EXPECT_FLOAT_EQ(after.jy, 1);
  media::reset_draw_state();
}
