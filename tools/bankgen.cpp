// Build tool: makes the distributed language banks ("groups.x", "temps.x",
// "sr.x", "morvash.x") from the source texts in data/, under a fixed seed so
// that every build produces the same files.
#include <filesystem>
#include <iostream>

#include "engine/random_source.h"
#include "learning/mind_builder.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: vesko_bankgen SOURCE_DIR OUTPUT_DIR\n";
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path output = argv[2];
  std::error_code error;
  fs::create_directories(output, error);
  vesko::SeededRandom random(4100);
  const vesko::Str source = (fs::path(argv[1]) / "").string();
  const vesko::Str target = (output / "").string();
  const vesko::Status status = vesko::buildLanguageBanks(source, target, random);
  if (!status) {
    std::cerr << "vesko_bankgen: " << status.message() << '\n';
    return 1;
  }
  for (const char* bank : {"groups", "temps", "sr", "morvash"}) {
    fs::rename(output / (std::string(bank) + ".mbk"), output / (std::string(bank) + ".x"), error);
    if (error) {
      std::cerr << "vesko_bankgen: cannot name " << bank << ".x: " << error.message() << '\n';
      return 1;
    }
  }
  fs::remove(output / "version.mbk", error);
  return 0;
}
