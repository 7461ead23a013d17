// The program's name and version as the shell shows them.
#pragma once

namespace vesko {

inline constexpr const char* kProgramTitle = "Vesko 4.1";
const char* versionText();

}  // namespace vesko
