// Reading ASCII keyword files: the word scan of the opening, the tokenizer and the value
// conversions of block reads, on texts of every spacing, in one buffer and across refills.
#include "meshio/ascii_scanner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <random>
#include <tuple>

#include "tests/meshio/test_files.h"

// A text of values, comments and words with random spacing, its tokens (values and words, not
// comments), and what a word scan must find: each word with the number of tokens before it.
struct Text {
  std::string bytes;
  std::vector<std::string> tokens, words;
  std::vector<int64_t> tokensBefore;
};

Text randomText(std::mt19937* random, size_t minimumBytes) {
  // Values include letters and "#" inside a token (not words, not comments), bytes beyond
  // ASCII and tokens longer than the sixteen characters the scan takes at a time.
  static const char* const values[] = {
      "0",      "12", "-3.25e-7", "1E5", "+4", "2d0", "7#x", "\x80\xff", "-1.2345678901234567e+300",
      "100000", ".5", "9"};
  static const char* const words[] = {"Vertices", "Triangles", "nan", "End", "x1", "Z"};
  static const char* const blanks[] = {
      " ", "\t", "\n", "\r\n", "\v\f", "   ", "                                     "};
  Text text;
  auto pick = [random](int count) { return static_cast<int>((*random)() % count); };
  while (text.bytes.size() < minimumBytes) {
    const int what = pick(40);
    if (what == 0) {  // a comment, which may hold anything up to its line break
      text.bytes += "# 12 Vertices 3.5 #\n";
    } else if (what <= 2) {
      text.words.push_back(words[pick(6)]);
      text.tokensBefore.push_back(static_cast<int64_t>(text.tokens.size()));
      text.tokens.push_back(text.words.back());
      text.bytes += text.words.back();
    } else {
      text.tokens.push_back(values[pick(12)]);
      text.bytes += text.tokens.back();
    }
    text.bytes += blanks[pick(7)];
  }
  if (minimumBytes % 2)  // the last token (or comment) ends the file
    text.bytes.erase(text.bytes.find_last_not_of(" \t\n\r\v\f") + 1);
  return text;
}

// The word scan finds every word, each after the right number of tokens, and the block reads'
// tokenizer finds every token, in texts held whole in the buffer (of many sizes, so that tokens
// straddle every place where the sixteen-character steps give way to single characters) and
// in a text read through several refills (the buffer holds 1 MiB).
TEST(AsciiScanner, WordScanCountsTokensAndQuickTokensAreTheTexts) {
  std::mt19937 random(20240611);
  std::vector<size_t> sizes = {size_t(3) << 20};
  for (size_t size = 1; size < 400; size += 3) sizes.push_back(size);
  for (const size_t size : sizes) {
    SCOPED_TRACE(size);
    const Text text = randomText(&random, size);
    const int descriptor =
        open(writeBytes(temporaryPath("words.mesh"), text.bytes).c_str(), O_RDONLY);
    ASSERT_GE(descriptor, 0);
    zel::AsciiScanner scanner(descriptor, static_cast<int64_t>(text.bytes.size()));
    std::string_view word, token;
    size_t found = 0, read = 0;
    while (scanner.nextWord(&word)) {
      ASSERT_LT(found, text.words.size()) << "an extra word '" << word << "'";
      ASSERT_EQ(word, text.words[found]) << "word " << found;
      ASSERT_EQ(scanner.tokens() - 1, text.tokensBefore[found]) << "word " << found;
      ++found;
    }
    EXPECT_EQ(found, text.words.size());
    scanner.rewind(0, 0);
    while (scanner.nextQuick(&token)) {
      ASSERT_LT(read, text.tokens.size()) << "an extra token '" << token << "'";
      ASSERT_EQ(token, text.tokens[read]) << "token " << read;
      ++read;
    }
    EXPECT_EQ(read, text.tokens.size());
    EXPECT_EQ(scanner.tokens(), static_cast<int64_t>(read));
    EXPECT_FALSE(scanner.failed());
    close(descriptor);
  }
}

// Decimal integers as std::from_chars reads them, to the edges of the 64-bit range.
TEST(AsciiScanner, DecimalIntegersToTheEdgesOfTheirRange) {
  // Text, characters taken, value.
  const std::tuple<std::string, int, int64_t> cases[] = {
      {"0 ", 1, 0},
      {"-17x", 3, -17},
      {"007", 3, 7},
      {"12e3", 2, 12},
      {"123456789012345678", 18, 123456789012345678},
      {"9223372036854775807 ", 19, INT64_MAX},
      {"-9223372036854775808", 20, INT64_MIN}};
  int64_t value = 0;
  for (const auto& [text, taken, expected] : cases) {
    EXPECT_EQ(zel::parseDecimal(text.data(), text.data() + text.size(), &value) - text.data(),
              taken);
    EXPECT_EQ(value, expected) << text;
  }
  for (const std::string text : {"9223372036854775808", "-99999999999999999999", "+5", "-", ""})
    EXPECT_EQ(zel::parseDecimal(text.data(), text.data() + text.size(), &value), nullptr) << text;
}

// Block reads convert the common spellings in the buffer and take the others ("+", Fortran
// exponents) as whole tokens (values across refills: the word scan test).
TEST(AsciiScanner, BlockReadsTakeEverySpelling) {
  const std::string path =
      writeBytes(temporaryPath("spellings.mesh"),
                 "MeshVersionFormatted 4\nDimension 3\nVertices 3\n1.0D+00 2d0 +3 +4\n-1.5e-3 .5 "
                 "nan 7\n 1E5 1e+0\t0 -9223372036854775808\nEnd\n");
  const double expected[3][4] = {{1, 2, 3, 4}, {-1.5e-3, 0.5, NAN, 7}, {1e5, 1, 0, -0x1p63}};
  const OpenedFile open(path);
  ASSERT_TRUE(open.file) << open.error;
  ASSERT_EQ(zel::keywordStatistics(open.file, zel::Kwd::Vertices), 3);
  struct Vertex {
    double xyz[3];
    int64_t reference;
  } vertices[3];
  zel::BlockField fields[2] = {{zel::kFieldReal64Vector, vertices[0].xyz, vertices[2].xyz, 3},
                               {zel::kFieldInt64, &vertices[0].reference, &vertices[2].reference}};
  ASSERT_EQ(zel::getBlock(open.file, zel::Kwd::Vertices, 1, 3, fields, 2), 1) << open.file->error;
  for (int v = 0; v < 3; ++v) {
    for (int k = 0; k < 3; ++k)
      EXPECT_TRUE(vertices[v].xyz[k] == expected[v][k] ||
                  (std::isnan(expected[v][k]) && std::isnan(vertices[v].xyz[k])))
          << v << " " << k;
    EXPECT_EQ(vertices[v].reference, int64_t(expected[v][3]));
  }
}
