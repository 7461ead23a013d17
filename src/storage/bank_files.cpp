#include "storage/bank_files.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "storage/bank_reader.h"
#include "storage/replacing_file.h"

namespace vesko {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeaderOpen = "[{[";
constexpr std::string_view kHeaderClose = "]}]";
constexpr std::string_view kBankExtension = ".mbk";
constexpr std::string_view kDefaultExtension = ".x";
// The longest file name the file systems we run on allow.
constexpr int kMaxMemberName = 255;

bool isHeader(const Str& line) { return line.startsWith(Str(kHeaderOpen)); }

// The name a header line announces: the line without its first and last three
// characters (the closing marks are not checked, so a hand-made header with
// other closing characters still names its member).
Str memberName(const Str& header) {
  const int length = header.length() - static_cast<int>(kHeaderOpen.size() + kHeaderClose.size());
  return length > 0 ? header.substr(static_cast<int>(kHeaderOpen.size()), length) : Str();
}

// A name unpacking may create in the working folder: "<stem>.mbk" with a
// non-empty stem, no folder part, no "..", no control characters.
bool isPlainBankName(const Str& name) {
  const std::string& s = name.std();
  if (s.size() <= kBankExtension.size() || !s.ends_with(kBankExtension)) return false;
  if (s.find("..") != std::string::npos) return false;
  return std::none_of(s.begin(), s.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return c == '/' || c == '\\' || u < 32 || u == 127;
  });
}

// A mind file named like a bank would be packed into itself or be taken for
// a default bank.
bool isRefusedMindName(const Str& mindFile) {
  const Str name = baseName(mindFile);
  return name.empty() || name.endsWith(Str(kBankExtension)) || name.endsWith(Str(kDefaultExtension));
}

Status refusedName(const Str& mindFile) {
  return Status::ioError(Str("\"") + mindFile + "\" cannot be a mind file: a mind file needs a name that does not end in \".mbk\" or \".x\"; choose a name ending in \".mnd\"");
}

// What the system says about the last failed file operation.
std::string lastReason() {
  const int err = errno;
  return err != 0 ? std::generic_category().message(err) : std::string("the system gave no reason");
}

bool matches(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// Copies the lines of a bank to a mind file, each ended by a line feed. The
// last line is kept even without a line end; a line that would read back as a
// member header cannot be stored and is dropped, so the mind stays loadable.
void copyMemberLines(std::istream& in, std::ostream& out) {
  Str line;
  while (true) {
    readLine(in, line);
    if (!line.empty() && !isHeader(line)) out << line << '\n';
    if (!in.good()) break;
  }
}

// One member of a mind file about to be written.
struct Member {
  Str file;    // the file the lines come from, without folder
  Str header;  // the name its header carries
};

// Writes `members` of `folder` into `mindFile` through a temporary file in the
// mind file's folder; `kept` says in messages which files are left in place.
// The new mind reaches the disk before it replaces the old one: the caller
// deletes the banks next, and a power cut must not leave a mind cut short.
Status writeMindFile(const Str& given, const Str& folder, const std::vector<Member>& members, const char* kept) {
  const Str advice = Str("; ") + kept + " stay in " + folder + " so nothing is lost; free space or choose another folder and save again";
  // A link is followed to the mind it leads to, which is what gets replaced.
  Str mindFile;
  if (const Status status = resolveMindFile(given, mindFile); !status.isOk())
    return Status::ioError(Str("cannot write the mind file ") + given + ": " + Str(status.message()) + advice);
  ReplacingFile file(mindFile);
  auto cannotWrite = [&] {
    return Status::ioError(Str("cannot write the mind file ") + mindFile + ": " + Str(file.reason()) + advice);
  };
  if (!file.isOpen()) return cannotWrite();
  std::ostream& out = file.out();
  for (const Member& member : members) {
    const Str path = folder + member.file;
    errno = 0;
    std::ifstream in(path.std(), std::ios::binary);
    if (!in.is_open()) {
      return Status::ioError(Str("cannot read the bank file ") + path + ": " + Str(lastReason()) + "; the mind file " +
                             mindFile + " was left as it was; check that file and save again");
    }
    out << kHeaderOpen << member.header << kHeaderClose << '\n';
    copyMemberLines(in, out);
    if (in.bad()) {
      return Status::ioError(Str("cannot read the bank file ") + path + "; the mind file " + mindFile +
                             " was left as it was; check that file and save again");
    }
    if (!out.good()) return cannotWrite();
  }
  if (!file.commit(ReplacingFile::Durability::kSynced).isOk()) return cannotWrite();
  return Status::ok();
}

void deleteFiles(const Str& folder, const std::vector<Member>& members) {
  // The mind file already holds every member; a file that will not go away is
  // only a stale copy, which the next unpack of this mind replaces.
  for (const Member& member : members) {
    std::error_code ignored;
    fs::remove(fs::path((folder + member.file).std()), ignored);
  }
}

void removeWritten(const Str& folder, StrList& written) {
  for (const Str& name : written) {
    std::error_code ignored;
    fs::remove(fs::path((folder + name).std()), ignored);
  }
  written.clear();
}

// Reads the whole mind file once and refuses it before anything is written:
// every member name must be a plain bank name, and a file with lines must
// have at least one header.
Status checkMindFile(const Str& mindFile) {
  BankReader reader(mindFile, baseName(mindFile));
  if (!reader.isOpen()) return Status::ioError(Str("cannot read the mind file ") + mindFile + ": " + Str(lastReason()));
  Str line;
  int firstLine = 0;
  bool sawHeader = false;
  bool more = true;
  while (more) {
    more = reader.next(line);
    if (line.empty()) continue;
    if (firstLine == 0) firstLine = reader.lineNumber();
    if (!isHeader(line)) continue;
    sawHeader = true;
    const Str name = memberName(line);
    if (!isPlainBankName(name))
      return reader.error(Str("the member name \"") + name.substr(0, 60) +
                          "\" is not a plain bank file name ending in \".mbk\"; the mind file was not unpacked");
    if (name.length() > kMaxMemberName)
      return reader.error(Str("the member name \"") + name.substr(0, 60) + "...\" is " + Str(name.length()) +
                          " characters long, longer than any file name can be (" + Str(kMaxMemberName) +
                          "); the mind file was not unpacked");
  }
  if (firstLine != 0 && !sawHeader)
    return Status::loadError(baseName(mindFile), firstLine,
                             "no member header \"[{[name]}]\" in the file; it is not a mind file and was not unpacked");
  return Status::ok();
}

}  // namespace

Status resolveMindFile(const Str& given, Str& resolved) {
  resolved = given;
  std::error_code ec;
  const fs::path path(given.std());
  if (fs::symlink_status(path, ec).type() == fs::file_type::symlink) {
    // A link that leads nowhere stays as it is: writing replaces the link
    // itself and never creates a file where the link points.
    const fs::path target = fs::canonical(path, ec);
    if (!ec) resolved = Str(target.string());
  }
  const fs::file_type type = fs::status(fs::path(resolved.std()), ec).type();
  if (type == fs::file_type::not_found || type == fs::file_type::regular) return Status::ok();
  return Status::ioError(Str(resolved) +
                         (type == fs::file_type::directory ? " is a folder" : " is not a regular file (a device or a FIFO)") +
                         ", and only a file of its own can be a mind");
}

Status unpackBanks(const Str& mindFile, const Str& folder, StrList* written) {
  if (isRefusedMindName(mindFile)) return refusedName(mindFile);
  std::error_code ec;
  const fs::file_status state = fs::status(fs::path(mindFile.std()), ec);
  if (state.type() == fs::file_type::not_found) return Status::ok();  // a new mind: the folder's banks are used
  if (state.type() == fs::file_type::directory)
    return Status::ioError(Str("cannot read the mind file ") + mindFile + ": it is a folder");
  // A device or a FIFO would never end (or block the read).
  if (state.type() != fs::file_type::regular)
    return Status::ioError(Str("cannot read the mind file ") + mindFile + ": it is not a regular file");

  Status status = checkMindFile(mindFile);
  if (!status.isOk()) return status;

  StrList wroteNow;
  std::ifstream in(mindFile.std(), std::ios::binary);
  std::unique_ptr<ReplacingFile> out;
  auto writeFailed = [&] {
    const Str path = out->target();
    const std::string reason = out->reason();
    out.reset();
    removeWritten(folder, wroteNow);
    return Status::ioError(Str("cannot write the bank file ") + path + ": " + Str(reason) +
                           "; the mind file was left as it was; free space in " + folder + " and load the mind again");
  };
  // Each member is written under a new name and put in place whole, so a
  // link planted in the folder under a bank's name is replaced, never followed.
  auto finishMember = [&]() -> bool {
    if (out == nullptr) return true;
    const bool landed = out->commit().isOk();
    if (landed) out.reset();
    return landed;
  };
  Str line;
  bool more = true;
  while (more) {
    readLine(in, line);
    more = in.good();
    if (line.empty()) continue;
    if (isHeader(line)) {
      if (!finishMember()) return writeFailed();
      const Str name = memberName(line);
      out = std::make_unique<ReplacingFile>(folder + name);
      // A repeated name replaces its file, so the last member of a name wins.
      if (std::find(wroteNow.begin(), wroteNow.end(), name) == wroteNow.end()) wroteNow.pushBack(name);
      if (!out->isOpen()) return writeFailed();
    } else if (out != nullptr) {
      // Lines before the first header belong to no member and are dropped.
      out->out() << line << '\n';
      if (!out->out().good()) return writeFailed();
    }
  }
  if (!finishMember()) return writeFailed();
  if (written != nullptr)
    for (const Str& name : wroteNow) written->pushBack(name);
  return Status::ok();
}

namespace {

// A bank's lines as packing would store them, each ended by a line feed.
std::string packedForm(std::istream& in) {
  std::ostringstream out;
  copyMemberLines(in, out);
  return out.str();
}

// The members of a mind file in their packed form, by name.
std::map<std::string, std::string> membersOf(const Str& mindFile) {
  std::map<std::string, std::string> members;
  std::ifstream in(mindFile.std(), std::ios::binary);
  std::string* current = nullptr;
  Str line;
  while (in.good()) {
    readLine(in, line);
    if (line.empty()) continue;
    if (isHeader(line)) {
      current = &members[memberName(line).std()];
      current->clear();
    } else if (current != nullptr) {
      *current += line.std() + '\n';
    }
  }
  return members;
}

}  // namespace

Status rescueChangedBanks(const Str& mindFile, const Str& folder, Str& rescuedTo) {
  rescuedTo = Str();
  StrList names;
  listFiles(folder + "*.mbk", names);
  if (names.empty()) return Status::ok();
  const auto members = membersOf(mindFile);
  bool changed = false;
  for (const Str& name : names) {
    std::ifstream in((folder + name).std(), std::ios::binary);
    // Only a bank the mind also holds would be overwritten by unpacking.
    const auto member = members.find(name.std());
    if (member != members.end() && packedForm(in) != member->second) {
      changed = true;
      break;
    }
  }
  if (!changed) return Status::ok();

  std::error_code ec;
  fs::path target;
  for (int n = 1;; ++n) {
    target = fs::path(folder.std()) / ("rescued-banks-" + std::to_string(n));
    if (!fs::exists(target, ec)) break;
  }
  fs::create_directories(target, ec);
  for (const Str& name : names) {
    if (!ec) fs::copy_file(fs::path((folder + name).std()), target / name.std(), ec);
  }
  if (ec)
    return Status::ioError(Str("cannot keep the banks left in ") + folder + " by an unfinished save: " + Str(ec.message()) +
                           "; the mind was not loaded so they are not overwritten; copy them elsewhere and try again");
  rescuedTo = Str((target / "").string());
  return Status::ok();
}

Status packBanks(const Str& mindFile, const Str& folder, const Str& pattern, bool deleteAfter) {
  if (isRefusedMindName(mindFile)) return refusedName(mindFile);
  StrList names;
  listFiles(folder + pattern, names);
  std::vector<Member> members;
  for (const Str& name : names)
    if (isPlainBankName(name)) members.push_back({name, name});  // other names would make the mind unloadable
  Status status = writeMindFile(mindFile, folder, members, "the mind's banks");
  if (status.isOk() && deleteAfter) deleteFiles(folder, members);
  return status;
}

Status packDefaults(const Str& mindFile, const Str& folder) {
  if (isRefusedMindName(mindFile)) return refusedName(mindFile);
  StrList names;
  listFiles(folder + "*" + Str(kDefaultExtension), names);
  std::vector<Member> members;
  for (const Str& name : names) {
    const Str header = name.substr(0, name.length() - static_cast<int>(kDefaultExtension.size())) + Str(kBankExtension);
    if (isPlainBankName(header)) members.push_back({name, header});
  }
  return writeMindFile(mindFile, folder, members, "the default banks");
}

void listFiles(const Str& pattern, StrList& list) {
  const std::string& full = pattern.std();
  const auto slash = full.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : full.substr(0, slash + 1);
  const std::string_view wildcard = slash == std::string::npos ? std::string_view(full) : std::string_view(full).substr(slash + 1);

  std::vector<Str> found;
  std::error_code ec;
  for (fs::directory_iterator it(fs::path(folder), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    const std::string name = it->path().filename().string();
    if (it->is_regular_file(typeError) && matches(wildcard, name)) found.emplace_back(name);
  }
  // Sorted so that packing the same folder always gives the same mind file.
  std::sort(found.begin(), found.end());
  for (const Str& name : found) list.pushBack(name);
}

}  // namespace vesko
