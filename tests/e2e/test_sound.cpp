// Sound end to end: the real program plays through a real sound server of the test's own (a private
// PulseAudio with a null sink), and the sink's monitor is recorded. The ping of picture frames and the
// bounce of the cards must be heard; after S (sound off) the same actions must leave silence; after S
// again they are heard once more.
//
// Times are measured in recorded audio, not on the wall clock: "a second of silence" is a second's
// worth of samples from the sink, which the server produces at its own pace however busy the machine is.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/harness.hpp"

using e2e::Pipkin;
using media::read_pixel;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRate = 44100;
constexpr long kBytesPerSecond = kRate * 2 * 2;  // 16-bit stereo
constexpr int kLoud = 1000;                      // a sample this far from zero is sound
constexpr int kQuiet = 64;                       // below this on every sample is silence
constexpr int kDeadlineMs = 20000;

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// Starts argv with exactly the environment env, standard output into out and standard error into
// err (paths; empty for /dev/null). Returns the process id.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& out,
            const std::string& err) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  auto redirect = [](const std::string& path, int fd) {
    int f = open(path.empty() ? "/dev/null" : path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (f < 0 || dup2(f, fd) < 0) _exit(127);
    close(f);
  };
  redirect(out, 1);
  redirect(err, 2);
  std::vector<char*> a, e;
  for (const auto& s : argv) a.push_back(const_cast<char*>(s.c_str()));
  for (const auto& s : env) e.push_back(const_cast<char*>(s.c_str()));
  a.push_back(nullptr);
  e.push_back(nullptr);
  execve(a[0], a.data(), e.data());
  _exit(127);
}

// Ends a child: TERM, then KILL if it is still there after a few seconds.
void stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    sleep_ms(50);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

bool alive(pid_t pid) { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }

// A PulseAudio server of our own: user mode (also as root), no configuration files, a null sink and
// a native socket in a private folder, anonymous clients.
class SoundServer {
 public:
  SoundServer() {
    char tmpl[] = "/tmp/pipkin-pulse-XXXXXX";
    dir_ = mkdtemp(tmpl);
    mkdir((dir_ + "/run").c_str(), 0700);
    mkdir((dir_ + "/home").c_str(), 0700);
  }
  ~SoundServer() {
    stop(pid_);
    if (std::getenv("PIPKIN_E2E_KEEP") == nullptr) e2e::sh("rm -rf '" + dir_ + "'");
  }

  std::string socket() const { return dir_ + "/native"; }
  std::string server() const { return "unix:" + socket(); }
  std::string log() const { return read_file(dir_ + "/pulse.log"); }
  const std::string& dir() const { return dir_; }

  // The environment for the server and its clients: everything it might write stays in our folder,
  // and without DISPLAY or a session bus it looks for neither.
  std::vector<std::string> env() const {
    return {"PATH=/usr/bin:/bin", "HOME=" + dir_ + "/home", "XDG_RUNTIME_DIR=" + dir_ + "/run",
            "XDG_CONFIG_HOME=" + dir_ + "/home", "PULSE_RUNTIME_PATH=" + dir_ + "/run",
            "PULSE_STATE_PATH=" + dir_ + "/home", "PULSE_SERVER=" + server(),
            "PULSE_COOKIE=" + dir_ + "/home/cookie", "DBUS_SESSION_BUS_ADDRESS=disabled:"};
  }

  // Starts the server and waits until it answers on its socket.
  bool start() {
    pid_ = spawn({"/usr/bin/pulseaudio", "--daemonize=no", "--system=false", "-n", "--exit-idle-time=-1",
                  "--disallow-exit", "--use-pid-file=false", "--realtime=false", "--high-priority=false",
                  "--log-target=stderr", "-L", "module-null-sink sink_name=pipkin_test rate=44100 channels=2",
                  "-L", "module-native-protocol-unix socket=" + socket() + " auth-anonymous=1"},
                 env(), "", dir_ + "/pulse.log");
    auto end = Clock::now() + std::chrono::milliseconds(kDeadlineMs);
    while (Clock::now() < end) {
      if (!alive(pid_)) return false;
      struct stat st;
      if (stat(socket().c_str(), &st) == 0 && pactl("info", "") == 0) return true;
      sleep_ms(100);
    }
    return false;
  }

  // Runs pactl against this server; its output goes to out (path) when given.
  int pactl(const std::string& args, const std::string& out) const {
    std::string cmd = "env -i";
    for (const auto& e : env()) cmd += " '" + e + "'";
    cmd += " pactl " + args + (out.empty() ? " >/dev/null" : " >'" + out + "'") + " 2>&1";
    return e2e::sh(cmd);
  }

  // Streams playing into the server right now.
  int streams() const {
    std::string out = dir_ + "/inputs.txt";
    if (pactl("list short sink-inputs", out) != 0) return -1;
    std::string text = read_file(out);
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
  }

 private:
  std::string dir_;
  pid_t pid_ = -1;
};

// Records the null sink's monitor into a raw file (16-bit stereo at 44.1 kHz) with parec.
class Recording {
 public:
  explicit Recording(const SoundServer& server) : path_(server.dir() + "/monitor.raw") {
    pid_ = spawn({"/usr/bin/parec", "--device=pipkin_test.monitor", "--format=s16le", "--rate=44100",
                  "--channels=2", "--raw", "--latency-msec=20"},
                 server.env(), path_, server.dir() + "/parec.log");
  }
  ~Recording() { stop(pid_); }

  bool running() const { return alive(pid_); }

  // Bytes recorded so far, whole stereo frames only.
  long size() const {
    struct stat st;
    return stat(path_.c_str(), &st) == 0 ? static_cast<long>(st.st_size) / 4 * 4 : 0;
  }

  // The largest sample magnitude in [from, to) of the recording.
  int peak(long from, long to) const {
    std::ifstream f(path_, std::ios::binary);
    f.seekg(from);
    std::vector<int16_t> buf(static_cast<size_t>((to - from) / 2));
    f.read(reinterpret_cast<char*>(buf.data()), static_cast<std::streamsize>(buf.size() * 2));
    int p = 0;
    for (size_t i = 0; i < static_cast<size_t>(f.gcount() / 2); ++i) p = std::max(p, std::abs(int{buf[i]}));
    return p;
  }

  // Waits until the recording holds at least bytes; false after the deadline.
  bool wait_size(long bytes, int timeout_ms = kDeadlineMs) const {
    auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (size() < bytes) {
      if (Clock::now() >= end || !running()) return false;
      sleep_ms(50);
    }
    return true;
  }

  // Waits until a loud sample is recorded after the offset from.
  bool wait_loud(long from, int timeout_ms = kDeadlineMs) const {
    auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
    do {
      if (peak(from, size()) >= kLoud) return true;
      sleep_ms(50);
    } while (Clock::now() < end && running());
    return peak(from, size()) >= kLoud;
  }

  // Waits until the last `seconds` of the recording are silent (whatever played before has ended)
  // and returns the recording's size then; -1 after the deadline.
  long wait_quiet(double seconds, int timeout_ms = kDeadlineMs) const {
    const long span = static_cast<long>(seconds * kRate) * 4;
    auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
    do {
      long n = size();
      if (n >= span && peak(n - span, n) < kQuiet) return n;
      sleep_ms(50);
    } while (Clock::now() < end && running());
    return -1;
  }

 private:
  std::string path_;
  pid_t pid_ = -1;
};

int channel_distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int s : {16, 8, 0}) d = std::max(d, std::abs(int(a >> s & 255) - int(b >> s & 255)));
  return d;
}

// Pixels of an area that differ between two screenshots by more than 30 on some channel.
int changed(const media::Pixmap& a, const media::Pixmap& b, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; y += 2)
    for (int x = x0; x < x1; x += 2) n += channel_distance(read_pixel(a, x, y), read_pixel(b, x, y)) > 30;
  return n;
}

bool pale(uint32_t p) { return (p >> 16 & 255) > 235 && (p >> 8 & 255) > 230 && (p & 255) > 215; }

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.start()) << "the sound server did not start:\n" << server.log();
    rec = std::make_unique<Recording>(server);
    // The recording runs: the null sink delivers a steady stream of (silent) samples.
    ASSERT_TRUE(rec->wait_size(kBytesPerSecond / 2)) << "nothing recorded from the sink's monitor:\n"
                                                     << read_file(server.dir() + "/parec.log");
    e2e::Options opt;
    opt.level = 9;
    opt.env = {{"SDL_AUDIODRIVER", "pulseaudio"}, {"PULSE_SERVER", server.server()},
               {"PULSE_COOKIE", server.dir() + "/home/cookie"}};
    app = std::make_unique<Pipkin>(opt);
    ASSERT_TRUE(app->start()) << app->stderr_text();
    // The program's stream is connected to the server (the recording is the other client, a source
    // output, which this does not count).
    auto end = Clock::now() + std::chrono::milliseconds(kDeadlineMs);
    while (server.streams() < 1 && Clock::now() < end) sleep_ms(100);
    ASSERT_GE(server.streams(), 1) << "the program plays nothing into the server:\n" << app->stderr_text();
  }

  // Shows the frames and puts the pointer on the background between them.
  void frames() {
    app->move(512, 370);
    app->key("1");
    ASSERT_TRUE(app->wait_for([](const media::Pixmap& p) { return pale(read_pixel(p, 756, 538)); }, kDeadlineMs));
  }

  // The pointer enters the top-left frame (from the background); returns the recording's size from
  // just before. Waits until the frame shows its next picture, so the program has handled the entry.
  long enter_frame() {
    media::PixmapPtr before = app->screenshot();
    long from = rec->size();
    // Each move is seen drawn before the next: the program drops moves that come within 10 ms of
    // the last one it handled, and a busy machine delivers them in a bunch.
    EXPECT_TRUE(app->move_and_see(512, 370) && app->move_and_see(200, 250) && app->move_and_see(250, 200))
        << "the pointer did not follow";
    EXPECT_TRUE(before && app->wait_for([&](const media::Pixmap& p) { return changed(*before, p, 110, 90, 430, 320) > 2000; },
                                        kDeadlineMs))
        << "the frame did not change";
    return from;
  }

  // A fresh sky in activity 3 and one card thrown from the left; returns the recording's size from
  // just before the click. Waits until the card's trail has reached the floor, that is until it has
  // bounced.
  long throw_card() {
    app->move(512, 384);
    app->key("3");
    media::PixmapPtr sky;
    // Key 3 wipes the old trails; wait until two screenshots agree on the sky.
    EXPECT_TRUE(app->wait_for(
        [&](const media::Pixmap& p) {
          bool same = sky && changed(*sky, p, 0, 0, 1024, 768) < 50;
          sky = std::make_shared<media::Pixmap>(p);
          return same;
        },
        kDeadlineMs));
    long from = rec->size();
    app->click(300, 300, 1);
    EXPECT_TRUE(sky && app->wait_for([&](const media::Pixmap& p) { return changed(*sky, p, 0, 700, 1024, 768) > 500; },
                                     kDeadlineMs))
        << "no card reached the floor";
    return from;
  }

  // After an action that would have sounded: at least `seconds` of audio recorded since the moment
  // the screen showed its effect, and nothing loud since from.
  void expect_silence_since(long from, double seconds, const char* what) {
    long need = rec->size() + static_cast<long>(seconds * kRate) * 4;
    ASSERT_TRUE(rec->wait_size(need)) << "the recording stalled";
    EXPECT_LT(rec->peak(from, rec->size()), kQuiet) << what << " with sound off";
  }

  void quit() {
    app->key("Escape");
    ASSERT_TRUE(app->wait_exit(kDeadlineMs));
    EXPECT_EQ(app->exit_status(), 0) << app->stderr_text();
  }

  SoundServer server;
  std::unique_ptr<Recording> rec;
  std::unique_ptr<Pipkin> app;
};

}  // namespace

TEST_F(SoundTest, EffectsAreHeardAndSOffSilencesThem) {
  // Sound on: the ping as the pointer enters a frame, the bounce as the card hits the floor.
  frames();
  long from = enter_frame();
  EXPECT_TRUE(rec->wait_loud(from)) << "no ping when the pointer entered a frame";
  ASSERT_GE(rec->wait_quiet(1.5), 0) << "the ping never ended";
  from = throw_card();
  EXPECT_TRUE(rec->wait_loud(from)) << "no bounce when the card hit the floor";

  // Key 3 again takes the cards away; once they are quiet, sound off.
  app->key("3");
  ASSERT_GE(rec->wait_quiet(1.5), 0) << "the bounces never ended";
  app->key("s");
  frames();
  from = enter_frame();
  expect_silence_since(from, 3, "the frame");
  from = throw_card();
  expect_silence_since(from, 3, "the bouncing card");

  // Sound on again: heard again, so the silence was the S key's doing.
  app->key("3");
  app->key("s");
  from = throw_card();
  EXPECT_TRUE(rec->wait_loud(from)) << "no bounce after sound was switched back on";
  quit();
}
