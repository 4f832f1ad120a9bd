// How the loop hands input to an activity and carries out what the activity asks of it: each
// handler gets the event's own place, button and pointer; a warp is done after the handler; a hold
// keeps the input that comes meanwhile and hands it on in order once it is over; a stop check sees
// only Escape presses made while the handler runs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/shell/activity.hpp"
#include "app/shell/loop.hpp"
#include "media/input/clock.hpp"
#include "media/input/events.hpp"
#include "media/sound/sound.hpp"
#include "tests/unit/test_world.hpp"

using app::Outcome;
using app::PointerInput;
using media::Button;
using media::Event;
using media::EventKind;

namespace {

// An activity that keeps what it was handed and asks the loop for what a test sets up.
struct Recorder : app::Activity {
  static constexpr app::Traits kTraits{.animated = true, .wants_moves = true, .wants_right_clicks = true};
  explicit Recorder(const app::Context& c) : ctx(c) {}
  const app::Traits& traits() const override { return kTraits; }
  void draw() const override { ++draws; }
  Outcome click(const PointerInput& at) override {
    clicks.push_back(at);
    if (warp_on_click) ctx.requests.move_pointer(warp_on_click->first, warp_on_click->second);
    if (hold_on_click > 0) ctx.requests.hold_input(hold_on_click);
    if (stop_checks) {
      stop_seen = false;
      for (int i = 0; i < stop_checks && !stop_seen; ++i) {
        if (i == press_escape_at) media::input_key_down(media::Key::Escape, false);
        stop_seen = ctx.requests.stop_asked();
      }
    }
    return Outcome::Nothing;
  }
  Outcome move(const PointerInput& to) override {
    moves.push_back(to);
    return Outcome::Nothing;
  }
  Outcome update(int now_ms) override {
    ticks.push_back(now_ms);
    return Outcome::Nothing;
  }

  app::Context ctx;
  std::vector<PointerInput> clicks, moves;
  std::vector<int> ticks;
  mutable int draws = 0;
  std::optional<std::pair<int, int>> warp_on_click;
  int hold_on_click = 0;
  int stop_checks = 0;      // questions the click asks of the stop check
  int press_escape_at = -1;  // before which question Escape goes down
  bool stop_seen = false;
};

class LoopRequests : public testing::Test {
 protected:
  void SetUp() override {
    media::use_manual_clock(true);
    media::set_manual_clock(1000);
    media::flush_events();
    const app::ActivityTable table({{"recorder", app::ActivityMaker([this](const app::Context& c) -> app::ActivityPtr {
                                        auto r = std::make_unique<Recorder>(c);
                                        recorder = r.get();
                                        return r;
                                      })}});
    loop = std::make_unique<app::Loop>(world.assets, table, "", 1);
    tw::press_digit(*loop, 1);
    ASSERT_TRUE(recorder);
  }
  void TearDown() override {
    loop.reset();
    media::use_manual_clock(false);
    media::flush_events();
    media::close_audio();
  }
  void down(int x, int y, Button b = Button::Left, media::PointerKind kind = media::PointerKind::Mouse, int id = 0) {
    loop->handle_event(
        Event{.kind = EventKind::PointerDown, .button = b, .pointer = kind, .pointer_id = id, .x = x, .y = y});
  }
  void move(int x, int y) {
    media::advance_manual_clock(20);  // past the gap between handled moves
    tw::move_to(*loop, x, y);
  }

  tw::World world;
  std::unique_ptr<app::Loop> loop;
  Recorder* recorder = nullptr;
};

}  // namespace

TEST_F(LoopRequests, HandlersGetTheEventsOwnPlaceButtonAndPointer) {
  move(100, 200);
  ASSERT_EQ(recorder->moves.size(), 1u);
  EXPECT_EQ(recorder->moves[0].x, 100);
  EXPECT_EQ(recorder->moves[0].y, 200);
  // A click carries where it was made, not where the pointer was before.
  down(300, 400);
  down(310, 410, Button::Right);
  down(5, 6, Button::Left, media::PointerKind::Touch, 2);
  ASSERT_EQ(recorder->clicks.size(), 3u);
  EXPECT_EQ(recorder->clicks[0].x, 300);
  EXPECT_EQ(recorder->clicks[0].y, 400);
  EXPECT_EQ(recorder->clicks[0].button, Button::Left);
  EXPECT_EQ(recorder->clicks[1].button, Button::Right);
  EXPECT_EQ(recorder->clicks[1].x, 310);
  EXPECT_EQ(recorder->clicks[2].pointer, media::PointerKind::Touch);
  EXPECT_EQ(recorder->clicks[2].pointer_id, 2);
  EXPECT_EQ(loop->state().pointer_x, 5) << "the loop follows the pointer too";
  // Control with a left click is a right click at the same place; the middle button is nothing.
  tw::press(*loop, media::Key::LeftControl);
  down(50, 60);
  tw::release(*loop, media::Key::LeftControl);
  down(70, 80, Button::Middle);
  ASSERT_EQ(recorder->clicks.size(), 4u);
  EXPECT_EQ(recorder->clicks[3].button, Button::Right);
  EXPECT_EQ(recorder->clicks[3].x, 50);
  // Ticks hand the loop's clock to an animated activity.
  recorder->ticks.clear();
  loop->update_activity();
  ASSERT_EQ(recorder->ticks.size(), 1u);
  EXPECT_EQ(recorder->ticks[0], media::millisecs());
}

TEST_F(LoopRequests, AWarpIsCarriedOutAfterTheHandlerAndMovesTheLoopsPointer) {
  recorder->warp_on_click = std::pair{150, 160};
  loop->redraw_if_needed();
  down(900, 700);
  EXPECT_EQ(loop->state().pointer_x, 150);
  EXPECT_EQ(loop->state().pointer_y, 160);
  EXPECT_TRUE(loop->state().redraw_needed) << "the pointer image goes where the pointer went";
  // A later move is the pointer's own again.
  recorder->warp_on_click.reset();
  move(400, 300);
  EXPECT_EQ(loop->state().pointer_x, 400);
}

// A hold gives the child a moment to look: the clicks, moves and keys that come meanwhile wait,
// and are handed on in the order they came once it is over; the timer keeps turning.
TEST_F(LoopRequests, InputDuringAHoldWaitsAndComesInOrderAfterIt) {
  recorder->hold_on_click = 1000;
  down(10, 10);
  recorder->hold_on_click = 0;
  ASSERT_EQ(recorder->clicks.size(), 1u);
  down(20, 20);
  move(30, 30);
  down(40, 40, Button::Right);
  tw::press(*loop, media::Key::H);
  EXPECT_EQ(recorder->clicks.size(), 1u) << "held back";
  EXPECT_TRUE(recorder->moves.empty());
  EXPECT_FALSE(loop->shown(app::Layer::Help));
  recorder->ticks.clear();
  media::advance_manual_clock(500);
  tw::tick(*loop);
  EXPECT_EQ(recorder->clicks.size(), 1u) << "half a second in";
  media::advance_manual_clock(500);
  tw::tick(*loop);
  ASSERT_EQ(recorder->clicks.size(), 3u);
  EXPECT_EQ(recorder->clicks[1].x, 20);
  EXPECT_EQ(recorder->clicks[2].x, 40);
  EXPECT_EQ(recorder->clicks[2].button, Button::Right);
  ASSERT_EQ(recorder->moves.size(), 1u);
  EXPECT_EQ(recorder->moves[0].x, 30);
  EXPECT_TRUE(loop->shown(app::Layer::Help)) << "the key came last";
  EXPECT_FALSE(recorder->ticks.empty()) << "the activity had its tick before the input after the look";
}

// A click that asks for another hold stops the handing on there; the rest waits for that one.
TEST_F(LoopRequests, AHeldClickThatHoldsAgainKeepsTheRestWaiting) {
  recorder->hold_on_click = 1000;
  down(10, 10);
  down(20, 20);  // will hold again
  down(30, 30);
  media::advance_manual_clock(1000);
  tw::tick(*loop);
  ASSERT_EQ(recorder->clicks.size(), 2u);
  recorder->hold_on_click = 0;
  media::advance_manual_clock(999);
  tw::tick(*loop);
  EXPECT_EQ(recorder->clicks.size(), 2u);
  media::advance_manual_clock(1);
  tw::tick(*loop);
  ASSERT_EQ(recorder->clicks.size(), 3u);
  EXPECT_EQ(recorder->clicks[2].x, 30);
  // Quitting is never held back.
  recorder->hold_on_click = 1000;
  down(50, 50);
  EXPECT_EQ(loop->handle_event(Event{.kind = EventKind::Quit}), app::Turn::Quit);
}

TEST_F(LoopRequests, TheStopCheckSeesOnlyEscapePressedWhileTheHandlerRuns) {
  media::input_key_down(media::Key::Escape, false);  // before the click: not a stop
  recorder->stop_checks = 50;
  down(10, 10);
  EXPECT_FALSE(recorder->stop_seen);
  recorder->press_escape_at = 20;
  down(10, 10);
  EXPECT_TRUE(recorder->stop_seen);
  media::flush_events();
}
