// C streams over test text: a temporary file holding a string, and the text a stream received.
#pragma once

#include <cstdio>
#include <string>

// A temporary file holding `text`, rewound for reading; the caller closes it.
inline std::FILE* streamOf(const std::string& text) {
  std::FILE* stream = std::tmpfile();
  std::fputs(text.c_str(), stream);
  std::rewind(stream);
  return stream;
}

// Everything written to `stream` so far (the stream is rewound).
inline std::string textOf(std::FILE* stream) {
  std::rewind(stream);
  std::string text;
  for (int c; (c = std::fgetc(stream)) != EOF;) text.push_back(char(c));
  return text;
}
