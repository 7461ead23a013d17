// vesko: the program's entry. Everything it does is decided in commands.cpp.
#include <iostream>
#include <string>
#include <vector>

#include "app/commands.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(true);
  const std::vector<std::string> args(argv, argv + argc);
  return vesko::app::runVesko(args, std::cout, std::cerr);
}
