// The shader programs of the suite and the resource files each is built from.
#pragma once

struct ZelShaderProgramSources {
  const char* name;  // program name, e.g. "P2TriSha"
  const char* vs;    // resource paths under ":/glsl/"; null: no such stage
  const char* fs;
  const char* gs;
  const char* tcs;
  const char* tes;
};

// All programs of the suite, in a fixed order; `count` receives their number.
const ZelShaderProgramSources* zelShaderPrograms(int& count);
// The program of that name, or null.
const ZelShaderProgramSources* zelShaderProgram(const char* name);
