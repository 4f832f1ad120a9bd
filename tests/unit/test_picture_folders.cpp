// How pictures folders are listed: the portable copy's folder by its old strict rule, the parent's
// folders (installed, or --pictures) with endings in any case, every JPEG ending and subfolders, in a
// fixed order, within limits that end any tree, however large or looped.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "app/start/paths.hpp"
#include "app/pictures/picture_loading.hpp"
#include "app/pictures/picture_store.hpp"
#include "app/pictures/pictures.hpp"
#include "tests/unit/webp_images.hpp"

namespace fs = std::filesystem;

using app::FolderListing;
using app::LeftOutReason;
using app::NameRule;
using app::CompactPicture;
using app::PictureFolder;
using app::PictureStore;

namespace {

class PictureFolders : public testing::Test {
 protected:
  PictureFolders() {
    static int serial = 0;
    root_ = fs::temp_directory_path() /
            ("pipkin-folders-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    fs::remove_all(root_);
    fs::create_directories(root_ / "pics");
  }
  ~PictureFolders() override { fs::remove_all(root_); }

  std::string dir(const std::string& name = "pics") const { return (root_ / name).string(); }
  // An empty file: listing goes by names alone.
  void touch(const std::string& path) const {
    fs::create_directories((root_ / path).parent_path());
    std::ofstream(root_ / path) << "";
  }
  FolderListing list(const std::string& folder, NameRule rule) const {
    testing::internal::CaptureStderr();
    FolderListing l = app::list_picture_folder({dir(folder), rule});
    last_stderr_ = testing::internal::GetCapturedStderr();
    return l;
  }

  fs::path root_;
  mutable std::string last_stderr_;
};

std::map<std::string, LeftOutReason> refused(const FolderListing& l) {
  std::map<std::string, LeftOutReason> m;
  for (const app::LeftOutFile& f : l.refused) m[f.name] = f.reason;
  return m;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

size_t lines_with(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The parent's folders take endings in any case and .jpeg/.jpe; the portable copy's folder keeps its
// rule: lowercase .png/.jpg/.bmp, its own files only, upper case reported and left out.
TEST_F(PictureFolders, EndingsInAnyCaseAndEveryJpegEndingOnlyInRelaxedFolders) {
  for (const char* name : {"a.JPG", "b.Png", "c.jpeg", "d.jpe", "e.png", "f.BMP", "g.mov", "sub/h.jpg"})
    touch(std::string("pics/") + name);

  const FolderListing relaxed = list("pics", NameRule::Relaxed);
  EXPECT_TRUE(relaxed.opened);
  EXPECT_EQ(relaxed.names,
            (std::vector<std::string>{"a.JPG", "b.Png", "c.jpeg", "d.jpe", "e.png", "f.BMP", "sub/h.jpg"}));
  EXPECT_EQ(refused(relaxed), (std::map<std::string, LeftOutReason>{{"g.mov", LeftOutReason::NotAPicture}}));
  EXPECT_EQ(last_stderr_.find("rename"), std::string::npos) << last_stderr_;

  const FolderListing strict = list("pics", NameRule::Strict);
  EXPECT_TRUE(strict.opened);
  EXPECT_EQ(strict.names, std::vector<std::string>{"e.png"});
  EXPECT_EQ(refused(strict), (std::map<std::string, LeftOutReason>{{"a.JPG", LeftOutReason::WrongCase},
                                                                     {"b.Png", LeftOutReason::WrongCase},
                                                                     {"c.jpeg", LeftOutReason::NotAPicture},
                                                                     {"d.jpe", LeftOutReason::NotAPicture},
                                                                     {"f.BMP", LeftOutReason::WrongCase},
                                                                     {"g.mov", LeftOutReason::NotAPicture}}));
  EXPECT_NE(last_stderr_.find("a.JPG: not read; rename it to end in lowercase .png, .jpg or .bmp"), std::string::npos)
      << last_stderr_;
  EXPECT_NE(last_stderr_.find("f.BMP: not read"), std::string::npos) << last_stderr_;
}

// A relaxed folder's own files come first in name order, then each subfolder in name order, depth
// first; hidden files and folders, and things that are not files (a pipe named like a picture), are
// passed over; names inside subfolders carry their path, left-out ones too.
TEST_F(PictureFolders, OwnFilesFirstThenSubfoldersDepthFirstByName) {
  for (const char* name : {"b.jpg", "a.jpg", "B/x.jpg", "A/z.jpg", "A/m.jpg", "A/Deep/y.jpg", "A/Deep/notes.txt",
                           "A/.t.jpg", ".hidden/h.jpg", ".h.jpg", "Summer 2026/broken.jpg"})
    touch(std::string("pics/") + name);
  ASSERT_EQ(::mkfifo((root_ / "pics/pipe.jpg").c_str(), 0600), 0);

  const FolderListing l = list("pics", NameRule::Relaxed);
  EXPECT_EQ(l.names, (std::vector<std::string>{"a.jpg", "b.jpg", "A/m.jpg", "A/z.jpg", "A/Deep/y.jpg", "B/x.jpg",
                                                "Summer 2026/broken.jpg"}));
  EXPECT_EQ(refused(l), (std::map<std::string, LeftOutReason>{{"A/Deep/notes.txt", LeftOutReason::NotAPicture}}));

  // The strict folder still lists its own entries in the order the system gives them, no subfolder.
  const FolderListing strict = list("pics", NameRule::Strict);
  EXPECT_EQ(sorted(strict.names), (std::vector<std::string>{".h.jpg", "a.jpg", "b.jpg", "pipe.jpg"}));
}

// Eight levels below the folder are read, the ninth and tenth are not, and that is said once.
TEST_F(PictureFolders, SubfoldersAreReadEightLevelsDown) {
  std::string path = "pics";
  touch(path + "/p.jpg");
  std::vector<std::string> expected{"p.jpg"};
  std::string inside;
  for (int level = 1; level <= 10; ++level) {
    path += "/d" + std::to_string(level);
    inside += "d" + std::to_string(level) + "/";
    touch(path + "/p.jpg");
    if (level <= 8) expected.push_back(inside + "p.jpg");
  }
  const FolderListing l = list("pics", NameRule::Relaxed);
  EXPECT_EQ(l.names, expected);
  EXPECT_EQ(lines_with(last_stderr_, "more than 8 levels down are not read"), 1u) << last_stderr_;
}

// At most 10,000 pictures across all the folders listed together: the first folder whole, the next
// up to the limit, the one after not at all, with one line saying so.
TEST_F(PictureFolders, ListingStopsAtTenThousandPicturesInAll) {
  for (int i = 0; i < 6000; ++i) touch("one/" + std::to_string(100000 + i) + ".jpg");
  for (int i = 0; i < 3000; ++i) touch("two/" + std::to_string(100000 + i) + ".jpg");
  for (int i = 0; i < 3000; ++i) touch("two/sub/" + std::to_string(100000 + i) + ".jpg");
  touch("three/a.jpg");
  testing::internal::CaptureStderr();
  const std::vector<FolderListing> l = app::list_picture_folders(
      {{dir("one"), NameRule::Relaxed}, {dir("two"), NameRule::Relaxed}, {dir("three"), NameRule::Relaxed}});
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(l.size(), 3u);
  EXPECT_EQ(l[0].names.size(), 6000u);
  ASSERT_EQ(l[1].names.size(), 4000u);
  EXPECT_EQ(l[1].names.back(), "sub/100999.jpg");  // its own files first, then the subfolder's
  EXPECT_TRUE(l[2].names.empty());
  EXPECT_EQ(lines_with(err, "stopped at 10000 pictures"), 1u) << err;

  // The strict folder counts against the same limit.
  testing::internal::CaptureStderr();
  const std::vector<FolderListing> s = app::list_picture_folders(
      {{dir("one"), NameRule::Strict}, {dir("two"), NameRule::Strict}}, {.pictures = 7000});
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(s[0].names.size(), 6000u);
  EXPECT_EQ(s[1].names.size(), 1000u);
}

// Symbolic links to folders are followed, but a folder met again (a link to "..", to ".", or a
// second top folder that is the first one) is not read again: the listing ends, each picture once.
TEST_F(PictureFolders, LinkedFoldersAreFollowedButNoFolderIsReadTwice) {
  touch("pics/a.jpg");
  touch("pics/sub/b.jpg");
  touch("other/c.jpg");
  fs::create_directory_symlink("..", root_ / "pics/back");  // the folder above, which holds pics again
  fs::create_directory_symlink(".", root_ / "pics/self");
  fs::create_directory_symlink("..", root_ / "pics/sub/up");
  fs::create_directory_symlink(root_ / "pics", root_ / "again");

  testing::internal::CaptureStderr();
  const std::vector<FolderListing> l =
      app::list_picture_folders({{dir("pics"), NameRule::Relaxed}, {dir("again"), NameRule::Relaxed}});
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[0].names, (std::vector<std::string>{"a.jpg", "back/other/c.jpg", "sub/b.jpg"}));
  EXPECT_TRUE(l[1].opened);
  EXPECT_TRUE(l[1].names.empty());
}

// Files that are not pictures are counted in one line per folder on standard error, not named there;
// the folder's report still names them for the parent's page. Pipkin's own note is not counted.
TEST_F(PictureFolders, FilesThatAreNotPicturesAreCountedInOneLine) {
  for (const char* name : {"a.jpg", "clip.mov", "IMG_0001.AAE", "list.txt", "Summer 2026/video.mp4", "README.txt"})
    touch(std::string("pics/") + name);
  touch("portable/x.png");
  touch("portable/notes.txt");
  testing::internal::CaptureStderr();
  std::vector<FolderListing> l =
      app::list_picture_folders({{dir("pics"), NameRule::Relaxed}, {dir("portable"), NameRule::Strict}});
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(lines_with(err, "\n"), 2u) << err;
  EXPECT_NE(err.find(dir("pics") + ": 4 files that are not pictures left out\n"), std::string::npos) << err;
  EXPECT_NE(err.find(dir("portable") + ": 1 file that is not a picture left out\n"), std::string::npos) << err;
  for (const char* name : {"clip.mov", "AAE", "list.txt", "video.mp4"}) EXPECT_EQ(err.find(name), std::string::npos) << err;

  app::PictureCodec codec;
  codec.load = [](const std::string&, app::CompactPicture& out, std::string&) {
    out.jpeg = "x";
    return true;
  };
  app::PictureStore store;
  store.prepare(std::move(l), codec, 1);
  store.run();
  store.wait();
  const std::vector<app::FolderReport> r = store.folder_reports();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].taken, 1u);
  EXPECT_EQ(r[0].left_out, 4u);
  std::set<std::string> named;
  for (const app::LeftOutFile& f : r[0].listed) {
    EXPECT_EQ(f.reason, LeftOutReason::NotAPicture) << f.name;
    named.insert(f.name);
  }
  EXPECT_EQ(named, (std::set<std::string>{"IMG_0001.AAE", "Summer 2026/video.mp4", "clip.mov", "list.txt"}));
}

// A folder of thousands of other files keeps only the first few hundred names; all are counted.
TEST_F(PictureFolders, LeftOutNamesAreBoundedTheirCountIsNot) {
  for (int i = 0; i < 500; ++i) touch("pics/clip" + std::to_string(1000 + i) + ".mov");
  FolderListing l = list("pics", NameRule::Relaxed);
  EXPECT_EQ(l.refused.size(), app::FolderReport::kListedMost);
  EXPECT_EQ(l.refused.size() + l.refused_more, 500u);
  EXPECT_EQ(l.refused.front().name, "clip1000.mov");
  app::PictureStore store;
  store.prepare({std::move(l)}, app::PictureCodec{}, 1);
  EXPECT_EQ(store.folder_reports().at(0).left_out, 500u);
}

}  // namespace

// A phone's WebP pictures in a parent's folder, any case: read, and kept as the other pictures are,
// a lossy photo as a JPEG again and a lossless picture with its exact pixels.
TEST_F(PictureFolders, WebPPicturesOfAParentsFolderAreReadAndKeptLikeTheirKind) {
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(root_ / "pics" / name, std::ios::binary) << bytes;
  };
  write("sticker.WEBP", webp_images::photo(320, 240, -1));  // lossless
  write("photo.webp", webp_images::photo(640, 480, 85));    // lossy
  PictureStore relaxed = app::load_pictures(std::vector<PictureFolder>{{dir(), NameRule::Relaxed}});
  ASSERT_EQ(relaxed.count(), 2u);
  PictureStore strict = app::load_pictures(dir());
  EXPECT_EQ(strict.count(), 0u) << "the portable copy's folder keeps to .png, .jpg and .bmp";

  auto kept = [&](const std::string& name) {
    CompactPicture out;
    std::string error;
    EXPECT_TRUE(app::screen_codec(1024, 768).load((root_ / "pics" / name).string(), out, error)) << error;
    return out;
  };
  const CompactPicture photo = kept("photo.webp"), sticker = kept("sticker.WEBP");
  EXPECT_FALSE(photo.jpeg.empty()) << "a lossy photo is kept small, as a JPEG";
  EXPECT_TRUE(sticker.jpeg.empty()) << "a lossless picture keeps its exact pixels";
  EXPECT_FALSE(sticker.packed.bytes.empty());
}
