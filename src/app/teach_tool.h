// vesko teach: teaches a mind one or more plain-text files, as the window's
// Teach command does, then saves the mind.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/session.h"

namespace vesko::app {

// Teaches `files` in order to the mind --mind names (else the default mind)
// and saves it. With `progress` a bar is drawn on `err` while teaching. Every
// file is checked first: when one cannot be read nothing is taught.
int runTeach(const GlobalOptions& options, const std::vector<std::string>& files, bool progress, std::ostream& out,
             std::ostream& err);

}  // namespace vesko::app
