// Dates and times in words: the current time, weekday, month, day and year,
// and the phrase for a stored date relative to today. Each reads the clock
// once; the LocalTime forms let a caller stamp several fields from one reading.
#pragma once

#include "engine/clock.h"
#include "text/str.h"

namespace vesko {

Str weekdayNameOf(int weekday);  // 0 = Sunday
Str monthNameOf(int month);      // 0 = January

Str timeText(const LocalTime& now);
Str weekdayName(const LocalTime& now);
Str monthName(const LocalTime& now);
Str dayOfMonth(const LocalTime& now);
Str yearText(const LocalTime& now);
// Throws NotANumber when `date` is not a number.
Str relativeDay(const LocalTime& now, const Str& day, const Str& date, const Str& month, const Str& year);

inline Str timeText(const Clock& clock) { return timeText(clock.localNow()); }
inline Str weekdayName(const Clock& clock) { return weekdayName(clock.localNow()); }
inline Str monthName(const Clock& clock) { return monthName(clock.localNow()); }
inline Str dayOfMonth(const Clock& clock) { return dayOfMonth(clock.localNow()); }
inline Str yearText(const Clock& clock) { return yearText(clock.localNow()); }
inline Str relativeDay(const Clock& clock, const Str& day, const Str& date, const Str& month, const Str& year) {
  return relativeDay(clock.localNow(), day, date, month, year);
}

}  // namespace vesko
