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

class Activity;
using ActivityPtr = std::unique_ptr<Activity>;

class Activity {
 public:
  virtual ~Activity() = default;
  virtual const Traits& traits() const = 0;
  virtual void draw() = 0;
  // A new game in this object; also run once right after the object is made.
  virtual void setup() {}
  virtual void clear() {}
  virtual Outcome update() { return Outcome::Nothing; }
  virtual Outcome left_click() { return Outcome::Nothing; }
  virtual Outcome right_click() { return Outcome::Nothing; }
  virtual Outcome mouse_move() { return Outcome::Nothing; }
  // The current game is over (only games that end say so).
  virtual bool finished() const { return false; }
  // For Again::NewGame: the next game as a new object, or none when it cannot be built (this one
  // then stays).
  virtual ActivityPtr new_game() { return nullptr; }
};

// What every activity is made with: the read-only assets and the sound effects.
struct Context {
  const Assets& assets;
  Effects& effects;
};

// Builds and init()s the object of one digit key; none when it cannot be built (the key then does
// nothing). It also says how many pictures what it builds shows and needs to start (its
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
