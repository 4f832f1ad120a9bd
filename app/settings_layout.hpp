// Where things lie on the parent's pages: the settings page (Control+P) and the part of help page 0
// that names the installed program's folders. The generator paints the still parts of these pages
// from the same rectangles the program draws its changing parts into and takes clicks from, so the
// two cannot drift apart. Coordinates are page pixels: a page is drawn centred on the 1024x768
// picture, as the help pages are.
#pragma once
#include <array>

namespace app::layout {

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  constexpr bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

constexpr int kPageW = 900, kPageH = 680;  // as the help pages

// --- Settings page: "help/settings.png" (every choice drawn unchosen) and "help/settings_on.png"
// (the same page with every choice drawn chosen). The program shows the first and copies each
// chosen button's rectangle from the second.
constexpr Rect kClose{822, 22, 56, 56};  // the close button, top right

// The left card: the choices, each a row of a heading and buttons.
constexpr Rect kChoicesCard{36, 128, 440, 424};
constexpr int kRowHeadingX = 60;  // headings sit 26 pixels above their buttons
constexpr int kButtonH = 46;

constexpr int kScreenRowY = 170;
constexpr Rect kFullScreen{60, kScreenRowY, 190, kButtonH};
constexpr Rect kWindow{262, kScreenRowY, 190, kButtonH};

constexpr int kLockRowY = 254;
constexpr Rect kLockOn{60, kLockRowY, 120, kButtonH};
constexpr Rect kLockOff{192, kLockRowY, 120, kButtonH};

constexpr int kSoundRowY = 338;
constexpr Rect kSoundOn{60, kSoundRowY, 120, kButtonH};
constexpr Rect kSoundOff{192, kSoundRowY, 120, kButtonH};

// Progress: actions, never drawn chosen.
constexpr int kProgressRowY = 422;
constexpr Rect kStartAgain{60, kProgressRowY, 212, kButtonH};
constexpr Rect kOpenAll{284, kProgressRowY, 168, kButtonH};

// The play-time limit, across the page under both cards: off and the minutes below.
constexpr int kLimitRowY = 594;
constexpr std::array<int, 7> kLimitMinutes{0, 10, 15, 20, 30, 45, 60};
constexpr Rect limit_button(int i) { return Rect{60 + i * 84, kLimitRowY, 74, kButtonH}; }

// The right card: the picture folders, drawn by the program (they are only known at run time).
constexpr Rect kPicturesCard{496, 128, 368, 424};
constexpr int kPicturesTextX = 516, kPicturesTextY = 170, kPicturesTextW = 328;
// "help/settings_button.png": one "open the folder" button, drawn once per folder.
constexpr int kOpenFolderW = 200, kOpenFolderH = 40;

// The line under the header that says what was saved where, or what could not be.
constexpr Rect kStatus{132, 92, 680, 28};

// --- Help page 0 as the installed program shows it: "help/0-installed.png", whose own words point to
// the box below, where the program writes the folders it reads and keeps things in.
constexpr Rect kHelpFoldersBox{382, 430, 476, 112};

}  // namespace app::layout
