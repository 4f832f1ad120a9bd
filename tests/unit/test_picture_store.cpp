// The picture store: folder order while files finish out of order, growth at the end only, bad files
// left out, how many workers, holding and releasing (and stopping while held), the workers' decodes
// as background work, the cache of shown pictures (eviction, restore, reuse of a picture
// still held) and the real codec's fitting and compact keeping.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <set>
#include <thread>

#include "app/shell/activity.hpp"
#include "app/pictures/picture_loading.hpp"
#include "app/pictures/picture_store.hpp"
#include "media/decode/decode.hpp"
#include "media/decode/decode_budget.hpp"
#include "media/decode/encode.hpp"
#include "tests/unit/eventually.hpp"
#include "tests/unit/heif_images.hpp"
#include "tests/unit/sample_images.hpp"

namespace {

using app::CompactPicture;
using app::PictureCodec;
using app::PictureStore;

// A codec whose loads finish only when the test lets them: "pN" becomes a picture N pixels wide,
// names holding "bad" fail. Restores are counted by the store.
struct GatedCodec {
  std::mutex m;
  std::condition_variable cv;
  std::set<std::string> allowed;
  bool allow_all = false;
  int finished = 0;
  int inside = 0;       // loads under way
  int most_inside = 0;  // at once

  PictureCodec codec() {
    PictureCodec c;
    c.load = [this](const std::string& path, CompactPicture& out, std::string& error) {
      std::string name = path.substr(path.rfind('/') + 1);
      std::unique_lock<std::mutex> lock(m);
      most_inside = std::max(most_inside, ++inside);
      cv.notify_all();
      cv.wait(lock, [&] { return allow_all || allowed.count(name); });
      --inside;
      ++finished;
      cv.notify_all();
      if (name.find("bad") != std::string::npos) {
        error = "broken";
        return false;
      }
      out.jpeg = name.substr(1);
      return true;
    };
    c.restore = [](const CompactPicture& p) {
      auto img = std::make_shared<media::Image>();
      img->width = std::stoi(p.jpeg);
      return img;
    };
    return c;
  }
  void allow(std::initializer_list<const char*> names) {
    std::lock_guard<std::mutex> lock(m);
    for (const char* n : names) allowed.insert(n);
    cv.notify_all();
  }
  void allow_everything() {
    std::lock_guard<std::mutex> lock(m);
    allow_all = true;
    cv.notify_all();
  }
  void wait_finished(int n) {
    std::unique_lock<std::mutex> lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(60), [&] { return finished >= n; }));
  }
  void wait_inside(int n) {
    std::unique_lock<std::mutex> lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(60), [&] { return inside >= n; }));
  }
};

std::vector<std::string> names(int n) {
  std::vector<std::string> v;
  for (int i = 0; i < n; ++i) v.push_back("p" + std::to_string(i));
  return v;
}

// Polls until n pictures are published: a load has returned a moment before its result is stored.
void poll_until_count(PictureStore& s, size_t n) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (s.count() < n && std::chrono::steady_clock::now() < end) {
    s.poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(s.count(), n);
}

std::vector<int> widths(const PictureStore& s) {
  std::vector<int> w;
  for (size_t i = 0; i < s.count(); ++i) w.push_back(s.at(i) ? s.at(i)->width : -1);
  return w;
}

TEST(PictureStore, PublishesOnlyTheFinishedStartOfTheFolderInOrder) {
  GatedCodec g;
  PictureStore s;
  s.start("pics", names(6), g.codec(), 3);
  EXPECT_TRUE(s.loading());
  EXPECT_EQ(s.files(), 6u);
  g.allow({"p1", "p2"});
  g.wait_finished(2);
  s.poll();
  EXPECT_EQ(s.count(), 0u) << "picture 0 is not in yet, so nothing after it may show";
  EXPECT_EQ(s.files_done(), 0u);
  g.allow({"p0"});
  poll_until_count(s, 3);
  EXPECT_EQ(widths(s), (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(s.poll()) << "nothing new";
  g.allow({"p4", "p5"});
  g.wait_finished(5);
  s.poll();
  EXPECT_EQ(s.count(), 3u);
  g.allow({"p3"});
  s.wait();
  EXPECT_FALSE(s.loading());
  EXPECT_EQ(widths(s), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(PictureStore, BadFilesAreLeftOutAndTheRestKeepTheirOrder) {
  GatedCodec g;
  g.allow_everything();
  PictureStore s;
  s.start("pics", {"p7", "bad1", "p3", "bad2", "p9"}, g.codec(), 2);
  testing::internal::CaptureStderr();
  s.wait();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(widths(s), (std::vector<int>{7, 3, 9}));
  EXPECT_EQ(s.files_done(), 5u);
  EXPECT_FALSE(s.loading());
  EXPECT_NE(err.find("pics/bad1: left out: broken"), std::string::npos) << err;
  EXPECT_NE(err.find("pics/bad2: left out: broken"), std::string::npos) << err;
  EXPECT_LT(err.find("bad1"), err.find("bad2")) << "reported in folder order";
}

TEST(PictureStore, HeldLoadingStopsPartWayUntilReleased) {
  GatedCodec g;
  g.allow_everything();
  std::atomic<bool> go{false};
  PictureStore s;
  s.start("pics", names(10), g.codec(), 2, 4, [&] { return go.load(); });
  s.wait();
  EXPECT_EQ(s.count(), 4u);
  EXPECT_TRUE(s.loading());
  go = true;
  s.wait();
  EXPECT_EQ(s.count(), 10u);
  EXPECT_FALSE(s.loading());
}

using tw::eventually;

// Whether `work` ends (on another thread); the deadline only turns a hang into a failure.
template <typename Work>
bool ends(Work work) {
  auto done = std::async(std::launch::async, work);
  return done.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
}

TEST(PictureStore, HeldWorkersWaitUntilThePollSeesTheRelease) {
  GatedCodec g;
  g.allow_everything();
  std::atomic<bool> go{false};
  std::mutex asked_m;
  std::set<std::thread::id> asked_by;
  PictureStore s;
  s.start("pics", names(6), g.codec(), 2, 3, [&] {
    std::lock_guard<std::mutex> lock(asked_m);
    asked_by.insert(std::this_thread::get_id());
    return go.load();
  });
  s.wait();
  EXPECT_EQ(s.count(), 3u);
  ASSERT_TRUE(eventually([&] { return s.workers_held() == 2; })) << "both workers wait at the hold";
  s.poll();
  EXPECT_EQ(s.workers_held(), 2u) << "not released yet";
  go = true;
  poll_until_count(s, 6);  // the main thread's poll, as the program's loop does it, lets them go on
  EXPECT_EQ(s.workers_held(), 0u);
  EXPECT_FALSE(s.loading());
  EXPECT_EQ(asked_by, (std::set<std::thread::id>{std::this_thread::get_id()}))
      << "only the main thread asks whether the hold is released";
}

TEST(PictureStore, StoppingAHeldStoreEnds) {
  GatedCodec g;
  g.allow_everything();
  auto never = [] { return false; };
  PictureStore s;
  s.start("pics", names(5), g.codec(), 2, 1, never);
  ASSERT_TRUE(eventually([&] { return s.workers_held() == 2; }));
  EXPECT_TRUE(ends([&] { s.clear(); })) << "clearing stops the held workers";
  EXPECT_EQ(s.count(), 0u);

  // And so does dropping a store whose workers are all held, and starting a held one again.
  EXPECT_TRUE(ends([&] {
    PictureStore t;
    t.start("pics", names(5), g.codec(), 2, 0, never);
    ASSERT_TRUE(eventually([&] { return t.workers_held() == 2; }));
    t.start("pics", names(3), g.codec(), 2, 0, never);
    ASSERT_TRUE(eventually([&] { return t.workers_held() == 2; }));
  }));
}

TEST(PictureStore, WorkersAreAtLeastOneAndAtMostTheLimit) {
  GatedCodec g;
  PictureStore s;
  s.start("pics", names(20), g.codec(), 100);
  g.wait_inside(static_cast<int>(PictureStore::kMaxWorkers));
  g.allow_everything();
  s.wait();
  EXPECT_EQ(s.count(), 20u);
  EXPECT_EQ(g.most_inside, static_cast<int>(PictureStore::kMaxWorkers));

  GatedCodec one;
  one.allow_everything();
  PictureStore t;
  t.start("pics", names(3), one.codec(), 0);
  t.wait();
  EXPECT_EQ(t.count(), 3u) << "asked for none, one worker still loads them";
  EXPECT_EQ(one.most_inside, 1);
}

TEST(PictureStore, WorkersDecodeInTheBackgroundAndShowingIsForeground) {
  std::atomic<int> loads{0}, background_loads{0};
  std::atomic<bool> restored_in_foreground{false};
  PictureCodec c;
  c.load = [&](const std::string&, CompactPicture& out, std::string&) {
    ++loads;
    if (media::decode_priority() == media::DecodePriority::Background) ++background_loads;
    out.jpeg = "1";
    return true;
  };
  c.restore = [&](const CompactPicture&) {
    restored_in_foreground = media::decode_priority() == media::DecodePriority::Foreground;
    return std::make_shared<media::Image>();
  };
  PictureStore s;
  s.start("pics", names(4), c, 2);
  s.wait();
  ASSERT_EQ(s.count(), 4u);
  EXPECT_EQ(loads.load(), 4);
  EXPECT_EQ(background_loads.load(), 4);
  ASSERT_TRUE(s.at(0));
  EXPECT_TRUE(restored_in_foreground);
}

TEST(PictureStore, ShownPicturesAreCachedEvictedAndBroughtBack) {
  GatedCodec g;
  g.allow_everything();
  PictureStore s;
  s.set_cache_size(2);
  s.start("pics", names(5), g.codec(), 2);
  s.wait();
  ASSERT_EQ(s.count(), 5u);
  EXPECT_EQ(s.restores(), 0u) << "nothing is an image before it is shown";
  EXPECT_EQ(s.at(0)->width, 0);
  EXPECT_EQ(s.at(1)->width, 1);
  EXPECT_EQ(s.restores(), 2u);
  EXPECT_EQ(s.at(0)->width, 0);
  EXPECT_EQ(s.restores(), 2u) << "cached";
  EXPECT_EQ(s.at(2)->width, 2);  // evicts 1, the least recently shown
  EXPECT_EQ(s.images_held(), 2u);
  EXPECT_EQ(s.at(0)->width, 0);
  EXPECT_EQ(s.restores(), 3u);
  EXPECT_EQ(s.at(1)->width, 1);
  EXPECT_EQ(s.restores(), 4u) << "brought back after eviction";

  // A picture an activity still holds is the same object when asked for again, even if evicted.
  media::ImagePtr held = s.at(3);
  s.at(4);
  s.at(0);
  EXPECT_EQ(s.images_held(), 2u);
  size_t before = s.restores();
  EXPECT_EQ(s.at(3), held);
  EXPECT_EQ(s.restores(), before);
  EXPECT_EQ(s.at(5), nullptr) << "out of range";
}

TEST(PictureStore, AddedPicturesStayAndClearEmpties) {
  PictureStore s;
  auto a = std::make_shared<media::Image>();
  s.add(a);
  s.add(nullptr);
  EXPECT_EQ(s.count(), 2u);
  EXPECT_FALSE(s.loading());
  EXPECT_EQ(s.at(0), a);
  EXPECT_EQ(s.at(1), nullptr);
  s.clear();
  EXPECT_EQ(s.count(), 0u);
}

TEST(PictureStore, ClearingWhileLoadingStopsTheWorkers) {
  GatedCodec g;
  PictureStore s;
  s.start("pics", names(50), g.codec(), 2);
  g.allow({"p0"});
  g.wait_finished(1);
  g.allow_everything();
  s.clear();  // joins the workers; must not hang or crash
  EXPECT_EQ(s.count(), 0u);
  EXPECT_FALSE(s.loading());
}

TEST(PictureStore, ActivitiesStartOnceThePicturesTheyShowAreIn) {
  GatedCodec g;
  PictureStore s;
  s.start("pics", names(20), g.codec(), 2);
  EXPECT_TRUE(app::pictures_ready(s, 0)) << "an activity without pictures starts at once";
  EXPECT_FALSE(app::pictures_ready(s, 1));
  EXPECT_FALSE(app::pictures_ready(s, app::kEveryPicture));
  g.allow({"p0"});
  poll_until_count(s, 1);
  EXPECT_TRUE(app::pictures_ready(s, 1));
  EXPECT_TRUE(app::pictures_ready(s, app::kEveryPicture)) << "any of them: one is enough";
  EXPECT_FALSE(app::pictures_ready(s, 8));
  g.allow({"p1", "p2", "p3", "p4", "p5", "p6", "p7"});
  poll_until_count(s, 8);
  EXPECT_TRUE(app::pictures_ready(s, 8));
  EXPECT_FALSE(app::pictures_ready(s, 16));
  g.allow_everything();
  s.wait();
  EXPECT_TRUE(app::pictures_ready(s, 16));

  // A folder with fewer than sixteen: an activity showing sixteen starts once loading has ended.
  GatedCodec few;
  few.allow_everything();
  PictureStore t;
  t.start("pics", names(3), few.codec(), 2);
  t.wait();
  EXPECT_TRUE(app::pictures_ready(t, 16));
}

// A codec whose files "hN" carry a preview (a picture 1 pixel wide) and whose full pictures are
// N + 100 wide; names holding "bad" have a preview but no full picture. Full loads are recorded
// in order.
struct PreviewCodec {
  std::mutex m;
  std::vector<std::string> fulls;
  PictureCodec codec() {
    PictureCodec c;
    c.preview = [](const std::string& path, CompactPicture& out) {
      if (path.find("/h") == std::string::npos) return false;
      out.jpeg = "1";
      return true;
    };
    c.load = [this](const std::string& path, CompactPicture& out, std::string& error) {
      const std::string name = path.substr(path.rfind('/') + 1);
      std::lock_guard<std::mutex> lock(m);
      fulls.push_back(name);
      if (name.find("bad") != std::string::npos) {
        error = "broken";
        return false;
      }
      out.jpeg = std::to_string(std::stoi(name.substr(1)) + 100);
      return true;
    };
    c.restore = [](const CompactPicture& p) {
      auto img = std::make_shared<media::Image>();
      img->width = 1024;  // every picture is screen-sized; only its pixels differ
      img->source = media::create_pixmap(std::stoi(p.jpeg), 1, media::PF_RGB);
      return img;
    };
    return c;
  }
};

// Previews are published first; with full pictures held they stay previews, and once let go each
// full picture takes its preview's place, in the very image already handed out.
TEST(PictureStore, PreviewsComeFirstAndTheFullPictureReplacesThemInPlace) {
  PreviewCodec codec;
  bool release = false;
  PictureStore s;
  s.prepare("pics", {"h0", "p1", "h2", "h3bad"}, codec.codec(), 2, SIZE_MAX, [&] { return release; });
  s.hold_full_pictures();
  s.run();
  s.wait();
  ASSERT_EQ(s.count(), 4u) << "a file with a preview counts as in";
  EXPECT_EQ(s.previews(), 3u);
  EXPECT_EQ(codec.fulls, (std::vector<std::string>{"p1"})) << "only the file without a preview was decoded";
  media::ImagePtr shown = s.at(0);
  ASSERT_TRUE(shown && shown->source);
  EXPECT_EQ(shown->source->width, 1);
  EXPECT_FALSE(s.take_shown_replaced());

  release = true;
  s.wait();
  EXPECT_EQ(s.previews(), 0u);
  EXPECT_EQ(shown->source->width, 100) << "the image on screen now holds the full picture";
  EXPECT_TRUE(s.take_shown_replaced());
  EXPECT_FALSE(s.take_shown_replaced()) << "told once";
  EXPECT_EQ(s.at(2)->source->width, 102);
  EXPECT_EQ(s.at(3)->source->width, 1) << "no full picture: its preview stays";
  EXPECT_EQ(s.count(), 4u);
}

// The full pictures of previews on screen come before the rest, the most recently shown first.
TEST(PictureStore, PreviewsOnScreenAreBroughtToFullQualityFirst) {
  PreviewCodec codec;
  bool release = false;
  PictureStore s;
  s.prepare("pics", {"h0", "h1", "h2", "h3", "h4", "h5"}, codec.codec(), 1, SIZE_MAX, [&] { return release; });
  s.hold_full_pictures();
  s.run();
  s.wait();
  ASSERT_EQ(s.count(), 6u);
  media::ImagePtr a = s.at(4), b = s.at(2);
  release = true;
  s.wait();
  ASSERT_EQ(codec.fulls.size(), 6u);
  EXPECT_EQ(codec.fulls[0], "h2");
  EXPECT_EQ(codec.fulls[1], "h4");
  EXPECT_EQ(codec.fulls[2], "h0") << "then folder order";
}

// The real codec on real files.
class RealPictures : public testing::Test {
 protected:
  std::filesystem::path dir;
  void SetUp() override {
    // One folder per test: ctest runs them side by side.
    dir = std::filesystem::path(testing::TempDir()) /
          ("store-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
  }
};

TEST_F(RealPictures, CameraPhotoIsKeptSmallAndShownAtScreenSize) {
  samples::JpegSpec spec;
  spec.width = 4000;
  spec.height = 3000;
  write("a.jpg", samples::encode_jpeg(spec, [](int x, int y, uint8_t* px) { samples::photo_pixel(x / 4, y / 4, px); }));
  // Turned a quarter by its EXIF tag: shown upright, 768 wide.
  spec.width = 2000;
  spec.height = 1500;
  spec.app1 = samples::exif_orientation(6, false);
  write("b.jpg", samples::encode_jpeg(spec, [](int x, int, uint8_t* px) { px[0] = x < 1000 ? 250 : 10, px[1] = 10, px[2] = 10; }));
  PictureStore s = app::load_pictures(dir.string(), 1024, 768);
  ASSERT_EQ(s.count(), 2u);
  EXPECT_LT(s.compact_bytes(), 2u * 400 * 1024) << "kept as compact JPEGs, not pixels";
  const size_t ia = app::picture_names(dir.string())[0] == "a.jpg" ? 0 : 1;

  media::ImagePtr a = s.at(ia);
  ASSERT_TRUE(a && a->source);  // no display here, so the pixels stay
  EXPECT_EQ(a->width, 1024);
  EXPECT_EQ(a->height, 768);
  EXPECT_EQ(a->source->width, 1000) << "decoded at 1/4 and stretched the last 2.4% when drawn";
  EXPECT_EQ(a->source->height, 750);
  uint8_t want[3];
  samples::photo_pixel(500, 375, want);
  uint32_t got = media::read_pixel(*a->source, 500, 375);
  EXPECT_NEAR(static_cast<int>((got >> 16) & 255), want[0], 24);
  EXPECT_NEAR(static_cast<int>((got >> 8) & 255), want[1], 24);

  media::ImagePtr b = s.at(1 - ia);
  ASSERT_TRUE(b && b->source);
  EXPECT_EQ(b->width, 1024);
  EXPECT_EQ(b->height, 768);
  // Turned clockwise: the file's red left half is now the top. The cut keeps the middle rows.
  const media::Pixmap& p = *b->source;
  EXPECT_GT((media::read_pixel(p, p.width / 2, 2) >> 16) & 255, 200u);
  EXPECT_LT((media::read_pixel(p, p.width / 2, p.height - 3) >> 16) & 255, 60u);
  EXPECT_NEAR(double(p.width) / p.height, 1024.0 / 768, 0.02);
}

// A HEIC with a thumbnail large enough is shown from it until its full picture is in; one whose
// thumbnail is too small for the screen is decoded whole at once.
TEST_F(RealPictures, HeicIsShownFromItsThumbnailWhenItIsLargeEnough) {
  heif_samples::HeifSpec spec;
  spec.width = 1280;
  spec.height = 960;
  spec.quality = 50;
  auto fill = [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); };
  spec.thumbnail = 400;
  write("a.heic", heif_samples::encode_heif(spec, fill));
  spec.thumbnail = 160;
  write("b.heic", heif_samples::encode_heif(spec, fill));
  if (!heif_samples::can_encode(heif_compression_HEVC)) GTEST_SKIP() << "no HEVC encoder";
  bool release = false;
  PictureStore s;
  s.prepare(dir.string(), {"a.heic", "b.heic"}, app::screen_codec(1024, 768), 2, SIZE_MAX, [&] { return release; });
  s.hold_full_pictures();
  s.run();
  s.wait();
  ASSERT_EQ(s.count(), 2u);
  EXPECT_EQ(s.previews(), 1u);
  media::ImagePtr a = s.at(0), b = s.at(1);
  ASSERT_TRUE(a && a->source && b && b->source);
  EXPECT_EQ(a->width, 1024);
  EXPECT_EQ(a->height, 768);
  EXPECT_EQ(a->source->width, 400) << "the thumbnail, stretched when drawn";
  EXPECT_EQ(b->source->width, 1024) << "too small a thumbnail: the full picture at once";
  release = true;
  s.wait();
  EXPECT_EQ(s.previews(), 0u);
  EXPECT_EQ(a->source->width, 1024);
  EXPECT_EQ(a->source->height, 768);
}

TEST_F(RealPictures, PictureWithTransparencyKeepsItsAlpha) {
  samples::PngSpec spec;
  spec.width = 64;
  spec.height = 48;
  spec.colour_type = PNG_COLOR_TYPE_RGBA;
  write("t.png", samples::encode_png(spec, [](int x, int, uint8_t* px) {
    px[0] = 200, px[1] = 100, px[2] = 50, px[3] = x < 32 ? 0 : 255;
  }));
  PictureStore s = app::load_pictures(dir.string(), 1024, 768);
  ASSERT_EQ(s.count(), 1u);
  media::ImagePtr img = s.at(0);
  ASSERT_TRUE(img && img->source);
  EXPECT_EQ((media::read_pixel(*img->source, 2, 2) >> 24) & 255, 0u);
  EXPECT_EQ((media::read_pixel(*img->source, 60, 2) >> 24) & 255, 255u);
}

// A drawing at screen size keeps every pixel exactly, deflated to a small part of its 3 MB; a file
// too big to be a picture is refused unread with one line; the decode budget is all given back.
TEST_F(RealPictures, DrawingsKeepExactPixelsCompactlyAndHugeFilesAreRefused) {
  auto colour = [](int x, int y, uint8_t* px) {
    px[0] = static_cast<uint8_t>(x / 128 * 30), px[1] = static_cast<uint8_t>(y / 96 * 30),
    px[2] = static_cast<uint8_t>((x + y) % 7);  // a little detail, which JPEG would blur
  };
  samples::PngSpec spec;
  spec.width = 1024;
  spec.height = 768;
  write("a.png", samples::encode_png(spec, colour));
  {
    // Sparse: 201 MB long without writing it.
    std::ofstream big(dir / "b.png", std::ios::binary);
    big.seekp((201 << 20) - 1);
    big.put('\0');
  }
  testing::internal::CaptureStderr();
  PictureStore s = app::load_pictures(dir.string(), 1024, 768);
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(s.count(), 1u);
  EXPECT_LT(s.compact_bytes(), 300u * 1024) << "deflated, not 3 MB of pixels";
  EXPECT_EQ(media::decode_budget().in_use(), 0u);
  EXPECT_NE(err.find("b.png: left out: too big for a picture (201 MB; at most 200 MB are read)"), std::string::npos)
      << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

  media::ImagePtr img = s.at(0);
  ASSERT_TRUE(img && img->source);
  int wrong = 0;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) {
      uint8_t want[3];
      colour(x, y, want);
      const uint32_t got = media::read_pixel(*img->source, x, y);
      wrong += ((got >> 16) & 255) != want[0] || ((got >> 8) & 255) != want[1] || (got & 255) != want[2];
    }
  EXPECT_EQ(wrong, 0);
}

TEST(PackedPixmap, UnpacksExactlyAndRefusesDamagedBytes) {
  media::PixmapPtr p = media::create_pixmap(37, 11, media::PF_BGR);
  for (int y = 0; y < p->height; ++y)
    for (int x = 0; x < p->width; ++x) media::write_pixel(*p, x, y, 0xFF000000u | uint32_t(x * 7919 + y * 104729));
  media::PackedPixmap packed = media::pack_pixmap(*p);
  ASSERT_FALSE(packed.bytes.empty());
  media::PixmapPtr back = media::unpack_pixmap(packed);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->format, media::PF_BGR);
  EXPECT_EQ(back->width, 37);
  EXPECT_EQ(back->pixels, p->pixels);
  media::PackedPixmap cut = packed;
  cut.bytes.resize(cut.bytes.size() / 2);
  EXPECT_EQ(media::unpack_pixmap(cut), nullptr);
  media::PackedPixmap other = packed;
  other.height = 12;
  EXPECT_EQ(media::unpack_pixmap(other), nullptr) << "fewer bytes than the size says";
  EXPECT_EQ(media::unpack_pixmap(media::PackedPixmap{}), nullptr);
}

TEST_F(RealPictures, ManyPicturesAreAllReachableAfterEviction) {
  samples::JpegSpec spec;
  spec.width = 320;
  spec.height = 240;
  for (int i = 0; i < 40; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "c%03d.jpg", i);
    write(name, samples::encode_jpeg(spec, [i](int, int, uint8_t* px) { px[0] = uint8_t(i * 6), px[1] = 128, px[2] = uint8_t(250 - i * 6); }));
  }
  // read_dir lists in the file system's order; the store keeps whatever that order is.
  std::vector<std::string> order = app::picture_names(dir.string());
  PictureStore s = app::load_pictures(dir.string(), 1024, 768);
  ASSERT_EQ(s.count(), 40u);
  for (size_t k = 0; k < 40; ++k) {
    int i = std::stoi(order[k].substr(1, 3));
    media::ImagePtr img = s.at(k);
    ASSERT_TRUE(img && img->source) << k;
    uint32_t c = media::read_pixel(*img->source, img->source->width / 2, img->source->height / 2);
    EXPECT_NEAR(static_cast<int>((c >> 16) & 255), i * 6, 6) << order[k];
    EXPECT_NEAR(static_cast<int>(c & 255), 250 - i * 6, 6) << order[k];
  }
  EXPECT_LE(s.images_held(), PictureStore::kCachedImages);
}

}  // namespace
