#include "tests/e2e/harness.hpp"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

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

Pipkin::Pipkin(const Options& opt) : env_(opt.env), wait_for_pictures_(opt.wait_for_pictures) {
  char tmpl[] = "/tmp/pipkin-e2e-XXXXXX";
  dir_ = mkdtemp(tmpl);
  std::string state_dir = dir_ + "/data/", config_dir = dir_ + "/data/";
  if (opt.installed) {
    program_ = dir_ + "/usr/bin/pipkin";
    data_ = dir_ + "/usr/share/pipkin/";
    const std::string home = this->home();
    state_dir = home + "/.local/state/pipkin/";
    config_dir = home + "/.config/pipkin/";
    sh("mkdir -p '" + dir_ + "/usr/bin' '" + dir_ + "/usr/share' '" + state_dir + "' '" + config_dir + "'");
    env_.insert(env_.begin(), {{"HOME", home},
                               {"XDG_CONFIG_HOME", home + "/.config"},
                               {"XDG_STATE_HOME", home + "/.local/state"},
                               {"XDG_DATA_HOME", home + "/.local/share"},
                               {"XDG_CACHE_HOME", home + "/.cache"}});
  } else {
    program_ = dir_ + "/pipkin";
    data_ = dir_ + "/data/";
  }
  sh("cp '" + build_dir() + "/pipkin' '" + program_ + "' && cp -r '" + build_dir() + "/data' '" +
     data_.substr(0, data_.size() - 1) + "'");
  sh("rm -f '" + data_ + "pipkin.txt' '" + data_ + "config.txt'");
  if (!opt.keep_pictures) sh("rm -rf '" + data_ + "pics' && mkdir '" + data_ + "pics'");
  if (opt.level > 0) write_text(state_dir + "pipkin.txt", std::to_string(opt.level) + "\r\n");
  if (!opt.config.empty()) write_text(config_dir + "config.txt", opt.config);
}

Pipkin::~Pipkin() {
  if (display_) XCloseDisplay(static_cast<Display*>(display_));
  if (pid_ > 0 && running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (!dir_.empty() && std::getenv("PIPKIN_E2E_KEEP") == nullptr) sh("rm -rf '" + dir_ + "'");
}

void Pipkin::kill_hard() {
  if (pid_ > 0 && running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    status_ = 128 + SIGKILL;
  }
}

std::string Pipkin::startup_notes() const { return read_file(dir_ + "/startup-times.txt"); }

bool Pipkin::start(bool wait_for_frame, const std::vector<std::string>& args) {
  const std::string times = dir_ + "/startup-times.txt";
  std::remove(times.c_str());
  status_ = -1;  // a program started again after it ended
  window_.clear();
  pid_ = fork();
  if (pid_ == 0) {
    // Started from another folder on purpose: the program must find its data beside itself.
    if (chdir("/") != 0) _exit(127);
    std::string err = dir_ + "/stderr.txt";
    if (!freopen(err.c_str(), "w", stderr)) _exit(127);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    for (const auto& [name, value] : env_) setenv(name.c_str(), value.c_str(), 1);
    // The program notes when its pictures are in.
    std::vector<std::string> line = {program_, "--test-startup-times=" + times};
    line.insert(line.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : line) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program_.c_str(), argv.data());
    _exit(127);
  }
  // Input sent before the window is mapped would be lost: wait until it is viewable.
  const auto end = Clock::now() + std::chrono::milliseconds(kDeadlineMs);
  while (window_.empty() && Clock::now() < end) {
    if (!running()) return false;
    window_ = capture("xdotool search --onlyvisible --pid " + std::to_string(pid_) +
                      " --name '^Pipkin$' 2>/dev/null | head -n 1");
    if (window_.empty()) sleep_ms(50);
  }
  if (window_.empty()) return false;
  if (!wait_for_frame) return running();
  // The first frame is drawn once the shared images are loaded: wait until the screen is not black.
  if (!wait_for([](const media::Pixmap& p) { return (media::read_pixel(p, 512, 300) & 0xFFFFFF) != 0; }, kDeadlineMs))
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
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < end) {
    if (!running()) return true;
    sleep_ms(20);
  }
  return !running();
}

std::string Pipkin::stderr_text() const {
  std::ifstream f(dir_ + "/stderr.txt");
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void Pipkin::xdotool(const std::string& args) { sh("xdotool " + args); }

void Pipkin::key(const std::string& keysym) { xdotool("key --clearmodifiers " + keysym); }

void Pipkin::key_down(const std::string& keysyms) { xdotool("keydown " + keysyms); }

void Pipkin::key_up(const std::string& keysyms) { xdotool("keyup " + keysyms); }

void Pipkin::move(int x, int y) { xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y)); }

void Pipkin::click(int x, int y, int button) {
  xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " + std::to_string(button));
}

void Pipkin::click_then_move(int x, int y, int to_x, int to_y, int button) {
  xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " + std::to_string(button) +
          " mousemove " + std::to_string(to_x) + " " + std::to_string(to_y));
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

bool Pipkin::thinking_shown(const media::Pixmap& shot) {
  if (!thinking_) thinking_ = media::load_pixmap(data("images/thinking.png"));
  if (!thinking_) return false;
  int opaque = 0, same = 0;
  for (int v = 0; v < thinking_->height; v += 2)
    for (int u = 0; u < thinking_->width; u += 2) {
      uint32_t want = media::read_pixel(*thinking_, u, v);
      if ((want >> 24) < 255) continue;
      ++opaque;
      same += near(media::read_pixel(shot, 512 + u, 384 + v), want >> 16 & 255, want >> 8 & 255, want & 255, 24);
    }
  return opaque > 0 && same * 10 >= opaque * 9;
}

bool Pipkin::pointer_at(const media::Pixmap& shot, int x, int y) {
  if (!pointer_) pointer_ = media::load_pixmap(data("images/pointer.png"));
  if (!pointer_) return false;
  auto drawn_at = [&](int px, int py) {
    int opaque = 0, same = 0;
    for (int v = 0; v < pointer_->height; ++v)
      for (int u = 0; u < pointer_->width; ++u) {
        uint32_t want = media::read_pixel(*pointer_, u, v);
        if ((want >> 24) < 255 || px + u >= shot.width || py + v >= shot.height) continue;
        ++opaque;
        uint32_t got = media::read_pixel(shot, px + u, py + v);
        same += near(got, (want >> 16) & 255, (want >> 8) & 255, want & 255, 24);
      }
    return opaque >= 20 && same * 10 >= opaque * 9;
  };
  return drawn_at(x, y) || drawn_at(x + 1, y);
}

bool Pipkin::move_and_see(int x, int y, int timeout_ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (int sent = 0; Clock::now() < end; ++sent) {
    // A move to where the pointer already is sends nothing, so a repeat goes one pixel aside.
    move(x + sent % 2, y);
    // Seen at once in the usual case; one that was overridden is sent again after a while.
    const auto again = std::min(end, Clock::now() + std::chrono::seconds(1));
    while (Clock::now() < again) {
      media::PixmapPtr p = screenshot();
      if (p && pointer_at(*p, x, y)) return true;
      sleep_ms(20);
    }
  }
  return false;
}

// The window's pixels read straight from the X server: much quicker than a screenshot program, so
// waits can look often.
media::PixmapPtr Pipkin::grab() {
  if (!display_) display_ = XOpenDisplay(nullptr);
  Display* d = static_cast<Display*>(display_);
  if (!d || window_.empty()) return nullptr;
  Window w = static_cast<Window>(std::stoul(window_));
  XWindowAttributes attr{};
  // A window that is gone must not end the test through Xlib's default error handler.
  auto old_handler = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  XImage* img = nullptr;
  if (XGetWindowAttributes(d, w, &attr) && attr.map_state == IsViewable)
    img = XGetImage(d, w, 0, 0, static_cast<unsigned>(attr.width), static_cast<unsigned>(attr.height),
                    AllPlanes, ZPixmap);
  XSync(d, False);
  XSetErrorHandler(old_handler);
  if (!img) return nullptr;
  media::PixmapPtr p = media::create_pixmap(img->width, img->height, media::PF_BGRA);
  auto shift = [](unsigned long mask) {
    int s = 0;
    while (mask && !(mask & 1)) mask >>= 1, ++s;
    return s;
  };
  const int rs = shift(img->red_mask), gs = shift(img->green_mask), bs = shift(img->blue_mask);
  for (int y = 0; p && y < img->height; ++y)
    for (int x = 0; x < img->width; ++x) {
      unsigned long v = XGetPixel(img, x, y);
      uint32_t argb = 0xFF000000u | static_cast<uint32_t>((v & img->red_mask) >> rs) << 16 |
                      static_cast<uint32_t>((v & img->green_mask) >> gs) << 8 |
                      static_cast<uint32_t>((v & img->blue_mask) >> bs);
      media::write_pixel(*p, x, y, argb);
    }
  XDestroyImage(img);
  return p;
}

media::PixmapPtr Pipkin::screenshot(const std::string& save_as) {
  const auto end = Clock::now() + std::chrono::milliseconds(kDeadlineMs);
  for (;;) {
    media::PixmapPtr p = grab();
    if (p) {
      if (!save_as.empty()) sh("import -window " + window_ + " '" + save_as + "' 2>/dev/null");
      return p;
    }
    if (!running() || Clock::now() >= end) return p;
    sleep_ms(50);
  }
}

bool wait_for_screenshot(const std::function<media::PixmapPtr()>& take,
                         const std::function<bool(const media::Pixmap&)>& pred, int timeout_ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
  do {
    media::PixmapPtr p = take();
    if (p && pred(*p)) return true;
    sleep_ms(20);
  } while (Clock::now() < end);
  return false;
}

Diff diff(const media::Pixmap& a, const media::Pixmap& b, int x0, int y0, int x1, int y1) {
  auto channel = [](uint32_t p, int shift) { return static_cast<int>(p >> shift & 255); };
  Diff d;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      uint32_t p = media::read_pixel(a, x, y), q = media::read_pixel(b, x, y);
      bool differs = false;
      for (int s : {0, 8, 16}) differs |= std::abs(channel(p, s) - channel(q, s)) > 30;
      if (!differs) continue;
      ++d.n;
      d.x0 = std::min(d.x0, x), d.y0 = std::min(d.y0, y), d.x1 = std::max(d.x1, x), d.y1 = std::max(d.y1, y);
    }
  return d;
}

bool Pipkin::wait_for(const std::function<bool(const media::Pixmap&)>& pred, int timeout_ms) {
  return wait_for_screenshot([this] { return screenshot(); }, pred, timeout_ms);
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
  std::vector<std::string> args = {"Xvfb"};
  for (size_t i = 0; i < screens.size(); ++i) args.insert(args.end(), {"-screen", std::to_string(i), screens[i]});
  std::istringstream more(extra);
  for (std::string a; more >> a;) args.push_back(a);
  launch(args);
}

XServer::XServer(TwoMonitors) {
  char tmpl[] = "/tmp/pipkin-xorg-XXXXXX";
  dir_ = mkdtemp(tmpl);
  // No input devices of its own: xdotool's come through the server's test extension.
  std::ofstream(dir_ + "/xorg.conf") << R"(Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2048 768
  EndSubSection
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
)";
  launch({"Xorg", "-config", dir_ + "/xorg.conf", "-logfile", dir_ + "/xorg.log", "-novtswitch", "-sharevts"});
  if (!ok()) return;
  // The first output shows 1024x768 at 0,0; the second is added beside it.
  if (sh("xrandr --output DUMMY0 --mode 1024x768 --pos 0x0 && xrandr --addmode DUMMY1 1024x768 && "
         "xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0") != 0)
    display_.clear();
}

void XServer::launch(std::vector<std::string> args) {
  int fds[2];
  if (pipe(fds) != 0) return;
  args.insert(args.begin() + 1, {"-displayfd", std::to_string(fds[1])});
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
    execvp(argv[0], argv.data());
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
  if (!dir_.empty() && std::getenv("PIPKIN_E2E_KEEP") == nullptr) sh("rm -rf '" + dir_ + "'");
}

void Desktop::open() {
  if (x_.ok() && wm_.start()) display_ = XOpenDisplay(nullptr);
}

Desktop::~Desktop() {
  if (display_) XCloseDisplay(display_);
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

bool shows_page(const media::Pixmap& shot, const media::Pixmap& page, int x0, int y0) {
  if (shot.width < x0 + page.width || shot.height < y0 + page.height) return false;
  int same = 0, all = 0;
  for (int y = 20; y < 120; y += 4)
    for (int x = 20; x < 700; x += 4, ++all) {
      const uint32_t q = media::read_pixel(page, x, y);
      same += near(media::read_pixel(shot, x0 + x, y0 + y), (q >> 16) & 255, (q >> 8) & 255, q & 255);
    }
  return same > all * 9 / 10;
}

bool shows_page(const media::Pixmap& shot, const media::Pixmap& page) {
  return shot.width == 1024 && shot.height == 768 &&
         shows_page(shot, page, (1024 - page.width) / 2, (768 - page.height) / 2);
}

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return "";
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::string Pipkin::read_text(const std::string& rel) const { return read_file(data(rel)); }

}  // namespace e2e
