// Drawing of fields and forms over the in-memory screen.
#include <gtest/gtest.h>

#include <string>

#include "scrmgr_fixture.h"

using namespace scrmgr_test;

namespace {

const char *const colours[] = {"red", "green", "blue"};
char text_abc[] = "abc";

form_field with_text(form_field f, char *t) {
  f.text = t;
  return f;
}
form_field with_list(form_field f) {
  f.list = colours;
  return f;
}

TEST_F(ScreenTest, FieldTextByKindAndFlag) {
  // want: the 8 columns from the field's column; 'x' untouched.
  // clang-format off
  const struct { const char *name; form_field fld; const char *want; } cases[] = {
      {"number blank-filled", field(FIELD_NUMBER, FF_DATA, 5, 10, 2, 5, 0, 99), " 5xxxxxx"},
      {"number zero-filled", field(FIELD_NUMBER, FF_DATA | FF_ZEROFILL, 5, 10, 2, 5, 0, 99), "05xxxxxx"},
      {"above max", field(FIELD_NUMBER, FF_DATA, 5, 10, 3, 200, 0, 100), "  -xxxxx"},
      {"below min", field(FIELD_NUMBER, FF_DATA, 5, 10, 3, 0, 1, 100), "  -xxxxx"},
      {"too long keeps last digits", field(FIELD_NUMBER, FF_DATA, 5, 10, 2, 123, 0, 999), "23xxxxxx"},
      {"wide number right-aligned", field(FIELD_NUMBER, FF_DATA, 5, 10, 7, 42, 0, 99), "     42x"},
      {"masked number", field(FIELD_NUMBER, FF_DATA | FF_MASK, 5, 10, 3, 42, 0, 99), "***xxxxx"},
      {"label cut to width", label(FF_STATIC, 5, 10, 3, "abcdef"), "abcxxxxx"},
      {"short label not padded", label(FF_STATIC, 5, 10, 5, "ab"), "abxxxxxx"},
      {"short label padded", label(FF_STATIC | FF_PAD, 5, 10, 5, "ab"), "ab   xxx"},
      {"null label", label(FF_STATIC, 5, 10, 5, nullptr), "xxxxxxxx"},
      {"input text masked, padded", with_text(field(FIELD_TEXT, FF_INPUT | FF_MASK, 5, 10, 6), text_abc), "***   xx"},
      {"null text input", field(FIELD_TEXT, FF_INPUT, 5, 10, 3), "   xxxxx"},
      {"hidden label", label(FF_STATIC | FF_HIDDEN, 5, 10, 4, "secret"), "    xxxx"},
      {"yes", field(FIELD_YESNO, FF_DATA, 5, 10, 1, 1, 0, 1), "Yxxxxxxx"},
      {"choice", with_list(field(FIELD_CHOICE, FF_DATA | FF_INPUT, 5, 10, 6, 2, 0, 2)), "blue  xx"},
      {"choice outside its list", with_list(field(FIELD_CHOICE, FF_DATA, 5, 10, 6, 5, 0, 2)), "xxxxxxxx"},
      {"erase to end of line", label(FF_STATIC | FF_EOL, 5, 10, 2, "ab"), "ab      "},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    fresh();
    fill_row(5);
    form_field f = c.fld;
    f.attr = 5;
    ASSERT_EQ(display_field(&f), 0);
    ASSERT_EQ(update_scrn(), 0);
    EXPECT_EQ(cells(5, 10, 8), c.want);
    EXPECT_EQ(cells(5, 0, 10), std::string(10, 'x'));
    EXPECT_EQ(memscreen_attr(5, 10), c.want[0] == 'x' ? 4 : 5);
  }
}

TEST_F(ScreenTest, FormDrawsByClassAndClears) {
  // clang-format off
  form_field fields[4] = {
      label(FF_STATIC, 2, 10, 5, "Title"),
      field(FIELD_NUMBER, IN, 4, 10, 3, 7, 0, 999),
      label(FF_STATIC | FF_DATA, 6, 10, 0, "never"),  // width 0: never drawn
      label(FF_STATIC, 8, 10, 4, "Foot"),
  };
  // clang-format on
  // want: columns 8..15 of rows 1, 2, 4, 6 and 8.
  // clang-format off
  const struct { uint16_t flags, show; const char *want[5]; } cases[] = {
      {FORM_CLEAR, SHOW_VALUES, {"xxxxxxxx", "xxxxxxxx", "xx  7xxx", "xxxxxxxx", "xxxxxxxx"}},
      {FORM_CLEAR, SHOW_STATIC, {"        ", "  Title ", "        ", "        ", "  Foot  "}},
      {FORM_CLEAR | FORM_LINE, SHOW_ALL, {"xxxxxxxx", "xxTitle ", "xx  7xxx", "xxxxxxxx", "xxFootxx"}},
      {0, SHOW_ALL, {"xxxxxxxx", "xxTitlex", "xx  7xxx", "xxxxxxxx", "xxFootxx"}},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.flags << "/" << c.show);
    fresh();
    const uint16_t rows[] = {1, 2, 4, 6, 8};
    for (uint16_t r : rows) fill_row(r);
    form f{c.flags, 4, nullptr, fields};
    ASSERT_EQ(display_form(&f, c.show), 0);
    for (int i = 0; i < 5; i++) EXPECT_EQ(cells(rows[i], 8, 8), c.want[i]) << rows[i];
  }
}

TEST_F(ScreenTest, ChangedFieldsRedrawnAndMarkCleared) {
  // clang-format off
  form_field fields[3] = {
      field(FIELD_NUMBER, IN, 4, 10, 3, 7, 0, 999),
      label(FF_STATIC | FF_CHANGED, 6, 10, 0, "never"),
      label(FF_STATIC, 8, 10, 4, "Foot"),
  };
  // clang-format on
  form f = make_form(0, fields);
  ASSERT_EQ(display_form(&f, SHOW_ALL), 0);
  fields[0].value = 42;
  fields[0].flags |= FF_CHANGED;
  fields[2].label = "Feet"; // not marked: stays as drawn
  ASSERT_EQ(display_changed(&f), 0);
  EXPECT_EQ(cells(4, 10, 3) + cells(6, 10, 5) + cells(8, 10, 4), " 42     Foot");
  EXPECT_EQ(fields[0].flags & FF_CHANGED, 0);
  EXPECT_NE(fields[1].flags & FF_CHANGED, 0); // width 0 keeps its mark

  // A field too wide to draw stops the drawing with the bell; marks stay.
  form_field bad[2] = {label(FF_STATIC | FF_CHANGED, 3, 0, 256, "x"), fields[0]};
  bad[1].flags |= FF_CHANGED;
  form g = make_form(0, bad);
  EXPECT_EQ(display_changed(&g), 1);
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_NE(bad[1].flags & FF_CHANGED, 0);
  EXPECT_EQ(display_form(&g, SHOW_ALL), 1);
}

} // namespace
