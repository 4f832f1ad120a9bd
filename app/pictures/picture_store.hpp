// The pictures of the pictures folder, loaded in the background and kept compactly.
//
// Worker threads read and fit each file (turned upright, cut to cover the screen) and keep a photo as
// a JPEG in memory, about a tenth of its pixels, and a drawing as its deflated exact pixels. A photo
// that carries a preview of its own large enough to stand in for it (a phone's HEIC thumbnail) is
// published from that preview first, in a few milliseconds, and brought to full quality later: the
// pictures on screen first, then the rest in folder order. The main thread publishes the longest
// finished run of files from the start of the folder, so the list only grows at its end and always
// keeps the folder's order. Showing a picture brings it back as an image (one JPEG decode and a texture); a
// few recently shown ones stay cached, and any one an activity still holds is reused, so memory
// follows what is on screen rather than how many files the folder holds.
//
// Everything except the workers' own decoding (app/pictures/picture_loader.hpp) runs on the main
// thread (only it touches OpenGL).
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/pictures/folder_listing.hpp"
#include "app/pictures/left_out.hpp"
#include "app/pictures/pictures.hpp"
#include "app/pictures/screen_codec.hpp"
#include "media/display/image.hpp"

namespace app {

class PictureStore final : public Pictures {
 public:
  static constexpr size_t kCachedImages = 12;
  // The most workers a store starts (and the least is one). Past eight a worker would mostly wait:
  // the decode budget holds about five camera photos' decodes at once (12 megapixels: 36 MB of
  // pixels plus 16 MB of working memory each), and the main thread needs a core of its own.
  static constexpr unsigned kMaxWorkers = 8;

  PictureStore();
  ~PictureStore();  // stops the workers after the file each is on
  PictureStore(PictureStore&&) noexcept;
  PictureStore& operator=(PictureStore&&) noexcept;

  // Loads the files (names in folder order, inside folder; whole paths when folder is "") in the
  // background with `workers` threads (1 to kMaxWorkers). Files from index hold_from on wait until
  // released() is true (tests hold loading part way to look at it): the main thread asks released()
  // each time it polls or waits, and wakes the held workers when it is. The workers run at a lower
  // priority than the thread that starts them, and their decodes are background work for the
  // decode budget, so drawing, input and the main thread's own decodes always come first.
  void start(const std::string& folder, std::vector<std::string> names, PictureCodec codec, unsigned workers,
             size_t hold_from = SIZE_MAX, std::function<bool()> released = nullptr);
  // start() in two steps: the list of files (loading() and files() count them from here on), then
  // the workers. The program draws its first frame in between, so decoding never delays it.
  void prepare(const std::string& folder, std::vector<std::string> names, PictureCodec codec, unsigned workers,
               size_t hold_from = SIZE_MAX, std::function<bool()> released = nullptr);
  // The same for whole folders, one after the other; their files left out by name count in
  // folder_reports() from the start.
  void prepare(std::vector<FolderListing> folders, PictureCodec codec, unsigned workers,
               size_t hold_from = SIZE_MAX, std::function<bool()> released = nullptr);
  // From here on, bringing pictures shown from their previews to full quality waits as held files
  // do (until released() says so); call before run(). Tests look at the previews this way.
  void hold_full_pictures();
  void run();
  // Main thread: publishes what the workers finished; files that failed are reported, one line
  // each; full pictures replace their previews. True when the list grew or loading ended.
  bool poll();
  // Main thread: true once after poll() brought a picture that was on screen (an image someone
  // holds) to full quality in place: the same image now draws the full picture.
  bool take_shown_replaced();
  // Blocks until every file is done and at full quality (or held), then publishes.
  void wait();

  // The pictures published so far, in folder order.
  size_t count() const override;
  // Picture i (< count()); brought back when it is not in memory (a cache, so const: the list is
  // unchanged and activities read it through read-only assets). None when it cannot be.
  media::ImagePtr at(size_t i) const override;
  // Appends a picture that is already an image; it stays in memory (tests, benchmarks).
  void add(media::ImagePtr image);
  // An empty store (stops loading).
  void clear();

  bool loading() const override;       // some files are not published yet
  size_t files() const override;       // files being loaded in all
  size_t files_done() const override;  // of which published (loaded or left out)
  size_t workers_held() const;  // workers waiting at the hold, for tests
  size_t images_held() const;  // images the cache keeps
  size_t restores() const;     // how many times a picture was brought back
  size_t previews() const;     // published pictures still shown from their previews
  size_t compact_bytes() const;

  // Each folder's pictures taken and files left out so far, as published by poll(). A copy, safe
  // to take on any thread at any time while loading goes on (not while the store is cleared or
  // moved).
  std::vector<FolderReport> folder_reports() const;

  // Sets how many shown pictures stay cached.
  void set_cache_size(size_t n);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace app
