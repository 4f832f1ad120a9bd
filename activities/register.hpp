// Hands the shell a maker for every activity that exists.
#pragma once
#include <memory>

#include "app/activity.hpp"

namespace activities {

void register_all();

// Registers an activity whose object needs only creating and init() on key `key`.
template <class T>
void register_plain(int key) {
  app::register_activity(key, [](int, int) -> app::ActivityPtr {
    auto a = std::make_unique<T>();
    a->init();
    return a;
  });
}

}  // namespace activities
