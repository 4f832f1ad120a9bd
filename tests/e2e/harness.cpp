#include "tests/e2e/harness.hpp"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace e2e {
namespace {

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string capture(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[256];
  while (fgets(buf, sizeof buf, p)) out += buf;
  pclose(p);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

void write_text(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

}  // namespace

std::string build_dir() { return PIPKIN_BUILD_DIR; }

std::string shot(const std::string& name) {
  const char* dir = std::getenv("PIPKIN_E2E_SHOTS");
  return dir ? std::string(dir) + "/" + name + ".png" : "";
}

int sh(const std::string& cmd) {
  int rc = std::system(cmd.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

bool near(uint32_t argb, int r, int g, int b, int tol) {
  auto ch = [argb](int s) { return static_cast<int>((argb >> s) & 255); };
  return std::abs(ch(16) - r) <= tol && std::abs(ch(8) - g) <= tol && std::abs(ch(0) - b) <= tol;
}

Pipkin::Pipkin(const Options& opt) : wait_for_pictures_(opt.wait_for_pictures) {
  char tmpl[] = "/tmp/pipkin-e2e-XXXXXX";
  dir_ = mkdtemp(tmpl);
  sh("cp '" + build_dir() + "/pipkin' '" + dir_ + "/' && cp -r '" + build_dir() + "/data' '" + dir_ + "/data'");
  sh("rm -f '" + dir_ + "/data/pipkin.txt' '" + dir_ + "/data/config.txt'");
  if (!opt.keep_pictures) sh("rm -rf '" + dir_ + "/data/pics' && mkdir '" + dir_ + "/data/pics'");
  if (opt.level > 0) write_text(dir_ + "/data/pipkin.txt", std::to_string(opt.level) + "\r\n");
  if (!opt.config.empty()) write_text(dir_ + "/data/config.txt", opt.config);
}

Pipkin::~Pipkin() {
  if (pid_ > 0 && running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (!dir_.empty() && std::getenv("PIPKIN_E2E_KEEP") == nullptr) sh("rm -rf '" + dir_ + "'");
}

bool Pipkin::start(bool wait_for_frame) {
  const std::string times = dir_ + "/startup-times.txt";
  std::remove(times.c_str());
  pid_ = fork();
  if (pid_ == 0) {
    // Started from another folder on purpose: the program must find its data beside itself.
    if (chdir("/") != 0) _exit(127);
    std::string err = dir_ + "/stderr.txt";
    if (!freopen(err.c_str(), "w", stderr)) _exit(127);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("PIPKIN_STARTUP_TIMES", times.c_str(), 1);  // the program notes when its pictures are in
    std::string prog = dir_ + "/pipkin";
    execl(prog.c_str(), prog.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 100 && window_.empty(); ++i) {
    if (!running()) return false;
    window_ = capture("xdotool search --pid " + std::to_string(pid_) + " --name '^Pipkin$' 2>/dev/null | head -n 1");
    if (window_.empty()) sleep_ms(100);
  }
  if (window_.empty()) return false;
  if (!wait_for_frame) {
    settle(1000);
    return running();
  }
  // The first frame is drawn once the shared images are loaded: wait until the screen is not black.
  if (!wait_for([](const media::Pixmap& p) { return (media::read_pixel(p, 512, 300) & 0xFFFFFF) != 0; }, 15000))
    return false;
  if (!wait_for_pictures_) return true;
  return wait_until([&] {
    std::ifstream f(times);
    std::string line;
    while (std::getline(f, line))
      if (line.rfind("pictures ", 0) == 0) return true;
    return !running();
  }, 120000) && running();
}

bool Pipkin::running() {
  if (pid_ <= 0 || status_ != -1) return false;
  int st = 0;
  pid_t r = waitpid(pid_, &st, WNOHANG);
  if (r == pid_) {
    status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return false;
  }
  return true;
}

bool Pipkin::wait_exit(int ms) {
  for (int t = 0; t < ms; t += 50) {
    if (!running()) return true;
    sleep_ms(50);
  }
  return !running();
}

std::string Pipkin::stderr_text() const {
  std::ifstream f(dir_ + "/stderr.txt");
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void Pipkin::key(const std::string& keysym) {
  sh("xdotool key --clearmodifiers " + keysym);
  settle(150);
}

void Pipkin::move(int x, int y) {
  sh("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
  settle(60);
}

void Pipkin::click(int x, int y, int button) {
  move(x, y);
  sh("xdotool click " + std::to_string(button));
  settle(150);
}

void Pipkin::close_window() {
  // What a window manager's close button sends: a WM_DELETE_WINDOW client message.
  Display* d = XOpenDisplay(nullptr);
  if (!d) return;
  Window w = static_cast<Window>(std::stoul(window_));
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &ev);
  XCloseDisplay(d);
}

void Pipkin::settle(int ms) { sleep_ms(ms); }

media::PixmapPtr Pipkin::screenshot(const std::string& save_as) {
  std::string path = save_as.empty() ? dir_ + "/shot.png" : save_as;
  sh("import -window " + window_ + " '" + path + "' 2>/dev/null");
  return media::load_pixmap(path);
}

bool Pipkin::wait_for(const std::function<bool(const media::Pixmap&)>& pred, int timeout_ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  do {
    media::PixmapPtr p = screenshot();
    if (p && pred(*p)) return true;
    sleep_ms(100);
  } while (std::chrono::steady_clock::now() < end);
  return false;
}

bool wait_until(const std::function<bool()>& cond, int timeout_ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  do {
    if (cond()) return true;
    sleep_ms(50);
  } while (std::chrono::steady_clock::now() < end);
  return cond();
}

XServer::XServer(const std::vector<std::string>& screens, const std::string& extra) {
  int fds[2];
  if (pipe(fds) != 0) return;
  std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1])};
  for (size_t i = 0; i < screens.size(); ++i) args.insert(args.end(), {"-screen", std::to_string(i), screens[i]});
  std::istringstream more(extra);
  for (std::string a; more >> a;) args.push_back(a);
  args.insert(args.end(), {"-nolisten", "tcp", "-noreset"});
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execvp("Xvfb", argv.data());
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes its display number once it accepts clients.
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < end && poll(&p, 1, 1000) >= 0) {
    if (!(p.revents & (POLLIN | POLLHUP))) continue;
    char c;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) return;
  const char* old = std::getenv("DISPLAY");
  had_display_ = old != nullptr;
  if (old) old_display_ = old;
  display_ = ":" + number;
  setenv("DISPLAY", display_.c_str(), 1);
}

XServer::~XServer() {
  if (had_display_)
    setenv("DISPLAY", old_display_.c_str(), 1);
  else
    unsetenv("DISPLAY");
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

WindowManager::~WindowManager() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

bool WindowManager::start(int timeout_ms) {
  pid_ = fork();
  if (pid_ == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
    _exit(127);
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  // A window manager that follows the desktop conventions names its check window on the root.
  Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
  bool ready = wait_until(
      [&] {
        Atom type;
        int format;
        unsigned long n = 0, after;
        unsigned char* data = nullptr;
        bool found = XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, XA_WINDOW, &type, &format, &n,
                                        &after, &data) == Success &&
                     n == 1;
        if (data) XFree(data);
        return found;
      },
      timeout_ms);
  XCloseDisplay(d);
  return ready;
}

std::string Pipkin::read_text(const std::string& rel) const {
  std::ifstream f(data(rel), std::ios::binary);
  if (!f) return "";
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

}  // namespace e2e
