// Random input for a soak run: pointer moves, drags, clicks of both buttons, the digits 0-9 and the
// keys H, S and V, in bursts with pauses, on the current X display through the XTEST extension.
// Escape and Control are never sent, so the program only ends when the caller quits it.
//
//   soak_drive SECONDS [SEED] [TOUR_SECONDS]
//
// The first TOUR_SECONDS (default: a fifth of the run; 0 for none) visit activities 1 to 9 in turn,
// each with a second game, so every activity object exists early; after that the digits come at
// random like the other keys.
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

  // One action chosen by weight. Keys only when keys_allowed (the tour sends its own digits).
  void action(bool keys_allowed) {
    int r = uniform(0, 99);
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

  Counts counts;

 private:
  Display* d_;
  std::mt19937 rng_;
  int x_ = kWidth / 2, y_ = kHeight / 2;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: soak_drive SECONDS [SEED] [TOUR_SECONDS]\n");
    return 2;
  }
  const double seconds = std::atof(argv[1]);
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : std::random_device{}();
  const double tour = argc > 3 ? std::atof(argv[3]) : seconds / 5;

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

  // The tour: each activity in turn for an equal share of the tour time, with a second game of it,
  // its help page and the info label, so that what the program builds and caches on first use is
  // there before memory is first measured.
  for (int n = 1; n <= 9 && tour > 0; ++n) {
    drv.digit(n);
    const double half = tour * (n - 0.5) / 9, until = tour * n / 9;
    do drv.burst(false);
    while (elapsed() < half && elapsed() < seconds);
    drv.digit(n);
    for (KeySym k : {XK_h, XK_h, XK_v, XK_v}) {
      drv.key(k);
      drv.pause_ms(drv.uniform(100, 400));
    }
    do drv.burst(false);
    while (elapsed() < until && elapsed() < seconds);
  }
  // Then anything goes; now and then a digit of 1 to 9 so the title screen never holds for long.
  while (elapsed() < seconds) {
    if (drv.uniform(0, 5) == 0) drv.digit(drv.uniform(1, 9));
    drv.burst(true);
  }
  XFlush(d);
  XCloseDisplay(d);

  const Counts& c = drv.counts;
  std::printf("soak_drive: seed %u, %.0f s: %ld bursts, %ld pointer moves, %ld left and %ld right clicks, "
              "%ld drags, %ld digit and %ld letter keys\n",
              seed, elapsed(), c.bursts, c.moves, c.left, c.right, c.drags, c.digits, c.letters);
  return 0;
}
