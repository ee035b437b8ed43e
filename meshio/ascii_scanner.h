// Buffered tokenizer of ASCII keyword files: white-space separated tokens, "#" comments.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

// Reads a file descriptor (not owned) through a buffer of fixed size; memory use does not
// grow with the file, and nothing past fileSize is read (a file that grows while it is read
// does not keep the scan going). A token is a run of non-blank characters; a token beginning
// with "#" makes the rest of its line a comment.
class AsciiScanner {
 public:
  // The buffer holds the whole file when it is small (at most 1 MiB).
  AsciiScanner(int descriptor, int64_t fileSize);

  // Next token, or false at the end of the file (or on a read error, see failed()). The view
  // stays valid until the next call. A token longer than the buffer is returned as its first
  // kOverlongKept characters followed by "..." (the rest of it is skipped), so that it never
  // reads as a number.
  bool next(std::string_view* token);
  static constexpr size_t kOverlongKept = 64;

  // next() for block reads: a token lying whole in the buffer is found sixteen characters at
  // a time where the processor allows it; anything else goes to next().
  bool nextQuick(std::string_view* token);

  // For conversions in place: skips the blanks before the next token and returns the buffer
  // from there to its end (empty when the buffer runs out first; nothing is read), and passes
  // the first length characters of it as one token.
  std::string_view rest() {
    while (position_ < end_ && isBlankCharacter(buffer_[position_])) ++position_;
    return std::string_view(buffer_.data() + position_, end_ - position_);
  }
  void pass(size_t length) {
    position_ += length;
    ++tokens_;
  }

  static bool isBlankCharacter(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

  // Next token that begins with a letter, skipping every other token quickly.
  bool nextWord(std::string_view* token);

  // Number of tokens passed so far by next(), nextQuick() and nextWord() (comments excluded),
  // and a return to an earlier offset with the token count it had there.
  int64_t tokens() const { return tokens_; }
  void rewind(int64_t offset, int64_t tokens) {
    seek(offset);
    tokens_ = tokens;
  }

  // Rest of the current line (without the line break), at most max characters kept.
  void restOfLine(char* out, int max);

  // File offset of the next unread character, and repositioning to an offset.
  int64_t offset() const { return bufferStart_ + static_cast<int64_t>(position_); }
  void seek(int64_t offset);

  bool failed() const { return failed_; }

 private:
  bool refill();  // keeps the unread tail, appends more of the file; false at end of file
  bool skipBlanksAndComments();
  void skipLine();

  int descriptor_;
  int64_t fileSize_;
  std::vector<char> buffer_;
  std::string overlong_;  // the kept start of a token longer than the buffer
  size_t position_ = 0;
  size_t end_ = 0;
  int64_t bufferStart_ = 0;  // file offset of buffer_[0]
  int64_t tokens_ = 0;
  bool failed_ = false;
};

// The decimal integer (an optional "-", then digits) that starts at first, as std::from_chars
// reads it: returns where it ends, or null when none starts there or it is beyond 64 bits.
// Most values of a mesh file are such integers; this is the short path for them.
const char* parseDecimal(const char* first, const char* last, int64_t* value);

// Whole-token conversions (C locale, "." decimal point, an optional leading "+"): true when
// the entire token is a number that fits.
bool parseInteger(std::string_view token, int64_t* value);
bool parseReal(std::string_view token, double* value);
bool parseReal(std::string_view token, float* value);

}  // namespace zel
