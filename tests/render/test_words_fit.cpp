// Every screen drawn in every language of the build, and in the pseudo-language (each sentence
// accented, about 40 % longer and in brackets), over the generator's pictures in that language: no
// text may be cut short, run past the screen's edge or lack a glyph, and the pictures with words on
// them are that language's own.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "activities/register.hpp"
#include "app/parent/parent.hpp"
#include "app/shell/furniture.hpp"
#include "app/shell/play_screens.hpp"
#include "app/start/assets.hpp"
#include "media/display/draw.hpp"
#include "media/display/font.hpp"
#include "media/display/image.hpp"
#include "media/text/words.hpp"
#include "tests/render/render_util.hpp"

using namespace app;
namespace fs = std::filesystem;

namespace {

constexpr const char* kPseudo = "qps";

// A data folder that is the build's with the pseudo-language's pictures beside its English ones:
// links to the build's files, and help/qps and images/qps from the generator's pseudo-language run.
fs::path make_pseudo_data() {
  const fs::path data = PIPKIN_DATA_DIR, pictures = PIPKIN_QPS_DIR;
  const fs::path dir = fs::temp_directory_path() / ("pipkin-qps-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const fs::directory_entry& e : fs::directory_iterator(data)) {
    const std::string name = e.path().filename().string();
    if (name != "help" && name != "images") {
      fs::create_symlink(e.path(), dir / name);
      continue;
    }
    fs::create_directory(dir / name);
    for (const fs::directory_entry& f : fs::directory_iterator(e.path())) fs::create_symlink(f.path(), dir / name / f.path().filename());
    fs::create_symlink(pictures / name / kPseudo, dir / name / kPseudo);
  }
  return dir;
}

// Pictures still being read: the title shows its loading bar.
struct Loading final : Pictures {
  size_t count() const override { return 0; }
  media::ImagePtr at(size_t) const override { return nullptr; }
  bool loading() const override { return true; }
  size_t files() const override { return 4567; }
  size_t files_done() const override { return 1234; }
};

// Pixels of two screens that differ by more than 2 on some channel, in rows [top, bottom).
int differing(const media::Pixmap& a, const media::Pixmap& b, int top, int bottom) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < media::kScreenW; ++x) {
      const uint32_t p = media::read_pixel(a, x, y), q = media::read_pixel(b, x, y);
      for (int s = 0; s < 24; s += 8)
        if (std::abs(static_cast<int>((p >> s) & 255) - static_cast<int>((q >> s) & 255)) > 2) {
          ++n;
          break;
        }
    }
  return n;
}

// The languages of the build: the pseudo-language, and every catalogue but English's.
std::vector<std::string> languages() {
  std::vector<std::string> codes{kPseudo};
  std::error_code ec;
  for (const auto& f : fs::directory_iterator(fs::path(PIPKIN_DATA_DIR) / "locale", ec))
    if (const std::string code = f.path().stem().string(); code != "en" && code != kPseudo) codes.push_back(code);
  return codes;
}

class InEveryLanguage : public testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() { data_ = new fs::path(make_pseudo_data()); }
  static void TearDownTestSuite() {
    media::load_words(std::string(PIPKIN_DATA_DIR) + "/locale", media::kEnglish);
    fs::remove_all(*data_);
    delete data_;
  }
  void SetUp() override {
    ASSERT_TRUE(media::load_words(std::string(PIPKIN_DATA_DIR) + "/locale", lang));
    ASSERT_EQ(media::words_language(), lang);
    assets = load_assets(data_->string() + "/", lang);
    ASSERT_TRUE(assets.main_font && assets.big_font);
    setup.config_file = (*data_ / "config.txt").string();
    setup.home = "/home/ann";
    setup.activities = table.count();
    setup.folders = [] {
      FolderSummary theirs{"/home/ann/Pictures/Pipkin", true, 1234, 56, {}};
      for (const char* f : {"a.jpg", "b.png", "c.heic"})
        theirs.left_out_lines.push_back(std::string(f) + ": " + media::word("pictures.left_out.not_a_picture"));
      return std::vector<FolderSummary>{theirs, {"pics", false, 70, 0, {}}};
    };
  }

  // Draws a screen from a cleared one and fails on each text of it that does not show whole.
  void expect_fits(const std::string& what, const std::function<void()>& draw) {
    rt::fresh();
    media::TextCheck check;
    draw();
    for (const media::TextProblem& p : check.problems()) ADD_FAILURE() << what << ": \"" << p.text << "\" " << p.what;
  }
  // The screen now, and the screen with only the picture file drawn at (x, y).
  media::PixmapPtr grab() { return media::grab_pixmap(0, 0, media::kScreenW, media::kScreenH); }
  media::PixmapPtr picture_alone(const std::string& file, int x, int y) {
    rt::fresh();
    media::set_blend(media::Blend::Solid);
    media::draw_image(media::load_image(data_->string() + "/" + file, 0), x, y, 0);
    media::reset_draw_state();
    return grab();
  }
  // The parent's side on a desktop that does what it is asked, or refuses all it can.
  std::unique_ptr<Parent> make_parent(bool refusing = false) {
    Desktop desktop{[refusing](bool) { return !refusing; }, [](bool) {},
                    [refusing](const std::string&) { return !refusing; }, [](bool) {}};
    return std::make_unique<Parent>(setup, std::move(desktop), assets, [] {});
  }

  // A worded picture of the language.
  static std::string own(const std::string& folder, const std::string& id) { return folder + "/" + GetParam() + "/" + id + ".webp"; }

  static fs::path* data_;
  const std::string lang = GetParam();
  Assets assets;
  ActivityTable table = activities::activity_table();
  ParentSetup setup;
  LoopState state;
};
fs::path* InEveryLanguage::data_ = nullptr;

TEST_P(InEveryLanguage, TitleLabelAndLockNoticeFit) {
  for (const RunMode mode : {RunMode::Portable, RunMode::Installed}) {
    setup.mode = mode;
    const std::unique_ptr<Parent> parent = make_parent();
    const Scene scene{assets, state, table, parent.get()};
    const std::string in = mode == RunMode::Installed ? "installed " : "portable ";
    assets.pictures = std::make_shared<Loading>();
    expect_fits(in + "title while the pictures load", [&] { TitleScreen(scene).draw(); });
    state.child_lock = true;
    using media::Hold;
    for (const auto& [keys, pointer] : {std::pair{Hold::Refused, Hold::NotOffered}, {Hold::Held, Hold::Refused},
                                        {Hold::NotOffered, Hold::Held}, {Hold::Held, Hold::Held}}) {
      state.lock_answer = keys, state.pointer_answer = pointer;
      expect_fits(in + "title with the lock's notice", [&] { TitleScreen(scene).draw(); });
      expect_fits(in + "info label", [&] { draw_info_label(scene); });
    }
    state = LoopState{};
  }
}

TEST_P(InEveryLanguage, HelpPagesAreTheLanguagesOwnAndTheFoldersFit) {
  setup.mode = RunMode::Installed;
  const std::unique_ptr<Parent> parent = make_parent();
  const Scene scene{assets, state, table, parent.get()};
  for (int place = 0; place <= table.count(); ++place) {
    state.activity = place;
    const std::string id(table.id_of(place));
    expect_fits("help page of " + id, [&] { HelpScreen(scene).draw(); });
    if (place == 0) continue;  // the installed title's page is written over; below
    const media::PixmapPtr shown = grab();
    EXPECT_EQ(differing(*shown, *picture_alone(own("help", id), Parent::kPageX, Parent::kPageY), 0, media::kScreenH), 0) << id;
  }
  state.activity = 0;
  HelpScreen(scene).draw();
  const media::PixmapPtr shown = grab();
  // Its folders are written in the box at the page's foot; above it the page is the picture.
  EXPECT_EQ(differing(*shown, *picture_alone(own("help", "title-installed"), Parent::kPageX, Parent::kPageY), 0,
                      Parent::kPageY + layout::kHelpFoldersBox.y), 0);
}

// The page after each of its controls was used, once where the desktop and the disk agree and once
// where each refuses (the sentences of trouble are the longest), then the break and its card.
TEST_P(InEveryLanguage, SettingsPageAndBreakFit) {
  setup.mode = RunMode::Installed;
  for (const bool refusing : {false, true}) {
    // A file where its folder should be: refused whoever runs the test, root too.
    if (refusing) {
      std::ofstream(*data_ / "config.txt", std::ios::app).flush();
      setup.config_file = (*data_ / "config.txt" / "config.txt").string();
    }
    const std::unique_ptr<Parent> parent = make_parent(refusing);
    parent->toggle_page();
    expect_fits("settings page", [&] { parent->draw_page(); });
    const media::PixmapPtr shown = grab();
    EXPECT_EQ(differing(*shown, *picture_alone(own("help", "settings"), Parent::kPageX, Parent::kPageY), Parent::kPageY,
                        Parent::kPageY + 40), 0) << "the page's heading is the language's own";
    for (const PageControl& c : parent->controls()) {
      // The list of languages is drawn below, by itself.
      if (c.what == Control::Close || c.what == Control::EndPlay || c.what == Control::Language) continue;
      parent->page_click(Parent::kPageX + c.rect.x + c.rect.w / 2, Parent::kPageY + c.rect.y + c.rect.h / 2);
      expect_fits("settings page after control " + std::to_string(static_cast<int>(c.what)) + (refusing ? ", refused" : ""),
                  [&] { parent->draw_page(); });
    }
  }
  setup.config_file = (*data_ / "config.txt").string();
  {
    const std::unique_ptr<Parent> parent = make_parent();
    parent->toggle_page();
    for (const PageControl& c : parent->controls())  // where the language puts it (mirrored or not)
      if (c.what == Control::Language) parent->page_click(Parent::kPageX + c.rect.x + 5, Parent::kPageY + c.rect.y + 5);
    ASSERT_EQ(parent->controls().front().what, Control::LanguageEntry);
    expect_fits("settings page with its languages", [&] { parent->draw_page(); });
  }
  setup.config.play_limit_minutes = 1;
  setup.minute_ms = 1000;
  const std::unique_ptr<Parent> parent = make_parent();
  for (int t = 0; t <= 2000 && !parent->on_break(); t += 100) parent->tick(t, true, true);
  ASSERT_TRUE(parent->on_break());
  expect_fits("break", [&] { parent->draw_break(); });
  const media::PixmapPtr shown = grab();
  EXPECT_EQ(differing(*shown, *picture_alone(own("images", "break"), 0, 0), 0, media::kScreenH - 40), 0);
  parent->toggle_page();
  expect_fits("settings page on a break", [&] { parent->draw_page(); });
}

INSTANTIATE_TEST_SUITE_P(Languages, InEveryLanguage, testing::ValuesIn(languages()),
                         [](const testing::TestParamInfo<std::string>& p) { return p.param; });

}  // namespace
