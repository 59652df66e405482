// The PDF format screen over a real store and the in-memory screen: what the
// field changes show, hide and store, and how the keys step between formats.
#include <cstring>
#include <string>

#include "cfi_screen.h"
#include "lib/kern.h"

namespace cfitest {
namespace {

constexpr uint16_t K_SPACE = KEY_SPACE;

// A Letter, Courier 12 format with the default margins and no background.
pdf_desc letter_format() {
  pdf_desc d{};
  d.enabled = 1;
  d.paper = 1;
  d.width = 612;
  d.height = 792;
  d.left = d.right = 18;
  d.top = d.bottom = 36;
  d.font = 0;
  d.font_size = 12;
  d.multipart_count = 1;
  return d;
}

class PdfScreen : public CfiScreen {
protected:
  void put(uint32_t i, const pdf_desc &d) { ASSERT_EQ(put_desc_pdf(h_, i, &d), 0); }
  pdf_desc format(uint32_t i) const {
    pdf_desc d{};
    get_desc_pdf(h_, i, &d);
    return d;
  }
  // Runs the screen over the script. A script that stops inside the screen
  // (to look at it mid-edit) ends it with ST_SCRIPT_END.
  int run_pdf(const script &s, uint16_t count = 4) {
    config_changed = 0;
    s.push();
    const int st = config_pdf(h_, count);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    return st;
  }
  // `width` cells of `row` from `col`.
  static std::string cells(int row, int col, int width) {
    std::string r = memscreen_row(row);
    r.resize(80, ' ');
    return r.substr(static_cast<size_t>(col), static_cast<size_t>(width));
  }
  static std::string trimmed(int row, int col, int width) {
    std::string s = cells(row, col, width);
    s.erase(s.find_last_not_of(' ') + 1);
    s.erase(0, s.find_first_not_of(' '));
    return s;
  }
};

// From the selector into format 0 (cursor on Enable?), then `downs` input
// fields further.
script into_format(int downs) { return script().key(KEY_ENTER).down(downs); }

TEST_F(PdfScreen, CountOutsideItsRangeIsRefusedWithoutDrawing) {
  for (uint16_t count : {0, 257, 65535}) {
    SCOPED_TRACE(count);
    const uint64_t cells_before = memscreen_cells_written();
    proc_trace_mask_ = 0x200;
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_pdf(h_, count), ST_BAD_COUNT);
    const std::string trace = testing::internal::GetCapturedStderr();
    proc_trace_mask_ = 0;
    EXPECT_EQ(trace, "trace: cnf_pdf:1128 config_pdf SE_INV_ARG\n");
    EXPECT_EQ(memscreen_cells_written(), cells_before);
  }
}

TEST_F(PdfScreen, ChoosingANamedPaperHidesWidthAndHeightAndStoresThePapersSize) {
  pdf_desc custom = letter_format();
  custom.paper = 0;
  custom.width = 500;
  custom.height = 700;
  put(0, custom);
  // Enable?, Comment, Paper: the space bar makes it Letter.
  EXPECT_EQ(run_pdf(into_format(2).key(K_SPACE)), ST_SCRIPT_END);
  EXPECT_EQ(trimmed(5, 7, 15), "Letter");
  EXPECT_EQ(trimmed(5, 28, 52), "") << "Width and Height still shown: " << memscreen_row(5);
  EXPECT_EQ(trimmed(18, 28, 18), "612 x 792 units");
  EXPECT_EQ(trimmed(18, 48, 24), "(8.5 x 11 inches)");
  EXPECT_EQ(trimmed(20, 28, 50), "80 characters by 60 lines");

  fresh();
  EXPECT_EQ(run_pdf(into_format(2).key(K_SPACE).key(KEY_ESC).key(KEY_ESC)), 0);
  const pdf_desc got = format(0);
  EXPECT_EQ(got.paper, 1);
  EXPECT_EQ(got.width, 612);
  EXPECT_EQ(got.height, 792);
  EXPECT_EQ(config_changed, 1);
}

TEST_F(PdfScreen, LandscapeTurnsTheSummaryButNotTheStoredSize) {
  put(0, letter_format());
  // Up from Enable? wraps to Multipart Count; once more is Landscape.
  const script turn = script().key(KEY_ENTER).key(KEY_UP).key(KEY_UP).key(K_SPACE);
  EXPECT_EQ(run_pdf(turn), ST_SCRIPT_END);
  EXPECT_EQ(trimmed(18, 28, 18), "792 x 612 units");
  EXPECT_EQ(trimmed(19, 28, 18), "756 x 540 units");
  EXPECT_EQ(trimmed(20, 28, 50), "105 characters by 45 lines");

  fresh();
  EXPECT_EQ(run_pdf(script(turn).key(KEY_ESC).key(KEY_ESC)), 0);
  const pdf_desc got = format(0);
  EXPECT_EQ(got.landscape, 1);
  EXPECT_EQ(got.width, 612);
  EXPECT_EQ(got.height, 792);
}

TEST_F(PdfScreen, BackgroundFormShowsItsOptionsAndUseOnceChoosesBetweenTwo) {
  // clang-format off
  const struct {
    const char *background;
    const char *use_once; // typed in UseOnce when it shows
    bool options, reuse, multipart;
  } cases[] = {
      {"form.pdf", "", true, false, true},
      {"form.pdf", "y", true, true, false},
      {"", "", false, false, false},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.background << "\" " << c.use_once);
    fresh();
    pdf_desc d = letter_format();
    std::strcpy(d.background_form, "old.pdf");
    put(0, d);
    // Enable?, Comment, Paper, Background Form; Enter goes on to UseOnce
    // when it shows.
    script keys =
        into_format(3).key(K_CLEAR_LINE).text(c.background).key(KEY_ENTER).text(c.use_once);
    EXPECT_EQ(run_pdf(keys), ST_SCRIPT_END);
    EXPECT_EQ(trimmed(7, 0, 8) == "UseOnce:", c.options) << memscreen_row(7);
    EXPECT_EQ(trimmed(7, 42, 6) == "Scale:", c.options) << memscreen_row(7);
    EXPECT_EQ(trimmed(7, 12, 12) == "ReuseLastPg:", c.reuse) << memscreen_row(7);
    EXPECT_EQ(trimmed(7, 28, 10) == "Multipart:", c.multipart) << memscreen_row(7);
  }
}

TEST_F(PdfScreen, AFontThatCannotBeAlignedHidesAlignmentAndStoresItAsLeft) {
  pdf_desc d = letter_format();
  d.font = 4; // Helvetica, justified
  d.alignment = 1;
  put(0, d);
  // Enable?, Comment, Paper, Background Form, four margins, Font Name.
  const script to_courier = into_format(8).key(KEY_LEFT);
  EXPECT_EQ(run_pdf(to_courier), ST_SCRIPT_END);
  EXPECT_EQ(trimmed(13, 11, 23), "Courier-BoldOblique");
  EXPECT_EQ(trimmed(13, 40, 27), "") << memscreen_row(13);

  fresh();
  EXPECT_EQ(run_pdf(script(to_courier).key(KEY_ESC).key(KEY_ESC)), 0);
  EXPECT_EQ(format(0).font, 3);
  EXPECT_EQ(format(0).alignment, 0);
}

TEST_F(PdfScreen, MarginsThatLeaveNoRoomAreRefusedUntilPutRight) {
  pdf_desc d = letter_format();
  d.left = 300;
  put(0, d);
  // Enable?, Comment, Paper, Background Form, Top, Left, Right.
  const script meet = into_format(6).key(K_CLEAR_LINE).text("312").key(KEY_ESC);
  EXPECT_EQ(run_pdf(meet), ST_SCRIPT_END);
  EXPECT_GE(memscreen_bells(), 1);
  EXPECT_EQ(trimmed(19, 28, 18), "0 x 720 units");
  EXPECT_EQ(trimmed(20, 28, 50), "0 characters by 0 lines");
  EXPECT_EQ(format(0).right, 18) << "a refused margin reached the store";

  // The cursor stayed in Right: what is typed next goes there.
  fresh();
  EXPECT_EQ(run_pdf(script(meet).key(K_CLEAR_LINE).text("12").key(KEY_ESC).key(KEY_ESC)), 0);
  EXPECT_EQ(format(0).right, 12);
  EXPECT_EQ(trimmed(10, 64, 10), "(0.16)");
  EXPECT_EQ(trimmed(20, 28, 50), "41 characters by 60 lines");
  EXPECT_EQ(config_changed, 1);
}

TEST_F(PdfScreen, AFormatReadWithoutRoomCanStillBeReachedAndPutRight) {
  pdf_desc d = letter_format();
  d.left = d.right = 1224; // no paper is wide enough
  put(0, d);
  // Past Paper and the other watched fields to Left and Right, then ESC.
  const script fix = into_format(5)
                         .key(K_CLEAR_LINE)
                         .text("18")
                         .key(KEY_DOWN)
                         .key(K_CLEAR_LINE)
                         .text("18")
                         .key(KEY_ESC)
                         .key(KEY_ESC);
  EXPECT_EQ(run_pdf(fix), 0);
  EXPECT_EQ(format(0).left, 18);
  EXPECT_EQ(format(0).right, 18);
  EXPECT_EQ(memscreen_bells(), 0);
}

TEST_F(PdfScreen, CopyKeyCopiesOnlyWhatDiffersAndLeavingUnchangedChangesNothing) {
  pdf_desc first = letter_format(), other = letter_format();
  std::strcpy(first.comment, "first");
  first.reserved16[0] = 0x5A; // bytes the screen does not name travel along
  other.font_size = 10;
  // clang-format off
  const struct {
    const char *what;
    bool next_differs;
    script keys;
    uint8_t changed;
  } cases[] = {
      {"F5 onto a different format", true, script().key(KEY_ENTER).key(KEY_F5), 1},
      {"F5 onto an equal format", false, script().key(KEY_ENTER).key(KEY_F5), 0},
      {"ESC after nothing changed", true, script().key(KEY_ENTER), 0},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    fresh();
    put(0, first);
    put(1, c.next_differs ? other : first);
    EXPECT_EQ(run_pdf(script(c.keys).key(KEY_ESC).key(KEY_ESC)), 0);
    EXPECT_EQ(config_changed, c.changed);
    const pdf_desc f0 = format(0), f1 = format(1);
    EXPECT_EQ(std::memcmp(&f0, &first, sizeof first), 0) << "format 0 moved";
    if (c.keys.codes.size() > 1) {
      EXPECT_EQ(std::memcmp(&f1, &first, sizeof first), 0) << "format 1 is not the copy";
      EXPECT_EQ(trimmed(1, 45, 4), "1") << "F5 did not move to the next format";
    }
  }
}

TEST_F(PdfScreen, WithOneFormatEveryStepStaysOnFormatZero) {
  // Up and down in the selector, F3 and F4 on the form stay; F5 rings.
  const script keys = script()
                          .key(KEY_UP)
                          .key(KEY_DOWN)
                          .key(KEY_ENTER)
                          .key(KEY_F3)
                          .key(KEY_F4)
                          .key(KEY_F5)
                          .key(KEY_ESC)
                          .key(KEY_ESC);
  EXPECT_EQ(run_pdf(keys, 1), 0);
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_EQ(trimmed(1, 45, 4), "0");
  EXPECT_EQ(config_changed, 0);
}

TEST_F(PdfScreen, SelectorWrapsAndStepsBetweenFormats) {
  pdf_desc d = letter_format();
  for (uint32_t i = 0; i < 4; ++i) {
    std::snprintf(d.comment, sizeof d.comment, "format %u", i);
    put(i, d);
  }
  // clang-format off
  const struct {
    script keys;
    const char *shown;
  } cases[] = {
      {script().key(KEY_UP), "format 3"},                          // wraps below 0
      {script().key(KEY_UP).key(KEY_DOWN).key(KEY_DOWN), "format 1"},
      {script().key(KEY_ENTER).key(KEY_F3), "format 3"},           // F3 wraps too
      {script().key(KEY_ENTER).key(KEY_F4).key(KEY_F4), "format 2"},
      // A number beyond the last is made the last, with the bell; then Enter.
      {script().text("9").key(KEY_ENTER).key(KEY_ENTER), "format 3"},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.shown);
    fresh();
    EXPECT_EQ(run_pdf(c.keys), ST_SCRIPT_END);
    EXPECT_EQ(trimmed(3, 33, 31), c.shown);
  }
}

} // namespace
} // namespace cfitest
