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
constexpr Rect kClose{816, 26, 56, 56};  // the close button, top right: a round key with a cross
// The language button beside it: a globe and the language's own name; the title keeps clear of it.
constexpr Rect kLanguage{590, 30, 212, 46};
// The list it opens over the page: every language by its own name, two to a row under the button.
constexpr int kLanguageEntryW = 204, kLanguageEntryH = 40, kLanguageGap = 10;
constexpr int kLanguageListX = kClose.x + kClose.w - 2 * kLanguageEntryW - 3 * kLanguageGap, kLanguageListY = 84;
constexpr Rect language_list(int count) {
  return Rect{kLanguageListX, kLanguageListY, 2 * kLanguageEntryW + 3 * kLanguageGap,
              (count + 1) / 2 * (kLanguageEntryH + kLanguageGap) + kLanguageGap};
}
constexpr Rect language_entry(int i) {
  return Rect{kLanguageListX + kLanguageGap + (i % 2) * (kLanguageEntryW + kLanguageGap),
              kLanguageListY + kLanguageGap + (i / 2) * (kLanguageEntryH + kLanguageGap), kLanguageEntryW, kLanguageEntryH};
}

// The left card: the choices, each a row of a heading and buttons.
constexpr Rect kChoicesCard{40, 170, 430, 360};
constexpr int kRowHeadingX = 60;  // headings sit in the 26 pixels above their buttons
constexpr int kButtonH = 46;

constexpr int kScreenRowY = 214;
constexpr Rect kFullScreen{60, kScreenRowY, 188, kButtonH};
constexpr Rect kWindow{262, kScreenRowY, 188, kButtonH};

constexpr int kLockRowY = 298;
constexpr Rect kLockOn{60, kLockRowY, 120, kButtonH};
constexpr Rect kLockOff{192, kLockRowY, 120, kButtonH};

constexpr int kSoundRowY = 382;
constexpr Rect kSoundOn{60, kSoundRowY, 120, kButtonH};
constexpr Rect kSoundOff{192, kSoundRowY, 120, kButtonH};

// Progress: actions, never drawn chosen.
constexpr int kProgressRowY = 466;
constexpr Rect kStartAgain{60, kProgressRowY, 206, kButtonH};
constexpr Rect kOpenAll{278, kProgressRowY, 172, kButtonH};

// The play-time limit, in a card across the page under both: off and the minutes below.
constexpr Rect kLimitCard{40, 544, 820, 106};
constexpr int kLimitRowY = 588;
constexpr std::array<int, 7> kLimitMinutes{0, 10, 15, 20, 30, 45, 60};
constexpr Rect limit_button(int i) { return Rect{60 + i * 100, kLimitRowY, 88, kButtonH}; }

// When play time is up the play-time row offers these two instead (drawn by the program).
constexpr Rect kMoreTime{60, kLimitRowY, 240, kButtonH};
constexpr Rect kEndPlay{316, kLimitRowY, 240, kButtonH};

// The right card: the picture folders, drawn by the program (they are only known at run time).
constexpr Rect kPicturesCard{490, 170, 370, 360};
constexpr int kPicturesTextX = 510, kPicturesTextY = 222, kPicturesTextW = 330;
// "help/settings_button.png": one "open the folder" button, drawn once per folder.
constexpr int kOpenFolderW = 200, kOpenFolderH = 44;

// The line under the header that says what was saved where, or what could not be.
constexpr Rect kStatus{40, 134, 820, 30};

// --- Help page 0 as the installed program shows it: "help/0-installed.png", whose own words point to
// the box below, where the program writes the folders it reads and keeps things in.
constexpr Rect kHelpFoldersBox{382, 320, 460, 92};

}  // namespace app::layout
