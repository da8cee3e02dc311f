// Writes the resource script of the Windows program to the file named by the
// first argument (standard output without one).
#include <fstream>
#include <iostream>

#include "frontends/win32/resources/resource_script.h"

int main(int argc, char** argv) {
  const std::string script = fp::resource_script();
  if (argc < 2) {
    std::cout << script;
    return std::cout ? 0 : 1;
  }
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  file << script;
  if (!file) {
    std::cerr << "cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
