#include "app/file_io.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "storage/replacing_file.h"

namespace vesko::app {

bool writeFileAtomically(const std::string& path, std::string_view content) {
  ReplacingFile file{Str(path)};
  file.out().write(content.data(), static_cast<std::streamsize>(content.size()));
  return file.commit(ReplacingFile::Durability::kSynced).isOk();
}

bool writeNewFile(const std::string& path, std::string_view content) {
  // The file appears under its name only once complete: a program killed
  // halfway must not leave a file cut short, which every later start would
  // take as present and never write again. Anything standing at the name, a
  // link included, is left alone.
  ReplacingFile file{Str(path)};
  file.out().write(content.data(), static_cast<std::streamsize>(content.size()));
  bool taken = false;
  return file.commitIfAbsent(taken).isOk();
}

std::optional<std::string> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return content.str();
}

}  // namespace vesko::app
