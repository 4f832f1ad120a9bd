// A process-wide memory budget for picture decoding. Pictures are decoded on several threads at
// once; each decode reserves the most memory it can need (its pixels plus the codec's working
// memory) before it allocates anything, and gives it back when done. A decode that needs more than
// the whole budget is refused; one that needs more than is free waits until other decodes finish.
//
// A thread that already holds a reservation (the bytes of the file it decodes) and asks for more
// waits until the other holders give back, and is refused when it alone would pass the budget. When
// every holder is waiting so, none would ever give back: the one that has waited longest goes on past
// the budget instead of deadlocking. Smaller requests are never held back behind a larger one that
// is waiting, so small decodes run side by side.
//
// Foreground and background: the thread that draws the screen must never wait behind the picture
// store's workers, so a thread says whether its decodes are background work (set_decode_priority).
// Background reservations together stay within the budget less a foreground share, which only
// foreground threads draw on: a foreground decode that fits that share goes on at once however
// much the background holds. A larger one waits for free memory, and while any foreground
// reservation waits, no new background one starts. (A background thread that already holds and
// asks for more is not held back: it is finishing a decode, and what it holds comes back sooner.)
//
// The bound on memory is the same as without the share, which is carved out of the budget, not
// added to it: the background holds at most the budget less the share, the foreground only what is
// free, so together they hold at most the whole budget. The one exception is the deadlock escape
// above, unchanged: only when every holder waits for more does the longest waiting go past it.
#pragma once
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace media {

class DecodeBudget;

// Whose decodes a thread's reservations are: every thread is foreground until it says otherwise.
enum class DecodePriority { Foreground, Background };
// For the calling thread's reservations from then on, in every budget.
void set_decode_priority(DecodePriority priority);
DecodePriority decode_priority();

// Bytes held from a budget; given back when the lease is destroyed or reset. Movable, not copyable.
class BudgetLease {
 public:
  BudgetLease() = default;
  BudgetLease(BudgetLease&& other) noexcept;
  BudgetLease& operator=(BudgetLease&& other) noexcept;
  BudgetLease(const BudgetLease&) = delete;
  BudgetLease& operator=(const BudgetLease&) = delete;
  ~BudgetLease() { reset(); }

  explicit operator bool() const { return budget_ != nullptr; }
  size_t bytes() const { return bytes_; }
  // Gives back all but `keep` bytes (when a decode's working memory is freed but its pixels stay).
  void shrink_to(size_t keep);
  void reset();

 private:
  friend class DecodeBudget;
  BudgetLease(DecodeBudget* budget, size_t bytes, std::thread::id holder, bool background)
      : budget_(budget), bytes_(bytes), holder_(holder), background_(background) {}
  DecodeBudget* budget_ = nullptr;
  size_t bytes_ = 0;
  std::thread::id holder_;  // the thread that reserved it, even if the lease moved since
  bool background_ = false;  // reserved by a background thread
};

class DecodeBudget {
 public:
  // `foreground_bytes` of the total are kept for foreground threads (at most the total).
  explicit DecodeBudget(size_t total_bytes, size_t foreground_bytes = 0)
      : total_(total_bytes), background_limit_(total_bytes - std::min(foreground_bytes, total_bytes)) {}
  DecodeBudget(const DecodeBudget&) = delete;
  DecodeBudget& operator=(const DecodeBudget&) = delete;

  // Reserves `bytes` at the calling thread's priority, waiting while other threads hold too much.
  // An empty lease when `bytes` is more than this thread may ever hold: the whole budget for the
  // foreground, the budget less the foreground share for the background.
  BudgetLease acquire(size_t bytes);

  size_t total() const { return total_; }
  size_t background_limit() const { return background_limit_; }
  size_t in_use() const;
  size_t background_in_use() const;
  int waiting() const;  // threads blocked in acquire, for tests
  // The most held at once since the last reset_most_in_use (or since the start), for tests and
  // the fuzz targets, which hold a decode to what it reserved.
  size_t most_in_use() const;
  void reset_most_in_use();

 private:
  friend class BudgetLease;
  void give_back(std::thread::id holder, size_t bytes, bool background);

  const size_t total_;
  const size_t background_limit_;
  mutable std::mutex mutex_;
  std::condition_variable freed_;
  size_t used_ = 0;
  size_t background_used_ = 0;
  size_t most_used_ = 0;
  int waiting_ = 0;
  int foreground_waiting_ = 0;
  std::map<std::thread::id, size_t> held_;  // bytes per reserving thread
  std::vector<std::thread::id> growing_;    // holders waiting for more, longest waiting first
};

// The budget every decoder in this process draws from, with kDecodeForegroundBytes kept for the
// foreground.
DecodeBudget& decode_budget();

}  // namespace media
