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
#pragma once
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace media {

class DecodeBudget;

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
  BudgetLease(DecodeBudget* budget, size_t bytes, std::thread::id holder)
      : budget_(budget), bytes_(bytes), holder_(holder) {}
  DecodeBudget* budget_ = nullptr;
  size_t bytes_ = 0;
  std::thread::id holder_;  // the thread that reserved it, even if the lease moved since
};

class DecodeBudget {
 public:
  explicit DecodeBudget(size_t total_bytes) : total_(total_bytes) {}
  DecodeBudget(const DecodeBudget&) = delete;
  DecodeBudget& operator=(const DecodeBudget&) = delete;

  // Reserves `bytes`, waiting while other threads hold too much. An empty lease when `bytes` is
  // more than the whole budget.
  BudgetLease acquire(size_t bytes);

  size_t total() const { return total_; }
  size_t in_use() const;
  int waiting() const;  // threads blocked in acquire, for tests

 private:
  friend class BudgetLease;
  void give_back(std::thread::id holder, size_t bytes);

  const size_t total_;
  mutable std::mutex mutex_;
  std::condition_variable freed_;
  size_t used_ = 0;
  int waiting_ = 0;
  std::map<std::thread::id, size_t> held_;  // bytes per reserving thread
  std::vector<std::thread::id> growing_;    // holders waiting for more, longest waiting first
};

// The budget every decoder in this process draws from.
DecodeBudget& decode_budget();

}  // namespace media
