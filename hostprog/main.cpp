// frambolist-sim: a simulated PowerPoint, Excel or Word that loads the add-in
// as the host does, driven by a script (a file named on the command line, or
// standard input).

#include <fstream>
#include <iostream>

#include <unistd.h>

#include "hostprog/session.h"

int main(int argc, char** argv) {
  using namespace frambolist::hostprog;
  if (argc > 2) {
    std::cerr << "usage: frambolist-sim [SCRIPT]\n";
    return 2;
  }
  std::ifstream file;
  if (argc == 2) {
    file.open(argv[1]);
    if (!file) {
      std::cerr << "frambolist-sim: cannot read " << argv[1] << "\n";
      return 2;
    }
  }
  std::istream& in = argc == 2 ? static_cast<std::istream&>(file) : std::cin;
  ScriptReader script(in, argc == 1 && isatty(0) ? "> " : "");
  Session session(std::cout, [](frambolist::platform::Platform& p) { return MakeNativeLoader(p); });
  return session.Run(script, std::cerr);
}
