#include <gtest/gtest.h>

#include <string>

#include "media/display/draw.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/display/font.hpp"

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

// The font and the clip belong to the saved state too, whether set plainly or by a nested scope.
TEST(SavedDrawState, PutsTheFontAndTheClipBack) {
  media::reset_draw_state();
  media::set_font(nullptr);
  const media::FontPtr big = media::load_font(std::string(PIPKIN_DATA_DIR) + "/fonts/Tahoma.ttf", 40);
  const media::FontPtr small = media::load_font(std::string(PIPKIN_DATA_DIR) + "/fonts/Tahoma.ttf", 12);
  ASSERT_TRUE(big && small);
  media::set_clip(1, 2, 3, 4);
  {
    media::SavedDrawState outer;
    media::set_font(big);
    media::clear_clip();
    EXPECT_FALSE(media::draw_state().clip);
    {
      media::SavedDrawState inner;
      media::set_font(small);
      media::set_clip(10, 20, 30, 40);
      EXPECT_EQ(media::current_font(), small);
    }
    EXPECT_EQ(media::current_font(), big);
    EXPECT_GT(media::text_height(), 40) << "text is measured in the font put back";
    EXPECT_FALSE(media::draw_state().clip) << "no limit, as before the inner scope";
    media::set_clip(5, 6, 7, 8);
  }
  EXPECT_EQ(media::current_font(), nullptr);
  EXPECT_EQ(media::text_height(), 18) << "the built-in font";
  ASSERT_TRUE(media::draw_state().clip);
  EXPECT_EQ(*media::draw_state().clip, (media::ClipRect{1, 2, 3, 4}));
  media::reset_draw_state();
  EXPECT_FALSE(media::draw_state().clip) << "the start values have no limit";
}

// A ScopedClip puts back whatever limit it found, none included; a negative size limits to nothing.
TEST(ScopedClip, PutsTheLimitItFoundBack) {
  media::reset_draw_state();
  {
    media::ScopedClip outer(100, 50, 40, 30);
    {
      media::ScopedClip inner(120, 60, -5, 5);
      EXPECT_EQ(*media::draw_state().clip, (media::ClipRect{120, 60, 0, 5}));
    }
    EXPECT_EQ(*media::draw_state().clip, (media::ClipRect{100, 50, 40, 30}));
  }
  EXPECT_FALSE(media::draw_state().clip);
}
