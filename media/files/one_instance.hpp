// One program per progress file. The first start claims a name in the kernel's abstract socket
// namespace, made from a key (the progress file's path). While that program runs no other process
// can take the name, and the kernel frees it the moment the program ends, however it ends: a crash,
// kill -9 or a power cut leaves nothing behind to go stale, as a lock file's PID could. A later start
// with the same key finds the name taken, asks the first to come to the front, and ends.
#pragma once
#include <string>

namespace media {

class InstanceClaim {
 public:
  enum class Outcome {
    Ours,       // no other program held the key: this one holds it now
    Elsewhere,  // another running program of this user holds it, and was asked to come to the front
    Unclaimed,  // nothing to hold: no key, no socket, or the name is held by another user's process
  };
  explicit InstanceClaim(const std::string& key);
  ~InstanceClaim();
  InstanceClaim(const InstanceClaim&) = delete;
  InstanceClaim& operator=(const InstanceClaim&) = delete;

  Outcome outcome() const { return outcome_; }
  // For the holder: how many later starts have asked it to come to the front since the last call.
  // Never waits.
  int take_front_requests();

 private:
  int fd_ = -1;  // the listening socket that holds the name
  Outcome outcome_ = Outcome::Unclaimed;
};

// The abstract name a key is claimed under (without its leading NUL).
std::string instance_name(const std::string& key);

}  // namespace media
