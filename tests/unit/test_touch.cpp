// Touch screens: what fingers mean (the gesture rules, timed by hand), how SDL's finger events are
// taken in (the letterbox, the mouse SDL makes up from a finger, the simulated-touch mode), and
// each activity played with fingers through the real loop, fed SDL events as the pump feeds them.
#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "activities/bounce.hpp"
#include "activities/colour.hpp"
#include "activities/count.hpp"
#include "activities/frames.hpp"
#include "activities/jigsaw.hpp"
#include "activities/kaleid.hpp"
#include "activities/pairs.hpp"
#include "activities/register.hpp"
#include "app/shell/loop.hpp"
#include "app/shell/touch.hpp"
#include "media/input/clock.hpp"
#include "media/display/display.hpp"
#include "media/input/events.hpp"
#include "media/input/window_view.hpp"
#include "media/sound/sound.hpp"
#include "tests/unit/test_jigsaw_util.hpp"
#include "tests/unit/test_world.hpp"

using app::TouchGestures;
using media::Button;
using media::Event;
using media::EventKind;
using media::PointerKind;

namespace {

// What a gesture yielded, in short: "down L 3 at 10,20", "move 3 at 11,20", "up 3 at 11,20".
std::vector<std::string> said(const std::vector<Event>& events) {
  std::vector<std::string> out;
  for (const Event& e : events) {
    EXPECT_EQ(e.pointer, PointerKind::Touch);
    std::string s = e.kind == EventKind::PointerDown ? (e.button == Button::Right ? "down R" : "down L")
                    : e.kind == EventKind::PointerUp ? "up"
                                                     : "move";
    out.push_back(s + " " + std::to_string(e.pointer_id) + " at " + std::to_string(e.x) + "," + std::to_string(e.y));
  }
  return out;
}
using Said = std::vector<std::string>;

}  // namespace

TEST(TouchGestures, ATouchClicksAMoveDragsALiftGoesUp) {
  TouchGestures g;
  EXPECT_EQ(said(g.down(3, 10, 20, 1000)), (Said{"down L 3 at 10,20"}));
  EXPECT_EQ(said(g.move(3, 200, 20)), (Said{"move 3 at 200,20"}));
  EXPECT_EQ(said(g.tick(5000)), Said{}) << "a finger that wandered makes no long press";
  EXPECT_EQ(said(g.up(3, 210, 25, 5100)), (Said{"move 3 at 210,25", "up 3 at 210,25"}));
  EXPECT_EQ(g.fingers_down(), 0);
  // A move or lift of a finger whose touch was not taken (it came down on a black bar) is nothing.
  EXPECT_EQ(said(g.move(4, 50, 50)), Said{});
  EXPECT_EQ(said(g.up(4, 50, 50, 5200)), Said{});
}

TEST(TouchGestures, AFingerHeldStillIsARightClickAfterSixTenthsOfASecondOnce) {
  TouchGestures g;
  g.down(1, 100, 100, 1000);
  EXPECT_EQ(said(g.tick(1599)), Said{});
  EXPECT_EQ(said(g.tick(1600)), (Said{"down R 1 at 100,100"}));
  EXPECT_EQ(said(g.tick(3000)), Said{}) << "once per touch";
  EXPECT_EQ(said(g.up(1, 100, 100, 3000)), (Said{"move 1 at 100,100", "up 1 at 100,100"}));

  // The slack is 12 window pixels: on a screen that shows the picture twice as large, 6 picture
  // pixels are 12 window pixels (still pressing) and 7 are 14 (the press is off).
  g.set_window_scale(2.0f);
  g.down(1, 100, 100, 4000);
  g.move(1, 106, 100);
  EXPECT_EQ(said(g.tick(4600)), (Said{"down R 1 at 106,100"}));
  g.up(1, 106, 100, 4700);
  g.down(1, 100, 100, 5000);
  g.move(1, 107, 100);
  g.move(1, 100, 100);  // back again: it wandered all the same
  EXPECT_EQ(said(g.tick(5600)), Said{});
  g.up(1, 100, 100, 5700);
  // Shown at half size, 7 picture pixels are only 3.5 window pixels.
  g.set_window_scale(0.5f);
  g.down(1, 100, 100, 6000);
  g.move(1, 107, 107);
  EXPECT_EQ(said(g.tick(6600)), (Said{"down R 1 at 107,107"}));
}

TEST(TouchGestures, TwoFingersTappedTogetherAreOneRightClickWhereTheFirstTouched) {
  TouchGestures g;
  EXPECT_EQ(said(g.down(1, 300, 300, 1000)), (Said{"down L 1 at 300,300"}));
  EXPECT_EQ(said(g.down(2, 500, 300, 1100)), Said{}) << "the second finger clicks nothing itself";
  EXPECT_EQ(said(g.move(2, 503, 300)), Said{}) << "nor moves the pointer";
  EXPECT_EQ(said(g.tick(1800)), Said{}) << "two fingers down: no long press";
  EXPECT_EQ(said(g.up(2, 503, 300, 1400)), Said{});
  EXPECT_EQ(said(g.up(1, 300, 300, 1600)), (Said{"move 1 at 300,300", "up 1 at 300,300", "down R 1 at 300,300"}));

  // Too slow (more than half a second from the second touch to the last lift): no right click.
  g.down(1, 300, 300, 2000);
  g.down(2, 500, 300, 2100);
  g.up(2, 500, 300, 2300);
  EXPECT_EQ(said(g.up(1, 300, 300, 2601)), (Said{"move 1 at 300,300", "up 1 at 300,300"}));
  // A finger that wandered (a drag with two fingers) is no tap either.
  g.down(1, 300, 300, 3000);
  g.down(2, 500, 300, 3050);
  g.move(2, 540, 300);
  g.up(2, 540, 300, 3100);
  EXPECT_EQ(said(g.up(1, 300, 300, 3200)), (Said{"move 1 at 300,300", "up 1 at 300,300"}));
}

TEST(TouchGestures, AThirdFingerIsAPalmAndNothingActsUntilTheScreenIsClear) {
  TouchGestures g;
  g.down(1, 100, 100, 1000);
  g.down(2, 200, 100, 1010);
  EXPECT_EQ(said(g.down(3, 300, 100, 1020)), Said{});
  EXPECT_TRUE(g.palm());
  EXPECT_EQ(said(g.down(4, 400, 100, 1030)), Said{});
  EXPECT_EQ(said(g.move(1, 150, 150)), Said{}) << "the pointer stays";
  EXPECT_EQ(said(g.tick(3000)), Said{});
  g.up(3, 300, 100, 1100);
  g.up(4, 400, 100, 1100);
  g.up(2, 200, 100, 1100);
  EXPECT_EQ(said(g.up(1, 150, 150, 1100)), (Said{"up 1 at 150,150"}))
      << "the first finger still goes up, so nothing stays carried; no two-finger tap";
  EXPECT_FALSE(g.palm());
  EXPECT_EQ(said(g.down(1, 10, 10, 1200)), (Said{"down L 1 at 10,10"})) << "the screen is clear: fingers act again";
}

TEST(TouchGestures, WithEachFingerAPointerEveryTouchClicksAndPairsAreNoRightClick) {
  TouchGestures g;
  g.set_each_finger_clicks(true);
  EXPECT_EQ(said(g.down(1, 100, 400, 1000)), (Said{"down L 1 at 100,400"}));
  EXPECT_EQ(said(g.down(2, 900, 400, 1010)), (Said{"down L 2 at 900,400"}));
  EXPECT_EQ(said(g.down(3, 500, 400, 1020)), Said{}) << "a third is a palm here too";
  g.up(3, 500, 400, 1030);
  EXPECT_EQ(said(g.up(2, 900, 400, 1100)), (Said{"up 2 at 900,400"})) << "after the palm only lifts, until the screen is clear";
  EXPECT_EQ(said(g.up(1, 100, 400, 1100)), (Said{"up 1 at 100,400"}));
  EXPECT_EQ(said(g.down(1, 100, 400, 1200)), (Said{"down L 1 at 100,400"}));
  EXPECT_EQ(said(g.move(1, 120, 400)), (Said{"move 1 at 120,400"}));
  EXPECT_EQ(said(g.up(1, 120, 400, 1300)), (Said{"move 1 at 120,400", "up 1 at 120,400"}));
  g.set_each_finger_clicks(false);
  g.down(1, 100, 400, 2000);
  g.set_each_finger_clicks(true);  // not while a finger is down
  EXPECT_EQ(said(g.down(2, 900, 400, 2010)), Said{});
}

// SDL's events as the pump takes them in.
namespace {

int window_w = 1024, window_h = 768;

void assume_window(int w, int h) {
  window_w = w;
  window_h = h;
  media::assume_window_size(w, h);
}

// A finger event at window pixel (wx, wy), its place a share of the window as SDL gives it.
SDL_Event finger_event(Uint32 type, int id, int wx, int wy, SDL_TouchID device = 7) {
  SDL_Event e{};
  e.type = type;
  e.tfinger.touchId = device;
  e.tfinger.fingerId = id;
  e.tfinger.x = (static_cast<float>(wx) + 0.5f) / static_cast<float>(window_w);
  e.tfinger.y = (static_cast<float>(wy) + 0.5f) / static_cast<float>(window_h);
  e.tfinger.pressure = 1.0f;
  return e;
}

SDL_Event mouse_button(int wx, int wy, Uint32 which = 0, bool down = true) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.which = which;
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = wx;
  e.button.y = wy;
  return e;
}

SDL_Event mouse_motion(int wx, int wy, Uint32 which = 0) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.which = which;
  e.motion.x = wx;
  e.motion.y = wy;
  return e;
}

std::vector<Event> queued() {
  std::vector<Event> out;
  Event e;
  while (media::poll_event(e)) out.push_back(e);
  return out;
}

// Puts a hint back as it was when the scope ends.
struct HintScope {
  explicit HintScope(const char* name, const char* value) : name_(name) {
    if (const char* old = SDL_GetHint(name)) old_ = old, had_ = true;
    SDL_SetHint(name, value);
  }
  ~HintScope() { SDL_SetHint(name_, had_ ? old_.c_str() : nullptr); }
  const char* name_;
  std::string old_;
  bool had_ = false;
};

struct WindowScope {
  WindowScope(int w, int h) { assume_window(w, h); }
  ~WindowScope() { assume_window(1024, 768); }
};

}  // namespace

TEST(TouchEvents, FingersAreMappedThroughTheLetterboxAndOneOnABarIsNotTaken) {
  media::flush_events();
  // 1600x900: the picture is 1200x900 in the middle, bars of 200 on either side.
  WindowScope window(1600, 900);
  EXPECT_FLOAT_EQ(media::window_scale(), 1200.0f / 1024.0f);
  media::take_window_event(finger_event(SDL_FINGERDOWN, 5, 800, 450));
  media::take_window_event(finger_event(SDL_FINGERMOTION, 5, 1399, 0));
  media::take_window_event(finger_event(SDL_FINGERUP, 5, 1500, 450));  // slid onto the right bar
  std::vector<Event> ev = queued();
  ASSERT_EQ(ev.size(), 3u);
  EXPECT_EQ(ev[0].kind, EventKind::PointerDown);
  EXPECT_EQ(ev[0].pointer, PointerKind::Touch);
  EXPECT_EQ(ev[0].pointer_id, 5);
  EXPECT_EQ(ev[0].x, 512);
  EXPECT_EQ(ev[0].y, 384);
  EXPECT_EQ(ev[1].kind, EventKind::PointerMove);
  EXPECT_EQ(ev[1].x, 1023);
  EXPECT_EQ(ev[1].y, 0);
  EXPECT_EQ(ev[2].kind, EventKind::PointerUp);
  EXPECT_EQ(ev[2].x, 1023) << "held at the picture's edge";

  // A touch on a black bar is not taken; its lift comes, and the loop has seen no touch to lift.
  media::take_window_event(finger_event(SDL_FINGERDOWN, 6, 100, 450));
  media::take_window_event(finger_event(SDL_FINGERUP, 6, 100, 450));
  ev = queued();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].kind, EventKind::PointerUp);
}

TEST(TouchEvents, TheMouseSdlMakesOfAFingerIsDroppedAndTheMouseOfATouchIsSimulatedOnlyWhenAsked) {
  media::flush_events();
  media::take_window_event(mouse_button(40, 50, SDL_TOUCH_MOUSEID));
  media::take_window_event(mouse_motion(41, 50, SDL_TOUCH_MOUSEID));
  media::take_window_event(mouse_button(41, 50, SDL_TOUCH_MOUSEID, false));
  EXPECT_TRUE(queued().empty()) << "made up from a finger: the finger itself reaches the program";
  media::take_window_event(mouse_button(40, 50));
  media::take_window_event(finger_event(SDL_FINGERDOWN, 0, 60, 70, SDL_MOUSE_TOUCHID));
  std::vector<Event> ev = queued();
  ASSERT_EQ(ev.size(), 1u) << "a touch made of the mouse is dropped: the mouse reaches the program";
  EXPECT_EQ(ev[0].pointer, PointerKind::Mouse);
  EXPECT_EQ(ev[0].x, 40);

  // The simulated-touch mode: the mouse is absent and its touches are a finger.
  HintScope simulated(SDL_HINT_MOUSE_TOUCH_EVENTS, "1");
  media::take_window_event(mouse_motion(40, 50));
  media::take_window_event(mouse_button(40, 50));
  media::take_window_event(finger_event(SDL_FINGERDOWN, 0, 60, 70, SDL_MOUSE_TOUCHID));
  ev = queued();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].pointer, PointerKind::Touch);
  EXPECT_EQ(ev[0].x, 60);
  EXPECT_EQ(ev[0].y, 70);
}

// Every activity played with fingers, through the real loop and the real activity table.
namespace {

class TouchPlay : public testing::Test {
 protected:
  void SetUp() override {
    media::use_manual_clock(true);
    media::set_manual_clock(1000);
    media::seed_random(4321);
    media::flush_events();
    assume_window(1024, 768);
    tw::World& w = jt::fresh_world(16);
    w.assets.sky_image = media::load_image(jt::kData + "images/sky.jpg", 0);
    ASSERT_TRUE(w.assets.probe_image && w.assets.smiley_image && w.assets.sky_image);
    loop = jt::make_loop(9);
  }
  void TearDown() override {
    loop.reset();
    assume_window(1024, 768);
    media::use_manual_clock(false);
    media::flush_events();
    media::close_audio();
  }

  // SDL's events, taken in as the pump takes them and handed to the loop.
  void feed(const SDL_Event& e) {
    media::take_window_event(e);
    for (const Event& ev : queued()) loop->handle_event(ev);
  }
  void finger_down(int id, int x, int y) { feed(finger_event(SDL_FINGERDOWN, id, x, y)); }
  void finger_move(int id, int x, int y) {
    media::advance_manual_clock(20);  // past the gap between handled moves
    feed(finger_event(SDL_FINGERMOTION, id, x, y));
  }
  void finger_up(int id, int x, int y) { feed(finger_event(SDL_FINGERUP, id, x, y)); }
  void tap(int x, int y, int id = 1) {
    finger_down(id, x, y);
    media::advance_manual_clock(50);
    finger_up(id, x, y);
  }
  // Time passes with the loop's ticks.
  void wait(int ms) {
    for (int t = 0; t < ms; t += 20) {
      media::advance_manual_clock(20);
      tw::tick(*loop);
      loop->update_activity();
    }
  }
  template <class T>
  T& choose(int digit) {
    tw::press_digit(*loop, digit);
    EXPECT_EQ(loop->state().activity, digit);
    T* a = dynamic_cast<T*>(loop->current());
    EXPECT_NE(a, nullptr);
    return *a;
  }

  std::unique_ptr<app::Loop> loop;
};

}  // namespace

TEST_F(TouchPlay, FramesATapShowsAPictureAndThePointerImageHidesUntilTheMouseMoves) {
  auto& frames = choose<activities::PictureFrames>(1);
  tap(200, 200);
  EXPECT_NE(frames.frame(0).picture, nullptr) << "the touch brought the pointer into the top left frame";
  EXPECT_EQ(frames.frame_under_pointer(), 0);
  EXPECT_EQ(loop->state().pointer, PointerKind::Touch) << "touch was the last input: no pointer image";
  // Dragging into another frame shows its picture too.
  finger_down(1, 200, 200);
  finger_move(1, 700, 200);
  EXPECT_NE(frames.frame(1).picture, nullptr);
  finger_up(1, 700, 200);
  // The next mouse move brings the pointer image back.
  media::advance_manual_clock(20);
  feed(mouse_motion(500, 700));
  EXPECT_EQ(loop->state().pointer, PointerKind::Mouse);
  EXPECT_EQ(loop->state().pointer_x, 500);
}

TEST_F(TouchPlay, CountingATouchCountsTheBallUnderTheFinger) {
  auto& count = choose<activities::CountingBalls>(2);
  const activities::Ball* one = count.ball(1);
  ASSERT_NE(one, nullptr);
  tap(one->centre_x, one->centre_y);
  EXPECT_EQ(count.last_counted(), 1);
}

TEST_F(TouchPlay, CardsAreThrownFromTheHalfTouchedOneForEachFinger) {
  auto& cards = choose<activities::BouncingCards>(3);
  finger_down(1, 100, 400);
  finger_down(2, 900, 400);  // two children at once
  ASSERT_EQ(cards.cards().size(), 2u);
  EXPECT_GT(cards.cards()[0].speed_x, 0) << "from the left edge";
  EXPECT_LT(cards.cards()[1].speed_x, 0) << "from the right edge";
  finger_down(3, 500, 400);  // a palm
  EXPECT_EQ(cards.cards().size(), 2u);
  finger_up(3, 500, 400);
  finger_up(2, 900, 400);
  finger_up(1, 100, 400);
  // A finger held still throws no second card.
  finger_down(1, 900, 100);
  EXPECT_EQ(cards.cards().back().speed_x, -6);
  const size_t thrown = cards.cards().size();
  wait(app::kLongPressMs + 100);  // too short for any card to leave the screen
  EXPECT_EQ(cards.cards().size(), thrown);
  finger_up(1, 900, 100);
}

TEST_F(TouchPlay, KaleidoscopeTheViewJumpsToTheFingerAndFollowsIt) {
  auto& k = choose<activities::Kaleidoscope>(4);
  const int picture = k.picture_index();
  tap(300, 250);
  EXPECT_EQ(k.pattern_x(), 300);
  EXPECT_EQ(k.pattern_y(), 250);
  EXPECT_NE(k.picture_index(), picture) << "then the touch clicks: another picture";
  finger_down(1, 400, 300);
  finger_move(1, 600, 350);
  EXPECT_EQ(k.pattern_x(), 600);
  EXPECT_EQ(k.pattern_y(), 350);
  // A long press is the right click: the picture behind shows.
  EXPECT_FALSE(k.shows_picture_behind());
  wait(app::kLongPressMs + 40);
  EXPECT_FALSE(k.shows_picture_behind()) << "this finger wandered";
  finger_up(1, 600, 350);
  finger_down(1, 600, 350);
  wait(app::kLongPressMs + 40);
  EXPECT_TRUE(k.shows_picture_behind());
  finger_up(1, 600, 350);
}

TEST_F(TouchPlay, ColouringATapFillsALongPressBringsTheNextDrawingAndTwoFingersToo) {
  auto& c = choose<activities::Colouring>(7);
  ASSERT_EQ(c.drawing_number(), 1);
  // The palette: a tap picks its colour, as a click does.
  tap(c.palette_x() + 5, c.palette_y() + 5);
  EXPECT_TRUE(c.colour_picked());
  finger_down(1, 700, 300);
  EXPECT_TRUE(c.drawing_filled()) << "the touch's left click came first";
  wait(app::kLongPressMs - 40);
  EXPECT_EQ(c.drawing_number(), 1);
  wait(60);
  EXPECT_EQ(c.drawing_number(), 2);
  finger_up(1, 700, 300);
  // Two fingers tapped together.
  finger_down(1, 200, 300);
  finger_down(2, 250, 300);
  media::advance_manual_clock(100);
  finger_up(2, 250, 300);
  finger_up(1, 200, 300);
  EXPECT_EQ(c.drawing_number(), 3);
}

TEST_F(TouchPlay, PairsTapsTurnCardsTheMouseMadeOfATouchNothingAndTheCornerButtonDealsAgain) {
  auto& p = choose<activities::Pairs>(8);
  auto middle = [&](int k) {
    const activities::PairCard& c = p.cards()[k];
    return std::pair{c.x + p.card_width() / 2, c.y + p.card_height() / 2};
  };
  auto face_up = [&] {
    int n = 0;
    for (const auto& c : p.cards()) n += c.face_up && !c.taken;
    return n;
  };
  auto [x0, y0] = middle(0);
  tap(x0, y0);
  EXPECT_EQ(face_up(), 1);
  // The mouse events SDL makes of that touch change nothing.
  auto [x5, y5] = middle(5);
  feed(mouse_motion(x5, y5, SDL_TOUCH_MOUSEID));
  feed(mouse_button(x5, y5, SDL_TOUCH_MOUSEID));
  feed(mouse_button(x5, y5, SDL_TOUCH_MOUSEID, false));
  EXPECT_EQ(face_up(), 1);
  EXPECT_FALSE(p.cards()[5].face_up);
  tap(x5, y5);
  EXPECT_TRUE(p.cards()[5].face_up) << "two taps turn two cards";
  tw::press_digit(*loop, 8);  // dealt again, all face down
  wait(activities::Pairs::kMatchShownMs + 40);

  // Played to the end with taps; a tap on the corner button deals again.
  auto partner = [&](int k) {
    for (int j = 0; j < 16; ++j)
      if (j != k && !p.cards()[j].taken && p.cards()[j].picture == p.cards()[k].picture) return j;
    return -1;
  };
  for (int k = 0; k < 16; ++k) {
    if (p.cards()[k].taken) continue;
    for (int card : {k, partner(k)}) {
      auto [x, y] = middle(card);
      tap(x, y);
      wait(activities::Pairs::kMatchShownMs + 40);
    }
  }
  ASSERT_TRUE(p.finished());
  tap(55, 768 - 100 - 5 + 50);
  EXPECT_FALSE(p.finished()) << "dealt again";
  EXPECT_EQ(face_up(), 0);
}

TEST_F(TouchPlay, ATouchOnABlackBarDoesNothing) {
  WindowScope window(1600, 900);  // bars of 200 on either side
  auto& frames = choose<activities::PictureFrames>(1);
  // Window (250, 200) is picture (42, 170): left of the top left frame. Window (100, 200) is on the bar,
  // beside picture (0, 170).
  tap(100, 200);
  tap(1500, 200);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(frames.frame(i).picture, nullptr);
  // Into the top left frame (picture (200, 200)): window (200 + 200 * 1200 / 1024, 200 * 900 / 768).
  tap(200 + 235, 235);
  EXPECT_NE(frames.frame(0).picture, nullptr);
}

// The jigsaw with fingers: a touch picks a piece up, it follows the finger and the lift puts it
// down, joining and fixing as usual; the mouse keeps click-to-pick, click-to-drop.
TEST(TouchJigsaw, AFingerCarriesAPieceHomeAndTheMouseStillClicksToDrop) {
  media::use_manual_clock(true);
  media::set_manual_clock(1000);
  media::flush_events();
  assume_window(1024, 768);
  jt::fresh_world();
  activities::Jigsaw* jigsaw = nullptr;
  const app::ActivityTable table({{"jigsaw", app::ActivityMaker([&](const app::Context&) -> app::ActivityPtr {
                                     auto j = jt::hand_made<activities::Jigsaw>(1, 2);
                                     jt::at(*j, 0, 0).x = 600, jt::at(*j, 0, 0).y = 600;
                                     jt::at(*j, 0, 1).x = 850, jt::at(*j, 0, 1).y = 600;
                                     jigsaw = j.get();
                                     return j;
                                   })}});
  app::Loop loop(jt::world().assets, table, "", 1);
  auto feed = [&](const SDL_Event& e) {
    media::take_window_event(e);
    for (const Event& ev : queued()) loop.handle_event(ev);
  };
  tw::press_digit(loop, 1);
  ASSERT_NE(jigsaw, nullptr);
  activities::Piece& a = jt::at(*jigsaw, 0, 0);  // home (200, 200)
  activities::Piece& b = jt::at(*jigsaw, 0, 1);  // home (300, 200)

  feed(finger_event(SDL_FINGERDOWN, 1, 610, 610));
  ASSERT_EQ(jigsaw->carried(), &a) << "the touch picks the piece up";
  EXPECT_TRUE(jigsaw->carried_by_finger());
  // Held still a while: the long press hides nothing while the finger carries a piece.
  for (int t = 0; t < app::kLongPressMs + 100; t += 20) {
    media::advance_manual_clock(20);
    tw::tick(loop);
  }
  EXPECT_FALSE(jigsaw->hiding());
  EXPECT_EQ(jigsaw->carried(), &a);
  for (int step = 1; step <= 4; ++step) {
    media::advance_manual_clock(20);
    feed(finger_event(SDL_FINGERMOTION, 1, 610 - 100 * step, 610 - 100 * step));
  }
  EXPECT_EQ(a.x, 200) << "the piece follows the finger";
  EXPECT_EQ(a.y, 200);
  feed(finger_event(SDL_FINGERUP, 1, 215, 212));
  EXPECT_EQ(jigsaw->carried(), nullptr) << "the lift puts it down";
  EXPECT_TRUE(a.fixed) << "within the margin of home: fixed there";
  EXPECT_EQ(a.x, 200);

  // The mouse: a click picks up, moving carries, and only the next click puts down.
  feed(mouse_motion(850, 600));
  feed(mouse_button(850, 600));
  feed(mouse_button(850, 600, 0, false));
  ASSERT_EQ(jigsaw->carried(), &b);
  EXPECT_FALSE(jigsaw->carried_by_finger());
  media::advance_manual_clock(20);
  feed(mouse_motion(302, 203));
  EXPECT_EQ(jigsaw->carried(), &b) << "a mouse button going up puts nothing down";
  feed(mouse_button(302, 203));
  EXPECT_EQ(jigsaw->carried(), nullptr);
  EXPECT_TRUE(b.fixed);
  EXPECT_TRUE(jigsaw->finished());

  media::use_manual_clock(false);
  media::flush_events();
  media::close_audio();
}
