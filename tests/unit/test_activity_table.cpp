// The activity table is the one list the shell learns its activities from: how many there are, which
// of them the digits choose, how far finishing games unlocks, how far a progress file is believed,
// and each activity's id. An activity the program does not have, registered in test tables of three
// and of eleven, is driven through the real loop.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "activities/register.hpp"
#include "app/shell/activity.hpp"
#include "app/shell/loop.hpp"
#include "app/shell/progress.hpp"
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
  EXPECT_EQ(table.entry(3).id, "swatch3");
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
  const int level = load_progress(progress, 1, table);
  EXPECT_EQ(level, 3);
  start(level);
  tw::press_digit(*loop, 3);
  EXPECT_TRUE(swatch()) << "every activity of the table is open";
}

// Digits 1 to 9 choose the first nine activities of an eleven; the tenth and eleventh are there,
// opened in turn as the ninth was, and the progress file keeps them by their ids.
TEST_F(ExtraActivity, ElevenActivitiesTheDigitsChooseTheFirstNine) {
  table = extra::swatch_table(11);
  ASSERT_EQ(table.count(), 11);
  start(9);
  for (int d = 1; d <= 9; ++d) {
    tw::press_digit(*loop, d);
    EXPECT_EQ(loop->state().activity, d);
    EXPECT_TRUE(loop->current()) << d;
  }
  for (int place : {10, 11}) {
    EXPECT_TRUE(table[place]) << place;
    EXPECT_EQ(table.place_of(table.id_of(place)), place);
    EXPECT_FALSE(table.digit_of(place)) << "no key for " << place;
  }
  EXPECT_EQ(table.id_of(11), "swatch11");

  tw::click_at(*loop, 500, 400);
  ASSERT_TRUE(swatch() && swatch()->finished());
  EXPECT_EQ(loop->state().level, 10) << "finishing the ninth opens the tenth";
  EXPECT_FALSE(loop->slot(10));
  EXPECT_EQ(tw::press(*loop, media::Key::Escape), Turn::Quit);
  EXPECT_EQ(read_text(progress), "9\r\nswatch10\r\n") << "the first line as an older copy reads it";
  EXPECT_EQ(load_progress(progress, 1, table), 10);
  EXPECT_EQ(load_progress(progress, 1, activities::activity_table()), 9) << "a table without it: the nine";
}

// The key mapping: a digit chooses the place of its number among the first nine; past them, and
// past the table, nothing.
TEST(ActivityTable, DigitsChooseTheFirstNinePlaces) {
  struct Case {
    int count, digit, place;
  };
  for (const Case c : {Case{0, 1, 0}, {3, 3, 3}, {3, 4, 0}, {9, 9, 9}, {11, 9, 9}, {11, 10, 0}, {11, 0, 0}, {11, -1, 0}}) {
    const ActivityTable table = c.count ? extra::swatch_table(c.count) : ActivityTable();
    EXPECT_EQ(table.place_of_digit(c.digit), c.place) << c.count << " activities, digit " << c.digit;
    if (c.place) {
      EXPECT_EQ(table.digit_of(c.place), c.digit);
    }
  }
  const ActivityTable eleven = extra::swatch_table(11);
  EXPECT_EQ(eleven.digit_of(0), 0) << "the title screen";
  EXPECT_EQ(eleven.id_of(0), kTitleId);
  EXPECT_EQ(eleven.place_of("nothing"), 0);
  EXPECT_FALSE(eleven[0]);
  EXPECT_FALSE(eleven[12]);
  EXPECT_FALSE(eleven[-1]);
}

// The program's own table: its activities in order, each with the pictures it shows and the share
// of them it needs before it can start, known without building it.
TEST(ActivityTable, TheProgramsActivitiesAndTheirPictureCounts) {
  struct Row {
    const char* id;
    int shows, to_start;
  };
  const Row rows[] = {{"frames", 16, 2},
                      {"count", 0, 0},
                      {"cards", kEveryPicture, kEveryPicture},
                      {"kaleid", kEveryPicture, kEveryPicture},
                      {"uncover", 1, 1},
                      {"where", 1, 1},
                      {"colour", 0, 0},
                      {"pairs", 8, 8},
                      {"jigsaw", 1, 1}};
  const ActivityTable table = activities::activity_table();
  ASSERT_EQ(table.count(), static_cast<int>(std::size(rows)));
  for (int place = 1; place <= table.count(); ++place) {
    const Row& row = rows[place - 1];
    EXPECT_EQ(table.id_of(place), row.id) << place;
    EXPECT_EQ(table[place].pictures(), row.shows) << row.id;
    EXPECT_EQ(table[place].pictures_to_start(), row.to_start) << row.id;
  }
}
