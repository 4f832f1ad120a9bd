// pipkin_gen OUT [FAMILY...]: writes the data folder into OUT (every family, or the named ones).
#include <cstdio>
#include <set>

#include "tools/kit/gen.hpp"

namespace gen {
std::vector<Family>& families() {
  static std::vector<Family> list;
  return list;
}
}  // namespace gen

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pipkin_gen OUT [FAMILY...]\n");
    return 2;
  }
  gen::fs::path out = argv[1];
  std::set<std::string> only(argv + 2, argv + argc);
  std::error_code ec;
  gen::fs::create_directories(out, ec);
  int failed = 0;
  for (const auto& f : gen::families()) {
    if (!only.empty() && !only.count(f.name)) continue;
    if (!f.make(out)) {
      std::fprintf(stderr, "pipkin_gen: %s failed\n", f.name.c_str());
      ++failed;
    }
  }
  return failed ? 1 : 0;
}
