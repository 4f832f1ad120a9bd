// The one interface through which the loop reaches an activity. An activity describes itself with
// its traits (what the loop shows for it and which events it wants) and reports what a handler did
// as an outcome; the loop turns outcomes into unlocking, redrawing and restarting. Activities never
// touch the loop's state.
#pragma once
#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/pictures/pictures.hpp"
#include "media/input/events.hpp"

namespace app {

struct Assets;
class Effects;

// Activities are chosen with the digit keys 1 to 9 (0 is the title screen): a table holds at most
// this many.
constexpr int kDigitKeys = 9;

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

struct Traits {
  bool pointer_shown = true;           // the loop draws its pointer image over the activity
  bool animated = false;               // update() runs on every turn of the loop
  bool wants_moves = false;            // pointer moves reach move()
  bool wants_right_clicks = false;     // right clicks (and Control+click) reach click()
  bool thinking_while_made = true;     // building it takes long enough to show the thinking image
  bool clear_when_help_closes = false; // it never repaints what the help page covered
  // Every finger on a touch screen is a pointer of its own: each one coming down clicks, and two
  // fingers together are no right click (app/shell/touch.hpp), so two children can play at once.
  bool fingers_each_click = false;
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
  // A finger that clicked was lifted, there. Only fingers: a mouse button going up is nothing, so
  // the mouse keeps its click-to-pick, click-to-drop.
  virtual Outcome release(const PointerInput& /*at*/) { return Outcome::Nothing; }
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

// One activity of the table: what the loop and the tools know of it without building it.
struct ActivityEntry {
  std::string name;    // short and plain, for file names and messages: "frames", "jigsaw"
  ActivityMaker make;  // also says how many pictures it shows and needs to start
};

// The activities in digit order: the first is digit 1, and the table's count is the number of
// activities there are (so the highest level, the last digit that chooses anything, the last help
// page). The table the program runs with is activities::activity_table(); tests build their own.
class ActivityTable {
 public:
  ActivityTable() = default;  // no activities: the title screen only
  // A table written out in full: more entries than digit keys is caught as it compiles.
  template <std::size_t N>
  ActivityTable(ActivityEntry (&&entries)[N])
      : entries_(std::make_move_iterator(entries), std::make_move_iterator(entries + N)) {
    static_assert(N <= kDigitKeys, "an activity table holds at most one activity per digit key 1 to 9");
  }
  // A table put together at run time: more entries than digit keys throws std::length_error.
  explicit ActivityTable(std::vector<ActivityEntry> entries);

  int count() const { return static_cast<int>(entries_.size()); }
  // The digit chooses an activity of this table.
  bool has(int digit) const { return digit >= 1 && digit <= count(); }
  // The entry of a digit of the table (has(digit) must hold).
  const ActivityEntry& entry(int digit) const { return entries_[static_cast<std::size_t>(digit - 1)]; }
  // The maker of a digit; an empty maker for the title screen and digits beyond the table.
  const ActivityMaker& operator[](int digit) const;

 private:
  std::vector<ActivityEntry> entries_;
};

}  // namespace app
