#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "media/display.hpp"
#include "media/events.hpp"

using namespace media;

namespace {

std::vector<Event> drain() {
  std::vector<Event> out;
  Event e;
  while (poll_event(e)) out.push_back(e);
  return out;
}

}  // namespace

TEST(Events, HeldKeyGivesOneDownThenRepeatsWithCharactersThenOneUp) {
  flush_events();
  flush_keys();
  // What the window system reports for a key held through two auto-repeats.
  input_key_down(KEY_A, false);
  input_text("a");
  input_key_down(KEY_A, true);
  input_text("a");
  input_key_down(KEY_A, true);
  input_text("a");
  input_key_up(KEY_A);
  std::vector<Event> ev = drain();
  std::vector<int> ids;
  for (const Event& e : ev) ids.push_back(e.id);
  EXPECT_EQ(ids, (std::vector<int>{EV_KEY_DOWN, EV_KEY_CHAR, EV_KEY_REPEAT, EV_KEY_CHAR, EV_KEY_REPEAT,
                                    EV_KEY_CHAR, EV_KEY_UP}));
  EXPECT_EQ(ev[0].data, KEY_A);
  EXPECT_EQ(ev[1].data, 'a');
  EXPECT_EQ(ev[6].data, KEY_A);
  // key_hit counts presses only, and resets.
  EXPECT_EQ(key_hit(KEY_A), 1);
  EXPECT_EQ(key_hit(KEY_A), 0);
  // One character event per character typed, UTF-8 decoded.
  input_text("\xC3\xA9z");
  ev = drain();
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].data, 0xE9);
  EXPECT_EQ(ev[1].data, 'z');
}

TEST(Events, KeyCodesAreTheSameForBothCasesAndCoverTheShellKeys) {
  EXPECT_EQ(key_code_from_sdl(SDLK_a), 65);
  EXPECT_EQ(key_code_from_sdl(SDLK_z), 90);
  EXPECT_EQ(key_code_from_sdl(SDLK_0), 48);
  EXPECT_EQ(key_code_from_sdl(SDLK_9), 57);
  EXPECT_EQ(key_code_from_sdl(SDLK_ESCAPE), 27);
  EXPECT_EQ(key_code_from_sdl(SDLK_F1), 112);
  EXPECT_EQ(key_code_from_sdl(SDLK_LCTRL), 162);
  EXPECT_EQ(key_code_from_sdl(SDLK_RCTRL), 163);
  EXPECT_EQ(key_code_from_sdl(SDLK_KP_5), 53);
}

TEST(Events, RingHoldsTheOldestFirstAndRefusesWhenFull) {
  flush_events();
  for (int i = 0; i < kEventRing; ++i) EXPECT_TRUE(post_event(Event{EV_TIMER_TICK, i}));
  EXPECT_FALSE(post_event(Event{EV_TIMER_TICK, 999}));
  for (int i = 0; i < kEventRing; ++i) {
    Event e = wait_event();
    EXPECT_EQ(e.data, i);
    EXPECT_EQ(event_id(), EV_TIMER_TICK);
    EXPECT_EQ(event_data(), i);
  }
  Event e;
  EXPECT_FALSE(poll_event(e));
}

// A program slower than its timer for a while (a busy machine, a long build of an activity) must
// not find its ring full of stale ticks and lose the click that came after them.
TEST(Events, TicksDoNotPileUpAndCrowdOutInput) {
  flush_events();
  int queued = 0;
  for (int i = 0; i < 1000; ++i) queued += post_tick();
  EXPECT_EQ(queued, 1) << "one tick waits at a time";
  input_mouse_button(1, true, 20, 30);
  std::vector<Event> ev = drain();
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].id, EV_TIMER_TICK);
  EXPECT_EQ(ev[1].id, EV_MOUSE_DOWN);
  EXPECT_EQ(ev[1].x, 20);
  // Once taken, the next tick is queued again; emptying the ring forgets the waiting one.
  EXPECT_TRUE(post_tick());
  EXPECT_FALSE(post_tick());
  flush_events();
  EXPECT_TRUE(post_tick());
  EXPECT_EQ(drain().size(), 1u);
}

// After a pause (an activity being built) the window system hands over every move made meanwhile;
// a run of moves becomes its newest one, so the ring has room for the click that ends it.
TEST(Events, ARunOfMovesKeepsItsNewestPlaceAndLeavesRoomForTheClick) {
  flush_events();
  for (int i = 0; i < 1000; ++i) input_mouse_move(i % 1024, i % 768);
  input_mouse_button(1, true, 999, 231);
  input_mouse_move(5, 6);
  std::vector<Event> ev = drain();
  ASSERT_EQ(ev.size(), 3u);
  EXPECT_EQ(ev[0].id, EV_MOUSE_MOVE);
  EXPECT_EQ(ev[0].x, 999);
  EXPECT_EQ(ev[0].y, 999 % 768);
  EXPECT_EQ(ev[1].id, EV_MOUSE_DOWN);
  EXPECT_EQ(ev[2].x, 5) << "a move after the click is its own";
  move_pointer(0, 0);  // no mouse event is current any more, for the tests after
}

TEST(Events, MouseAndTerminate) {
  flush_events();
  input_mouse_move(300, 200);
  input_mouse_button(2, true, 310, 205);
  input_mouse_button(2, false, 310, 205);
  EXPECT_EQ(mouse_x(), 310);
  EXPECT_EQ(mouse_y(), 205);
  std::vector<Event> ev = drain();
  ASSERT_EQ(ev.size(), 3u);
  EXPECT_EQ(ev[0].id, EV_MOUSE_MOVE);
  EXPECT_EQ(ev[0].x, 300);
  EXPECT_EQ(ev[1].id, EV_MOUSE_DOWN);
  EXPECT_EQ(ev[1].data, 2);
  EXPECT_EQ(ev[2].id, EV_MOUSE_UP);
  move_pointer(7, 8);
  EXPECT_EQ(mouse_x(), 7);
  EXPECT_EQ(mouse_y(), 8);

  EXPECT_FALSE(terminate_requested());
  input_quit();
  EXPECT_TRUE(terminate_requested());
  EXPECT_FALSE(terminate_requested());  // once per request
  EXPECT_EQ(drain().back().id, EV_TERMINATE);
}

// A busy program takes in a burst of input at once: a click, then the moves that followed it. Each
// mouse event, while it is handled, answers its own place; other events answer the latest place.
TEST(Events, EachMouseEventAnswersWhereItHappened) {
  flush_events();
  post_event(Event{EV_TIMER_TICK, 0});
  input_mouse_move(40, 50);
  input_mouse_button(1, true, 100, 200);
  input_mouse_move(300, 400);
  input_key_down(KEY_S, false);
  input_mouse_move(500, 600);
  input_mouse_button(1, false, 510, 610);
  input_mouse_move(700, 700);

  EXPECT_EQ(wait_event().id, EV_TIMER_TICK);
  EXPECT_EQ(mouse_x(), 700) << "not a mouse event: the latest place";
  EXPECT_EQ(mouse_y(), 700);
  EXPECT_EQ(wait_event().id, EV_MOUSE_MOVE);
  EXPECT_EQ(mouse_x(), 40);
  EXPECT_EQ(mouse_y(), 50);
  EXPECT_EQ(wait_event().id, EV_MOUSE_DOWN);
  // Asked again and again while the click is handled, it stays where the click was.
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(mouse_x(), 100);
    ASSERT_EQ(mouse_y(), 200);
  }
  EXPECT_EQ(wait_event().id, EV_MOUSE_MOVE);
  EXPECT_EQ(mouse_x(), 300);
  EXPECT_EQ(mouse_y(), 400);
  EXPECT_EQ(wait_event().id, EV_KEY_DOWN);
  EXPECT_EQ(mouse_x(), 700);
  EXPECT_EQ(mouse_y(), 700);
  Event e;
  ASSERT_TRUE(poll_event(e));  // the move to (500, 600)
  EXPECT_EQ(mouse_x(), 500);
  ASSERT_TRUE(poll_event(e));
  EXPECT_EQ(e.id, EV_MOUSE_UP);
  EXPECT_EQ(mouse_x(), 510);
  EXPECT_EQ(mouse_y(), 610);
  // A warp while a mouse event is handled answers at once, as after any warp.
  move_pointer(180, 190);
  EXPECT_EQ(mouse_x(), 180);
  EXPECT_EQ(mouse_y(), 190);
  // An empty queue leaves the current event as it was.
  ASSERT_TRUE(poll_event(e));
  EXPECT_EQ(mouse_x(), 700);
  EXPECT_FALSE(poll_event(e));
  EXPECT_EQ(mouse_x(), 700);
  EXPECT_EQ(event_id(), EV_MOUSE_MOVE);
  key_hit(KEY_S);
}

TEST(Events, WaitWakesForAnEventFromAnotherThread) {
  flush_events();
  std::thread t([] { post_event(Event{EV_TIMER_TICK, 42}); });
  Event e = wait_event();
  t.join();
  EXPECT_EQ(e.data, 42);
}

TEST(Events, KeyHitWithinAnswersLikeSingleCallsWithoutAWindow) {
  flush_events();
  flush_keys();
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 1000), 0);
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 0), 0);
  // A pending press is seen by the first call, which takes the whole count; other keys keep theirs.
  input_key_down(KEY_ESCAPE, false);
  input_key_down(KEY_ESCAPE, false);
  input_key_down(KEY_A, false);
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 0), 0) << "no call made, nothing taken";
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 500), 1);
  EXPECT_EQ(key_hit(KEY_ESCAPE), 0);
  EXPECT_EQ(key_hit(KEY_A), 1);
  // Repeats are no presses; codes outside the table never are.
  input_key_down(KEY_ESCAPE, true);
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 3), 0);
  EXPECT_EQ(key_hit_within(-1, 3), 0);
  EXPECT_EQ(key_hit_within(256, 3), 0);
  flush_events();
}

// With a window, a press reaches the counts only when the pump looks at the window system: on every
// 64th unforced call, a millisecond or more after its last look. A batch must see a press at the call
// single calls would, and leave the pump's call count where those calls would.
TEST(Events, KeyHitWithinSeesAWindowPressAtTheCallSingleCallsWould) {
  if (!std::getenv("DISPLAY") || !open_graphics(1024, 768, 0, 60)) GTEST_SKIP() << "no display";
  auto press = [] {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&e);
    std::this_thread::sleep_for(std::chrono::milliseconds(3));  // the pump's millisecond has passed
  };
  flush_keys();
  // Single calls up to the look that takes the press in: the call count is then a multiple of 64.
  press();
  int n = 1;
  while (!key_hit(KEY_ESCAPE) && n <= 64) ++n;
  ASSERT_LE(n, 64);

  press();
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 63), 0) << "no look in calls 1 to 63";
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 5), 1) << "the 64th call looks";
  press();
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 200), 64);
  press();
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 70), 64);
  EXPECT_EQ(key_hit(KEY_ESCAPE), 0) << "the press was taken by the call that saw it";
  // 1 call made above; 10 more in a batch that sees nothing: single calls see the next press at 53.
  press();
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 10), 0);
  n = 1;
  while (!key_hit(KEY_ESCAPE) && n <= 64) ++n;
  EXPECT_EQ(n, 53);
  // A count already pending is the first call's, whatever the pump's phase.
  input_key_down(KEY_ESCAPE, false);
  EXPECT_EQ(key_hit_within(KEY_ESCAPE, 3), 1);
  close_graphics();
  flush_events();
  flush_keys();
}
