#include "app/version.h"

namespace vesko {

const char* versionText() { return "vesko 4.1 (mind format generation 300)"; }

}  // namespace vesko
