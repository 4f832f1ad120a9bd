// The worker threads behind a PictureStore and the files they work through. Each file is looked at
// once (its own preview when it carries one worth showing, else the full picture), in folder order;
// a file shown from its preview is then brought to full quality, the ones on screen first. The
// store takes what is finished, in folder order, on the main thread.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/pictures/screen_codec.hpp"

namespace app {

class PictureLoader {
 public:
  // A file's first look, or a full picture for a file taken earlier from its preview.
  struct Finished {
    size_t file = 0;
    bool ok = false;
    CompactPicture picture;
    std::string error;  // why it was left out; with ok, why only its preview can be shown
  };
  // What take() hands over: the first looks that follow on from the files taken before, the full
  // pictures of files taken earlier, and whether every file is done and at full quality.
  struct Taken {
    std::vector<Finished> firsts;
    std::vector<Finished> fulls;
    bool finished = false;
  };

  ~PictureLoader();  // stops the workers after the file each is on

  // Files to load (whole paths) with `workers` threads once run() starts them. Files from index
  // hold_from on wait until released() is true; any workers of an earlier start are stopped first.
  void prepare(std::vector<std::string> paths, PictureCodec codec, unsigned workers, size_t hold_from,
               std::function<bool()> released);
  // Full pictures wait at the hold too (call before run()).
  void hold_fulls();
  void run();
  void stop();

  // Main thread: lifts the hold once released() says so (it stays lifted). True when it is lifted.
  bool check_hold();
  // Main thread: the file is on screen from its preview; its full picture goes first.
  void want(size_t file);
  // Main thread: what is finished since the last take.
  Taken take();
  // Blocks until the files before the hold (all of them when held is false) are looked at and,
  // unless full pictures are held, every full picture owed has come.
  void wait(bool held);

  size_t files() const { return paths_.size(); }
  size_t taken() const { return taken_; }  // files handed over by take(), from the first
  const std::string& path(size_t file) const { return paths_[file]; }
  const PictureCodec& codec() const { return codec_; }
  size_t workers_held() const;

 private:
  // A file as the workers see it. The first look (a preview, or the full picture when the file has
  // none) makes it done; a preview then waits for its full picture.
  struct Slot {
    bool done = false;
    bool ok = false;
    CompactPicture picture;
    std::string error;
    bool preview = false;     // the first look gave a preview: a full picture is owed
    bool full_taken = false;  // a worker has begun (or finished) that full picture
  };
  enum class Job { None, First, Full };

  bool needs_full(size_t i) const { return slots_[i].done && slots_[i].preview && !slots_[i].full_taken; }
  bool holding_first() const { return next_ >= hold_from_ && !hold_lifted_; }
  bool holding_fulls() const { return hold_fulls_ && !hold_lifted_; }
  Job pick(size_t& i);
  bool finished() const { return next_ == slots_.size() && first_running_ == 0 && fulls_owed_ == 0; }
  void work();
  void finish_full(size_t i, Slot&& s);

  // Shared with the workers (under the mutex unless atomic; the rest fixed while they run).
  mutable std::mutex mutex_;
  std::condition_variable slot_done_;   // a job finished (the main thread waits on it)
  std::condition_variable work_ready_;  // a job may be there (held and idle workers wait on it)
  std::vector<Slot> slots_;
  std::vector<std::string> paths_;  // slot i's file
  PictureCodec codec_;
  size_t next_ = 0;           // the next file to look at first
  size_t first_running_ = 0;  // first looks under way
  size_t next_full_ = 0;      // files before this need no full picture from the queue
  size_t fulls_owed_ = 0;     // previews whose full picture has not come yet
  std::vector<size_t> wanted_;      // previews on screen, the most recently shown last
  std::vector<Finished> upgrades_;  // full pictures of files already taken
  size_t taken_ = 0;                // written by the main thread under the mutex
  std::atomic<bool> stop_{false};   // set under the mutex, so a waiting worker cannot miss it
  size_t hold_from_ = SIZE_MAX;
  bool hold_fulls_ = false;
  std::function<bool()> released_;  // asked by the main thread only
  bool hold_lifted_ = false;
  size_t workers_held_ = 0;
  std::vector<std::thread> workers_;
  unsigned worker_count_ = 0;
};

}  // namespace app
