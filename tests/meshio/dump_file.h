// Test helper: the .dump.txt files written beside the test data by an independent reader.
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct DumpKeyword {
  std::string name;
  int code = 0;
  std::map<std::string, std::string> values;  // "lines", "first", "fnv1a64", ...
  bool has(const std::string& key) const { return values.count(key) != 0; }
  const std::string& at(const std::string& key) const { return values.at(key); }
};

struct Dump {
  std::vector<DumpKeyword> keywords;
  std::string status;  // "OK", "WARNING: ...", "ERROR: ..."
  bool error() const { return status.rfind("ERROR", 0) == 0; }
};

// Parses FILE.dump.txt; an unreadable dump gives an empty status.
inline Dump readDump(const std::string& path) {
  Dump dump;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("keyword ", 0) == 0) {
      DumpKeyword keyword;
      std::istringstream words(line.substr(8));
      words >> keyword.name >> keyword.code;
      dump.keywords.push_back(keyword);
    } else if (line.rfind("  ", 0) == 0 && !dump.keywords.empty()) {
      // "  key: value" or "  ints: I reals: R" / "  real_min: A real_max: B" pairs.
      std::istringstream words(line);
      std::string key, value, rest;
      words >> key;
      std::getline(words, rest);
      key.pop_back();
      rest.erase(0, rest.find_first_not_of(' '));
      size_t split = rest.find(": ");
      if ((key == "ints" || key == "real_min" || key == "int_min") && split != std::string::npos) {
        size_t space = rest.rfind(' ', split);
        dump.keywords.back().values[key] = rest.substr(0, space);
        dump.keywords.back().values[rest.substr(space + 1, split - space - 1)] =
            rest.substr(split + 2);
      } else {
        dump.keywords.back().values[key] = rest;
      }
    } else if (line.rfind("status: ", 0) == 0) {
      dump.status = line.substr(8);
    }
  }
  return dump;
}
