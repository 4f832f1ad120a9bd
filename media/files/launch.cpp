#include "media/files/launch.hpp"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace media {

bool launch(const std::vector<std::string>& argv, std::string* why) {
  if (argv.empty()) return false;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int err = posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
  if (err != 0) {
    if (why) *why = std::strerror(err);
    return false;
  }
  // Reaped when it ends, so no finished child lingers while Pipkin runs.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace media
