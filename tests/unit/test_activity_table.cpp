// The activity table is the one list the shell learns its activities from: how many there are, so
// which digits choose something, how far finishing games unlocks, how far a progress file is
// believed, and each activity's help page and number. An activity the program does not have,
// registered in a test table at digit 3, is driven through the real loop.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "activities/register.hpp"
#include "app/shell/activity.hpp"
#include "app/start/config.hpp"
#include "app/shell/loop.hpp"
#include "media/input/clock.hpp"
#include "media/input/events.hpp"
#include "media/sound/sound.hpp"
#include "tests/unit/extra_activity.hpp"
#include "tests/unit/test_world.hpp"

using namespace app;

namespace {

std::string read_text(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void write_text(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class ExtraActivity : public testing::Test {
 protected:
  void SetUp() override {
    media::use_manual_clock(true);
    media::set_manual_clock(1000);
    // Enough pictures for the frames at 1 to start at once.
    std::vector<media::ImagePtr> pictures;
    for (int i = 0; i < 16; ++i)
      pictures.push_back(media::image_from_pixmap(media::create_pixmap(64, 48, media::PF_RGB), 0));
    world.set_pictures(pictures);
    progress = testing::TempDir() + "table-progress-" + std::to_string(::getpid()) + ".txt";
  }
  void TearDown() override {
    loop.reset();
    std::remove(progress.c_str());
    media::use_manual_clock(false);
    media::close_audio();
  }
  Loop& start(int level) {
    loop = std::make_unique<Loop>(world.assets, table, progress, level);
    return *loop;
  }
  extra::Swatch* swatch() const { return dynamic_cast<extra::Swatch*>(loop->current()); }

  tw::World world;
  ActivityTable table = extra::table_with_swatch();
  std::string progress;
  std::unique_ptr<Loop> loop;
};

}  // namespace

TEST_F(ExtraActivity, ItsDigitChoosesItAndTheNextDigitNothing) {
  ASSERT_EQ(table.count(), 3);
  EXPECT_EQ(table.entry(3).name, "swatch");
  start(2);
  tw::press_digit(*loop, 3);
  EXPECT_EQ(loop->state().activity, 0) << "locked at level 2";
  EXPECT_FALSE(loop->slot(3));

  start(3);
  tw::press_digit(*loop, 1);
  EXPECT_EQ(loop->state().activity, 1);
  EXPECT_TRUE(loop->current()) << "the program's own activities work in a table of three";
  tw::press_digit(*loop, 2);
  EXPECT_EQ(loop->state().activity, 2);
  EXPECT_TRUE(loop->current());
  tw::press_digit(*loop, 3);
  EXPECT_EQ(loop->state().activity, 3);
  ASSERT_TRUE(swatch());

  // Digits beyond the table do nothing, whatever the level says is open.
  start(9);
  tw::press_digit(*loop, 3);
  ASSERT_TRUE(swatch());
  for (int d = 4; d <= 9; ++d) {
    tw::press_digit(*loop, d);
    EXPECT_EQ(loop->state().activity, 3) << d;
    EXPECT_FALSE(loop->slot(d)) << d;
  }
  EXPECT_TRUE(swatch()) << "still the swatch, as it was";
}

TEST_F(ExtraActivity, FinishingTheLastOfTheTableUnlocksNothingMore) {
  start(3);
  tw::press_digit(*loop, 3);
  ASSERT_TRUE(swatch());
  tw::click_at(*loop, 500, 400);
  EXPECT_EQ(swatch()->clicks, 1);
  EXPECT_TRUE(swatch()->finished());
  EXPECT_EQ(loop->state().level, 3) << "3 is the last activity of this table";
  tw::press_digit(*loop, 4);
  EXPECT_EQ(loop->state().activity, 3);
  EXPECT_EQ(tw::press(*loop, media::Key::Escape), Turn::Quit);
  EXPECT_EQ(read_text(progress), "3\r\n") << "the progress file says what it always did";
}

TEST_F(ExtraActivity, TheProgressFileIsBelievedAsFarAsTheTableGoes) {
  write_text(progress, "9\r\n");
  const int level = load_progress(progress, 1, table.count());
  EXPECT_EQ(level, 3);
  start(level);
  tw::press_digit(*loop, 3);
  EXPECT_TRUE(swatch()) << "every activity of the table is open";
  write_text(progress, "2\r\n");
  EXPECT_EQ(load_progress(progress, 1, table.count()), 2) << "within the table: as written";
  EXPECT_EQ(load_progress(progress, 1, activities::activity_table().count()), 2);
  write_text(progress, "9\r\n");
  EXPECT_EQ(load_progress(progress, 1, activities::activity_table().count()), 9);
  EXPECT_EQ(load_progress(progress, 1, 0), 1) << "a table of none still starts at 1";
}

TEST(ActivityTable, HoldsAtMostOneActivityPerDigitKey) {
  const ActivityTable real = activities::activity_table();
  std::vector<ActivityEntry> nine(9, real.entry(1));
  EXPECT_EQ(ActivityTable(nine).count(), 9);
  std::vector<ActivityEntry> ten(10, real.entry(1));
  EXPECT_THROW(ActivityTable{ten}, std::length_error) << "there is no key for a tenth";
  const ActivityTable none;
  EXPECT_EQ(none.count(), 0);
  EXPECT_FALSE(none.has(1));
  EXPECT_FALSE(none[1]);
  EXPECT_FALSE(real[0]) << "0 is the title screen";
  EXPECT_FALSE(real[10]);
  EXPECT_FALSE(real[-1]);
}

// The program's own table: nine activities in digit order, each with the pictures it shows and the
// share of them it needs before it can start, known without building it.
TEST(ActivityTable, TheProgramHasNineActivitiesAndTheirPictureCounts) {
  const ActivityTable table = activities::activity_table();
  ASSERT_EQ(table.count(), 9);
  std::string names;
  for (int d = 1; d <= table.count(); ++d) names += table.entry(d).name + (d < table.count() ? " " : "");
  EXPECT_EQ(names, "frames count cards kaleid uncover where colour pairs jigsaw");
  const int shows[10] = {0, 16, 0, kEveryPicture, kEveryPicture, 1, 1, 0, 8, 1};
  const int to_start[10] = {0, 2, 0, kEveryPicture, kEveryPicture, 1, 1, 0, 8, 1};
  for (int d = 1; d <= table.count(); ++d) {
    EXPECT_TRUE(table[d]) << d;
    EXPECT_EQ(table[d].pictures(), shows[d]) << d;
    EXPECT_EQ(table[d].pictures_to_start(), to_start[d]) << d;
  }
}
