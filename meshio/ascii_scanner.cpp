// Buffered tokenizer of ASCII keyword files.
#include "meshio/ascii_scanner.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zel {

namespace {

constexpr size_t kBufferSize = size_t(1) << 20;

// Character classes: 1 blank, 2 letter, 4 comment mark.
struct CharClasses {
  unsigned char table[256] = {};
  CharClasses() {
    for (unsigned char c : {' ', '\t', '\n', '\r', '\v', '\f'}) table[c] = 1;
    for (int c = 'a'; c <= 'z'; ++c) table[c] = 2;
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = 2;
    table[static_cast<unsigned char>('#')] = 4;
  }
};
const CharClasses kClasses;

inline bool isBlank(char c) { return kClasses.table[static_cast<unsigned char>(c)] == 1; }

#if defined(__SSE2__)
// Bit k set when data[k] is blank (" ", or "\t" to "\r"), for the sixteen characters at data.
inline unsigned blankMask(const char* data) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
  const __m128i control = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
  const __m128i blank =
      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
                   _mm_cmpeq_epi8(_mm_min_epu8(control, _mm_set1_epi8(4)), control));
  return static_cast<unsigned>(_mm_movemask_epi8(blank));
}
#endif

// Set bits of a 16-bit mask (no call into the compiler's run-time library, which is what
// __builtin_popcount becomes without a population-count instruction in the target).
inline int bitCount(unsigned mask) {
  mask = mask - ((mask >> 1) & 0x5555u);
  mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
  mask = (mask + (mask >> 4)) & 0x0F0Fu;
  return static_cast<int>((mask + (mask >> 8)) & 0x1Fu);
}

// Passes the values between keywords sixteen characters at a time: counts the tokens that
// start in data[p, end) up to the first one that starts with a letter or "#", and returns
// where that one starts (with *afterBlank true), or where a block of sixteen no longer fits
// (the caller goes on character by character from there). Most of an ASCII file is values,
// and this pass is what the opening scan costs.
size_t skipValues(const unsigned char* data, size_t p, size_t end, bool* afterBlank,
                  int64_t* tokens) {
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t'), four = _mm_set1_epi8(4);
  const __m128i lowerCase = _mm_set1_epi8(0x20), a = _mm_set1_epi8('a');
  const __m128i lastLetter = _mm_set1_epi8(25), hash = _mm_set1_epi8('#');
  // Unsigned x <= limit, byte by byte.
  auto atMost = [](__m128i x, __m128i limit) { return _mm_cmpeq_epi8(_mm_min_epu8(x, limit), x); };
  unsigned carry = *afterBlank ? 1 : 0;  // whether the character before the block is blank
  for (; p + 16 <= end; p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + p));
    // Blank: " " or "\t" to "\r"; word start: a letter (either case) or "#".
    const __m128i blank =
        _mm_or_si128(_mm_cmpeq_epi8(bytes, space), atMost(_mm_sub_epi8(bytes, tab), four));
    const __m128i word =
        _mm_or_si128(atMost(_mm_sub_epi8(_mm_or_si128(bytes, lowerCase), a), lastLetter),
                     _mm_cmpeq_epi8(bytes, hash));
    const unsigned blanks = static_cast<unsigned>(_mm_movemask_epi8(blank));
    const unsigned starts = ~blanks & ((blanks << 1) | carry) & 0xFFFFu;
    const unsigned wordStarts = starts & static_cast<unsigned>(_mm_movemask_epi8(word));
    if (wordStarts) {
      const int at = __builtin_ctz(wordStarts);
      *tokens += bitCount(starts & ((1u << at) - 1));
      *afterBlank = true;
      return p + static_cast<size_t>(at);
    }
    *tokens += bitCount(starts);
    carry = blanks >> 15;
  }
  *afterBlank = carry != 0;
#else
  (void)data, (void)end, (void)afterBlank, (void)tokens;
#endif
  return p;
}

}  // namespace

AsciiScanner::AsciiScanner(int descriptor, int64_t fileSize)
    : descriptor_(descriptor),
      fileSize_(fileSize),
      buffer_(static_cast<size_t>(
          std::max<int64_t>(4096, std::min<int64_t>(kBufferSize, fileSize + 1)))) {}

void AsciiScanner::seek(int64_t offset) {
  bufferStart_ = offset;
  position_ = end_ = 0;
}

bool AsciiScanner::refill() {
  if (failed_) return false;
  if (position_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + position_, end_ - position_);
    bufferStart_ += static_cast<int64_t>(position_);
    end_ -= position_;
    position_ = 0;
  }
  if (end_ == buffer_.size()) return true;  // full: the caller copes with a cut token
  const int64_t at = bufferStart_ + static_cast<int64_t>(end_);
  if (at >= fileSize_) return false;
  const size_t room = static_cast<size_t>(std::min<int64_t>(buffer_.size() - end_, fileSize_ - at));
  for (;;) {
    ssize_t got = pread(descriptor_, buffer_.data() + end_, room, at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) failed_ = true;
    if (got <= 0) return false;
    end_ += static_cast<size_t>(got);
    return true;
  }
}

void AsciiScanner::skipLine() {
  for (;;) {
    const char* start = buffer_.data() + position_;
    const void* found = std::memchr(start, '\n', end_ - position_);
    if (found) {
      position_ = static_cast<size_t>(static_cast<const char*>(found) - buffer_.data()) + 1;
      return;
    }
    position_ = end_;
    if (!refill()) return;
  }
}

bool AsciiScanner::skipBlanksAndComments() {
  for (;;) {
    while (position_ < end_ && isBlank(buffer_[position_])) ++position_;
    if (position_ == end_) {
      if (!refill()) return false;
      continue;
    }
    if (buffer_[position_] != '#') return true;
    skipLine();
  }
}

bool AsciiScanner::next(std::string_view* token) {
  if (!skipBlanksAndComments()) return false;
  size_t length = 0;
  for (;;) {
    while (position_ + length < end_ && !isBlank(buffer_[position_ + length])) ++length;
    if (position_ + length < end_ || length == buffer_.size()) break;
    if (!refill()) break;  // token ends at the end of the file
  }
  ++tokens_;
  if (length < buffer_.size()) {
    *token = std::string_view(buffer_.data() + position_, length);
    position_ += length;
    return true;
  }
  // Overlong: keep its start apart, since skipping the rest refills (and moves) the buffer;
  // the "..." mark keeps the cut start from reading as a number.
  overlong_.assign(buffer_.data() + position_, kOverlongKept);
  overlong_ += "...";
  position_ += length;
  while (position_ < end_ || refill()) {
    if (isBlank(buffer_[position_])) break;
    ++position_;
  }
  *token = overlong_;
  return true;
}

bool AsciiScanner::nextQuick(std::string_view* token) {
  const char* data = buffer_.data();
  size_t p = position_, q = 0;
#if defined(__SSE2__)
  unsigned blanks = 0xFFFFu;
  for (; blanks == 0xFFFFu; p += 16) {
    if (p + 16 > end_) return next(token);
    blanks = blankMask(data + p);
  }
  p += static_cast<size_t>(__builtin_ctz(~blanks)) - 16;
  if (data[p] == '#') return next(token);
  for (q = p, blanks = 0; !blanks; q += 16) {
    if (q + 16 > end_) return next(token);
    blanks = blankMask(data + q);
  }
  q += static_cast<size_t>(__builtin_ctz(blanks)) - 16;
#else
  while (p < end_ && isBlankCharacter(data[p])) ++p;
  for (q = p; q < end_ && !isBlankCharacter(data[q]);) ++q;
  if (q == end_ || data[p] == '#') return next(token);
#endif
  *token = std::string_view(data + p, q - p);
  position_ = q;
  ++tokens_;
  return true;
}

bool AsciiScanner::nextWord(std::string_view* token) {
  // A letter or "#" starts a token only after a blank (or at the start of the scan): letters
  // inside numbers ("1e-3") are not words.
  bool afterBlank = true;
  for (;;) {
    const unsigned char* data = reinterpret_cast<const unsigned char*>(buffer_.data());
    size_t p = skipValues(data, position_, end_, &afterBlank, &tokens_);
    while (p < end_) {
      unsigned char kind = kClasses.table[data[p]];
      if (afterBlank && kind != 1) {
        if (kind > 1) break;
        ++tokens_;  // a number (or other token) starts here
      }
      afterBlank = kind == 1;
      ++p;
    }
    position_ = p;
    if (p == end_) {
      if (!refill()) return false;
      continue;
    }
    if (buffer_[p] == '#') {
      skipLine();
      afterBlank = true;
      continue;
    }
    return next(token);
  }
}

void AsciiScanner::restOfLine(char* out, int max) {
  int kept = 0;
  for (;;) {
    while (position_ < end_ && buffer_[position_] != '\n') {
      if (kept < max) out[kept++] = buffer_[position_];
      ++position_;
    }
    if (position_ < end_ || !refill()) break;
  }
  if (position_ < end_) ++position_;
  if (kept < max) out[kept] = '\0';
}

}  // namespace zel

#include <charconv>
#include <cstdlib>
#include <string>

namespace zel {

namespace {

std::string_view withoutPlus(std::string_view token) {
  if (token.size() > 1 && token[0] == '+' && token[1] != '-' && token[1] != '+')
    token.remove_prefix(1);
  return token;
}

// from_chars refuses some spellings that strtod accepts ("1.e5" is fine, but e.g. Fortran
// "1.0D+00" or hexadecimal floats are not); those are rare, so they go through strtod on a
// bounded copy.
template <typename Real>
bool parseRealGeneric(std::string_view token, Real* value) {
  token = withoutPlus(token);
  if (token.empty()) return false;
  auto result = std::from_chars(token.data(), token.data() + token.size(), *value);
  if (result.ec == std::errc() && result.ptr == token.data() + token.size()) return true;
  if (result.ec == std::errc::result_out_of_range) return false;
  if (token.size() > 64) return false;
  char copy[72];
  std::memcpy(copy, token.data(), token.size());
  copy[token.size()] = '\0';
  for (char& c : copy)
    if (c == 'd' || c == 'D') c = 'e';
  char* end = nullptr;
  double parsed = std::strtod(copy, &end);
  if (end != copy + token.size()) return false;
  *value = static_cast<Real>(parsed);
  return true;
}

}  // namespace

const char* parseDecimal(const char* first, const char* last, int64_t* value) {
  const bool negative = first < last && *first == '-';
  const char* const digits = first + (negative ? 1 : 0);
  const char* p = digits;
  // Eighteen digits cannot overflow; longer numbers go to from_chars, which checks the range.
  uint64_t magnitude = 0;
  for (; p < last && p - digits < 18 && static_cast<unsigned>(*p - '0') < 10; ++p)
    magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
  if (p == digits) return nullptr;
  if (p < last && static_cast<unsigned>(*p - '0') < 10) {
    const auto result = std::from_chars(first, last, *value);
    return result.ec == std::errc() ? result.ptr : nullptr;
  }
  *value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return p;
}

bool parseInteger(std::string_view token, int64_t* value) {
  token = withoutPlus(token);
  auto result = std::from_chars(token.data(), token.data() + token.size(), *value);
  return result.ec == std::errc() && result.ptr == token.data() + token.size() && !token.empty();
}

bool parseReal(std::string_view token, double* value) { return parseRealGeneric(token, value); }
bool parseReal(std::string_view token, float* value) { return parseRealGeneric(token, value); }

}  // namespace zel
