// One program per progress file: the claim on a key, the request to come to the front, and a claim
// that dies with its process however it ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "media/files/one_instance.hpp"

using media::InstanceClaim;
using Outcome = InstanceClaim::Outcome;

namespace {

// A key of this test run's own, so parallel runs never meet.
std::string key(const std::string& name) { return "/tmp/pipkin-claim-test-" + std::to_string(getpid()) + "/" + name; }

}  // namespace

TEST(OneInstance, TheFirstHoldsTheKeyALaterStartAsksItToTheFront) {
  InstanceClaim first(key("a/pipkin.txt"));
  ASSERT_EQ(first.outcome(), Outcome::Ours);
  EXPECT_EQ(first.take_front_requests(), 0);
  {
    InstanceClaim second(key("a/pipkin.txt"));
    EXPECT_EQ(second.outcome(), Outcome::Elsewhere);
    InstanceClaim third(key("a/pipkin.txt"));
    EXPECT_EQ(third.outcome(), Outcome::Elsewhere);
  }
  EXPECT_EQ(first.take_front_requests(), 2);
  EXPECT_EQ(first.take_front_requests(), 0) << "each request is taken once";
  InstanceClaim other(key("b/pipkin.txt"));
  EXPECT_EQ(other.outcome(), Outcome::Ours) << "another progress file is another program's";
  EXPECT_EQ(InstanceClaim("").outcome(), Outcome::Unclaimed) << "no key, nothing to hold";
  EXPECT_NE(media::instance_name(key("a")), media::instance_name(key("b")));
}

TEST(OneInstance, AClaimEndsWithItsHolderHoweverItEnds) {
  {
    InstanceClaim held(key("c/pipkin.txt"));
    ASSERT_EQ(held.outcome(), Outcome::Ours);
  }
  EXPECT_EQ(InstanceClaim(key("c/pipkin.txt")).outcome(), Outcome::Ours) << "given back when the program ends";

  // A holder killed outright (as a crash or a power cut ends it) leaves nothing that keeps the next
  // start out: there is no file to go stale.
  const std::string crashed = key("d/pipkin.txt");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    InstanceClaim claim(crashed);
    const char c = claim.outcome() == Outcome::Ours ? '1' : '0';
    if (write(ready[1], &c, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, '1');
  EXPECT_EQ(InstanceClaim(crashed).outcome(), Outcome::Elsewhere) << "held by the other process";
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_EQ(InstanceClaim(crashed).outcome(), Outcome::Ours);
}
