#include "hostprog/script.h"

#include <iostream>

namespace frambolist::hostprog {

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  auto blank = [&](size_t at) { return line[at] == ' ' || line[at] == '\t' || line[at] == '\r'; };
  while (i < line.size()) {
    if (blank(i)) {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
          word += line[i + 1];
          i += 2;
        } else if (line[i] == '"') {
          closed = true;
          ++i;
          break;
        } else {
          word += line[i++];
        }
      }
      if (!closed) throw ScriptError("unterminated quoted word");
    } else {
      while (i < line.size() && !blank(i)) word += line[i++];
    }
    words.push_back(std::move(word));
  }
  return words;
}

ScriptReader::ScriptReader(std::istream& in, std::string prompt)
    : ScriptReader([&in](std::string& line) { return static_cast<bool>(std::getline(in, line)); },
                   std::move(prompt)) {}

std::optional<ScriptLine> ScriptReader::Next() {
  std::string line;
  while (true) {
    if (!prompt_.empty()) std::cout << prompt_ << std::flush;
    if (!source_(line)) return std::nullopt;
    ++line_number_;
    // Editors on Windows start a UTF-8 file with a byte-order mark.
    if (line_number_ == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    return ScriptLine{line_number_, SplitWords(line)};
  }
}

}  // namespace frambolist::hostprog
