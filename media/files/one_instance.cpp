#include "media/files/one_instance.hpp"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

namespace media {
namespace {

// Between a first start's bind and its listen, a second start is refused rather than queued: it
// tries again for this long before it gives up and runs without a claim.
constexpr auto kSettleTime = std::chrono::milliseconds(1000);

struct Address {
  sockaddr_un addr{};
  socklen_t size = 0;
};

Address address_of(const std::string& key) {
  Address a;
  a.addr.sun_family = AF_UNIX;
  const std::string name = instance_name(key);
  // An abstract name starts with a NUL and is exactly as long as the size says.
  std::memcpy(a.addr.sun_path + 1, name.data(), name.size());
  a.size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return a;
}

// The process behind a connected socket runs as this user.
bool same_user(int fd) {
  ucred cred{};
  socklen_t len = sizeof cred;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == getuid();
}

enum class Ask { Asked, NotListening, Stranger, Failed };

// Asks whoever holds the name to come to the front.
Ask ask_holder(const Address& a) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Ask::Failed;
  Ask result = Ask::Asked;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&a.addr), a.size) != 0) {
    // A full backlog (EAGAIN) still means a holder that listens; it is only slow to take requests.
    if (errno == ECONNREFUSED) result = Ask::NotListening;
    else if (errno != EAGAIN) result = Ask::Failed;
  } else if (!same_user(fd)) {
    result = Ask::Stranger;
  } else {
    const char front[] = "front\n";
    (void)!send(fd, front, sizeof front - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
  }
  close(fd);
  return result;
}

}  // namespace

std::string instance_name(const std::string& key) {
  uint64_t h = 14695981039346656037ull;  // FNV-1a: the path itself may be longer than a name can be
  for (unsigned char c : key) h = (h ^ c) * 1099511628211ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
  return std::string("org.pipkin.Pipkin/") + hex;
}

InstanceClaim::InstanceClaim(const std::string& key) {
  if (key.empty()) return;
  const Address a = address_of(key);
  const auto give_up = std::chrono::steady_clock::now() + kSettleTime;
  for (;;) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&a.addr), a.size) == 0 && listen(fd, 16) == 0) {
      fd_ = fd;
      outcome_ = Outcome::Ours;
      return;
    }
    const bool taken = errno == EADDRINUSE;
    close(fd);
    if (!taken) return;
    switch (ask_holder(a)) {
      case Ask::Asked: outcome_ = Outcome::Elsewhere; return;
      case Ask::Stranger:
      case Ask::Failed: return;
      case Ask::NotListening: break;  // just bound and not yet listening, or gone meanwhile
    }
    if (std::chrono::steady_clock::now() >= give_up) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

InstanceClaim::~InstanceClaim() {
  if (fd_ >= 0) close(fd_);
}

int InstanceClaim::take_front_requests() {
  if (fd_ < 0) return 0;
  int n = 0;
  // Each request is a connection; what it says does not matter, only that it came from this user.
  for (int c; (c = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0;) {
    if (same_user(c)) ++n;
    close(c);
  }
  return n;
}

}  // namespace media
