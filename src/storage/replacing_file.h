// ReplacingFile: writes one file whole. The content goes to a new file of a
// unique name beside the target, created exclusively so that a link planted
// anywhere is never followed, and is renamed over the target on commit. A
// reader or a crash sees the old file or the new one, never a mix, and a link
// standing at the target is replaced, never written through.
//
// This is the one place where the engine calls the operating system directly:
// the standard library can neither refuse to follow a link nor sync a file.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/status.h"
#include "text/str.h"

namespace vesko {

class ReplacingFile {
 public:
  // Removes the files a process killed while writing left in `folder`
  // ("<target>.<process>-<n>.tmp") for each target name `ours` accepts.
  // REQUIRES: no other process writes those targets now (the caller holds
  // the lock that guards them).
  template <typename Ours>
  static void removeLeftovers(const Str& folder, Ours ours) {
    for (const std::string& name : leftoversIn(folder))
      if (ours(name.substr(0, name.rfind('.', name.rfind('.') - 1)))) removeLeftover(folder, name);
  }

  enum class Durability {
    kCached,  // the system writes the file back when it likes
    kSynced,  // the file, then its folder, reach the disk before commit returns
  };

  // Creates the temporary file; see isOpen().
  explicit ReplacingFile(const Str& target);
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  // Removes the temporary file unless it was committed.
  ~ReplacingFile();

  bool isOpen() const;
  // Where the content goes. Writes after a failure are dropped; commit reports it.
  std::ostream& out();

  // Puts the file in place of the target. On failure the target is as it was,
  // the temporary file is gone and the status says why.
  Status commit(Durability durability = Durability::kCached);
  // Puts the file at the target only when nothing (not even a link) stands
  // there; the status tells a taken name apart (`taken`).
  Status commitIfAbsent(bool& taken);

  // Why the file could not be opened or written, in the system's words.
  std::string reason() const;
  const Str& target() const { return target_; }

 private:
  static std::vector<std::string> leftoversIn(const Str& folder);
  static void removeLeftover(const Str& folder, const std::string& name);

  class Buffer;
  Status finishWriting(bool sync);
  void discard();

  Str target_;
  std::string temporary_;
  int fd_ = -1;
  int error_ = 0;  // the first errno met
  std::unique_ptr<Buffer> buffer_;
  std::unique_ptr<std::ostream> stream_;
};

}  // namespace vesko
