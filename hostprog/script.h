#pragma once
// The host program's script: one command a line, words separated by blanks,
// a double-quoted word may hold blanks and \" ; blank lines and lines
// starting with # are skipped.

#include <functional>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace frambolist::hostprog {

// A script that cannot go on: an unknown command or a name that does not
// exist. The run ends with status 2.
struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ScriptLine {
  int number = 0;
  std::vector<std::string> words;
};

// Splits one line into words; throws ScriptError for an unterminated quote.
std::vector<std::string> SplitWords(const std::string& line);

class ScriptReader {
 public:
  // Gives the next raw line; false at the end of the input.
  using LineSource = std::function<bool(std::string& line)>;

  // `prompt` is shown before each line (for a terminal), empty for none.
  ScriptReader(std::istream& in, std::string prompt);
  ScriptReader(LineSource source, std::string prompt)
      : source_(std::move(source)), prompt_(std::move(prompt)) {}
  // The next command line, or none at the end of the script.
  std::optional<ScriptLine> Next();
  int line_number() const { return line_number_; }
  // A person types the lines (a prompt is shown): a mistyped line is
  // reported and the prompt comes back, as in a shell.
  bool interactive() const { return !prompt_.empty(); }

 private:
  LineSource source_;
  std::string prompt_;
  int line_number_ = 0;
};

}  // namespace frambolist::hostprog
