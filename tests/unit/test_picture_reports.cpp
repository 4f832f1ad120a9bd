// What the parent's page learns about the pictures folders: per folder, how many pictures were taken
// and which files were left out and why, in plain words; the list stays short for folders of
// thousands of bad files, and can be read while loading goes on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "app/start/paths.hpp"
#include "app/pictures/picture_loading.hpp"
#include "app/pictures/picture_store.hpp"
#include "tests/unit/hostile_images.hpp"
#include "tests/unit/sample_images.hpp"

namespace fs = std::filesystem;

using app::FolderReport;
using app::LeftOutReason;
using app::PictureStore;

namespace {

class PictureReports : public testing::Test {
 protected:
  PictureReports() {
    static int serial = 0;
    root_ = fs::temp_directory_path() /
            ("pipkin-reports-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    fs::remove_all(root_);
    fs::create_directories(root_ / "pics");
  }
  ~PictureReports() override { fs::remove_all(root_); }

  std::string dir(const std::string& name = "pics") const { return (root_ / name).string(); }
  void write(const std::string& name, const std::string& bytes, const std::string& folder = "pics") const {
    fs::create_directories(root_ / folder);
    std::ofstream(root_ / folder / name, std::ios::binary) << bytes;
  }

  fs::path root_;
};

std::string good_png() {
  samples::PngSpec s;
  s.width = 64;
  s.height = 48;
  return samples::encode_png(s, [](int x, int y, uint8_t* px) { px[0] = uint8_t(x * 4), px[1] = uint8_t(y * 5), px[2] = 90; });
}

std::string good_jpeg() {
  samples::JpegSpec s;
  s.width = 256;
  s.height = 192;
  return samples::encode_jpeg(s, [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); });
}

// Files whose names start with "bad" fail with `error`; the others load at once.
app::PictureCodec codec_failing_bad_names(const std::string& error) {
  app::PictureCodec codec;
  codec.load = [error](const std::string& path, app::CompactPicture& out, std::string& why) {
    if (path.find("/bad") != std::string::npos) {
      why = error;
      return false;
    }
    out.jpeg = "x";
    return true;
  };
  return codec;
}

// name -> reason of the files a report lists.
std::map<std::string, LeftOutReason> reasons(const FolderReport& r) {
  std::map<std::string, LeftOutReason> m;
  for (const app::LeftOutFile& f : r.listed) m[f.name] = f.reason;
  return m;
}

TEST_F(PictureReports, EachFileLeftOutIsNamedWithItsReason) {
  write("good.png", good_png());
  write("good.jpg", good_jpeg());
  write("letter.jpg", "Dear grandma, here are the photos of the summer.\n");  // text named .jpg
  const std::string jpg = good_jpeg();
  write("cut.jpg", jpg.substr(0, jpg.size() / 2));                 // a copy that stopped half way
  const std::string png = good_png();
  write("cut.png", png.substr(0, png.size() - 30));
  write("empty.bmp", "");
  write("huge.png", hostile::kPngMagic + hostile::ihdr(20000, 20000) + samples::png_chunk("IEND", ""));
  std::string flipped = png;
  flipped[flipped.size() - 20] ^= 0x55;  // a bit gone wrong inside the picture data
  write("flipped.png", flipped);
  write("photo.heic", std::string("\0\0\0\x18" "ftypheic", 12) + std::string(200, 'x'));
  write("video.mp4", "....ftypmp42");
  write("PHOTO.JPG", jpg);
  fs::create_directory(root_ / "pics" / "folder.jpg");  // a folder with a picture's name
  // Not listed: hidden files, folders and Pipkin's own note.
  write(".thumbnails", "x");
  fs::create_directory(root_ / "pics" / "holiday");
  write(app::kPicturesNoteName, "Pipkin's pictures\n");

  testing::internal::CaptureStderr();
  PictureStore store = app::load_pictures(dir());
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(store.count(), 2u);

  const std::vector<FolderReport> reports = store.folder_reports();
  ASSERT_EQ(reports.size(), 1u);
  const FolderReport& r = reports[0];
  EXPECT_EQ(r.folder, dir());
  EXPECT_TRUE(r.opened);
  EXPECT_EQ(r.taken, 2u);
  EXPECT_EQ(r.to_come, 0u);
  EXPECT_EQ(r.left_out, 10u);
  const std::map<std::string, LeftOutReason> want = {
      {"letter.jpg", LeftOutReason::NotAPicture}, {"cut.jpg", LeftOutReason::CutShort},
      {"cut.png", LeftOutReason::CutShort},       {"empty.bmp", LeftOutReason::CutShort},
      {"huge.png", LeftOutReason::TooLarge},      {"flipped.png", LeftOutReason::Damaged},
      {"photo.heic", LeftOutReason::NotAPicture}, {"video.mp4", LeftOutReason::NotAPicture},
      {"PHOTO.JPG", LeftOutReason::WrongCase},    {"folder.jpg", LeftOutReason::CannotRead},
  };
  EXPECT_EQ(reasons(r), want);
  EXPECT_EQ(r.listed.size(), 10u);

  // Standard error: one line per picture left out and per wrong ending, and files of other kinds
  // only counted, in one line for the folder.
  EXPECT_NE(err.find("PHOTO.JPG: not read; rename it to end in lowercase .png, .jpg or .bmp"), std::string::npos) << err;
  EXPECT_NE(err.find("cut.jpg: left out: truncated"), std::string::npos) << err;
  EXPECT_NE(err.find("huge.png: left out: too large: 20000x20000"), std::string::npos) << err;
  EXPECT_NE(err.find(dir() + ": 2 files that are not pictures left out"), std::string::npos) << err;
  EXPECT_EQ(err.find("photo.heic"), std::string::npos) << err;
  EXPECT_EQ(err.find("video.mp4"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 9) << err;
}

TEST_F(PictureReports, ReasonsInPlainWords) {
  EXPECT_EQ(app::plain_words(LeftOutReason::NotAPicture), "not a picture Pipkin reads");
  EXPECT_EQ(app::plain_words(LeftOutReason::CutShort), "cut short");
  EXPECT_EQ(app::plain_words(LeftOutReason::TooLarge), "too large");
  EXPECT_EQ(app::plain_words(LeftOutReason::CannotRead), "cannot be read");
  EXPECT_EQ(app::plain_words(LeftOutReason::Damaged), "damaged");
  EXPECT_EQ(app::plain_words(LeftOutReason::WrongCase), "name must end in lowercase .png, .jpg or .bmp");
  // Failures hard to make with a file: the budget refusing, a file past the size read.
  EXPECT_EQ(app::left_out_reason("out of memory"), LeftOutReason::TooLarge);
  EXPECT_EQ(app::left_out_reason("too big for a picture (201 MB; at most 200 MB are read)"), LeftOutReason::TooLarge);
  EXPECT_EQ(app::left_out_reason("cannot be read: Permission denied"), LeftOutReason::CannotRead);
  EXPECT_EQ(app::left_out_reason("unsupported bit depth 7"), LeftOutReason::NotAPicture);
  EXPECT_EQ(app::left_out_reason("IDAT: invalid distance too far back"), LeftOutReason::Damaged);
}

// Several folders are reported apart, in order, with names inside their own folder; one that cannot
// be opened says so.
TEST_F(PictureReports, FoldersAreReportedApart) {
  write("a.png", good_png(), "own");
  write("b.heic", "x", "own");
  write("c.jpg", good_jpeg(), "phone");
  write("d.jpg", "text", "phone");
  testing::internal::CaptureStderr();
  PictureStore store = app::load_pictures(std::vector<app::PictureFolder>{{dir("own"), app::NameRule::Strict},
                                                                           {dir("gone"), app::NameRule::Strict},
                                                                           {dir("phone"), app::NameRule::Strict}});
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(store.count(), 2u);
  const std::vector<FolderReport> r = store.folder_reports();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].folder, dir("own"));
  EXPECT_EQ(r[0].taken, 1u);
  EXPECT_EQ(r[0].left_out, 1u);
  EXPECT_EQ(reasons(r[0]), (std::map<std::string, LeftOutReason>{{"b.heic", LeftOutReason::NotAPicture}}));
  EXPECT_EQ(r[1].folder, dir("gone"));
  EXPECT_FALSE(r[1].opened);
  EXPECT_EQ(r[1].taken + r[1].left_out + r[1].to_come, 0u);
  EXPECT_TRUE(r[2].opened);
  EXPECT_EQ(r[2].taken, 1u);
  EXPECT_EQ(reasons(r[2]), (std::map<std::string, LeftOutReason>{{"d.jpg", LeftOutReason::NotAPicture}}));
}

// A folder of thousands of bad files: all counted, only the first few hundred named.
TEST_F(PictureReports, TheListIsBoundedTheCountIsNot) {
  app::FolderListing listing;
  listing.folder = "big";
  listing.opened = true;
  for (int i = 0; i < 3000; ++i) listing.refused.push_back({"clip" + std::to_string(i) + ".mov", LeftOutReason::NotAPicture});
  for (int i = 0; i < 300; ++i) listing.names.push_back((i % 3 ? "bad" : "ok") + std::to_string(i) + ".jpg");
  PictureStore store;
  testing::internal::CaptureStderr();
  store.prepare({listing}, codec_failing_bad_names("truncated"), 2);
  store.run();
  store.wait();
  testing::internal::GetCapturedStderr();
  const std::vector<FolderReport> r = store.folder_reports();
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].taken, 100u);
  EXPECT_EQ(r[0].left_out, 3200u);
  ASSERT_EQ(r[0].listed.size(), FolderReport::kListedMost);
  EXPECT_EQ(r[0].listed.front().name, "clip0.mov");
  EXPECT_EQ(r[0].listed.back().name, "clip199.mov");
}

// The page may look while the workers load: every copy adds up, and counts only grow.
TEST_F(PictureReports, ASnapshotCanBeTakenWhileLoadingGoesOn) {
  app::FolderListing a{"a", true, {}, {{"x.txt", LeftOutReason::NotAPicture}}};
  app::FolderListing b{"b", true, {}, {}};
  for (int i = 0; i < 200; ++i) a.names.push_back("p" + std::to_string(i) + ".png");
  for (int i = 0; i < 200; ++i) b.names.push_back((i % 2 ? "bad" : "p") + std::to_string(i) + ".png");
  std::atomic<bool> released{false};
  PictureStore store;
  testing::internal::CaptureStderr();
  store.prepare({a, b}, codec_failing_bad_names("not a PNG, JPEG, BMP, WebP, HEIC or AVIF file"), 2, 250,
                [&] { return released.load(); });

  // Before any loading the folders are known, with what their names alone left out.
  std::vector<FolderReport> r = store.folder_reports();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].to_come, 200u);
  EXPECT_EQ(r[0].left_out, 1u);
  EXPECT_EQ(r[1].to_come, 200u);

  std::atomic<bool> stop{false};
  std::atomic<int> looks{0};
  std::atomic<bool> broken{false};
  std::thread page([&] {
    size_t last_done = 0;
    while (!stop) {
      const std::vector<FolderReport> s = store.folder_reports();
      size_t done = 0;
      if (s.size() != 2 || s[0].taken + s[0].left_out + s[0].to_come != 201 ||
          s[1].taken + s[1].left_out + s[1].to_come != 200)
        broken = true;
      for (const FolderReport& f : s) done += f.taken + f.left_out;
      if (done < last_done) broken = true;
      last_done = done;
      ++looks;
    }
  });
  store.run();
  store.wait();  // up to the hold, 50 pictures into the second folder
  r = store.folder_reports();
  EXPECT_EQ(r[0].taken, 200u);
  EXPECT_EQ(r[0].to_come, 0u);
  EXPECT_EQ(r[1].taken + r[1].left_out, 50u);
  EXPECT_EQ(r[1].to_come, 150u);
  released = true;
  store.wait();
  // Let the page look at least once more after the end.
  const int seen = looks;
  while (looks < seen + 2) std::this_thread::yield();
  stop = true;
  page.join();
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(broken);
  r = store.folder_reports();
  EXPECT_EQ(r[1].taken, 100u);
  EXPECT_EQ(r[1].left_out, 100u);
  EXPECT_EQ(r[1].to_come, 0u);
  EXPECT_EQ(r[1].listed.front().name, "bad1.png");
  EXPECT_EQ(r[1].listed.front().reason, LeftOutReason::NotAPicture);
}

}  // namespace
