// The status-buffer convention of the zel_ interface and the exit for broken invariants.
#pragma once

#include <cstdio>

namespace zel {

// Every zel_ call that can fail takes a caller-owned status buffer of kStatusSize characters
// as its last argument. A failing call formats one message into the first kStatusHalf
// characters (longer text is cut) and returns kFailure; success returns kSuccess and leaves
// the buffer alone. The second half may echo an argument back.
constexpr int kStatusSize = 1024;
constexpr int kStatusHalf = 512;
constexpr int kSuccess = 0;
constexpr int kFailure = 2;

// Formats the message into status[0..511] and returns kFailure. A null status writes
// nothing (and still returns kFailure).
int setStatus(char* status, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Copies text (cut to 511 characters) into the second half, status[512..1023]; a null
// status or text does nothing.
void echoStatus(char* status, const char* text);

// Prints a report or warning, printf-style, on standard output; the format carries its own
// line ends. Every message of the mesh libraries that is not a status text goes through here.
void printMessage(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The same on the error stream, for the few messages that belong there.
void printError(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A broken invariant: writes the formatted message to stream (stdout or stderr), flushes
// both streams and ends the process with exit status 1.
[[noreturn]] void fatalExit(std::FILE* stream, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

}  // namespace zel
