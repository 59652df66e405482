// Binding rows: values, packed bits and texts go to their fields and come
// back only where they changed, leaving every other byte as it was.
#include <gtest/gtest.h>

#include <cstring>

#include "scrmgr/binding.h"

namespace {

struct sample {
  uint8_t on;
  uint8_t colours; // background in bits 4-6, foreground in bits 0-2
  uint16_t flags;  // bit 3 bound
  uint32_t count;
  char name[8];
};

char name_buf[8];
// clang-format off
form_field fields[] = {
    {.kind = FIELD_YESNO, .flags = FF_INPUT, .width = 1, .max = 1},
    {.kind = FIELD_CHOICE, .flags = FF_INPUT, .width = 1, .max = 7},
    {.kind = FIELD_CHOICE, .flags = FF_INPUT, .width = 1, .max = 7},
    {.kind = FIELD_YESNO, .flags = FF_INPUT, .width = 1, .max = 1},
    {.kind = FIELD_NUMBER, .flags = FF_INPUT, .width = 5},
    {.kind = FIELD_TEXT, .flags = FF_INPUT, .width = 7, .text = name_buf},
};
// clang-format on
form sample_form = make_form(0, fields);
constexpr rec_param count_param{"count", REC_MEMBER(sample, count), 2, 900, 7};
// clang-format off
constexpr field_binding bindings[] = {
    BIND(0, sample, on),
    BIND_BITS(1, sample, colours, 0x70),
    BIND_BITS(2, sample, colours, 0x07),
    BIND_BITS(3, sample, flags, 0x0008),
    BIND_PARAM(4, count_param),
    BIND(5, sample, name),
};
// clang-format on

TEST(Binding, FillsAndTakesOnlyWhatChanged) {
  sample rec{.on = 2, .colours = 0x8F, .flags = 0xF0F7, .count = 65536 + 40, .name = "lp0"};
  bind_ranges(&sample_form, bindings);
  EXPECT_EQ(fields[4].min, 2);
  EXPECT_EQ(fields[4].max, 900);
  fill_fields(&sample_form, bindings, &rec);
  EXPECT_EQ(fields[0].value, 2) << "a switch is shown as stored";
  EXPECT_EQ(fields[1].value, 0);
  EXPECT_EQ(fields[2].value, 7);
  EXPECT_EQ(fields[3].value, 0);
  EXPECT_EQ(fields[4].value, 40) << "a form shows the low 16 bits";
  EXPECT_STREQ(name_buf, "lp0");

  uint8_t changed = 0;
  rec.count = 40; // what the form shows, so no change
  const sample before = rec;
  EXPECT_FALSE(take_fields(&sample_form, bindings, &rec, &changed));
  EXPECT_EQ(changed, 0) << "untouched fields are no change";
  EXPECT_EQ(std::memcmp(&rec, &before, sizeof rec), 0);

  fields[1].value = 5; // background
  fields[3].value = 1; // flag bit 3
  std::strcpy(name_buf, "lp12");
  EXPECT_TRUE(take_fields(&sample_form, bindings, &rec, &changed));
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(rec.colours, 0xDF) << "bits outside the bound ones stay";
  EXPECT_EQ(rec.flags, 0xF0FF);
  EXPECT_EQ(rec.on, 2);
  EXPECT_STREQ(rec.name, "lp12");
}

TEST(Binding, AChangedTextClearsTheWholeMemberAndKeepsItsTerminator) {
  sample rec{};
  std::memcpy(rec.name, "abcdefg", 8);
  fill_fields(&sample_form, bindings, &rec);
  std::strcpy(name_buf, "xy");
  uint8_t changed = 0;
  take_fields(&sample_form, bindings, &rec, &changed);
  const char want[8] = {'x', 'y', 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(rec.name, want, 8), 0);
  std::strcpy(name_buf, "1234567");
  take_fields(&sample_form, bindings, &rec, &changed);
  EXPECT_STREQ(rec.name, "1234567");
}

TEST(Binding, ATextLongerThanItsFieldShowsIsNeverCutByPassingOverIt) {
  struct named {
    char name[8];
  };
  static char buf[8];
  form_field narrow[] = {
      {.kind = FIELD_TEXT, .flags = FF_INPUT, .width = 3, .max = 7, .text = buf}};
  form narrow_form = make_form(0, narrow);
  constexpr field_binding bind[] = {BIND(0, named, name)};
  named rec{"abcdefg"};
  fill_fields(&narrow_form, bind, &rec);
  EXPECT_STREQ(buf, "abcdefg") << "the field holds its whole capacity, not its width";
  uint8_t changed = 0;
  EXPECT_FALSE(take_fields(&narrow_form, bind, &rec, &changed));
  EXPECT_STREQ(rec.name, "abcdefg");
}

} // namespace
