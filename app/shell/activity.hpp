// The one interface through which the loop reaches an activity. An activity describes itself with
// its traits (what the loop shows for it and which events it wants) and reports what a handler did
// as an outcome; the loop turns outcomes into unlocking, redrawing and restarting. Activities never
// touch the loop's state.
#pragma once
#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/pictures/pictures.hpp"
#include "media/input/events.hpp"

namespace app {

struct Assets;
class Effects;

// The digit keys 1 to 9 choose the first activities of the table, in its order (0 is the title
// screen); activities past them have a place in the table but no key.
constexpr int kDigitKeys = 9;

// The title screen's id, as its help page is named.
inline constexpr std::string_view kTitleId = "title";

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

// Builds the object of one activity, ready to play; none when it cannot be built (choosing it then
// does nothing). It also says how many pictures what it builds shows and needs to start (its
// Traits::pictures and pictures_to_start), known before anything is built, so that an activity
// chosen while the pictures load can wait for them.
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
  // Short, plain and stable whatever the table's order: its help page, its line in the progress
  // file and its tour screenshot are named by it ("frames", "jigsaw").
  std::string id;
  ActivityMaker make;  // also says how many pictures it shows and needs to start
};

// The activities in table order: the first is at place 1 (0 is the title screen), and the table's
// count is the number of activities there are (so the highest level). The first kDigitKeys places
// are chosen by the digit of the same number; any past them are only in the table. The table the
// program runs with is activities::activity_table(); tests build their own.
class ActivityTable {
 public:
  ActivityTable() = default;  // no activities: the title screen only
  explicit ActivityTable(std::vector<ActivityEntry> entries) : entries_(std::move(entries)) {}

  int count() const { return static_cast<int>(entries_.size()); }
  // The place holds an activity of this table.
  bool has(int place) const { return place >= 1 && place <= count(); }
  // The entry at a place of the table (has(place) must hold).
  const ActivityEntry& entry(int place) const { return entries_[static_cast<std::size_t>(place - 1)]; }
  // The maker at a place; an empty maker for the title screen and places beyond the table.
  const ActivityMaker& operator[](int place) const;

  // How many of the activities the digit keys choose: the first this many places.
  int digit_places() const { return std::min(count(), kDigitKeys); }
  // The place a digit key chooses; 0 when the digit chooses no activity of this table.
  int place_of_digit(int digit) const { return digit <= kDigitKeys && has(digit) ? digit : 0; }
  // The digit key that chooses a place (0 for the title screen); none for places past the keys.
  std::optional<int> digit_of(int place) const;
  // The id of a place: kTitleId for the title screen (has(place) or 0 must hold).
  std::string_view id_of(int place) const { return place == 0 ? kTitleId : std::string_view(entry(place).id); }
  // The place of the activity with that id; 0 when the table has none.
  int place_of(std::string_view id) const;

 private:
  std::vector<ActivityEntry> entries_;
};

}  // namespace app
