// The installed program speaks the desktop's language; a language chosen on the parent's page is
// spoken at once and after a restart. What the screen says is read back by OCR in the language's
// own script (tesseract, with its data for German and Arabic).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "app/parent/parent.hpp"
#include "media/text/catalogue.hpp"
#include "media/text/words.hpp"
#include "tests/e2e/harness.hpp"

namespace layout = app::layout;

namespace {

const std::string kLocale = e2e::build_dir() + "/data/locale/";

// The text of an id in a language of the build, "" when it lacks it.
std::string word_in(const std::string& code, const std::string& id) {
  const std::optional<media::Catalogue> c = media::Catalogue::load(kLocale + code + ".mo");
  const std::optional<std::string_view> text = c ? c->find(id) : std::nullopt;
  return text ? std::string(*text) : "";
}

// The words of a text, lower case where the script has case, without punctuation.
std::vector<std::string> words_of(const std::string& text) {
  std::string clean;
  for (unsigned char c : text) clean += c < 0x80 ? (std::isalnum(c) ? static_cast<char>(std::tolower(c)) : ' ') : static_cast<char>(c);
  std::istringstream in(clean);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The words OCR reads on the screen's rectangle, in tesseract's language ocr.
std::string read_screen(e2e::Pipkin& app, int x, int y, int w, int h, const std::string& ocr) {
  const std::string shot = app.dir() + "/ocr.png", big = app.dir() + "/ocr-big.png", text = app.dir() + "/ocr";
  app.screenshot(shot);
  e2e::sh("convert '" + shot + "' -crop " + std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) + "+" +
          std::to_string(y) + " +repage -resize 200% '" + big + "' && tesseract '" + big + "' '" + text + "' -l " + ocr +
          " --psm 7 >/dev/null 2>&1");
  return e2e::read_file(text + ".txt");
}

// Most of the words expected (and at least one) are among those read.
bool reads_as(const std::string& read, const std::string& expected) {
  const std::vector<std::string> got = words_of(read), want = words_of(expected);
  const auto found = std::count_if(want.begin(), want.end(), [&](const std::string& w) {
    return std::find(got.begin(), got.end(), w) != got.end();
  });
  return !want.empty() && found * 2 >= static_cast<long>(want.size());
}

// The help page of the title: its heading, read until it says the title in the language.
bool help_title_reads(e2e::Pipkin& app, const std::string& code, const std::string& ocr) {
  const std::string title = word_in(code, "title.title");
  std::string last;
  const bool ok = e2e::wait_until(
      [&] {
        last = read_screen(app, app::Parent::kPageX + 100, app::Parent::kPageY + 36, 740, 60, ocr);
        return reads_as(last, title);
      },
      e2e::kDeadlineMs);
  if (!ok) ADD_FAILURE() << code << ": read \"" << last << "\", not \"" << title << "\"";
  return ok;
}

struct Spoken {
  const char* locale;  // LANG
  const char* code;    // the catalogue
  const char* ocr;     // tesseract's language
};
constexpr Spoken kGerman{"de_DE.UTF-8", "de", "deu"}, kArabic{"ar_EG.UTF-8", "ar", "ara"};

e2e::Options installed_in(const Spoken& s) {
  e2e::Options opt;
  opt.installed = true;
  opt.env = {{"LANG", s.locale}, {"LANGUAGE", ""}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}};
  return opt;
}

bool has(const Spoken& s) { return !word_in(s.code, "language.name").empty(); }

}  // namespace

TEST(Languages, TheInstalledProgramSpeaksTheDesktopsLanguage) {
  ASSERT_TRUE(has(kGerman)) << "the build's German catalogue";
  for (const Spoken& s : {kGerman, kArabic}) {
    if (!has(s)) continue;
    e2e::Pipkin app(installed_in(s));
    ASSERT_TRUE(app.start()) << app.stderr_text();
    app.key("h");
    EXPECT_TRUE(help_title_reads(app, s.code, s.ocr));
    app.key("Escape");
    app.key("Escape");
    EXPECT_TRUE(app.wait_exit());
  }
}

TEST(Languages, ALanguageChosenOnThePageIsSpokenAtOnceAndAfterARestart) {
  ASSERT_TRUE(has(kGerman)) << "the build's German catalogue";
  if (!has(kArabic)) GTEST_SKIP() << "the build has no Arabic catalogue";
  e2e::Pipkin app(installed_in(kGerman));
  ASSERT_TRUE(app.start()) << app.stderr_text();
  // The page's language button, then Arabic from the list (English first, then the others by code).
  const std::vector<media::LanguageName> list = media::available_languages(kLocale);
  const auto arabic = std::find_if(list.begin(), list.end(), [](const media::LanguageName& l) { return l.code == "ar"; });
  ASSERT_NE(arabic, list.end());
  app.key("ctrl+p");
  const layout::Rect button = layout::kLanguage;
  const layout::Rect entry = layout::language_entry(static_cast<int>(arabic - list.begin()));
  // The page is German, not mirrored: the button and the list stand where the layout puts them.
  const media::PixmapPtr page = media::load_pixmap(app.data("help/de/settings.webp"));
  ASSERT_TRUE(page);
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return e2e::shows_page(p, *page); })) << app.stderr_text();
  app.click(app::Parent::kPageX + button.x + button.w / 2, app::Parent::kPageY + button.y + button.h / 2);
  // The list is open: the entry is the page's cream, over the pictures card's grey.
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    return e2e::near(media::read_pixel(p, app::Parent::kPageX + entry.x + 3, app::Parent::kPageY + entry.y + 3), 255, 254, 246, 6);
  }));
  app.click(app::Parent::kPageX + entry.x + entry.w / 2, app::Parent::kPageY + entry.y + entry.h / 2);
  ASSERT_TRUE(e2e::wait_until([&] { return e2e::read_file(app.home() + "/.config/pipkin/config.txt").find("\nar\n") != std::string::npos; },
                              e2e::kDeadlineMs))
      << "saved as the configuration's sixth line: " << e2e::read_file(app.home() + "/.config/pipkin/config.txt");
  app.key("Escape");
  app.key("h");
  EXPECT_TRUE(help_title_reads(app, "ar", "ara")) << "spoken at once";
  app.key("Escape");
  app.key("Escape");
  ASSERT_TRUE(app.wait_exit());

  ASSERT_TRUE(app.start()) << app.stderr_text();
  app.key("h");
  EXPECT_TRUE(help_title_reads(app, "ar", "ara")) << "and after a restart, on a German desktop";
  app.key("Escape");
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit());
}
