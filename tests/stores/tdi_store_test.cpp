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

std::string seq_of(const key_cfg &k) {
  return std::string(reinterpret_cast<const char *>(k.bytes), k.length);
}

uint16_t find(uint32_t h, const char *seq) {
  return find_key_tdi(h, reinterpret_cast<const uint8_t *>(seq),
                      static_cast<uint8_t>(std::strlen(seq)));
}

TEST(TdiStore, EveryFieldRoundTripsThroughSaveAndLoad) {
  xntest::TempDir dir;
  std::mt19937 rng(11);
  auto text = [&](char *dst, int max) {
    for (int i = 0, n = rng() % (max + 1); i < n; ++i) dst[i] = static_cast<char>(rng() % 255 + 1);
  };
  for (size_t nkeys : {size_t{40}, size_t{TDI_MAX_KEYS}}) {
    uint32_t h = 0;
    ASSERT_EQ(open_tdi(&h, 7), 0);
    tdi_ctrl c{};
    text(c.comment, 31), text(c.font_name, 20);
    c.base_type = rng() % 25, c.cursor_type = rng() % 3, c.beep = rng() % 2, c.lines = rng() % 256;
    c.columns = rng() % 256, c.compress_columns = rng() % 256, c.kbd_timeout = rng() % 31;
    c.font_size = rng() % 100;
    auto noise = [&](auto &bytes) {
      for (uint8_t &b : bytes) b = static_cast<uint8_t>(rng());
    };
    noise(c.colour_map), noise(c.line_draw), noise(c.display_map);
    ASSERT_EQ(put_ctrl_tdi(h, &c), 0);
    while (get_key_count_tdi(h) > 0) remove_key_tdi(h, 0);
    std::vector<key_cfg> keys(nkeys);
    for (size_t i = 0; i < keys.size(); ++i) {
      key_cfg &k = keys[i];
      k.length = static_cast<uint8_t>(rng() % 12);
      for (int b = 0; b < k.length; ++b) k.bytes[b] = static_cast<uint8_t>(rng());
      unsigned type = rng() % 9;
      k.key_word =
          static_cast<uint16_t>((rng() & 0xF000) | (type << 8) | (rng() % (code_max[type] + 1)));
      text(k.label, 15);
      ASSERT_EQ(insert_key_tdi(h, static_cast<uint16_t>(i), &k), 0);
    }
    const std::string name = dir.file("rt.tdi");
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

// The key reader finds keys by binary search and decides "more bytes to
// come" by the lead byte, so every built-in table must be sorted, free of
// duplicates and agree on the extended flag per lead byte.
TEST(TdiStore, BuiltInDescriptionsAreConsistent) {
  for (uint8_t base = 0; base < TDI_TERM_TYPES; ++base) {
    SCOPED_TRACE(def_term_filename[base]);
    uint32_t h = 0;
    ASSERT_EQ(open_tdi(&h, base), 0);
    tdi_ctrl c{};
    get_ctrl_tdi(h, &c);
    EXPECT_EQ(c.base_type, base);
    EXPECT_GE(c.compress_columns, c.columns);
    EXPECT_EQ(c.colour_map[0] != 0, base >= 11 && base <= 13); // Windows consoles only
    uint16_t n = get_key_count_tdi(h);
    std::vector<key_cfg> keys(n);
    for (uint16_t i = 0; i < n; ++i) {
      get_key_cfg_tdi(h, i, &keys[i]);
      const key_cfg &k = keys[i];
      unsigned type = (k.key_word & KEYW_TYPE) >> 8;
      ASSERT_LE(type, 8u);
      EXPECT_LE(k.key_word & KEYW_CODE, code_max[type]);
      if (i > 0) {
        EXPECT_LT(seq_of(keys[i - 1]), seq_of(k)) << "sorted, no duplicates";
      }
      for (uint16_t j = 0; j < i; ++j) {
        if (keys[j].bytes[0] == k.bytes[0]) {
          EXPECT_EQ(keys[j].key_word & KEYW_EXT, k.key_word & KEYW_EXT) << seq_of(k);
        }
      }
    }
    EXPECT_EQ(find(h, "\r") & FIND_KEY_NOT_FOUND, 0) << "Enter";
    close_tdi(&h);
  }
}

TEST(TdiStore, KeyTableSortFindInsertRemove) {
  uint32_t h = 0;
  open_tdi(&h, 16);
  while (get_key_count_tdi(h) > 0) remove_key_tdi(h, 0);
  key_cfg k{};
  for (const char *s : {"b", "ab", "a", "\033[A", "\033", "ba"}) {
    k.length = static_cast<uint8_t>(std::strlen(s));
    std::memcpy(k.bytes, s, k.length);
    ASSERT_EQ(insert_key_tdi(h, 0, &k), 0);
  }
  ASSERT_EQ(sort_keys_tdi(h), 0);
  // Found: the index; not found: the flag and where it would go.
  const std::pair<const char *, uint16_t> finds[] = {{"\033", 0},
                                                     {"ab", 3},
                                                     {"ba", 5},
                                                     {"", FIND_KEY_NOT_FOUND | 0},
                                                     {"\033[", FIND_KEY_NOT_FOUND | 1},
                                                     {"aa", FIND_KEY_NOT_FOUND | 3},
                                                     {"c", FIND_KEY_NOT_FOUND | 6}};
  for (const auto &[seq, result] : finds) EXPECT_EQ(find(h, seq), result) << seq;

  k.length = 2, std::memcpy(k.bytes, "aa", 2);
  ASSERT_EQ(insert_key_tdi(h, 3, &k), 0); // the rest move up
  key_cfg got{};
  get_key_cfg_tdi(h, 4, &got);
  EXPECT_EQ(seq_of(got), "ab");
  EXPECT_EQ(insert_key_tdi(h, 8, &k), ST_FAILED); // beyond the count
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
  // A full table refuses one more; a sequence longer than 11 bytes too.
  while (get_key_count_tdi(h) < TDI_MAX_KEYS)
    ASSERT_EQ(insert_key_tdi(h, get_key_count_tdi(h), &k), 0);
  EXPECT_EQ(insert_key_tdi(h, 0, &k), ST_FAILED);
  k.length = 12;
  EXPECT_NE(put_key_cfg_tdi(h, 0, &k), 0);
  // Defaulting brings back the base's own table.
  ASSERT_EQ(default_tdi(h, 16), 0);
  EXPECT_LT(get_key_count_tdi(h), TDI_MAX_KEYS);
  close_tdi(&h);
  EXPECT_EQ(get_key_count_tdi(h), 0);
  EXPECT_EQ(close_tdi(&h), ST_FAILED);
}

} // namespace
