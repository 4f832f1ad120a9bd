#include "media/log.hpp"

#include <cstdio>

namespace media {

void log_error(const std::string& where, const std::string& what) {
  std::string line = "pipkin: " + where + ": " + what;
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  line += '\n';
  // One write, so lines from different threads do not interleave.
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace media
