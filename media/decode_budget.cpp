#include "media/decode_budget.hpp"

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
  if (!fits() && held_.count(me) == 0) {
    ++waiting_;
    freed_.wait(lock, fits);
    --waiting_;
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
