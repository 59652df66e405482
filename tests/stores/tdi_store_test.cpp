// The terminal description store: every field through save and load, the
// 25 built-in descriptions, and the sorted key table.
#include "lib/status.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr uint8_t code_max[9] = {3, 255, 15, 99, 99, 99, 99, 99, 99};

key_cfg make_key(const std::string &seq, uint16_t word = 0x0100) {
  key_cfg k{};
  k.length = static_cast<uint8_t>(seq.size());
  std::memcpy(k.bytes, seq.data(), seq.size());
  k.key_word = word;
  return k;
}

std::string seq_of(const key_cfg &k) {
  return std::string(reinterpret_cast<const char *>(k.bytes), k.length);
}

TEST(TdiStore, EveryFieldRoundTripsThroughSaveAndLoad) {
  xntest::TempDir dir;
  std::mt19937 rng(11);
  for (int round = 0; round < 3; ++round) {
    uint32_t h = 0;
    ASSERT_EQ(open_tdi(&h, static_cast<uint8_t>(round * 7)), 0);
    tdi_ctrl c{};
    for (int i = 0; i < 31; ++i)
      c.comment[i] = static_cast<char>(rng() % 255 + 1);
    c.base_type = rng() % 25, c.cursor_type = rng() % 3, c.beep = rng() % 2;
    c.lines = rng() % 256, c.columns = rng() % 256, c.compress_columns = rng() % 256;
    c.kbd_timeout = rng() % 31, c.font_size = rng() % 100;
    for (uint8_t &b : c.colour_map) b = static_cast<uint8_t>(rng());
    for (uint8_t &b : c.line_draw) b = static_cast<uint8_t>(rng());
    for (uint8_t &b : c.display_map) b = static_cast<uint8_t>(rng());
    for (int i = 0; i < 20; ++i)
      c.font_name[i] = static_cast<char>(rng() % 255 + 1);
    ASSERT_EQ(put_ctrl_tdi(h, &c), 0);
    while (get_key_count_tdi(h) > 0)
      remove_key_tdi(h, 0);
    std::vector<key_cfg> keys(round == 2 ? TDI_MAX_KEYS : 40);
    for (size_t i = 0; i < keys.size(); ++i) {
      key_cfg &k = keys[i];
      k.length = static_cast<uint8_t>(rng() % 12);
      for (int b = 0; b < k.length; ++b) k.bytes[b] = static_cast<uint8_t>(rng());
      unsigned type = rng() % 9;
      k.key_word = static_cast<uint16_t>((rng() & 0xF000) | (type << 8) | (rng() % (code_max[type] + 1)));
      for (int b = 0, n = rng() % 16; b < n; ++b) k.label[b] = static_cast<char>(rng() % 255 + 1);
      ASSERT_EQ(insert_key_tdi(h, static_cast<uint16_t>(i), &k), 0);
    }
    std::string name = dir.file("rt.tdi");
    ASSERT_EQ(save_tdi(h, name.c_str(), 1), 0) << get_error_buffer_tdi(h);
    close_tdi(&h);
    open_tdi(&h, 16);
    ASSERT_EQ(load_tdi(h, name.c_str()), 0) << get_error_buffer_tdi(h);
    tdi_ctrl got{};
    get_ctrl_tdi(h, &got);
    EXPECT_EQ(std::memcmp(&c, &got, sizeof c), 0);
    ASSERT_EQ(get_key_count_tdi(h), keys.size());
    for (uint16_t i = 0; i < keys.size(); ++i) {
      key_cfg k{};
      get_key_cfg_tdi(h, i, &k);
      EXPECT_EQ(std::memcmp(&k, &keys[i], sizeof k), 0) << "key " << i;
    }
    EXPECT_EQ(uprev_tdi(h), 0);
    close_tdi(&h);
  }
}

TEST(TdiStore, BuiltInDescriptionsAreConsistent) {
  for (uint8_t base = 0; base < TDI_TERM_TYPES; ++base) {
    SCOPED_TRACE(def_term_filename[base]);
    uint32_t h = 0;
    ASSERT_EQ(open_tdi(&h, base), 0);
    tdi_ctrl c{};
    get_ctrl_tdi(h, &c);
    EXPECT_EQ(c.base_type, base);
    EXPECT_EQ(c.lines, 24);
    EXPECT_EQ(c.columns, 80);
    EXPECT_GE(c.compress_columns, c.columns);
    for (int i = 0; i < 256; ++i) {
      ASSERT_EQ(c.display_map[i], i);
    }
    bool console = base >= 11 && base <= 13;
    EXPECT_EQ(c.colour_map[0] != 0, console);
    if (base == 13) {
      EXPECT_EQ(std::memcmp(c.colour_map, c.colour_map + 8, 8), 0);
    }
    if (console) {
      EXPECT_EQ(c.line_draw[0], 218);
    }
    if (base >= 1 && base <= 4) {
      EXPECT_EQ(c.line_draw[0], 0x6C);
    }

    uint16_t n = get_key_count_tdi(h);
    EXPECT_GE(n, base == 16 ? 5 : 12); // the VT52 has arrows and three PF keys
    std::vector<key_cfg> keys(n);
    bool has_enter = false;
    for (uint16_t i = 0; i < n; ++i) {
      get_key_cfg_tdi(h, i, &keys[i]);
      const key_cfg &k = keys[i];
      unsigned type = (k.key_word & KEYW_TYPE) >> 8;
      ASSERT_LE(type, 8u);
      EXPECT_LE(k.key_word & KEYW_CODE, code_max[type]);
      EXPECT_NE(k.label[0], 0);
      has_enter |= seq_of(k) == "\r";
      if (i > 0) {
        EXPECT_LT(seq_of(keys[i - 1]), seq_of(k)) << "sorted, no duplicates";
      }
      // Keys sharing a lead byte agree on the extended flag.
      for (uint16_t j = 0; j < i; ++j)
        if (keys[j].bytes[0] == k.bytes[0]) {
          EXPECT_EQ(keys[j].key_word & KEYW_EXT, k.key_word & KEYW_EXT) << seq_of(k);
        }
    }
    EXPECT_TRUE(has_enter);
    close_tdi(&h);
  }
}

TEST(TdiStore, RealSequencesOfKnownTerminals) {
  struct Case {
    uint8_t base;
    const char *seq;
    uint16_t type_code;
  };
  const Case cases[] = {
      {6, "\033[A", 0x0202},  {6, "\033OP", 0x0401},   {6, "\033[24~", 0x040C},
      {1, "\033OA", 0x0202},  {1, "\010", 0x0208},     {8, "\033[[A", 0x0401},
      {3, "\033[3~", 0x0209}, {20, "\001@\r", 0x0401}, {16, "\n", 0x0000},
  };
  for (const Case &c : cases) {
    uint32_t h = 0;
    open_tdi(&h, c.base);
    uint16_t at = find_key_tdi(h, reinterpret_cast<const uint8_t *>(c.seq),
                               static_cast<uint8_t>(std::strlen(c.seq)));
    ASSERT_EQ(at & FIND_KEY_NOT_FOUND, 0) << def_term_filename[c.base] << " " << c.seq + 1;
    key_cfg k{};
    get_key_cfg_tdi(h, at, &k);
    EXPECT_EQ(k.key_word & 0x0FFF, c.type_code);
    close_tdi(&h);
  }
}

TEST(TdiStore, KeyTableSortFindInsertRemove) {
  uint32_t h = 0;
  open_tdi(&h, 16);
  while (get_key_count_tdi(h) > 0)
    remove_key_tdi(h, 0);
  for (const char *s : {"b", "ab", "a", "\033[A", "\033", "ba"}) {
    key_cfg k = make_key(s);
    ASSERT_EQ(insert_key_tdi(h, 0, &k), 0);
  }
  ASSERT_EQ(sort_keys_tdi(h), 0);
  const char *sorted[] = {"\033", "\033[A", "a", "ab", "b", "ba"};
  for (uint16_t i = 0; i < 6; ++i) {
    key_cfg k{};
    get_key_cfg_tdi(h, i, &k);
    EXPECT_EQ(seq_of(k), sorted[i]);
  }
  struct Find {
    const char *seq;
    uint16_t result;
  };
  const Find finds[] = {{"\033", 0}, {"ab", 3}, {"ba", 5},
                        {"", FIND_KEY_NOT_FOUND | 0}, {"\033[", FIND_KEY_NOT_FOUND | 1},
                        {"aa", FIND_KEY_NOT_FOUND | 3}, {"c", FIND_KEY_NOT_FOUND | 6}};
  for (const Find &f : finds)
    EXPECT_EQ(find_key_tdi(h, reinterpret_cast<const uint8_t *>(f.seq),
                           static_cast<uint8_t>(std::strlen(f.seq))),
              f.result)
        << f.seq;

  key_cfg k = make_key("aa");
  EXPECT_EQ(insert_key_tdi(h, 3, &k), 0);
  key_cfg got{};
  get_key_cfg_tdi(h, 3, &got);
  EXPECT_EQ(seq_of(got), "aa");
  get_key_cfg_tdi(h, 4, &got);
  EXPECT_EQ(seq_of(got), "ab");
  EXPECT_EQ(insert_key_tdi(h, 8, &k), ST_FAILED); // beyond the count
  EXPECT_EQ(get_key_count_tdi(h), 7);

  // Beyond the count: zero records, and puts and removes change nothing.
  std::memset(&got, 0x77, sizeof got);
  get_key_cfg_tdi(h, 7, &got);
  EXPECT_EQ(got.length, 0);
  EXPECT_EQ(got.key_word, 0);
  EXPECT_EQ(put_key_cfg_tdi(h, 7, &k), 0);
  EXPECT_EQ(remove_key_tdi(h, 300), 0);
  EXPECT_EQ(get_key_count_tdi(h), 7);
  EXPECT_EQ(remove_key_tdi(h, 0), 0);
  get_key_cfg_tdi(h, 0, &got);
  EXPECT_EQ(seq_of(got), "\033[A");

  // A full table refuses one more.
  while (get_key_count_tdi(h) < TDI_MAX_KEYS)
    ASSERT_EQ(insert_key_tdi(h, get_key_count_tdi(h), &k), 0);
  EXPECT_EQ(insert_key_tdi(h, 0, &k), ST_FAILED);
  key_cfg too_long = make_key("x");
  too_long.length = 12;
  EXPECT_NE(put_key_cfg_tdi(h, 0, &too_long), 0);
  close_tdi(&h);
}

TEST(TdiStore, DefaultResetsToTheBaseAndBadHandlesFail) {
  uint32_t h = 0;
  open_tdi(&h, 6);
  uint16_t xterm_keys = get_key_count_tdi(h);
  remove_key_tdi(h, 0);
  ASSERT_EQ(default_tdi(h, 1), 0);
  tdi_ctrl c{};
  get_ctrl_tdi(h, &c);
  EXPECT_EQ(c.base_type, 1);
  ASSERT_EQ(default_tdi(h, 6), 0);
  EXPECT_EQ(get_key_count_tdi(h), xterm_keys);
  uint32_t bad = h + 100;
  EXPECT_EQ(get_ctrl_tdi(bad, &c), ST_FAILED);
  EXPECT_EQ(get_key_count_tdi(bad), 0);
  EXPECT_EQ(find_key_tdi(bad, c.line_draw, 1), FIND_KEY_NOT_FOUND);
  EXPECT_EQ(uprev_tdi(bad), 0);
  close_tdi(&h);
  EXPECT_EQ(close_tdi(&h), ST_FAILED);
}

} // namespace
