// Every form of the program against the table rules; a screen added later
// is checked as soon as it registers its forms.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cfi/cfi.h"
#include "lib/cfi_store.h"
#include "pti/pti.h"
#include "scrmgr/form_check.h"
#include "tdi/tdi.h"

namespace {

// The editors pull in every screen, and so every registration, when linked.
[[maybe_unused]] int (*const editors[])(const char *) = {cnf_main, tdi_main, pti_main};

TEST(Forms, EveryRegisteredFormKeepsTheTableRules) {
  const auto forms = registered_forms();
  ASSERT_GE(forms.size(), 8u) << "the screens' forms did not register";
  std::set<std::string> names;
  for (const form_entry &e : forms) {
    EXPECT_TRUE(names.insert(e.name).second) << e.name << " registered twice";
    ASSERT_NE(e.f->fields, nullptr) << e.name;
    for (uint16_t i = 0; i < e.f->count; ++i)
      EXPECT_EQ(field_fault(*e.f, i), "") << e.name << " field " << i;
  }
}

TEST(Forms, TheRulesCatchWhatTheyAreFor) {
  static const char *const two[] = {"one", "three", nullptr};
  static char buf[8];
  // clang-format off
  const struct {
    form_field field;
    bool bad;
  } cases[] = {
      {{.kind = FIELD_NUMBER, .width = 4, .min = 5, .max = 4}, true},
      {{.kind = FIELD_NUMBER, .width = 4, .min = 4, .max = 4}, false},
      {{.kind = FIELD_TEXT, .width = 256, .text = buf}, true},
      {{.kind = FIELD_TEXT, .flags = FF_INPUT, .width = 7}, true},
      {{.kind = FIELD_LABEL, .flags = FF_INPUT, .width = 3, .label = "abc"}, true},
      {{.kind = FIELD_CHOICE, .width = 5, .max = 1}, true},
      {{.kind = FIELD_CHOICE, .width = 5, .max = 1, .list = two}, false},
      {{.kind = FIELD_CHOICE, .width = 4, .max = 1, .list = two}, true}, // "three" is 5 wide
      {{.kind = FIELD_CHOICE, .width = 5, .max = 2, .list = two}, true}, // no third text
      {{.kind = 9, .width = 1}, true},
  };
  // clang-format on
  for (const auto &c : cases) {
    form_field f[] = {c.field};
    const form one = make_form(0, f);
    EXPECT_EQ(field_fault(one, 0).empty(), !c.bad)
        << "kind " << c.field.kind << " width " << c.field.width;
  }
}

} // namespace
