// The display's one way of writing messages on the terminal: formatted text to standard output,
// flushed at once so that it interleaves in order with what the mesh library prints.
#pragma once

namespace zel {

// printf-style; the message carries its own "\n".
void printMessage(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace zel
