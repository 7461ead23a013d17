// Clock: the one place the engine reads the time. The Brain and everything it
// owns ask this interface, so tests and seeded runs can fix the moment.
#pragma once

#include <cstdint>
#include <memory>

namespace vesko {

// A broken-down local time.
struct LocalTime {
  int year = 1970;
  int month = 0;    // 0 = January
  int day = 1;      // day of the month, 1 to 31
  int weekday = 4;  // 0 = Sunday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t secondsSinceEpoch() const = 0;
  virtual LocalTime localNow() const = 0;
};

// The machine's clock in the local time zone.
class SystemClock final : public Clock {
 public:
  std::int64_t secondsSinceEpoch() const override;
  LocalTime localNow() const override;
};

// A clock that shows whatever a test sets.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(LocalTime now, std::int64_t seconds = 0) : now_(now), seconds_(seconds) {}
  std::int64_t secondsSinceEpoch() const override { return seconds_; }
  LocalTime localNow() const override { return now_; }
  void set(LocalTime now) { now_ = now; }

 private:
  LocalTime now_;
  std::int64_t seconds_;
};

std::shared_ptr<const Clock> systemClock();

}  // namespace vesko
