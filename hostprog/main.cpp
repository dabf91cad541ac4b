// frambolist-sim: a simulated PowerPoint, Excel or Word that loads the add-in
// as the host does, driven by a script (a file named on the command line, or
// standard input).

#include <fstream>
#include <iostream>

#include <unistd.h>

#include "hostprog/command_line.h"
#include "hostprog/session.h"

int main(int argc, char** argv) {
  using namespace frambolist::hostprog;
  std::ifstream file;
  std::istream* in = OpenScript(argc, argv, file);
  if (!in) return 2;
  ScriptReader script(*in, argc == 1 && isatty(0) ? "> " : "");
  Session session(std::cout, [](frambolist::platform::Platform& p) { return MakeNativeLoader(p); });
  return session.Run(script, std::cerr);
}
