#include "app/activity.hpp"

#include <array>

namespace app {
namespace {
std::array<ActivityMaker, 10>& makers() {
  static std::array<ActivityMaker, 10> m;
  return m;
}
}  // namespace

void register_activity(int key, ActivityMaker make) {
  if (key >= 1 && key <= 9) makers()[key] = std::move(make);
}

const ActivityMaker* activity_maker(int key) {
  if (key < 1 || key > 9 || !makers()[key]) return nullptr;
  return &makers()[key];
}

}  // namespace app
