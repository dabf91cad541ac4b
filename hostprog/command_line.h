#pragma once
// The host program's command line, the same natively and under Windows:
// `frambolist-sim [SCRIPT]`, reading standard input without a script.

#include <filesystem>
#include <fstream>
#include <iostream>

namespace frambolist::hostprog {

// The script's stream, or null after printing why (the run then ends with
// status 2). `file` holds the script file's stream while it is read.
inline std::istream* OpenScript(int argc, char** argv, std::ifstream& file) {
  if (argc > 2) {
    std::cerr << "usage: frambolist-sim [SCRIPT]\n";
    return nullptr;
  }
  if (argc == 1) return &std::cin;
  std::error_code error;
  if (std::filesystem::is_directory(argv[1], error)) {
    std::cerr << "frambolist-sim: " << argv[1] << " is a directory, not a script\n";
    return nullptr;
  }
  file.open(argv[1]);
  if (!file) {
    std::cerr << "frambolist-sim: cannot read " << argv[1] << "\n";
    return nullptr;
  }
  return &file;
}

}  // namespace frambolist::hostprog
