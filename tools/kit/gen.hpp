// The data generator's core: each family of files registers one function that writes its files
// under the output folder. Everything is drawn or synthesised here, from fixed seeds.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace gen {

namespace fs = std::filesystem;

constexpr double kPi = 3.14159265358979323846;

class Words;

// A family's maker returns false on failure (reported on stderr). A worded family draws words and
// runs once per language, English first; the others run once.
struct Family {
  std::string name;
  std::function<bool(const fs::path& out)> make;
  std::function<bool(const fs::path& out, const Words& words)> make_worded;
};

inline std::vector<Family>& families() {
  static std::vector<Family> list;
  return list;
}

struct Register {
  Register(const std::string& name, std::function<bool(const fs::path&)> make) {
    families().push_back({name, std::move(make), nullptr});
  }
  Register(const std::string& name, std::function<bool(const fs::path&, const Words&)> make) {
    families().push_back({name, nullptr, std::move(make)});
  }
};

// A small deterministic generator (same numbers on every machine).
class Rng {
 public:
  explicit Rng(uint32_t seed) : s_(seed ? seed : 1) {}
  uint32_t next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
  }
  double uniform() { return (next() >> 8) * (1.0 / 16777216.0); }          // [0, 1)
  double range(double a, double b) { return a + (b - a) * uniform(); }
  int between(int a, int b) { return a + static_cast<int>(next() % static_cast<uint32_t>(b - a + 1)); }

 private:
  uint32_t s_;
};

}  // namespace gen
