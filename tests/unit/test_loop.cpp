#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

#include <fstream>
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
#include "activities/uncover.hpp"
#include "activities/where.hpp"
#include "activities/register.hpp"
#include "app/shell/activity.hpp"
#include "app/shell/keys.hpp"
#include "app/shell/loop.hpp"
#include "app/pictures/picture_store.hpp"
#include "media/input/clock.hpp"
#include "media/input/events.hpp"
#include "media/sound/sound.hpp"
#include "tests/unit/test_world.hpp"

using namespace app;
using media::Event;
using media::EventKind;
using media::Key;

namespace {

// The key with that letter or digit on it.
constexpr Key K(char c) {
  if (c >= '0' && c <= '9') return media::digit_key(c - '0');
  if (c >= 'A' && c <= 'Z') return static_cast<Key>(media::key_index(Key::A) + (c - 'A'));
  return Key::None;
}

// A key given by its name or by the letter or digit on it.
struct AnyKey {
  AnyKey(Key key) : k(key) {}
  AnyKey(char c) : k(K(c)) {}
  Key k;
};

Event tick_event() { return Event{.kind = EventKind::Tick}; }
// Pictures that load at once as a byte and come back as empty images: for the store's timing alone.
PictureCodec stand_in_codec() {
  PictureCodec codec;
  codec.load = [](const std::string&, CompactPicture& out, std::string&) {
    out.jpeg = "x";
    return true;
  };
  codec.restore = [](const CompactPicture&) { return std::make_shared<media::Image>(); };
  return codec;
}
Event move_event(int x = 0, int y = 0) { return Event{.kind = EventKind::PointerMove, .x = x, .y = y}; }

std::vector<std::string> calls;  // "digit:method" in call order

constexpr int kFakes = 9;  // the fake table has an activity behind every digit key

// An activity that logs every call and answers with the outcomes and traits a test gives it.
struct Fake : Activity {
  Fake(int d, const Traits& t) : digit(d), traits_(t) {}
  void log(const char* m) { calls.push_back(std::to_string(digit) + ":" + m); }
  const Traits& traits() const override { return traits_; }
  void draw() const override { calls.push_back(std::to_string(digit) + ":draw"); }
  void setup() override { log("setup"); }
  void clear() override { log("clear"); }
  Outcome update(int /*now_ms*/) override { return log("update"), next; }
  Outcome click(const PointerInput& at) override {
    last = at;
    return log(at.button == media::Button::Right ? "right" : "left"), next;
  }
  Outcome move(const PointerInput& to) override {
    last = to;
    return log("move"), next;
  }
  bool finished() const override { return done; }
  ActivityPtr new_game() override {
    log("new_game");
    if (!can_renew) return nullptr;
    auto next = std::make_unique<Fake>(digit, traits_);
    next->setup();
    return next;
  }

  int digit;
  Traits traits_;
  Outcome next = Outcome::Nothing;  // what every handler reports
  bool done = false;
  bool can_renew = true;
  PointerInput last;  // what the last click or move handed over
};

class LoopTest : public testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    media::use_manual_clock(true);
    media::set_manual_clock(1000);
    fakes.clear();
    for (int d = 1; d <= kFakes; ++d)
      fakes.push_back({"fake" + std::to_string(d), [this, d](const Context&) -> ActivityPtr {
                         if (!buildable[d]) return nullptr;
                         calls.push_back(std::to_string(d) + ":make");
                         auto made = std::make_unique<Fake>(d, traits[d]);
                         made->setup();  // made ready to play
                         return made;
                       }});
    progress = testing::TempDir() + "loop-progress-" + std::to_string(::getpid()) + ".txt";
  }
  void TearDown() override {
    loop.reset();
    media::use_manual_clock(false);
    media::close_audio();
  }

  Loop& start(int level, bool child_lock = false) {
    loop = std::make_unique<Loop>(world.assets, ActivityTable(fakes), progress, level, child_lock);
    return *loop;
  }
  Turn key(Key k) { return tw::press(*loop, k); }
  Turn key(char c) { return key(K(c)); }
  Turn key(AnyKey k) { return key(k.k); }
  void key_up(Key k) { tw::release(*loop, k); }
  void key_up(char c) { key_up(K(c)); }
  void key_up(AnyKey k) { key_up(k.k); }
  void click(media::Button button) { tw::click(*loop, button); }
  Fake* slot(int d) { return static_cast<Fake*>(loop->slot(d)); }
  const LoopState& state() { return loop->state(); }
  int count(const std::string& c) { return static_cast<int>(std::count(calls.begin(), calls.end(), c)); }

  tw::World world;
  std::vector<ActivityEntry> fakes;  // the table a loop is started with: digit d is fakes[d - 1]
  std::array<Traits, kFakes + 1> traits;
  std::array<bool, kFakes + 1> buildable = {true, true, true, true, true, true, true, true, true, true};
  std::string progress;
  std::unique_ptr<Loop> loop;
};

}  // namespace

TEST(Keys, EachKeyMeansOneCommand) {
  EXPECT_EQ(command_for_key(Key::Escape, false).command, Command::Quit);
  EXPECT_EQ(command_for_key(Key::Q, true).command, Command::Quit);
  EXPECT_EQ(command_for_key(Key::Q, false).command, Command::Nothing);
  EXPECT_EQ(command_for_key(Key::V, false).command, Command::ToggleInfo);
  EXPECT_EQ(command_for_key(Key::LeftControl, false).command, Command::ControlDown);
  EXPECT_EQ(command_for_key(Key::RightControl, true).command, Command::ControlDown);
  EXPECT_EQ(command_for_key(Key::H, true).command, Command::ToggleHelp);
  EXPECT_EQ(command_for_key(Key::F1, false).command, Command::ToggleHelp);
  EXPECT_EQ(command_for_key(Key::S, false).command, Command::ToggleSound);
  EXPECT_EQ(command_for_key(Key::Digit0, false).command, Command::TitleScreen);
  for (int d = 1; d <= 9; ++d) {
    KeyCommand k = command_for_key(media::digit_key(d), false);
    EXPECT_EQ(k.command, Command::Choose);
    EXPECT_EQ(k.digit, d);
  }
  EXPECT_EQ(command_for_key(Key::A, false).command, Command::Nothing);
  EXPECT_TRUE(closes_help(Command::Choose));
  EXPECT_TRUE(closes_help(Command::Nothing));
  EXPECT_FALSE(closes_help(Command::ToggleInfo));
  EXPECT_FALSE(closes_help(Command::Quit));
}

TEST_F(LoopTest, LockedDigitsAndTheHelpPage) {
  start(1);
  key('H');
  EXPECT_TRUE(loop->shown(Layer::Help));
  key('2');  // locked at level 1: nothing but closing the help page
  EXPECT_EQ(state().activity, 0);
  EXPECT_FALSE(loop->shown(Layer::Help));
  EXPECT_FALSE(slot(2));
  key(Key::F1);
  EXPECT_TRUE(loop->shown(Layer::Help));
  key(Key::F1);
  EXPECT_FALSE(loop->shown(Layer::Help));
  // V and Control do not close the help page; clicks do.
  key('H');
  key('V');
  EXPECT_TRUE(loop->shown(Layer::Label));
  EXPECT_TRUE(loop->shown(Layer::Help));
  key(Key::LeftControl);
  key_up(Key::LeftControl);
  EXPECT_TRUE(loop->shown(Layer::Help));
  click(media::Button::Middle);  // middle button: a redraw and nothing else
  EXPECT_TRUE(loop->shown(Layer::Help));
  click(media::Button::Left);
  EXPECT_FALSE(loop->shown(Layer::Help));
  loop->redraw_if_needed();
  EXPECT_FALSE(state().redraw_needed);
  key('S');
  EXPECT_FALSE(loop->sound_on());
  EXPECT_TRUE(state().redraw_needed);
  key('S');
  EXPECT_TRUE(loop->sound_on());
  // Level 5 opens digits up to 5 at once.
  start(5);
  key('5');
  EXPECT_EQ(state().activity, 5);
  key('6');
  EXPECT_EQ(state().activity, 5);
}

TEST_F(LoopTest, ChoosingAgainFollowsTheTraits) {
  traits[1].again_while_current = Again::Clear;
  traits[2].again_while_current = Again::Restart;
  traits[3] = {.again_while_current = Again::Clear, .again_coming_back = Again::Clear};
  traits[8] = {.again_while_current = Again::Restart, .again_when_finished = Again::Restart};
  start(9);
  key('1');
  EXPECT_EQ(calls, (std::vector<std::string>{"1:make", "1:setup"})) << "made, then its first game";
  key('1');
  EXPECT_EQ(calls.back(), "1:clear");
  key('2');
  key('2');
  EXPECT_EQ(count("2:setup"), 2);
  // Every choice of 3 clears; 4 again changes nothing.
  key('3');
  key('3');
  key('1');
  key('3');
  EXPECT_EQ(count("3:clear"), 2);
  EXPECT_EQ(count("3:setup"), 1);
  key('4');
  size_t n = calls.size();
  key('4');
  EXPECT_EQ(calls.size(), n);
  // 8: again when current, and coming back to a finished game; an unfinished one resumes.
  key('8');
  slot(8)->done = true;
  key('1');
  key('8');
  EXPECT_EQ(count("8:setup"), 2);
  slot(8)->done = false;
  key('1');
  key('8');
  EXPECT_EQ(count("8:setup"), 2);
  key('8');
  EXPECT_EQ(count("8:setup"), 3);
  key('0');
  EXPECT_EQ(state().activity, 0);
  EXPECT_TRUE(slot(8));
}

TEST_F(LoopTest, NewGamesReplaceTheObjectAndAMakerThatFailsDoesNothing) {
  for (int d : {5, 6}) traits[d] = {.again_while_current = Again::NewGame, .again_when_finished = Again::NewGame};
  start(9);
  key('5');
  Fake* first = slot(5);
  ASSERT_TRUE(first);
  key('1');
  key('5');
  EXPECT_EQ(slot(5), first) << "an unfinished game resumes";
  key('5');
  Fake* second = slot(5);
  EXPECT_NE(second, first) << "again while current: a new object";
  EXPECT_EQ(calls.back(), "5:setup") << "the new object starts its game";
  second->done = true;
  key('1');
  key('5');
  EXPECT_NE(slot(5), second) << "a finished game is replaced when coming back";
  slot(5)->can_renew = false;
  Fake* kept = slot(5);
  key('5');
  EXPECT_EQ(slot(5), kept) << "no new game could be built: the old one stays";
  EXPECT_EQ(state().activity, 5);
  buildable[6] = false;
  key('6');
  EXPECT_FALSE(slot(6));
  EXPECT_EQ(state().activity, 5) << "the key does nothing when nothing can be built";
}

TEST_F(LoopTest, FinishedUnlocksTheNextActivityOnlyFromTheHighest) {
  start(3);
  key('3');
  slot(3)->next = Outcome::Finished;
  click(media::Button::Left);
  EXPECT_EQ(state().level, 4) << "finishing the highest activity opens the next";
  click(media::Button::Left);
  EXPECT_EQ(state().level, 4) << "3 is not the highest any more";
  key('1');
  slot(1)->next = Outcome::Finished;
  click(media::Button::Left);
  EXPECT_EQ(state().level, 4);
  start(9);
  key('9');
  slot(9)->next = Outcome::Finished;
  click(media::Button::Left);
  EXPECT_EQ(state().level, 9) << "never past 9";
}

TEST_F(LoopTest, RestartChoosesTheActivityAgain) {
  traits[8] = {.again_while_current = Again::Restart, .again_when_finished = Again::Restart};
  start(9);
  key('8');
  slot(8)->next = Outcome::Restart;
  calls.clear();
  click(media::Button::Left);
  EXPECT_EQ(calls, (std::vector<std::string>{"8:left", "8:setup"}));
  EXPECT_EQ(state().activity, 8);
}

TEST_F(LoopTest, EventsReachOnlyTheActivitiesThatWantThem) {
  traits[7].wants_right_clicks = true;
  traits[1].wants_moves = true;
  traits[3].animated = true;
  start(9);
  key('7');
  calls.clear();
  key(Key::LeftControl);
  key(Key::RightControl);
  click(media::Button::Left);
  EXPECT_EQ(calls.back(), "7:right") << "Control+click is a right click";
  key_up(Key::RightControl);
  EXPECT_FALSE(state().ctrl_down) << "releasing either Control key clears it";
  click(media::Button::Left);
  EXPECT_EQ(calls.back(), "7:left");
  click(media::Button::Right);
  EXPECT_EQ(calls.back(), "7:right");
  // Activities without those traits are never asked.
  key('2');
  calls.clear();
  click(media::Button::Right);
  media::advance_manual_clock(100);
  loop->handle_event(move_event());
  loop->update_activity();
  EXPECT_TRUE(calls.empty());
  // The animated one steps on every turn, and asks for redraws through its outcome.
  key('3');
  loop->redraw_if_needed();
  calls.clear();
  loop->update_activity();
  EXPECT_EQ(calls, (std::vector<std::string>{"3:update"}));
  EXPECT_FALSE(state().redraw_needed);
  slot(3)->next = Outcome::Redraw;
  loop->update_activity();
  EXPECT_TRUE(state().redraw_needed);
  // Control+Q ends the program and saves.
  key(Key::LeftControl);
  EXPECT_EQ(key('Q'), Turn::Quit);
}

TEST_F(LoopTest, PointerMovesAreHandledOnlyMoreThanTenMillisecondsApart) {
  traits[1].wants_moves = true;
  start(1);
  key('1');
  loop->redraw_if_needed();
  calls.clear();
  media::advance_manual_clock(10);
  loop->handle_event(move_event());
  EXPECT_TRUE(calls.empty());
  EXPECT_FALSE(state().redraw_needed) << "a dropped move costs nothing";
  media::advance_manual_clock(1);
  loop->handle_event(move_event());
  EXPECT_EQ(calls, (std::vector<std::string>{"1:move"}));
  EXPECT_TRUE(state().redraw_needed);
  media::advance_manual_clock(5);
  loop->handle_event(move_event());
  EXPECT_EQ(calls.size(), 1u);
  // Ticks, repeats, characters and releases only turn the loop.
  loop->redraw_if_needed();
  for (EventKind kind : {EventKind::Tick, EventKind::KeyRepeat, EventKind::Text, EventKind::PointerUp})
    EXPECT_EQ(loop->handle_event(Event{.kind = kind, .key = Key::H, .character = 'H'}), Turn::Continue);
  EXPECT_FALSE(state().redraw_needed);
  EXPECT_FALSE(loop->shown(Layer::Help));
}

// A burst of moves taken in within one millisecond (a busy program catching up): the first is
// handled, the rest fall inside the gap; the last one is handled on a later tick at the pointer's
// newest place, once, and a tick with nothing waiting does nothing.
TEST_F(LoopTest, TheLastMoveOfABurstIsHandledOnceTheGapHasPassed) {
  traits[1].wants_moves = true;
  start(1);
  key('1');
  loop->redraw_if_needed();
  calls.clear();
  media::advance_manual_clock(50);
  for (int i = 0; i < 3; ++i) loop->handle_event(move_event());
  EXPECT_EQ(count("1:move"), 1);
  loop->redraw_if_needed();
  media::advance_manual_clock(10);
  loop->handle_event(tick_event());
  EXPECT_EQ(count("1:move"), 1) << "still inside the gap";
  EXPECT_FALSE(state().redraw_needed);
  media::advance_manual_clock(1);
  loop->handle_event(tick_event());
  EXPECT_EQ(count("1:move"), 2);
  EXPECT_TRUE(state().redraw_needed);
  media::advance_manual_clock(100);
  loop->handle_event(tick_event());
  EXPECT_EQ(count("1:move"), 2) << "handled once";
}

// Every rule that times input reads the events' own stamps: events a busy program takes in late
// count as they happened, not as they were handled. Each event is handled with the clock at
// `handled`; judged by that clock instead, each case would end the other way.
TEST_F(LoopTest, InputIsTimedByTheEventsStampsNotByWhenItIsHandled) {
  struct Stamped {
    Event event;
    int handled;
  };
  const auto finger = [](EventKind kind, int id, int at) {
    return Event{.kind = kind, .button = media::Button::Left, .pointer = media::PointerKind::Touch,
                 .pointer_id = id, .x = 100, .y = 100, .time_ms = at};
  };
  const auto moved = [](int at) { return Event{.kind = EventKind::PointerMove, .time_ms = at}; };
  struct Case {
    const char* rule;
    std::vector<Stamped> events;
    const char* call;
    int calls;
  };
  const Case cases[] = {
      {"a finger held 0.6 s is a long press, though its touch came in late",
       {{finger(EventKind::PointerDown, 1, 1000), 1550}, {Event{.kind = EventKind::Tick, .time_ms = 1620}, 1620}},
       "1:right", 1},
      {"two fingers lifted 0.6 s after the second touched are no tap, though all came in at once",
       {{finger(EventKind::PointerDown, 1, 1000), 1000}, {finger(EventKind::PointerDown, 2, 1100), 1000},
        {finger(EventKind::PointerUp, 1, 1700), 1000}, {finger(EventKind::PointerUp, 2, 1700), 1000}},
       "1:right", 0},
      {"moves 30 ms apart both reach the activity, though taken in together",
       {{moved(1020), 1100}, {moved(1050), 1100}},
       "1:move", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    traits[1].wants_moves = traits[1].wants_right_clicks = true;
    media::set_manual_clock(1000);
    start(1);
    key('1');
    calls.clear();
    for (const Stamped& s : c.events) {
      media::set_manual_clock(s.handled);
      loop->handle_event(s.event);
    }
    EXPECT_EQ(count(c.call), c.calls);
  }
}

// Nothing on the title screen follows the pointer: moves there cost no redraw (they would take the
// CPU from the pictures loading behind the title), while in an activity they do.
TEST_F(LoopTest, MovesOnTheTitleScreenCostNoRedraw) {
  traits[1].wants_moves = true;
  start(1);
  loop->redraw_if_needed();
  for (int i = 0; i < 3; ++i) {
    media::advance_manual_clock(50);
    loop->handle_event(move_event());
    loop->handle_event(tick_event());
    EXPECT_FALSE(state().redraw_needed);
  }
  key('1');
  loop->redraw_if_needed();
  media::advance_manual_clock(50);
  loop->handle_event(move_event());
  EXPECT_TRUE(state().redraw_needed);
}

// The same with the real picture frames: the pointer comes to rest inside the first frame in a
// burst right after a move between the frames; the frame shows its picture.
TEST(LoopFrames, APointerThatRestsInAFrameAfterABurstShowsItsPicture) {
  media::use_manual_clock(true);
  media::set_manual_clock(1000);
  tw::World world;
  std::vector<media::ImagePtr> pictures;
  for (int i = 0; i < 16; ++i) pictures.push_back(media::image_from_pixmap(media::create_pixmap(64, 48, media::PF_RGB), 0));
  world.set_pictures(pictures);
  {
    Loop loop(world.assets, activities::activity_table(), "", 1);
    tw::press_digit(loop, 1);
    auto* frames = static_cast<activities::PictureFrames*>(loop.current());
    ASSERT_TRUE(frames);
    media::advance_manual_clock(50);
    loop.handle_event(move_event(512, 384));
    loop.handle_event(move_event(240, 184));
    loop.handle_event(move_event(270, 184));
    EXPECT_FALSE(frames->frame(0).picture) << "both moves came within the gap";
    media::advance_manual_clock(20);
    loop.handle_event(tick_event());
    EXPECT_TRUE(frames->frame(0).picture) << "the frame the pointer rests in shows a picture";
  }
  media::use_manual_clock(false);
  media::close_audio();
}

TEST_F(LoopTest, ClosingHelpClearsTheActivitiesThatSaySo) {
  traits[3].clear_when_help_closes = true;
  start(3);
  key('3');
  calls.clear();
  key('H');
  EXPECT_TRUE(calls.empty()) << "opening the help page does not touch the activity";
  key('H');
  EXPECT_EQ(calls, (std::vector<std::string>{"3:clear"}));
  key('2');
  key('H');
  key('H');
  EXPECT_EQ(count("2:clear"), 0);
}

TEST_F(LoopTest, EndingSavesTheLevel) {
  start(6);
  EXPECT_EQ(key(Key::Escape), Turn::Quit);
  std::ifstream f(progress, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(f)), {});
  EXPECT_EQ(text, "6\r\n");
  start(7);
  EXPECT_EQ(loop->handle_event(Event{.kind = EventKind::Quit}), Turn::Quit);
  std::ifstream g(progress, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(g)), {}), "7\r\n");
}

// What the nine activities say about themselves: which events they take, where the loop's pointer
// shows, and what choosing them again does.
TEST(ActivityTable, TraitsOfTheNineActivities) {
  ActivityTable table = activities::activity_table();
  ASSERT_EQ(table.count(), 9);
  for (int d = 1; d <= table.count(); ++d) EXPECT_TRUE(table[d]) << d;
  EXPECT_FALSE(table[0]);
  const Traits* t[10] = {nullptr,
                         &activities::PictureFrames::kTraits,
                         &activities::CountingBalls::kTraits,
                         &activities::BouncingCards::kTraits,
                         &activities::Kaleidoscope::kTraits,
                         &activities::Uncover::kTraits,
                         &activities::Where::kTraits,
                         &activities::Colouring::kTraits,
                         &activities::Pairs::kTraits,
                         &activities::Jigsaw::kTraits};
  std::string pointer, animated, moves, right, thinking, help;
  for (int d = 1; d <= table.count(); ++d) {
    std::string digit = std::to_string(d);
    if (t[d]->pointer_shown) pointer += digit;
    if (t[d]->animated) animated += digit;
    if (t[d]->wants_moves) moves += digit;
    if (t[d]->wants_right_clicks) right += digit;
    if (!t[d]->thinking_while_made) thinking += digit;
    if (t[d]->clear_when_help_closes) help += digit;
  }
  EXPECT_EQ(pointer, "1256789");
  EXPECT_EQ(animated, "348") << "pairs end the look at a match on a tick";
  EXPECT_EQ(moves, "1249") << "the kaleidoscope's pattern and the jigsaw's carried piece follow the pointer";
  EXPECT_EQ(right, "3479");
  EXPECT_EQ(thinking, "3") << "bouncing cards are built without the thinking image";
  EXPECT_EQ(help, "3");
  // How many pictures each shows is known before it is built: a digit pressed while the pictures
  // load waits for that many.
  for (int d = 1; d <= table.count(); ++d) EXPECT_EQ(table[d].pictures(), t[d]->pictures) << d;
  EXPECT_EQ(t[1]->pictures, 16);
  EXPECT_EQ(t[8]->pictures, 8);
  EXPECT_EQ(t[2]->pictures + t[7]->pictures, 0);
  auto again = [&](Again Traits::*which) {
    std::string out;
    for (int d = 1; d <= table.count(); ++d) out += "RCSN"[static_cast<int>(t[d]->*which)];
    return out;
  };
  EXPECT_EQ(again(&Traits::again_while_current), "CSCRNNSSN");
  EXPECT_EQ(again(&Traits::again_coming_back), "RRCRRRRRR");
  EXPECT_EQ(again(&Traits::again_when_finished), "RRCRNNRSN");
}

// With the child lock, a key pressed alone changes nothing at all, not even the redraw flag.
TEST_F(LoopTest, ChildLockKeysAloneChangeNothing) {
  start(9, true);
  auto ctrl = [&](auto code) {
    key(Key::LeftControl);
    key(code);
    key_up(Key::LeftControl);
    key_up(code);
  };
  ctrl('3');
  ASSERT_EQ(state().activity, 3);
  ctrl('H');
  ASSERT_TRUE(loop->shown(Layer::Help));
  loop->redraw_if_needed();
  for (int i = 0; i < media::kKeyCount; ++i) {
    const Key code = static_cast<Key>(i);
    if (media::is_control(code)) continue;
    EXPECT_EQ(key(code), Turn::Continue) << i;
    EXPECT_EQ(tw::release(*loop, code), Turn::Continue) << i;
  }
  EXPECT_EQ(state().activity, 3);
  EXPECT_TRUE(loop->shown(Layer::Help)) << "not even the help page closes";
  EXPECT_FALSE(loop->shown(Layer::Label));
  EXPECT_TRUE(loop->sound_on());
  EXPECT_FALSE(state().redraw_needed);
  EXPECT_FALSE(slot(5));

  // Control+key works as the key alone does without the lock.
  ctrl('2');
  EXPECT_EQ(state().activity, 2);
  ctrl('V');
  EXPECT_TRUE(loop->shown(Layer::Label));
  ctrl('S');
  EXPECT_FALSE(loop->sound_on());
  ctrl('0');
  EXPECT_EQ(state().activity, 0);
  // Releasing Control ends it: the next key alone does nothing again.
  key(Key::RightControl);
  key_up(Key::RightControl);
  key('4');
  key_up('4');
  EXPECT_EQ(state().activity, 0);
  // Quitting is not a quick chord.
  for (Key code : {Key::Escape, Key::Q}) {
    key(Key::LeftControl);
    EXPECT_EQ(key(code), Turn::Continue);
    EXPECT_EQ(tw::release(*loop, code), Turn::Continue);
    EXPECT_EQ(tw::release(*loop, Key::LeftControl), Turn::Continue);
  }
}

// A chord acts when it ends cleanly, not when its key goes down: a palm that lands Control and a
// digit first has done nothing yet when the rest of it arrives.
TEST_F(LoopTest, ChildLockChordActsWhenItEndsCleanly) {
  start(9, true);
  key(Key::LeftControl);
  key('3');
  EXPECT_EQ(state().activity, 0) << "the digit is down, the chord not ended";
  EXPECT_TRUE(calls.empty());
  key_up('3');
  EXPECT_EQ(state().activity, 3) << "the digit let go first";
  EXPECT_TRUE(state().redraw_needed);
  loop->redraw_if_needed();
  key('H');
  EXPECT_FALSE(loop->shown(Layer::Help));
  key_up(Key::LeftControl);
  EXPECT_TRUE(loop->shown(Layer::Help)) << "Control let go first";
  key_up('H');
  EXPECT_TRUE(loop->shown(Layer::Help)) << "the chord ended once";
  // Control held for several chords in a row, as a parent does.
  key(Key::RightControl);
  for (int code : {'V', '2', 'V'}) {
    key(code);
    key_up(code);
  }
  key_up(Key::RightControl);
  EXPECT_EQ(state().activity, 2);
  EXPECT_FALSE(loop->shown(Layer::Label));
  EXPECT_FALSE(loop->shown(Layer::Help));
}

// Hands laid flat on the keyboard, Control among the keys: all down, held a long time, all up.
// Nothing changes, nothing ends, nothing is saved.
TEST_F(LoopTest, ChildLockPalmsChangeNothing) {
  const AnyKey C = Key::LeftControl, E = Key::Escape;
  struct Palm {
    std::vector<AnyKey> downs, ups;
  } palms[] = {
      {{C, 'A', 'S', 'Q', 'W', 'Z'}, {'A', 'S', 'Q', 'W', 'Z', C}},
      {{C, 'A', 'S', 'Q', 'W', 'Z'}, {C, 'Z', 'W', 'Q', 'S', 'A'}},
      {{C, 'Q', 'A', 'S', 'W', 'Z'}, {'Z', 'W', 'S', 'A', 'Q', C}},
      {{C, E, '1', '2', '3'}, {'3', '2', '1', E, C}},
      {{C, E, '1', '2', '3'}, {E, '1', '2', '3', C}},
      {{C, '1', E}, {E, '1', C}},
      {{C, '1', E}, {C, E, '1'}},
      {{C, 'Q', '5'}, {'5', 'Q', C}},
      {{C, 'H', 'V', 'S', '0'}, {'0', 'S', 'V', 'H', C}},
  };
  traits[4].wants_right_clicks = true;
  start(4, true);
  key(C);
  key('4');
  key_up('4');
  key_up(C);
  ASSERT_EQ(state().activity, 4);
  std::remove(progress.c_str());
  for (const Palm& palm : palms) {
    std::string trace;
    for (AnyKey k : palm.downs) trace += std::to_string(media::key_index(k.k)) + " ";
    SCOPED_TRACE(trace);
    loop->redraw_if_needed();
    calls.clear();
    for (AnyKey code : palm.downs) {
      media::advance_manual_clock(3);
      EXPECT_EQ(key(code), Turn::Continue);
    }
    // Held for three seconds, ticks coming as they do.
    for (int t = 0; t < 150; ++t) {
      media::advance_manual_clock(20);
      EXPECT_EQ(loop->handle_event(tick_event()), Turn::Continue);
    }
    for (AnyKey code : palm.ups) {
      media::advance_manual_clock(3);
      EXPECT_EQ(tw::release(*loop, code.k), Turn::Continue);
    }
    media::advance_manual_clock(2000);
    EXPECT_EQ(loop->handle_event(tick_event()), Turn::Continue);
    EXPECT_EQ(state().activity, 4);
    EXPECT_EQ(state().level, 4);
    EXPECT_FALSE(loop->shown(Layer::Help));
    EXPECT_FALSE(loop->shown(Layer::Label));
    EXPECT_TRUE(loop->sound_on());
    EXPECT_EQ(state().ring_held_ms, -1);
    EXPECT_FALSE(state().redraw_needed) << "the screen is not even redrawn";
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(std::ifstream(progress).good()) << "nothing saved";
  }
  // The mouse still plays after them, and Control+click is still a right click.
  click(media::Button::Left);
  key(C);
  click(media::Button::Left);
  key_up(C);
  EXPECT_EQ(calls, (std::vector<std::string>{"4:left", "4:right"}));
}

// Quitting under the lock: Control+Q or Control+Escape held for a second, as ticks see it. The ring
// shows from the press and fills while held; let go early or spoilt, it goes and nothing happens.
TEST_F(LoopTest, ChildLockQuitNeedsTheChordHeldASecond) {
  auto tick = [&](int ms) {
    media::advance_manual_clock(ms);
    return loop->handle_event(tick_event());
  };
  auto saved = [&] {
    std::ifstream f(progress, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), {});
  };
  std::remove(progress.c_str());
  start(5, true);
  EXPECT_EQ(state().ring_held_ms, -1);
  key(Key::LeftControl);
  media::advance_manual_clock(300);  // Control may be held a while before
  loop->redraw_if_needed();
  key('Q');
  EXPECT_EQ(state().ring_held_ms, 0);
  EXPECT_EQ(tick(0), Turn::Continue);
  EXPECT_EQ(tick(80), Turn::Continue);
  EXPECT_EQ(state().ring_held_ms, 80);
  EXPECT_FALSE(state().redraw_needed) << "the ring waits a moment, so a palm does not flash it";
  EXPECT_FALSE(ring_shown(state().ring_held_ms));
  for (int held = 100; held <= 980; held += 20) {
    ASSERT_EQ(tick(20), Turn::Continue) << held;
    EXPECT_EQ(state().ring_held_ms, held);
    EXPECT_TRUE(ring_shown(state().ring_held_ms));
    EXPECT_TRUE(state().redraw_needed) << "the ring fills: " << held;
    loop->redraw_if_needed();
  }
  EXPECT_EQ(tick(0), Turn::Continue);
  EXPECT_FALSE(state().redraw_needed) << "no time passed: the ring is as drawn";
  EXPECT_EQ(tick(19), Turn::Continue) << "999 ms";
  EXPECT_EQ(state().ring_held_ms, 999);
  EXPECT_EQ(saved(), "") << "not yet";
  EXPECT_EQ(tick(1), Turn::Quit) << "a second";
  EXPECT_EQ(saved(), "5\r\n") << "the progress is saved, as quitting always does";

  // Control+Escape the same; a tick that comes late quits at once.
  std::remove(progress.c_str());
  start(6, true);
  key(Key::RightControl);
  key(Key::Escape);
  EXPECT_EQ(tick(990), Turn::Continue);
  EXPECT_EQ(tick(40), Turn::Quit);
  EXPECT_EQ(saved(), "6\r\n");

  // Let go early (the key, or Control): the ring goes, and holding nothing more never quits.
  for (Key let_go : {Key::Q, Key::LeftControl}) {
    SCOPED_TRACE(media::key_index(let_go));
    std::remove(progress.c_str());
    start(7, true);
    key(Key::LeftControl);
    key(Key::Q);
    EXPECT_EQ(tick(500), Turn::Continue);
    EXPECT_EQ(state().ring_held_ms, 500);
    loop->redraw_if_needed();
    EXPECT_EQ(tw::release(*loop, let_go), Turn::Continue);
    EXPECT_EQ(state().ring_held_ms, -1);
    EXPECT_TRUE(state().redraw_needed) << "the ring goes";
    for (int t = 0; t < 100; ++t) ASSERT_EQ(tick(20), Turn::Continue);
    EXPECT_EQ(state().activity, 0);
    EXPECT_EQ(saved(), "");
  }

  // Spoilt by another key while held: the ring goes, nothing happens.
  start(7, true);
  key(Key::LeftControl);
  key(Key::Escape);
  EXPECT_EQ(tick(600), Turn::Continue);
  key('W');
  EXPECT_EQ(state().ring_held_ms, -1);
  for (int t = 0; t < 100; ++t) ASSERT_EQ(tick(20), Turn::Continue);
  EXPECT_EQ(saved(), "");

  // Holding again afterwards counts from the new press.
  key_up('W');
  key_up(Key::Escape);
  key(Key::Escape);
  EXPECT_EQ(tick(999), Turn::Continue);
  EXPECT_EQ(tick(1), Turn::Quit);
  EXPECT_EQ(saved(), "7\r\n");
}

// Without the lock nothing of this: keys act as they go down, and Escape and Control+Q quit at once.
TEST_F(LoopTest, WithoutTheLockKeysActOnThePress) {
  std::remove(progress.c_str());
  start(9);
  key(Key::LeftControl);
  key('3');
  EXPECT_EQ(state().activity, 3);
  key('4');
  EXPECT_EQ(state().activity, 4) << "a second key with Control still down works too";
  key('Z');
  key('2');
  EXPECT_EQ(state().activity, 2);
  EXPECT_EQ(key('Q'), Turn::Quit);
  EXPECT_EQ(state().ring_held_ms, -1) << "no ring";
  start(8);
  for (int code : {'A', 'S', 'W'}) key(code);
  EXPECT_EQ(key(Key::Escape), Turn::Quit) << "Escape among other keys";
  std::ifstream f(progress, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(f)), {}), "8\r\n");
}

TEST_F(LoopTest, ChildLockLeavesTheMouseAndControlClick) {
  traits[3].wants_right_clicks = true;
  start(9, true);
  key(Key::LeftControl);
  key('3');
  key_up(Key::LeftControl);
  calls.clear();
  click(media::Button::Left);
  key(Key::LeftControl);
  click(media::Button::Left);
  key_up(Key::LeftControl);
  EXPECT_EQ(count("3:left"), 1);
  EXPECT_EQ(count("3:right"), 1);
}

// Pictures loading in the background: a digit pressed before the pictures its activity shows are in
// waits, and is chosen on the timer tick that finds them in; any other key forgets it.
TEST_F(LoopTest, DigitWaitsForThePicturesItsActivityShows) {
  std::atomic<bool> released{false};
  const PictureCodec codec = stand_in_codec();
  auto store = std::make_shared<PictureStore>();
  std::vector<std::string> names(12, "p.jpg");
  store->start("pics", names, codec, 2, 3, [&] { return released.load(); });
  store->wait();  // three in, the rest held
  world.assets.pictures = store;
  traits[8].pictures = 8;
  traits[3].pictures = kEveryPicture;
  for (int d : {3, 8})
    fakes[d - 1].make = ActivityMaker(
        [d, this](const Context&) -> ActivityPtr { return std::make_unique<Fake>(d, traits[d]); }, traits[d].pictures);
  start(9).poll_pictures_from(*store);
  auto tick = [&] { loop->handle_event(tick_event()); };

  key('3');
  EXPECT_EQ(state().activity, 3) << "one picture is in: it starts at once";
  key('0');
  key('8');
  tick();
  EXPECT_EQ(state().activity, 0) << "eight are needed, three are in";
  EXPECT_EQ(state().waiting_place, 8);
  key('A');
  EXPECT_EQ(state().waiting_place, 0) << "another key forgets the waiting digit";
  key('8');
  key('H');
  EXPECT_TRUE(loop->shown(Layer::Help));
  released = true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (store->loading() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    tick();
  }
  EXPECT_EQ(state().activity, 0) << "the help key forgot it too";
  key('H');
  key('8');
  EXPECT_EQ(state().activity, 8) << "loading has ended";

  // Chosen on the tick that finds the pictures in, closing the help page.
  released = false;
  auto second = std::make_shared<PictureStore>();
  second->start("pics", names, codec, 2, 3, [&] { return released.load(); });
  second->wait();
  world.assets.pictures = second;
  Loop fresh(world.assets, ActivityTable(fakes), progress, 9);
  fresh.poll_pictures_from(*second);
  tw::press_digit(fresh, 8);
  tw::press(fresh, Key::LeftControl);  // half of a key: the digit still waits
  EXPECT_EQ(fresh.state().waiting_place, 8);
  released = true;
  deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (fresh.state().activity != 8 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    fresh.handle_event(tick_event());
  }
  EXPECT_EQ(fresh.state().activity, 8);
  EXPECT_EQ(fresh.state().waiting_place, 0);
  EXPECT_GE(second->count(), 8u);
}

// Picture frames shows sixteen pictures, but opens as soon as the first frame's first picture (the
// second of the folder) is in: with one in, key 1 waits; with two it starts, and a frame whose next
// picture is not in yet shows one that is, as with a short folder.
TEST(LoopFrames, PictureFramesStartOnceTheFirstFrameHasItsFirstPicture) {
  media::use_manual_clock(true);
  media::set_manual_clock(1000);
  PictureCodec codec;
  codec.load = [](const std::string&, CompactPicture& out, std::string&) {
    out.jpeg = "x";
    return true;
  };
  codec.restore = [](const CompactPicture&) {
    return media::image_from_pixmap(media::create_pixmap(8, 6, media::PF_RGB), 0);
  };
  tw::World world;
  for (size_t held_at : {1, 2}) {
    auto store = std::make_shared<PictureStore>();
    store->start("pics", std::vector<std::string>(20, "p.jpg"), codec, 2, held_at, [] { return false; });
    store->wait();
    ASSERT_EQ(store->count(), held_at);
    world.assets.pictures = store;
    Loop loop(world.assets, activities::activity_table(), "", 1);
    loop.poll_pictures_from(*store);
    tw::press_digit(loop, 1);
    loop.handle_event(tick_event());
    if (held_at == 1) {
      EXPECT_EQ(loop.state().activity, 0);
      EXPECT_EQ(loop.state().waiting_place, 1);
      continue;
    }
    ASSERT_EQ(loop.state().activity, 1);
    auto* frames = static_cast<activities::PictureFrames*>(loop.current());
    const int inside_last[2] = {700, 500}, between[2] = {512, 384};
    for (int entry = 0; entry < 2; ++entry)
      for (const int* at : {inside_last, between}) {
        media::advance_manual_clock(50);
        loop.handle_event(move_event(at[0], at[1]));
        if (at == inside_last) {
          EXPECT_EQ(frames->frame(3).picture, store->at(entry == 0 ? 13 % 2 : 14 % 2)) << "entry " << entry;
        }
      }
  }
  media::use_manual_clock(false);
  media::close_audio();
}

// The title's loading progress is redrawn a few times a second, not for every picture, and at once
// when loading ends. The loop's clock stands still here, so only the end may redraw.
TEST_F(LoopTest, TitleProgressIsRedrawnAFewTimesASecond) {
  std::atomic<bool> released{false};
  const PictureCodec codec = stand_in_codec();
  auto store = std::make_shared<PictureStore>();
  store->start("pics", std::vector<std::string>(40, "p.jpg"), codec, 2, 3, [&] { return released.load(); });
  world.assets.pictures = store;
  start(1).poll_pictures_from(*store);
  loop->redraw_if_needed();
  auto tick = [&] { loop->handle_event(tick_event()); };
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (store->count() < 3 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    tick();
  }
  ASSERT_EQ(store->count(), 3u);
  EXPECT_TRUE(state().redraw_needed) << "the first progress shows at once";
  loop->redraw_if_needed();

  released = true;
  bool redrawn_while_loading = false;
  deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (store->loading() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    tick();
    if (store->loading() && state().redraw_needed) redrawn_while_loading = true;
  }
  ASSERT_FALSE(store->loading());
  EXPECT_FALSE(redrawn_while_loading) << "less than 250 ms passed: the progress waits";
  EXPECT_TRUE(state().redraw_needed) << "the end of loading shows at once";
}

TEST_F(LoopTest, TheDesktopsAnswerToTheLockIsShownWhenItComes) {
  using media::Hold;
  // What the label says for each answer: only a desktop that keeps its shortcuts is named.
  EXPECT_EQ(lock_label(Hold::Held, Hold::Held), "lock");
  EXPECT_EQ(lock_label(Hold::Asked, Hold::Asked), "lock");
  EXPECT_EQ(lock_label(Hold::Off, Hold::Off), "lock") << "a window holds neither, as the parent chose";
  EXPECT_EQ(lock_label(Hold::Refused, Hold::Held), "lock: keys not held by this desktop");
  EXPECT_EQ(lock_label(Hold::NotOffered, Hold::Off), "lock: keys not held by this desktop");
  EXPECT_EQ(lock_label(Hold::Held, Hold::Refused), "lock: pointer not held by this desktop");
  EXPECT_EQ(lock_label(Hold::NotOffered, Hold::Refused), "lock: keys and pointer not held by this desktop");

  // The answer comes after the screen opened: the title is drawn again to show or drop its notice.
  start(1, true);
  media::set_keyboard_hold_answer(Hold::Asked);
  loop->handle_event(tick_event());
  loop->redraw_if_needed();
  media::set_keyboard_hold_answer(Hold::NotOffered);
  loop->handle_event(tick_event());
  EXPECT_TRUE(state().redraw_needed);
  loop->redraw_if_needed();
  loop->handle_event(tick_event());
  EXPECT_FALSE(state().redraw_needed) << "the same answer again draws nothing";
  media::set_keyboard_hold_answer(Hold::Held);
  loop->handle_event(tick_event());
  EXPECT_TRUE(state().redraw_needed);
  loop->redraw_if_needed();
  media::set_pointer_hold_answer(Hold::Refused);
  loop->handle_event(tick_event());
  EXPECT_TRUE(state().redraw_needed) << "the pointer's answer too";
  loop->redraw_if_needed();
  media::set_pointer_hold_answer(Hold::Off);

  // Without the lock the answer means nothing to the screen.
  start(1, false);
  loop->redraw_if_needed();
  media::set_keyboard_hold_answer(Hold::Refused);
  loop->handle_event(tick_event());
  EXPECT_FALSE(state().redraw_needed);
  media::set_keyboard_hold_answer(Hold::Off);
}
