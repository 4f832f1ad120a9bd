// What the help pages say: the words every page shares, and one entry per activity with its words,
// its colour and its small picture. The layout (gen_help.cpp) places them; nothing here knows where.
#include <iterator>
#include <string>

#include "tools/help.hpp"

namespace help {

const Labels kLabels{"click or press H to close", "What your child does", "Finishing a game", "Good to know"};

namespace {

// In digit order, as in the program's activity table (activities/register.cpp): one entry each.
const ActivityPage kPages[] = {
    // 1
    {"Picture frames",
     "Activity 1: always open",
     "move into a frame to show a picture",
     "Four empty frames hang on the wall. Your child moves the mouse pointer into a frame, and a "
     "picture appears in it with a ping. Each time the pointer comes back into a frame, that frame "
     "shows its next picture; every frame has four of its own.",
     "Once all four frames have been visited, the game counts as finished: this unlocks *activity "
     "2* if it is still locked.",
     "Clicks do nothing here. Press *1* again to empty the frames. The frames show the first 16 "
     "pictures of the pics folder.",
     {0.95, 0.55, 0.20},
     art_frames},
    // 2
    {"Counting balls",
     "Activity 2: touch the balls in order",
     "touch the balls in order",
     "Numbered balls lie on the sky. Your child touches them with the pointer in order: 1, 2, 3 "
     "and so on. The ball just counted glows. Touching a ball out of order turns it red with a pop, "
     "and counting starts again from ball 1. Clicks do nothing here.",
     "When the last ball is counted, all the balls glow and a magic sound plays: this unlocks "
     "*activity 3* if it is still locked. Touching ball 1 then starts the next game with one more "
     "ball: 9 balls at first, up to 20.",
     "Press *2* while playing for a new layout: during a game the number of balls stays the same; "
     "after a finished game it grows by one.",
     {0.36, 0.72, 0.24},
     art_count},
    // 3
    {"Bouncing cards",
     "Activity 3: every click throws a card",
     "every click throws a card",
     "Every click throws a little picture card onto the sky: a left click from the left edge, a "
     "right click from the right edge. The cards fall, bounce along the floor with a boing and "
     "fly off the other side, leaving a colourful trail behind them.",
     "There is no game to finish here: any left click unlocks *activity 4* if it is still locked.",
     "Press *3* to wipe the trails and start afresh; closing this page with *H* or *F1* wipes "
     "them too. No pointer is shown in this activity.",
     {0.20, 0.62, 0.90},
     art_bounce},
    // 4
    {"Kaleidoscope",
     "Activity 4: a pattern that follows the mouse",
     "a pattern follows the mouse",
     "A ring follows the mouse and shows a kaleidoscope: a piece of a slowly turning picture, "
     "repeated eight times in mirror images. Moving the mouse changes the pattern, and it keeps "
     "changing while the mouse rests. A left click takes another picture; a right click shows or "
     "hides the picture behind the pattern.",
     "There is no game to finish here: any left click unlocks *activity 5* if it is still locked.",
     "The ring is the pointer here; it keeps a little away from the screen edges. Coming back "
     "to this activity carries on where you left it.",
     {0.58, 0.38, 0.86},
     art_kaleid},
    // 5
    {"Uncover",
     "Activity 5: click to uncover a picture",
     "click to uncover a picture",
     "A picture is hidden under the outline of a jigsaw on a dark blue screen. Each click on a "
     "hidden piece uncovers that part of the picture, piece by piece. Clicks outside the hidden "
     "pieces do nothing.",
     "When every piece is uncovered, the whole picture shows with a magic sound: this unlocks "
     "*activity 6* if it is still locked. Click the smiley face in the bottom left corner for a new "
     "puzzle.",
     "Press *5* while playing for a new puzzle, with another cut and another picture. Leaving an "
     "unfinished puzzle and coming back carries on with it.",
     {0.22, 0.36, 0.78},
     art_uncover},
    // 6
    {"Where does it go?",
     "Activity 6: click where the piece belongs",
     "click where the piece belongs",
     "The outline of a jigsaw is shown on a dark red screen. A card in a corner shows one piece of "
     "a hidden picture; your child clicks the place where it belongs, and the piece appears there. "
     "Then the card shows the next piece. Clicking the card deals another one; clicks in the wrong "
     "place do nothing.",
     "When every piece is in its place, the whole picture shows with a magic sound: this unlocks "
     "*activity 7* if it is still locked. Click the smiley face for a new puzzle.",
     "Press *6* while playing for a new puzzle, with another cut and another picture. Leaving an "
     "unfinished puzzle and coming back carries on with it.",
     {0.85, 0.25, 0.25},
     art_where},
    // 7
    {"Colouring",
     "Activity 7: pick a colour, click to fill",
     "pick a colour and fill shapes",
     "A line drawing fills the right of the screen and a palette sits at the bottom left. Your "
     "child clicks a colour to pick it (the circle at the top shows the colour picked), then clicks "
     "inside a shape to fill it. A right click, or Ctrl with a click, shows the next of seven "
     "drawings.",
     "Colouring never ends. Once your child has picked a colour and filled a shape, this unlocks "
     "*activity 8* if it is still locked; no sound or smiley marks it.",
     "Press *7* while colouring to wipe the colours off the drawing. Before a colour is picked, "
     "clicks fill with white.",
     {0.93, 0.35, 0.60},
     art_colour},
    // 8
    {"Pairs",
     "Activity 8: find the matching cards",
     "find the matching cards",
     "Sixteen cards lie face down: eight pictures, each on two cards. Your child clicks cards to "
     "turn them over. When a card shows the same picture as the card turned just before it, the "
     "pair stays on show for a second and then leaves the table. When a third card is turned, the "
     "older unmatched card turns back.",
     "When every pair is found, a magic sound plays: this unlocks *activity 9* if it is still "
     "locked. Click the smiley face for a new game.",
     "Press *8* while playing to shuffle and deal again. The cards show the first 8 pictures of "
     "the pics folder.",
     {0.10, 0.66, 0.62},
     art_pairs},
    // 9
    {"Jigsaw",
     "Activity 9: carry the pieces into place",
     "carry the pieces into place",
     "The pieces of a picture lie scattered on a pink screen. A click picks up a piece, which then "
     "follows the mouse with no button held; the next click puts it down. Pieces that fit together "
     "join and move as one, and a piece put down near its place snaps home with a click and stays. "
     "A right click hides or shows the pieces not yet home.",
     "When every piece is home, the whole picture shows with a magic sound. This is the last "
     "activity, so it unlocks nothing. Click the smiley face for a new puzzle.",
     "Press *9* while playing for a new puzzle, with another cut and another picture. Leaving an "
     "unfinished puzzle and coming back carries on with it.",
     {0.93, 0.45, 0.72},
     art_jigsaw},
};
static_assert(std::size(kPages) <= 9, "one help page per digit key 1 to 9");

}  // namespace

std::span<const ActivityPage> activity_pages() { return kPages; }

const std::vector<KeyHint>& key_row(int row) {
  // The digits go as far as there are activities.
  const std::vector<std::string> digits =
      std::size(kPages) > 1 ? std::vector<std::string>{"1", std::to_string(std::size(kPages))}
                            : std::vector<std::string>{"1"};
  static const std::vector<KeyHint> rows[2] = {
      {{digits, "to", "choose an activity once it is open"}, {{"0"}, "", "title screen"}, {{"H", "F1"}, "or", "this help"}},
      {{{"S"}, "", "sound on or off"},
       {{"Ctrl+P"}, "", "settings for the parent"},
       {{"V"}, "", "version"},
       {{"Esc", "Ctrl+Q"}, "or", "quit"}}};
  return rows[row];
}

const OverviewText& overview() {
  static const OverviewText text{
      "Welcome to Pipkin",
      "You choose an activity with the digit keys; your child plays with the mouse or a finger.",
      {0.98, 0.72, 0.15},
      {{"Playing",
        "Activity 1 is always open; finishing a game of the highest open one opens the next. "
        "Delete *data/pipkin.txt* to start again. A finger works as the mouse; a long press or "
        "two-finger tap is a right click."},
       {"Your own pictures",
        "Put PNG, JPEG or BMP files of any size in the *pics* folder inside the data folder, named "
        "in lowercase: *.png*, *.jpg* or *.bmp*. Use at least 16: frames shows 16, pairs needs 8."},
       {"Child lock",
        "A third line *1* in *data/config.txt*, or starting with *--child-lock*, turns it on: "
        "then the keys work only while *Ctrl* is held. Ctrl+1\xC2\xA0to\xC2\xA0"
        "9 choose, Ctrl+0 title, Ctrl+H help, Ctrl+S sound, Ctrl+V info. Hold Ctrl+P a second for "
        "settings, Ctrl+Esc or Ctrl+Q to quit."},
       {"The child session",
        "For a full lock, log in to *Pipkin (child session)* (it needs cage): Pipkin alone and "
        "locked. Quitting it ends the session."}}};
  return text;
}

const OverviewText& overview_installed() {
  const OverviewText& portable = overview();
  static const OverviewText text{
      portable.title,
      portable.subtitle,
      portable.accent,
      {{"Playing",
        "Activity 1 is always open; finishing a game of the highest open one opens the next. "
        "*Ctrl+P* can start again from 1. A finger works as the mouse; a long press or a two-finger "
        "tap is a right click."},
       {"Your own pictures",
        "Put photos (JPEG, HEIC, WebP, AVIF, PNG, BMP) of any size in a folder listed below, or in "
        "folders inside it. Use at least 16.",
        true},
       {"Child lock",
        "Turn it on in the settings or with *--child-lock*: keys then work only with *Ctrl* held. "
        "Ctrl+1\xC2\xA0to\xC2\xA0"
        "9 choose, Ctrl+0 title, Ctrl+H help, Ctrl+S sound, Ctrl+V info. Hold Ctrl+P a second for "
        "settings, Ctrl+Q to quit. For a full lock, log in to *Pipkin (child session)*."}}};
  return text;
}

}  // namespace help
