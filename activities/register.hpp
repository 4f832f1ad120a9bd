// The activities of the program, in table order: the one place that says which activity the digit
// keys 1 to 9 choose (the first nine, in order) and which id each has.
#pragma once
#include <memory>

#include "app/shell/activity.hpp"
#include "app/shell/furniture.hpp"

namespace activities {

// Adding an activity: its own files here, one line in this table (activities/register.cpp), and
// its help page's words in tools/help_text.cpp (see ARCHITECTURE.md).
app::ActivityTable activity_table();

// The maker of an activity built in one step by its T::make(context), which yields it ready to play
// or none; the thinking image shows meanwhile when its traits say building it takes that long.
template <class T>
app::ActivityMaker factory_maker() {
  return app::ActivityMaker(
      [](const app::Context& context) -> app::ActivityPtr {
        if (T::kTraits.thinking_while_made) context.requests.show_thinking();
        return T::make(context);
      },
      T::kTraits.pictures, T::kTraits.pictures_to_start);
}

}  // namespace activities
