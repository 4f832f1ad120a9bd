#include "app/pictures/picture_loader.hpp"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "media/decode/decode.hpp"
#include "media/decode/decode_budget.hpp"

namespace app {

namespace {

// Decoding is background work: a worker gets the CPU only when the main thread (drawing, input) does
// not want it. On Linux the nice value is per thread.
void lower_this_thread_priority() {
  constexpr int kWorkerNice = 10;
  const int now = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), std::max(now, 0) + kWorkerNice);
}

// How many pictures on screen waiting for their full quality go before the rest; the most recently
// shown first. An activity showing every picture at once asks for all of them, and only the last
// few it showed are likely still in view.
constexpr size_t kWantedMost = 8;

}  // namespace

PictureLoader::~PictureLoader() { stop(); }

void PictureLoader::prepare(std::vector<std::string> paths, PictureCodec codec, unsigned workers,
                            size_t hold_from, std::function<bool()> released) {
  stop();
  stop_ = false;
  paths_ = std::move(paths);
  codec_ = std::move(codec);
  slots_.assign(paths_.size(), Slot{});
  next_ = 0;
  first_running_ = 0;
  next_full_ = 0;
  fulls_owed_ = 0;
  wanted_.clear();
  upgrades_.clear();
  taken_ = 0;
  hold_from_ = hold_from;
  hold_fulls_ = false;
  released_ = std::move(released);
  hold_lifted_ = false;
  worker_count_ = static_cast<unsigned>(std::min<size_t>(workers, paths_.size()));
}

void PictureLoader::hold_fulls() {
  std::lock_guard<std::mutex> lock(mutex_);
  hold_fulls_ = true;
}

void PictureLoader::run() {
  if (!workers_.empty()) return;
  for (unsigned k = 0; k < worker_count_; ++k) workers_.emplace_back([this] {
    lower_this_thread_priority();
    media::set_decode_priority(media::DecodePriority::Background);
    work();
  });
}

void PictureLoader::stop() {
  if (workers_.empty()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& t : workers_) t.join();
  workers_.clear();
}

// Under the mutex: the next job, in this order: a preview on screen, a file not yet looked at,
// then the previews in folder order.
PictureLoader::Job PictureLoader::pick(size_t& i) {
  if (!holding_fulls()) {
    while (!wanted_.empty()) {
      i = wanted_.back();
      wanted_.pop_back();
      if (needs_full(i)) return Job::Full;
    }
  }
  if (next_ < slots_.size() && !holding_first()) {
    i = next_++;
    ++first_running_;
    return Job::First;
  }
  if (holding_fulls()) return Job::None;
  while (next_full_ < slots_.size() && slots_[next_full_].done && !needs_full(next_full_)) ++next_full_;
  for (i = next_full_; i < slots_.size() && slots_[i].done; ++i)
    if (needs_full(i)) return Job::Full;
  return Job::None;
}

void PictureLoader::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (stop_) return;
    size_t i = 0;
    const Job job = pick(i);
    if (job == Job::None) {
      if (finished()) return;
      const bool held = holding_first() || holding_fulls();
      workers_held_ += held;
      work_ready_.wait(lock);
      workers_held_ -= held;
      continue;
    }
    if (job == Job::Full) slots_[i].full_taken = true;
    lock.unlock();
    Slot s;
    {
      const media::BusyCore loading;  // a decoder that could use more threads leaves this core
      if (job == Job::First && codec_.preview && codec_.preview(paths_[i], s.picture)) {
        s.ok = true;
        s.picture.preview = true;
      } else {
        s.picture = {};
        s.ok = codec_.load(paths_[i], s.picture, s.error);
        s.picture.preview = false;
      }
    }
    s.done = true;
    lock.lock();
    if (job == Job::First) {
      --first_running_;
      s.preview = s.picture.preview;
      fulls_owed_ += s.preview;
      slots_[i] = std::move(s);
    } else {
      --fulls_owed_;
      finish_full(i, std::move(s));
    }
    slot_done_.notify_all();
    work_ready_.notify_all();  // a preview may have made work, or the last job ended
  }
}

// Under the mutex: a full picture for slot i, which was done with its preview. Before it is taken
// it simply takes the preview's place.
void PictureLoader::finish_full(size_t i, Slot&& s) {
  Slot& slot = slots_[i];
  if (i >= taken_) {
    if (s.ok) slot.picture = std::move(s.picture);
    else slot.error = std::move(s.error), slot.picture.preview = false;  // the preview stays; reported
    return;
  }
  upgrades_.push_back(Finished{i, s.ok, std::move(s.picture), std::move(s.error)});
}

bool PictureLoader::check_hold() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (hold_lifted_) return true;
  }
  const bool anything_held = hold_from_ < slots_.size() || hold_fulls_;
  if (!anything_held || !released_ || !released_()) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hold_lifted_ = true;
  }
  work_ready_.notify_all();
  return true;
}

void PictureLoader::want(size_t file) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wanted_.erase(std::remove(wanted_.begin(), wanted_.end(), file), wanted_.end());
    wanted_.push_back(file);
    if (wanted_.size() > kWantedMost) wanted_.erase(wanted_.begin());
  }
  work_ready_.notify_one();
}

PictureLoader::Taken PictureLoader::take() {
  Taken t;
  std::lock_guard<std::mutex> lock(mutex_);
  for (; taken_ < slots_.size() && slots_[taken_].done; ++taken_) {
    Slot& s = slots_[taken_];
    t.firsts.push_back(Finished{taken_, s.ok, std::move(s.picture), std::move(s.error)});
    s.picture = {};
  }
  t.fulls.swap(upgrades_);
  t.finished = taken_ == slots_.size() && finished();
  return t;
}

void PictureLoader::wait(bool held) {
  std::unique_lock<std::mutex> lock(mutex_);
  const size_t end = held ? std::min(slots_.size(), hold_from_) : slots_.size();
  slot_done_.wait(lock, [&] {
    for (size_t i = taken_; i < end; ++i)
      if (!slots_[i].done) return false;
    return (held && hold_fulls_) || fulls_owed_ == 0;
  });
}

size_t PictureLoader::workers_held() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return workers_held_;
}

}  // namespace app
