// Drawing of fields and forms over the in-memory screen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr_fixture.h"

using namespace scrmgr_test;

namespace {

const char *const colours[] = {"red", "green", "blue"};
char text_abc[] = "abc";

struct draw_case {
  const char *name;
  form_field fld;
  const char *want;  // the 8 columns from the field's column; 'x' untouched
};

form_field with_text(form_field f, char *t) { f.text = t; return f; }
form_field with_list(form_field f) { f.list = colours; return f; }

const draw_case draw_cases[] = {
    {"number blank-filled", field(FIELD_NUMBER, FF_DATA, 5, 10, 2, 5, 0, 99), " 5xxxxxx"},
    {"number zero-filled", field(FIELD_NUMBER, FF_DATA | FF_ZEROFILL, 5, 10, 2, 5, 0, 99), "05xxxxxx"},
    {"zero blank-filled", field(FIELD_NUMBER, FF_DATA, 5, 10, 2, 0, 0, 99), " 0xxxxxx"},
    {"zero zero-filled", field(FIELD_NUMBER, FF_DATA | FF_ZEROFILL, 5, 10, 2, 0, 0, 99), "00xxxxxx"},
    {"number above max", field(FIELD_NUMBER, FF_DATA, 5, 10, 3, 200, 0, 100), "  -xxxxx"},
    {"number below min", field(FIELD_NUMBER, FF_DATA, 5, 10, 3, 0, 1, 100), "  -xxxxx"},
    {"number wider than width keeps last digits", field(FIELD_NUMBER, FF_DATA, 5, 10, 2, 123, 0, 999), "23xxxxxx"},
    {"five digits in five columns", field(FIELD_NUMBER, FF_DATA, 5, 10, 5, 65535, 0, 65535), "65535xxx"},
    {"wide number right-aligned", field(FIELD_NUMBER, FF_DATA, 5, 10, 7, 42, 0, 99), "     42x"},
    {"masked number", field(FIELD_NUMBER, FF_DATA | FF_MASK, 5, 10, 3, 42, 0, 99), "***xxxxx"},
    {"label cut to width", label(FF_STATIC, 5, 10, 3, "abcdef"), "abcxxxxx"},
    {"short label not padded", label(FF_STATIC, 5, 10, 5, "ab"), "abxxxxxx"},
    {"short label padded", label(FF_STATIC | FF_PAD, 5, 10, 5, "ab"), "ab   xxx"},
    {"null label draws nothing", label(FF_STATIC, 5, 10, 5, nullptr), "xxxxxxxx"},
    {"input text masked and padded", with_text(field(FIELD_TEXT, FF_INPUT | FF_MASK, 5, 10, 6), text_abc), "***   xx"},
    {"input text padded", with_text(field(FIELD_TEXT, FF_INPUT, 5, 10, 5), text_abc), "abc  xxx"},
    {"null text input is blank", field(FIELD_TEXT, FF_INPUT, 5, 10, 3), "   xxxxx"},
    {"hidden number", field(FIELD_NUMBER, FF_DATA | FF_HIDDEN, 5, 10, 4, 42, 0, 99), "    xxxx"},
    {"hidden label", label(FF_STATIC | FF_HIDDEN, 5, 10, 4, "secret"), "    xxxx"},
    {"hidden yes/no", field(FIELD_YESNO, FF_DATA | FF_HIDDEN, 5, 10, 3, 1, 0, 1), "   xxxxx"},
    {"yes", field(FIELD_YESNO, FF_DATA, 5, 10, 1, 1, 0, 1), "Yxxxxxxx"},
    {"no", field(FIELD_YESNO, FF_DATA, 5, 10, 1, 0, 0, 1), "Nxxxxxxx"},
    {"choice", with_list(field(FIELD_CHOICE, FF_DATA | FF_INPUT, 5, 10, 6, 2, 0, 2)), "blue  xx"},
    {"choice outside its list", with_list(field(FIELD_CHOICE, FF_DATA, 5, 10, 6, 5, 0, 2)), "xxxxxxxx"},
    {"erase to end of line", label(FF_STATIC | FF_EOL, 5, 10, 2, "ab"), "ab      "},
};

class DrawTest : public ScreenTest {};

TEST_F(DrawTest, FieldTextByKindAndFlag) {
  for (const draw_case &c : draw_cases) {
    SCOPED_TRACE(c.name);
    memscreen_use();
    std::string xs(80, 'x');
    form_field under = label(FF_STATIC, 5, 0, 80, xs.c_str());
    ASSERT_EQ(display_field(&under), 0);
    ASSERT_EQ(display_field(&c.fld), 0);
    ASSERT_EQ(update_scrn(), 0);
    EXPECT_EQ(cells(5, 10, 8), c.want);
    EXPECT_EQ(cells(5, 0, 10), std::string(10, 'x'));
  }
}

TEST_F(DrawTest, FieldUsesItsAttribute) {
  form_field f = label(FF_STATIC, 3, 4, 5, "Title");
  f.attr = 5;
  ASSERT_EQ(display_field(&f), 0);
  ASSERT_EQ(update_scrn(), 0);
  EXPECT_EQ(memscreen_attr(3, 4), 5);
  EXPECT_EQ(memscreen_attr(3, 8), 5);
  EXPECT_EQ(memscreen_attr(3, 9), 0);
}

TEST_F(DrawTest, WidthAbove255IsRefusedWithBell) {
  form_field f = label(FF_STATIC, 3, 0, 256, "x");
  EXPECT_EQ(display_field(&f), 1);
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_EQ(cells(3, 0, 1), " ");
}

// A form exercising the display classes: a static title, a value, a field of
// width 0 and a static-and-data heading.
class FormDrawTest : public ScreenTest {
protected:
  form_field fields[4] = {
      label(FF_STATIC, 2, 10, 5, "Title"),
      field(FIELD_NUMBER, FF_DATA | FF_INPUT, 4, 10, 3, 7, 0, 999),
      label(FF_STATIC | FF_DATA, 6, 10, 0, "never"),
      label(FF_STATIC, 8, 10, 4, "Foot"),
  };
  void fill_rows() {
    std::string xs(80, 'x');
    for (uint16_t r : {1, 2, 4, 6, 8}) {
      form_field f = label(FF_STATIC, r, 0, 80, xs.c_str());
      ASSERT_EQ(display_field(&f), 0);
    }
  }
};

TEST_F(FormDrawTest, ValuesClassNeitherClearsNorDrawsStatic) {
  form f = make_form(FORM_CLEAR, fields);
  fill_rows();
  ASSERT_EQ(display_form(&f, SHOW_VALUES), 0);
  EXPECT_EQ(cells(4, 10, 3), "  7");
  EXPECT_EQ(cells(2, 10, 5), "xxxxx");
  EXPECT_EQ(cells(1, 0, 3), "xxx");
}

TEST_F(FormDrawTest, StaticClassWithClearErasesScreen) {
  form f = make_form(FORM_CLEAR, fields);
  fill_rows();
  ASSERT_EQ(display_form(&f, SHOW_STATIC), 0);
  EXPECT_EQ(cells(2, 0, 16), "          Title ");
  EXPECT_EQ(cells(1, 0, 3), "   ");
  EXPECT_EQ(cells(4, 10, 3), "   ");  // the value is not of this class
  EXPECT_EQ(cells(6, 10, 5), "     ");  // width 0 is never drawn
  EXPECT_EQ(cells(8, 10, 4), "Foot");
}

TEST_F(FormDrawTest, LineFormErasesOnlyFirstFieldsLine) {
  form f = make_form(FORM_CLEAR | FORM_LINE, fields);
  fill_rows();
  ASSERT_EQ(display_form(&f, SHOW_ALL), 0);
  EXPECT_EQ(cells(2, 0, 16), "xxxxxxxxxxTitle ");
  EXPECT_EQ(cells(1, 0, 3), "xxx");
  EXPECT_EQ(cells(4, 10, 4), "  7x");
  EXPECT_EQ(cells(6, 10, 5), "xxxxx");
}

TEST_F(FormDrawTest, NoClearWithoutFormFlag) {
  form f = make_form(0, fields);
  fill_rows();
  ASSERT_EQ(display_form(&f, SHOW_ALL), 0);
  EXPECT_EQ(cells(1, 0, 3), "xxx");
  EXPECT_EQ(cells(2, 0, 16), "xxxxxxxxxxTitlex");
}

TEST_F(FormDrawTest, ChangedFieldsRedrawnAndFlagCleared) {
  form f = make_form(0, fields);
  ASSERT_EQ(display_form(&f, SHOW_ALL), 0);
  fields[1].value = 42;
  fields[1].flags |= FF_CHANGED;
  fields[2].flags |= FF_CHANGED;
  fields[3].label = "Feet";  // changed text but not marked: stays as drawn
  ASSERT_EQ(display_changed(&f), 0);
  EXPECT_EQ(cells(4, 10, 3), " 42");
  EXPECT_EQ(cells(8, 10, 4), "Foot");
  EXPECT_EQ(fields[1].flags & FF_CHANGED, 0);
  EXPECT_NE(fields[2].flags & FF_CHANGED, 0);  // width 0 keeps its mark
  EXPECT_EQ(cells(6, 10, 5), "     ");
}

TEST_F(FormDrawTest, FailureStopsAndKeepsChangedMark) {
  fields[0].width = 300;
  fields[0].flags |= FF_CHANGED;
  fields[1].flags |= FF_CHANGED;
  form f = make_form(0, fields);
  EXPECT_EQ(display_changed(&f), 1);
  EXPECT_NE(fields[0].flags & FF_CHANGED, 0);
  EXPECT_NE(fields[1].flags & FF_CHANGED, 0);
  EXPECT_EQ(display_form(&f, SHOW_ALL), 1);
  EXPECT_EQ(cells(4, 10, 3), "   ");
}

} // namespace
