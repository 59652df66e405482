// Key-sequence and byte-string notations: every byte round-trips, the
// canonical texts fit their columns, and unreadable texts are refused.
#include "lib/pti_store.h"
#include "lib/tdi_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> key_read(const std::string &text, uint8_t max, int &rc) {
  uint8_t bytes[255] = {};
  uint8_t length = max;
  rc = tdi_asctokeystring(text.c_str(), bytes, &length, 0);
  return rc == 0 ? std::vector<uint8_t>(bytes, bytes + length) : std::vector<uint8_t>{};
}

std::vector<uint8_t> pti_read(const std::string &text, uint16_t max, int &rc) {
  uint8_t bytes[PTI_MAX_CTRL_BYTES] = {};
  uint16_t length = max;
  rc = pti_asctobytestring(text.c_str(), bytes, &length);
  return rc == 0 ? std::vector<uint8_t>(bytes, bytes + length) : std::vector<uint8_t>{};
}

TEST(Notation, EveryByteRoundTripsInBothNotations) {
  for (int b = 0; b < 256; ++b) {
    uint8_t byte = static_cast<uint8_t>(b);
    char text[PTI_TEXT_BUF];
    for (int line_mode = 0; line_mode < 2; ++line_mode) {
      tdi_keystringtoasc(&byte, 1, text, line_mode);
      int rc = 0;
      EXPECT_EQ(key_read(text, 1, rc), std::vector<uint8_t>{byte}) << "key byte " << b;
      EXPECT_LE(std::strlen(text), 4u);
    }
    pti_bytestringtoasc(&byte, 1, text);
    int rc = 0;
    EXPECT_EQ(pti_read(text, 1, rc), std::vector<uint8_t>{byte}) << "pti byte " << b;
    EXPECT_LE(std::strlen(text), 4u);
  }
}

TEST(Notation, CanonicalTexts) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char *key_text;
    const char *pti_text;
  };
  const Case cases[] = {
      {{27, '[', 'A'}, "\\033[A", "^[[A"},
      {{'\\', '^'}, "\\\\\\^", "\\\\\\^"},
      {{' ', 127, 128, 255}, "\\040\\177\\200\\377", "\\040^?\\200\\377"},
      {{0, 31}, "\\000\\037", "^@^_"},
      {{'!', '~'}, "!~", "!~"},
      {{}, "", ""},
  };
  for (const Case &c : cases) {
    char text[PTI_TEXT_BUF];
    tdi_keystringtoasc(c.bytes.data(), static_cast<uint8_t>(c.bytes.size()), text, 0);
    EXPECT_STREQ(text, c.key_text);
    pti_bytestringtoasc(c.bytes.data(), static_cast<uint8_t>(c.bytes.size()), text);
    EXPECT_STREQ(text, c.pti_text);
  }
}

TEST(Notation, RandomSequencesRoundTripWithinColumnWidth) {
  std::mt19937 rng(7);
  for (int n = 0; n < 2000; ++n) {
    std::vector<uint8_t> bytes(rng() % 12);
    for (uint8_t &b : bytes)
      b = static_cast<uint8_t>(rng());
    char text[PTI_TEXT_BUF];
    int rc = 0;
    tdi_keystringtoasc(bytes.data(), static_cast<uint8_t>(bytes.size()), text, 0);
    EXPECT_LE(std::strlen(text), 44u);
    EXPECT_EQ(key_read(text, 11, rc), bytes);
    pti_bytestringtoasc(bytes.data(), static_cast<uint8_t>(bytes.size()), text);
    EXPECT_LE(std::strlen(text), 44u);
    EXPECT_EQ(pti_read(text, 11, rc), bytes);
  }
  // 255 bytes of job control string stay under the 1024-byte buffer.
  std::vector<uint8_t> all(255, 0xFF);
  char text[PTI_TEXT_BUF];
  pti_bytestringtoasc(all.data(), 255, text);
  EXPECT_EQ(std::strlen(text), 1020u);
}

TEST(Notation, ReaderAcceptsTheDocumentedForms) {
  struct Case {
    const char *text;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"\\e[2~", {27, '[', '2', '~'}},
      {"\\x1b\\x7F", {27, 127}},
      {"\\n\\r\\t", {10, 13, 9}},
      {"^A^z^?^@", {1, 26, 127, 0}},
      {"  AB  ", {'A', 'B'}},
      {"\\377", {255}},
  };
  for (const Case &c : cases) {
    int rc = 1;
    EXPECT_EQ(key_read(c.text, 11, rc), c.bytes) << c.text;
    EXPECT_EQ(rc, 0) << c.text;
    EXPECT_EQ(pti_read(c.text, 11, rc), c.bytes) << c.text;
    EXPECT_EQ(rc, 0) << c.text;
  }
}

TEST(Notation, ReaderRefusesBadOrTooLongTexts) {
  struct Case {
    const char *text;
    uint8_t max;
  };
  const Case cases[] = {
      {"\\", 11},       {"\\q", 11},        {"\\400", 11},  {"\\12", 11},
      {"\\x1", 11},     {"\\xg0", 11},      {"^", 11},      {"^1", 11},
      {"A B", 11},      {"\t", 11},         {"\x80", 11},   {"ABCDEFGHIJKL", 11},
      {"AB", 1},        {"\\033[A", 2},
  };
  for (const Case &c : cases) {
    int rc = 0;
    key_read(c.text, c.max, rc);
    EXPECT_NE(rc, 0) << c.text;
    pti_read(c.text, c.max, rc);
    EXPECT_NE(rc, 0) << c.text;
  }
}

TEST(Notation, FailedReadLeavesLengthAndBytesAlone) {
  uint8_t bytes[4] = {9, 9, 9, 9};
  uint8_t length = 4;
  EXPECT_NE(tdi_asctokeystring("AB\\q", bytes, &length, 0), 0);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(bytes[0], 9);
}

TEST(Notation, PrinterNamesAreExactAndCaseSensitive) {
  struct Case {
    const char *name;
    int rc;
    uint16_t index;
  };
  const Case cases[] = {{"generic", 0, 0}, {"pcl", 0, 1}, {"dotmatrix", 0, 2},
                        {"Generic", 1, 0}, {"generic.pti", 1, 0}, {"", 1, 0}};
  for (const Case &c : cases) {
    uint16_t index = 99;
    EXPECT_EQ(pti_find_printer(c.name, &index) != 0, c.rc != 0) << c.name;
    if (c.rc == 0) {
      EXPECT_EQ(index, c.index) << c.name;
    }
  }
}

} // namespace
