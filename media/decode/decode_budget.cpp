#include "media/decode/decode_budget.hpp"

#include <algorithm>
#include <utility>

#include "media/decode/decode_limits.hpp"

namespace media {

namespace {

thread_local DecodePriority this_thread_priority = DecodePriority::Foreground;

}  // namespace

void set_decode_priority(DecodePriority priority) { this_thread_priority = priority; }
DecodePriority decode_priority() { return this_thread_priority; }

BudgetLease::BudgetLease(BudgetLease&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)),
      bytes_(std::exchange(other.bytes_, 0)),
      holder_(other.holder_),
      background_(other.background_) {}

BudgetLease& BudgetLease::operator=(BudgetLease&& other) noexcept {
  if (this != &other) {
    reset();
    budget_ = std::exchange(other.budget_, nullptr);
    bytes_ = std::exchange(other.bytes_, 0);
    holder_ = other.holder_;
    background_ = other.background_;
  }
  return *this;
}

void BudgetLease::shrink_to(size_t keep) {
  if (!budget_ || keep >= bytes_) return;
  budget_->give_back(holder_, bytes_ - keep, background_);
  bytes_ = keep;
}

void BudgetLease::reset() {
  if (!budget_) return;
  budget_->give_back(holder_, bytes_, background_);
  budget_ = nullptr;
  bytes_ = 0;
}

BudgetLease DecodeBudget::acquire(size_t bytes) {
  const bool background = decode_priority() == DecodePriority::Background;
  const size_t limit = background ? background_limit_ : total_;
  if (bytes > limit) return {};
  const std::thread::id me = std::this_thread::get_id();
  std::unique_lock<std::mutex> lock(mutex_);
  // The background keeps out of the foreground's share; the foreground may take whatever is free.
  auto fits = [&] {
    return used_ + bytes <= total_ && (!background || background_used_ + bytes <= background_limit_);
  };
  // A waiting foreground reservation is counted, so that no new background one starts meanwhile.
  auto wait_until = [&](auto ready) {
    ++waiting_;
    if (!background) ++foreground_waiting_;
    freed_.wait(lock, ready);
    --waiting_;
    if (!background && --foreground_waiting_ == 0) freed_.notify_all();  // they may start again
  };
  const auto mine = held_.find(me);
  if (mine == held_.end()) {
    auto may_start = [&] { return fits() && (!background || foreground_waiting_ == 0); };
    if (!may_start()) wait_until(may_start);
  } else if (mine->second + bytes > limit) {
    return {};  // this thread alone would pass what it may hold
  } else if (!fits()) {
    // A holder waits for the other holders to give back. When every holder is waiting like this, no
    // one would ever give back: the one that has waited longest goes on past the budget.
    growing_.push_back(me);
    freed_.notify_all();  // this may be the wait that leaves every holder waiting
    wait_until([&] { return fits() || (growing_.size() == held_.size() && growing_.front() == me); });
    growing_.erase(std::find(growing_.begin(), growing_.end(), me));
    freed_.notify_all();  // the next longest waiting holder may now be first
  }
  used_ += bytes;
  most_used_ = std::max(most_used_, used_);
  if (background) background_used_ += bytes;
  held_[me] += bytes;
  return BudgetLease(this, bytes, me, background);
}

void DecodeBudget::give_back(std::thread::id holder, size_t bytes, bool background) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    used_ -= bytes;
    if (background) background_used_ -= bytes;
    auto it = held_.find(holder);
    if (it != held_.end() && (it->second -= bytes) == 0) held_.erase(it);
  }
  freed_.notify_all();
}

size_t DecodeBudget::in_use() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return used_;
}

size_t DecodeBudget::background_in_use() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return background_used_;
}

int DecodeBudget::waiting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return waiting_;
}

size_t DecodeBudget::most_in_use() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return most_used_;
}

void DecodeBudget::reset_most_in_use() {
  std::lock_guard<std::mutex> lock(mutex_);
  most_used_ = used_;
}

DecodeBudget& decode_budget() {
  static DecodeBudget budget(kDecodeBudgetBytes, kDecodeForegroundBytes);
  return budget;
}

}  // namespace media
