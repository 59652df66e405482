// Key-sequence and byte-string notations: every byte round-trips, the
// canonical texts fit their columns, and unreadable texts are refused.
#include "lib/pti_store.h"
#include "lib/tdi_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Reads `text` in notation 0 (key) or 1 (byte string); a refusal must leave
// the bytes and the length alone.
std::optional<Bytes> read(int notation, const std::string &text, uint8_t max) {
  uint8_t bytes[PTI_MAX_CTRL_BYTES];
  std::memset(bytes, 0xEE, sizeof bytes);
  uint8_t klen = max;
  uint16_t plen = max;
  int rc = notation == 0 ? tdi_asctokeystring(text.c_str(), bytes, &klen, 0)
                         : pti_asctobytestring(text.c_str(), bytes, &plen);
  if (rc != 0) {
    EXPECT_TRUE(klen == max && plen == max && bytes[0] == 0xEE) << text;
    return std::nullopt;
  }
  return Bytes(bytes, bytes + (notation == 0 ? klen : plen));
}

TEST(Notation, EverySequenceRoundTripsWithinColumnWidth) {
  std::mt19937 rng(7);
  for (int n = 0; n < 2512; ++n) { // every byte alone in both key modes, then random runs
    Bytes bytes = n < 512 ? Bytes{static_cast<uint8_t>(n)} : Bytes(rng() % 12);
    if (n >= 512) {
      for (uint8_t &b : bytes) b = static_cast<uint8_t>(rng());
    }
    char text[2][PTI_TEXT_BUF];
    tdi_keystringtoasc(bytes.data(), static_cast<uint8_t>(bytes.size()), text[0],
                       n < 512 ? n / 256 : 0);
    pti_bytestringtoasc(bytes.data(), static_cast<uint8_t>(bytes.size()), text[1]);
    for (int k = 0; k < 2; ++k) {
      EXPECT_LE(std::strlen(text[k]), 4 * bytes.size()); // 11 bytes fit 44 columns
      EXPECT_EQ(read(k, text[k], 11), bytes) << text[k];
    }
  }
  Bytes all(255, 0xFF); // 255 bytes of job control string stay under the text buffer
  char text[PTI_TEXT_BUF];
  pti_bytestringtoasc(all.data(), 255, text);
  EXPECT_EQ(std::strlen(text), 1020u);
}

TEST(Notation, CanonicalTexts) {
  // clang-format off
  const std::tuple<Bytes, const char *, const char *> cases[] = {
      {{27, '[', 'A'}, "\\033[A", "^[[A"},
      {{'\\', '^'}, "\\\\\\^", "\\\\\\^"},
      {{' ', 127, 128, 255}, "\\040\\177\\200\\377", "\\040^?\\200\\377"},
      {{0, 31}, "\\000\\037", "^@^_"},
  };
  // clang-format on
  for (const auto &[bytes, key_text, pti_text] : cases) {
    char text[PTI_TEXT_BUF];
    tdi_keystringtoasc(bytes.data(), static_cast<uint8_t>(bytes.size()), text, 0);
    EXPECT_STREQ(text, key_text);
    pti_bytestringtoasc(bytes.data(), static_cast<uint8_t>(bytes.size()), text);
    EXPECT_STREQ(text, pti_text);
  }
}

TEST(Notation, ReaderAcceptsTheDocumentedFormsAndRefusesTheRest) {
  // clang-format off
  const std::tuple<const char *, uint8_t, std::optional<Bytes>> cases[] = {
      {"\\e[2~", 11, Bytes{27, '[', '2', '~'}}, {"\\x1b\\x7F", 11, Bytes{27, 127}},
      {"\\n\\r\\t", 11, Bytes{10, 13, 9}},      {"^A^z^?^@", 11, Bytes{1, 26, 127, 0}},
      {"  AB  ", 11, Bytes{'A', 'B'}},           {"", 11, Bytes{}},
      {"\\", 11, {}},     {"\\q", 11, {}},  {"\\400", 11, {}}, {"\\12", 11, {}}, {"\\x1", 11, {}},
      {"^", 11, {}},      {"^1", 11, {}},   {"A B", 11, {}},   {"\x80", 11, {}}, {"ABCDEFGHIJKL", 11, {}},
      {"AB", 1, {}},      {"\\033[A", 2, {}}, {"AB\\q", 4, {}},
  };
  // clang-format on
  for (const auto &[text, max, bytes] : cases) {
    EXPECT_EQ(read(0, text, max), bytes) << text;
    EXPECT_EQ(read(1, text, max), bytes) << text;
  }
}

} // namespace
