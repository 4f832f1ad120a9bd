// The one interface through which the loop reaches an activity. An activity describes itself with
// its traits (what the loop shows for it and which events it wants) and reports what a handler did
// as an outcome; the loop turns outcomes into unlocking, redrawing and restarting. Activities never
// touch the loop's state.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "media/events.hpp"

namespace app {

struct Assets;
class Effects;

// The activities behind the digit keys 1 to 9.
constexpr int kActivities = 9;

// What a handler reports back to the loop.
enum class Outcome {
  Nothing,   // nothing for the loop to do
  Redraw,    // the picture changed without any input: redraw on the next turn
  Finished,  // a game was finished just now: the loop's unlock rule applies
  Restart,   // the child asked for a new game: the loop chooses the activity again
};

// What choosing an activity whose object already exists does.
enum class Again {
  Resume,   // nothing: it goes on where it was left
  Clear,    // clear()
  Restart,  // setup(): a new game in the same object
  NewGame,  // new_game(): a new game in a new object that replaces this one
};

// Pictures an activity shows: a count, or every picture of the list.
constexpr int kEveryPicture = -1;

struct Traits {
  bool pointer_shown = true;           // the loop draws its pointer image over the activity
  bool animated = false;               // update() runs on every turn of the loop
  bool wants_moves = false;            // pointer moves reach mouse_move()
  bool wants_right_clicks = false;     // right clicks (and Control+click) reach right_click()
  bool thinking_while_made = true;     // building it takes long enough to show the thinking image
  bool clear_when_help_closes = false; // it never repaints what the help page covered
  Again again_while_current = Again::Resume;  // its digit pressed while it is shown
  Again again_coming_back = Again::Resume;    // pressed elsewhere, its game unfinished
  Again again_when_finished = Again::Resume;  // pressed elsewhere, its game finished
  int pictures = 0;                    // how many pictures it shows (kEveryPicture: any of them)
  // How many of those, from the start of the list, it needs before it can start while the pictures
  // load (-1: all it shows); the rest may come while it is played.
  int pictures_to_start = -1;
};

// A pointer event as an activity receives it: where it happened in picture coordinates, which
// button (the loop has already made Control with a left click a right click), and which pointer.
struct PointerInput {
  int x = 0, y = 0;
  media::Button button = media::Button::Left;
  media::PointerKind pointer = media::PointerKind::Mouse;
  int pointer_id = 0;  // which finger or pen; 0 for the mouse
};

// What an activity may ask of the loop while one of its handlers runs. The loop carries out a
// pointer warp and a hold once the handler has returned; the thinking image it shows at once, since
// it is asked for right before long work.
class Requests {
 public:
  virtual ~Requests() = default;
  // Put the pointer there (where the window system lets a program warp it).
  virtual void move_pointer(int x, int y) = 0;
  // Keep the pointer's clicks and moves from the activity for that long: the child gets a moment to
  // look at what just happened, and what they do meanwhile comes after, in order.
  virtual void hold_input(int ms) = 0;
  // Show the thinking image now: the rest of the handler takes a while.
  virtual void show_thinking() = 0;
  // Asked by long work between its steps: true once Escape has been pressed since the work began
  // (the key still reaches the loop afterwards).
  virtual bool stop_asked() = 0;
};

class Activity;
using ActivityPtr = std::unique_ptr<Activity>;

class Activity {
 public:
  virtual ~Activity() = default;
  virtual const Traits& traits() const = 0;
  // Shows the activity as it is; changes nothing of its state and plays nothing.
  virtual void draw() const = 0;
  // A new game in this object (an object is made with its first game ready).
  virtual void setup() {}
  virtual void clear() {}
  // Time has passed (animated activities only): now_ms is the loop's clock.
  virtual Outcome update(int /*now_ms*/) { return Outcome::Nothing; }
  // A pointer button went down: left, or right when the traits ask for right clicks.
  virtual Outcome click(const PointerInput& /*at*/) { return Outcome::Nothing; }
  // The pointer moved (when the traits ask for moves).
  virtual Outcome move(const PointerInput& /*to*/) { return Outcome::Nothing; }
  // The current game is over (only games that end say so).
  virtual bool finished() const { return false; }
  // For Again::NewGame: the next game as a new object, ready to play, or none when it cannot be
  // built (this one then stays).
  virtual ActivityPtr new_game() { return nullptr; }
};

// What every activity is made with: the read-only assets, the sound effects and what it may ask of
// the loop.
struct Context {
  const Assets& assets;
  Effects& effects;
  Requests& requests;
};

// Builds the object of one digit key, ready to play; none when it cannot be built (the key then
// does nothing). It also says how many pictures what it builds shows and needs to start (its
// Traits::pictures and pictures_to_start), known before anything is built, so that a digit pressed
// while the pictures load can wait for them.
class ActivityMaker {
 public:
  ActivityMaker() = default;
  template <class F, class = std::enable_if_t<std::is_invocable_r_v<ActivityPtr, F&, const Context&>>>
  ActivityMaker(F make, int pictures = 0, int pictures_to_start = -1)
      : make_(std::move(make)), pictures_(pictures), to_start_(pictures_to_start < 0 ? pictures : pictures_to_start) {}

  ActivityPtr operator()(const Context& context) const { return make_(context); }
  explicit operator bool() const { return static_cast<bool>(make_); }
  int pictures() const { return pictures_; }
  int pictures_to_start() const { return to_start_; }

 private:
  std::function<ActivityPtr(const Context&)> make_;
  int pictures_ = 0;
  int to_start_ = 0;
};

// The digit -> activity table: entry N is the maker of digit N (entry 0, the title screen, is empty).
using ActivityTable = std::array<ActivityMaker, kActivities + 1>;

}  // namespace app
