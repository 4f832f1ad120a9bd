// Random input for a soak run: pointer moves, drags, clicks of both buttons, the digits 0-9 and the
// keys H, S and V, in bursts with pauses, on the current X display through the XTEST extension.
// Escape and Control are never sent, so the program only ends when the caller quits it.
//
//   soak_drive SECONDS [SEED]    random input for SECONDS
//   soak_drive warm-up [SEED]    a fixed amount of input that visits everything, however long it takes
//
// The warm-up visits activities 1 to 9 in turn, twice over. Each visit sends every kind of action at
// least twice (glides, jumps, left and right clicks, drags), starts a second game, opens and closes
// the help page, the info label and the sound, and goes back to the title screen, so that what the
// program and the renderer build and cache on first use exists before memory is first measured.
// Prints what it sent. Exits 1 when the display cannot be opened or has no XTEST.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1024, kHeight = 768;

struct Counts {
  long moves = 0, left = 0, right = 0, drags = 0, digits = 0, letters = 0, bursts = 0;
};

class Driver {
 public:
  Driver(Display* d, unsigned seed) : d_(d), rng_(seed) {}

  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  void pause_ms(int ms) {
    XFlush(d_);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

  void move(int x, int y) {
    x_ = std::clamp(x, 0, kWidth - 1);
    y_ = std::clamp(y, 0, kHeight - 1);
    XTestFakeMotionEvent(d_, -1, x_, y_, CurrentTime);
    ++counts.moves;
  }

  void button(unsigned b, bool down) { XTestFakeButtonEvent(d_, b, down ? True : False, CurrentTime); }

  void click(unsigned b) {
    button(b, true);
    pause_ms(uniform(5, 40));
    button(b, false);
    ++(b == 1 ? counts.left : counts.right);
  }

  void key(KeySym sym) {
    KeyCode code = XKeysymToKeycode(d_, sym);
    if (code == 0) return;
    XTestFakeKeyEvent(d_, code, True, CurrentTime);
    pause_ms(uniform(10, 60));
    XTestFakeKeyEvent(d_, code, False, CurrentTime);
    ++(sym >= XK_0 && sym <= XK_9 ? counts.digits : counts.letters);
  }

  void digit(int n) { key(XK_0 + n); }

  // A glide of the pointer to a random spot in small steps, as a hand moves it.
  void glide() {
    int tx = uniform(0, kWidth - 1), ty = uniform(0, kHeight - 1);
    int steps = uniform(2, 12);
    int x0 = x_, y0 = y_;
    for (int i = 1; i <= steps; ++i) {
      move(x0 + (tx - x0) * i / steps, y0 + (ty - y0) * i / steps);
      pause_ms(uniform(2, 15));
    }
  }

  // Left button held while the pointer travels: how pieces are carried.
  void drag() {
    button(1, true);
    glide();
    button(1, false);
    ++counts.drags;
  }

  // One action chosen by weight. Keys only when keys_allowed (the warm-up sends its own keys).
  void action(bool keys_allowed) { action_of(uniform(0, 99), keys_allowed); }

  // The action whose weight band holds r (0-99).
  void action_of(int r, bool keys_allowed) {
    if (r < 40) {
      glide();
    } else if (r < 50) {
      move(uniform(0, kWidth - 1), uniform(0, kHeight - 1));
    } else if (r < 68) {
      click(1);
    } else if (r < 78) {
      click(3);
    } else if (r < 88) {
      drag();
    } else if (!keys_allowed) {
      glide();
    } else if (r < 94) {
      digit(uniform(0, 9));
    } else {
      static const KeySym letters[] = {XK_h, XK_s, XK_v};
      key(letters[uniform(0, 2)]);
    }
  }

  // A burst of actions close together, then a pause.
  void burst(bool keys_allowed) {
    ++counts.bursts;
    int n = uniform(2, 12);
    for (int i = 0; i < n; ++i) {
      action(keys_allowed);
      pause_ms(uniform(5, 60));
    }
    pause_ms(uniform(100, 1200));
  }

  // Every kind of pointer action twice, in a random order, then a pause.
  void each_kind_twice() {
    int bands[] = {0, 0, 40, 40, 50, 50, 68, 68, 78, 78};  // glide, jump, left, right, drag
    std::shuffle(std::begin(bands), std::end(bands), rng_);
    for (int r : bands) {
      action_of(r, false);
      pause_ms(uniform(5, 60));
    }
    pause_ms(uniform(100, 600));
  }

  Counts counts;

 private:
  Display* d_;
  std::mt19937 rng_;
  int x_ = kWidth / 2, y_ = kHeight / 2;
};

// The warm-up: activities 1 to 9, twice over; see the top of the file.
void warm_up(Driver& drv) {
  for (int round = 0; round < 2; ++round) {
    for (int n = 1; n <= 9; ++n) {
      drv.digit(n);
      drv.each_kind_twice();
      drv.each_kind_twice();
      drv.digit(n);  // again while current: a new game, a restart or a clear
      drv.each_kind_twice();
      for (KeySym k : {XK_h, XK_h, XK_v, XK_v, XK_s, XK_s}) {
        drv.key(k);
        drv.pause_ms(drv.uniform(100, 400));
      }
      drv.digit(0);
      drv.pause_ms(drv.uniform(200, 500));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: soak_drive SECONDS|warm-up [SEED]\n");
    return 2;
  }
  const bool warming = std::string(argv[1]) == "warm-up";
  const double seconds = warming ? 0 : std::atof(argv[1]);
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : std::random_device{}();

  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "soak_drive: cannot open the display\n");
    return 1;
  }
  int ev, err, major, minor;
  if (!XTestQueryExtension(d, &ev, &err, &major, &minor)) {
    std::fprintf(stderr, "soak_drive: the display has no XTEST extension\n");
    XCloseDisplay(d);
    return 1;
  }

  Driver drv(d, seed);
  const auto start = Clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };

  if (warming) warm_up(drv);
  // Anything goes; now and then a digit of 1 to 9 so the title screen never holds for long.
  while (elapsed() < seconds) {
    if (drv.uniform(0, 5) == 0) drv.digit(drv.uniform(1, 9));
    drv.burst(true);
  }
  XFlush(d);
  XCloseDisplay(d);

  const Counts& c = drv.counts;
  std::printf("soak_drive: %s, seed %u, %.0f s: %ld bursts, %ld pointer moves, %ld left and %ld right clicks, "
              "%ld drags, %ld digit and %ld letter keys\n",
              warming ? "warm-up" : "random", seed, elapsed(), c.bursts, c.moves, c.left, c.right, c.drags, c.digits,
              c.letters);
  return 0;
}
