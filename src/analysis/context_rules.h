// Context rules: the scripted conversation of a mind. RuleBankCache keeps each
// context bank parsed in memory and re-reads it when the file changes on disk.
#pragma once

namespace vesko {

class RuleBankCache {};

}  // namespace vesko
