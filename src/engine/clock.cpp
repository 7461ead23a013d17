#include "engine/clock.h"

#include <ctime>

namespace vesko {

std::int64_t SystemClock::secondsSinceEpoch() const { return static_cast<std::int64_t>(std::time(nullptr)); }

LocalTime SystemClock::localNow() const {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return LocalTime{parts.tm_year + 1900, parts.tm_mon, parts.tm_mday, parts.tm_wday,
                   parts.tm_hour,        parts.tm_min, parts.tm_sec};
}

std::shared_ptr<const Clock> systemClock() {
  static const auto clock = std::make_shared<const SystemClock>();
  return clock;
}

}  // namespace vesko
