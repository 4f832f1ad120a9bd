#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <set>

#include "app/shell/effects.hpp"
#include "app/shell/furniture.hpp"
#include "media/input/events.hpp"
#include "media/sound/sound.hpp"
#include "tests/unit/test_world.hpp"

using namespace app;

TEST(Furniture, PointerTestsParityAndShuffle) {
  EXPECT_TRUE(point_in(10, 20, 10, 10, 20, 20));
  EXPECT_TRUE(point_in(10, 10, 10, 10, 20, 20)) << "edges included";
  EXPECT_FALSE(point_in(21, 15, 10, 10, 20, 20));
  EXPECT_FALSE(point_in(15, 9, 10, 10, 20, 20));
  EXPECT_TRUE(is_even(-4));
  EXPECT_FALSE(is_even(-3));
  EXPECT_TRUE(is_even(0));

  // A probe of one white pixel under an image whose right half is transparent.
  Assets assets;
  assets.probe_image = media::image_from_pixmap(
      [] {
        auto p = media::create_pixmap(1, 1, media::PF_RGB);
        media::write_pixel(*p, 0, 0, 0xFFFFFFFF);
        return p;
      }(),
      0);
  auto half = media::create_pixmap(4, 4, media::PF_RGBA);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) media::write_pixel(*half, x, y, x < 2 ? 0xFF00FF00 : 0x0000FF00);
  media::ImagePtr img = media::image_from_pixmap(half, -1);
  EXPECT_TRUE(point_over(assets, img, 100, 100, 101, 102));
  EXPECT_FALSE(point_over(assets, img, 100, 100, 102, 102)) << "transparent parts never count";

  media::seed_random(99);
  std::vector<int> one = {5};
  std::vector<int> out = shuffle_list(one);
  EXPECT_EQ(out, std::vector<int>{5});
  EXPECT_TRUE(one.empty());
  // Every order of three comes up, and every object is kept.
  std::set<std::vector<int>> seen;
  for (int i = 0; i < 300; ++i) {
    std::vector<int> l = {1, 2, 3};
    std::vector<int> s = shuffle_list(l);
    EXPECT_TRUE(l.empty());
    std::vector<int> sorted = s;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{1, 2, 3}));
    seen.insert(s);
  }
  EXPECT_EQ(seen.size(), 6u);
}

TEST(Furniture, SoundsLoadOnFirstPlayWithSoundOn) {
  const std::string data = std::string(PIPKIN_DATA_DIR) + "/";
  SoundEffects sounds(data);
  sounds.set_on(false);
  sounds.play(Effect::Magic);
  EXPECT_FALSE(sounds.loaded(Effect::Magic)) << "with sound off no file is read";
  sounds.set_on(true);
  sounds.play(Effect::Magic);
  EXPECT_TRUE(sounds.loaded(Effect::Magic));
  EXPECT_FALSE(sounds.loaded(Effect::Bounce));
  sounds.play(Effect::Bounce);
  EXPECT_TRUE(sounds.loaded(Effect::Bounce));
  // A missing file leaves the slot empty, and the next play tries again.
  std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / ("sounds-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "sound");
  SoundEffects later(dir.string() + "/");
  later.play(Effect::Ping);
  EXPECT_FALSE(later.loaded(Effect::Ping));
  std::filesystem::copy_file(data + "sound/ping.ogg", dir / "sound" / "ping.ogg");
  later.play(Effect::Ping);
  EXPECT_TRUE(later.loaded(Effect::Ping));
  std::filesystem::remove_all(dir);
}

// The break's soft tune plays like any effect, and turning sound off silences it at once (S on the
// break screen), not only what comes later.
TEST(Furniture, SoundOffSilencesWhatIsPlaying) {
  SoundEffects sounds(std::string(PIPKIN_DATA_DIR) + "/");
  media::stop_sounds();
  sounds.play(Effect::Break);
  sounds.play(Effect::Magic);
  EXPECT_EQ(media::channels_playing(), 2);
  sounds.set_on(false);
  EXPECT_EQ(media::channels_playing(), 0);
  sounds.play(Effect::Break);
  EXPECT_EQ(media::channels_playing(), 0);
}

namespace {

// A data folder of help pages for the tests below, removed with it.
struct HelpFolder {
  const std::string dir = testing::TempDir() + "help-pages-" + std::to_string(::getpid()) + "/";
  const std::string data = std::string(PIPKIN_DATA_DIR) + "/";
  HelpFolder() { std::filesystem::create_directories(dir + "help/fr"); }
  ~HelpFolder() { std::filesystem::remove_all(dir); }
  void put(const std::string& from, const std::string& to) const { std::filesystem::copy_file(data + from, dir + to); }
};

}  // namespace

// Help pages are read when first shown, not at start-up: each once, kept afterwards; a page that
// cannot be read is none, and asked again is not looked for again.
TEST(Furniture, HelpPagesAreReadOnFirstShowAndKept) {
  HelpFolder folder;
  folder.put("help/3.png", "help/3.png");
  tw::World world;
  world.assets.data_dir = folder.dir;
  media::ImagePtr page = world.assets.help_page("cards", 3);
  ASSERT_TRUE(page);
  std::filesystem::remove(folder.dir + "help/3.png");
  EXPECT_EQ(world.assets.help_page("cards", 3), page) << "kept after the first reading";
  EXPECT_FALSE(world.assets.help_page("kaleid", 4)) << "no file";
  folder.put("help/4.png", "help/4.png");
  EXPECT_FALSE(world.assets.help_page("kaleid", 4)) << "not looked for again";
  EXPECT_FALSE(world.assets.help_page("swatch10", std::nullopt)) << "no digit, no page of its own";
}

// A page is looked for in the chosen language, then in English by the activity's id, then as the
// page of its digit key. Each file here has its own width, so the width tells which was read.
TEST(Furniture, HelpPagesAreFoundByLanguageThenIdThenDigit) {
  HelpFolder folder;
  folder.put("images/white.bmp", "help/fr/count.png");
  folder.put("images/smiley.png", "help/count.png");
  folder.put("help/2.png", "help/2.png");
  folder.put("help/1.png", "help/1.png");
  folder.put("images/smiley.png", "help/swatch10.png");
  const int smiley = media::image_width(media::load_image(folder.data + "images/smiley.png", 0));
  const int page = media::image_width(media::load_image(folder.data + "help/1.png", 0));
  ASSERT_GT(page, smiley);
  ASSERT_GT(smiley, 1);
  struct Case {
    const char* language;
    const char* id;
    std::optional<int> digit;
    int width;
  };
  for (const Case c : {Case{"fr", "count", 2, 1}, {"en", "count", 2, smiley}, {"de", "count", 2, smiley},
                       {"fr", "frames", 1, page}, {"en", "swatch10", std::nullopt, smiley},
                       {"en", "swatch11", std::nullopt, 0}}) {
    tw::World world;
    world.assets.data_dir = folder.dir;
    world.assets.language = c.language;
    EXPECT_EQ(media::image_width(world.assets.help_page(c.id, c.digit)), c.width) << c.language << " " << c.id;
  }
}
