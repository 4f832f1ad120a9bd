// What every picture fuzz target asks of a decoder: an answer that is a pixmap matching its own size
// and the limits, or a reason, never both, never neither; and memory held to what the decode
// reserved from the budget. Aborts (a finding) otherwise.
//
// Memory is checked per input, not only by the fuzzer's limit on the resident size of the whole
// process (-rss_limit_mb): the sanitizer's allocator keeps freed memory (its quarantine, and free
// chunks of each size class, which only that class reuses) and the process's peak resident size
// never comes down, so that limit is crossed by whichever input happens to run on top of what the
// inputs before it left, not by the one that used too much. Here the heap a decode uses is counted
// through the sanitizer's allocation hooks, on every thread, and held to the most the decode had
// reserved at once plus kHeapSlack (parsing before the reservation, the fuzzer's own bookkeeping).
//
// A decode may reserve at most kFuzzDecodeBytes here, not the whole budget: the target holds the
// rest, as the picture store holds a file's bytes while it decodes them. The largest decodes the
// budget allows (64 million pixels) need as much as the fuzzer's 300 MB limit on its own, before
// the sanitizer's shadow memory and the fuzzer itself; larger ones are refused as too large.
#pragma once
#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "media/decode/decode.hpp"

namespace fuzz {

constexpr size_t kFuzzDecodeBytes = size_t{128} << 20;
constexpr int64_t kHeapSlack = int64_t{16} << 20;

namespace heap {

// Bytes allocated and not freed since the hooks went in (less what was freed of older blocks), and
// the most since the last input began.
inline std::atomic<int64_t> live{0};
inline std::atomic<int64_t> peak{0};

inline void on_malloc(const volatile void*, size_t size) {
  const int64_t now = live.fetch_add(static_cast<int64_t>(size), std::memory_order_relaxed) + static_cast<int64_t>(size);
  int64_t most = peak.load(std::memory_order_relaxed);
  while (now > most && !peak.compare_exchange_weak(most, now, std::memory_order_relaxed)) {
  }
}

// Called before the block is freed, so its size is still known.
inline void on_free(const volatile void* p) {
  if (p) live.fetch_sub(static_cast<int64_t>(__sanitizer_get_allocated_size(const_cast<const void*>(p))), std::memory_order_relaxed);
}

}  // namespace heap

inline void check_result(const media::DecodeResult& r) {
  if (r.pixmap) {
    const media::Pixmap& p = *r.pixmap;
    const int bpp = media::bytes_per_pixel(p.format);
    if (bpp == 0 || !media::image_size_ok(p.width, p.height) || p.pitch < p.width * bpp ||
        p.pixels.size() != static_cast<size_t>(p.pitch) * p.height || !r.error.empty())
      std::abort();
    // Only the pixels stay reserved once a decode is done.
    if (r.lease.bytes() != p.pixels.size()) std::abort();
    volatile uint32_t sink = media::read_pixel(p, p.width - 1, p.height - 1);
    (void)sink;
  } else if (r.error.empty() || r.lease) {  // a refusal keeps nothing reserved
    std::abort();
  }
  if (r.orientation < 1 || r.orientation > 8) std::abort();
}

// Runs decode() (which returns a DecodeResult), checks its answer, that its heap stayed within what
// it reserved, and that everything reserved came back once the answer was dropped.
template <typename Decode>
void check_decode(Decode&& decode) {
  static const bool hooked = __sanitizer_install_malloc_and_free_hooks(heap::on_malloc, heap::on_free) != 0;
  if (!hooked) std::abort();
  media::DecodeBudget& budget = media::decode_budget();
  media::BudgetLease kept = budget.acquire(budget.total() - kFuzzDecodeBytes);
  if (!kept) std::abort();
  budget.reset_most_in_use();
  const int64_t start = heap::live.load();
  heap::peak.store(start);
  check_result(decode());
  const int64_t used = heap::peak.load() - start;
  const size_t reserved = budget.most_in_use() - kept.bytes();
  if (used > static_cast<int64_t>(reserved) + kHeapSlack) {
    std::fprintf(stderr, "fuzz: the decode used %lld bytes of heap at most but had reserved %zu\n",
                 static_cast<long long>(used), reserved);
    std::abort();
  }
  kept.reset();
  if (budget.in_use() != 0) std::abort();
}

}  // namespace fuzz
