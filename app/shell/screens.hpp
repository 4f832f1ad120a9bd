// What has the screen: the title or an activity at the bottom, and over it the help page, the
// info label, the activity's number, the break screen, the parent's settings page and the quit ring.
// Each is a Screen with one small interface, kept on the ScreenStack in its own layer. Input goes to
// the top screen first; each says whether it took it or passes it down, and a trap (the parent's
// screens) lets nothing through to the screens beneath. What no screen takes, a key's command, is
// the loop's to carry out. Removing a screen is deferred to the next step, so a handler that closes
// its own screen never pulls the floor from under itself.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/shell/keys.hpp"
#include "media/input/events.hpp"

namespace app {

enum class Turn { Continue, Quit };

// Where a screen lies, bottom to top; one screen to a layer. The order is the order of drawing.
enum class Layer : uint8_t { Play, Help, Label, Number, Break, Page, Ring };
constexpr int kLayers = 7;

// A key as the screens see it: the key that went down (None when a chord ended), whether Control is
// held, and what it means to the loop under the key rules (none while it means nothing yet: under
// the child lock a key acts only as its chord ends).
struct KeyInput {
  media::Key pressed = media::Key::None;
  bool ctrl = false;
  std::optional<KeyCommand> command;
  // A key going down without Control: a plain key, which a page may take for itself.
  bool plain() const { return pressed != media::Key::None && !ctrl && !media::is_control(pressed); }
};

// What a screen did with an event.
enum class Reach : uint8_t {
  Passed,   // not its to take: on to the screen beneath
  Handled,  // taken; nothing new to show
  Redraw,   // taken; the screen must be drawn again
  Quit,     // taken; the program ends (the progress is already saved)
};

class Screen {
 public:
  virtual ~Screen() = default;
  virtual Layer layer() const = 0;
  // Nothing beneath shows through: what lies under it is not drawn.
  virtual bool opaque() const { return false; }
  // Nothing beneath takes input while it shows.
  virtual bool trap() const { return false; }
  // Whether the pointer image shows over it; none: as the screens beneath say.
  virtual std::optional<bool> pointer_shown() const { return std::nullopt; }

  // A pointer button went down (the event's own place, button and pointer).
  virtual Reach click(const media::Event&) { return Reach::Passed; }
  // A pointer moved or went up.
  virtual Reach pointer(const media::Event&) { return Reach::Passed; }
  virtual Reach key(const KeyInput&) { return Reach::Passed; }
  // Time has passed: at_ms is the tick's own time. True when the screen must be drawn again.
  virtual bool step(int /*at_ms*/) { return false; }
  virtual void draw() const {}

  // It has left the stack: a handler that got here stops.
  bool gone() const { return gone_; }

 protected:
  // The screen closes itself: it leaves the stack as its handler returns.
  void leave() { leave_asked_ = true; }

 private:
  friend class ScreenStack;
  bool gone_ = false;
  bool leave_asked_ = false;
};

class ScreenStack {
 public:
  // Puts the screen in its layer; one already there leaves.
  void push(std::unique_ptr<Screen> screen);
  // The layer's screen leaves: it takes no more input and is not drawn, and is destroyed at the
  // next step.
  void remove(Layer layer);
  Screen* at(Layer layer) const { return shown_[index(layer)].get(); }
  bool shown(Layer layer) const { return at(layer) != nullptr; }
  // A trap shows: input goes to it and never below.
  bool trapped() const;

  // Hands an event to the screens from the top down until one takes it or a trap stops it.
  Reach click(const media::Event& e);
  Reach pointer(const media::Event& e);
  Reach key(const KeyInput& k);
  // The screens that left are destroyed, then every screen steps, bottom to top. True when one
  // must be drawn again.
  bool step(int at_ms);
  // From the top-most opaque screen up.
  void draw() const;
  bool pointer_shown() const;

 private:
  static size_t index(Layer layer) { return static_cast<size_t>(layer); }
  // Removes a screen that asked to leave.
  void settle(Screen& s);
  template <class Handler>
  Reach route(Handler handler);

  std::array<std::unique_ptr<Screen>, kLayers> shown_;
  std::vector<std::unique_ptr<Screen>> leaving_;  // gone from the screen, kept until the next step
};

}  // namespace app
