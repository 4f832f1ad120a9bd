// Waiting in tests for what other threads make true.
#pragma once
#include <chrono>
#include <thread>

namespace tw {

// Waits for a condition another thread makes true; the deadline only turns a hang into a failure.
template <typename Cond>
bool eventually(Cond cond) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!cond()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

}  // namespace tw
