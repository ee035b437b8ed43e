// The status-buffer convention of the zel_ interface and the exit for broken invariants.
#pragma once

#include <cstdio>

// Every zel_ call that can fail takes a caller-owned status buffer of ZEL_STATUS_SIZE
// characters as its last argument. A failing call formats one message into the first
// ZEL_STATUS_HALF characters (longer text is cut) and returns ZEL_FAILURE; success returns
// ZEL_SUCCESS and leaves the buffer alone. The second half may echo an argument back.
constexpr int ZEL_STATUS_SIZE = 1024;
constexpr int ZEL_STATUS_HALF = 512;
constexpr int ZEL_SUCCESS = 0;
constexpr int ZEL_FAILURE = 2;

namespace zel {

// Formats the message into status[0..511] and returns ZEL_FAILURE. A null status writes
// nothing (and still returns ZEL_FAILURE).
int setStatus(char* status, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Copies text (cut to 511 characters) into the second half, status[512..1023]; a null
// status or text does nothing.
void echoStatus(char* status, const char* text);

// A broken invariant: writes the formatted message to stream (stdout or stderr), flushes
// both streams and ends the process with exit status 1.
[[noreturn]] void fatalExit(std::FILE* stream, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

}  // namespace zel
