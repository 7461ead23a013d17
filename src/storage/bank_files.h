// Mind files: a mind is one ".mnd" file that packs the bank files of a mind,
// each member introduced by a "[{[" name "]}]" header line. These routines
// split a mind file into its banks and join banks back into a mind file.
//
// Packing never leaves a half-written mind: the new content goes to a new
// file in the mind file's folder, reaches the disk and is renamed over the
// old one; member files are deleted only after that. Every file is written
// under a fresh name and renamed into place, so no planted link is followed. Unpacking checks the whole
// mind file before it writes anything. docs/mind_format.md has the grammar.
#pragma once

#include "engine/status.h"
#include "text/str.h"
#include "text/str_list.h"

namespace vesko {

// The file a mind path stands for: a link is followed to its final target
// (a link that leads nowhere stays as given, so writing replaces the link and
// creates nothing where it points). The target must be a regular file or
// nothing at all; a folder, a device or a FIFO is refused.
Status resolveMindFile(const Str& given, Str& resolved);

// Splits `mindFile` into bank files in `folder` (which ends with "/"),
// replacing files of the same names. A mind file that does not exist gives no
// files and no error. A mind file that cannot be read, is named like a bank
// (".mbk" or ".x"), holds a member whose name is not a plain "*.mbk" name, or
// holds lines but no member header, is refused and nothing is written.
// `written`, when given, receives the name of each file written, once each.
Status unpackBanks(const Str& mindFile, const Str& folder, StrList* written = nullptr);

// Bank files standing in `folder` before a mind is unpacked were left by a run
// whose save did not finish (a crash, a kill, a full disk) and may hold more
// than the mind file. When any of them differs from the mind's member of the
// same name (which unpacking would write over it), all of them are copied into a new folder "rescued-banks-N/" of
// `folder`, whose path goes to `rescuedTo`, so unpacking cannot overwrite the
// only copy of a conversation. Nothing is copied when they match the mind.
Status rescueChangedBanks(const Str& mindFile, const Str& folder, Str& rescuedTo);

// Replaces the content of `mindFile` by every file of `folder` whose name
// matches `pattern` (for example "*.mbk"), in name order. With `deleteAfter`
// the packed files are deleted once the new mind file stands. On failure the
// old mind file and every member file are left as they were.
Status packBanks(const Str& mindFile, const Str& folder, const Str& pattern, bool deleteAfter);

// Makes `mindFile` from the default banks ("*.x") of `folder`, each member
// named with ".x" replaced by ".mbk". The default banks stay in place.
Status packDefaults(const Str& mindFile, const Str& folder);

// Appends to `list` the name (without folder) of every regular file that
// matches `pattern`, a folder followed by a wildcard name ("*" and "?"), in
// byte order of the names. Nothing is appended when the folder cannot be read.
void listFiles(const Str& pattern, StrList& list);

}  // namespace vesko
