#include "media/files/log.hpp"

#include <cstdio>
#include <mutex>
#include <unordered_set>

namespace media {

void log_error(const std::string& where, const std::string& what) {
  std::string line = "pipkin: " + where + ": " + what;
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  line += '\n';
  // Each report once: a missing sound is tried again on every play, but said only the first time.
  static std::mutex m;
  static std::unordered_set<std::string> said;
  std::lock_guard<std::mutex> lock(m);
  if (said.size() < 4096 && !said.insert(line).second) return;
  // One write, so lines from different threads do not interleave.
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace media
