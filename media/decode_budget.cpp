#include "media/decode_budget.hpp"

#include <algorithm>
#include <utility>

#include "media/decode.hpp"

namespace media {

BudgetLease::BudgetLease(BudgetLease&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), bytes_(std::exchange(other.bytes_, 0)), holder_(other.holder_) {}

BudgetLease& BudgetLease::operator=(BudgetLease&& other) noexcept {
  if (this != &other) {
    reset();
    budget_ = std::exchange(other.budget_, nullptr);
    bytes_ = std::exchange(other.bytes_, 0);
    holder_ = other.holder_;
  }
  return *this;
}

void BudgetLease::shrink_to(size_t keep) {
  if (!budget_ || keep >= bytes_) return;
  budget_->give_back(holder_, bytes_ - keep);
  bytes_ = keep;
}

void BudgetLease::reset() {
  if (!budget_) return;
  budget_->give_back(holder_, bytes_);
  budget_ = nullptr;
  bytes_ = 0;
}

BudgetLease DecodeBudget::acquire(size_t bytes) {
  if (bytes > total_) return {};
  const std::thread::id me = std::this_thread::get_id();
  std::unique_lock<std::mutex> lock(mutex_);
  auto fits = [&] { return used_ + bytes <= total_; };
  const auto mine = held_.find(me);
  if (mine == held_.end()) {
    if (!fits()) {
      ++waiting_;
      freed_.wait(lock, fits);
      --waiting_;
    }
  } else if (mine->second + bytes > total_) {
    return {};  // this thread alone would pass the budget
  } else if (!fits()) {
    // A holder waits for the other holders to give back. When every holder is waiting like this, no
    // one would ever give back: the one that has waited longest goes on past the budget.
    ++waiting_;
    growing_.push_back(me);
    freed_.notify_all();  // this may be the wait that leaves every holder waiting
    freed_.wait(lock, [&] { return fits() || (growing_.size() == held_.size() && growing_.front() == me); });
    growing_.erase(std::find(growing_.begin(), growing_.end(), me));
    --waiting_;
    freed_.notify_all();  // the next longest waiting holder may now be first
  }
  used_ += bytes;
  held_[me] += bytes;
  return BudgetLease(this, bytes, me);
}

void DecodeBudget::give_back(std::thread::id holder, size_t bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    used_ -= bytes;
    auto it = held_.find(holder);
    if (it != held_.end() && (it->second -= bytes) == 0) held_.erase(it);
  }
  freed_.notify_all();
}

size_t DecodeBudget::in_use() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return used_;
}

int DecodeBudget::waiting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return waiting_;
}

DecodeBudget& decode_budget() {
  static DecodeBudget budget(kDecodeBudgetBytes);
  return budget;
}

}  // namespace media
