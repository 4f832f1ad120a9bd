// The one interface through which the shell reaches an activity. Every activity offers draw; the
// shell's dispatch tables decide which of the others it calls for each activity number.
#pragma once
#include <functional>
#include <memory>
#include <string>

namespace app {

class Activity {
 public:
  virtual ~Activity() = default;
  virtual int draw() = 0;
  virtual int setup() { return 0; }
  virtual int clear() { return 0; }
  virtual int update() { return 0; }
  virtual int left_click() { return 0; }
  virtual int right_click() { return 0; }
  virtual int mouse_move() { return 0; }
  virtual int completed() { return 0; }
  // The finished-game flag of the jigsaw and pairs games.
  virtual int complete_flag() const { return 0; }
  // The jigsaw's cut number and picture index (0 for the others).
  virtual int cut_number() const { return 0; }
  virtual int picture_index() const { return 0; }
};

using ActivityPtr = std::unique_ptr<Activity>;

// How the shell builds the object of one digit key: created and init'ed. The jigsaw keys get the
// cut number and the picture index the shell picked; the others get 0, 0.
using ActivityMaker = std::function<ActivityPtr(int cut, int picture)>;

// Registers the maker of key 1..9. Keys without a maker are ignored by the shell.
void register_activity(int key, ActivityMaker make);
const ActivityMaker* activity_maker(int key);

}  // namespace app
