#include <iostream>

int main() {
  std::cout << "vesko\n";
  return 0;
}
