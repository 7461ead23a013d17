#include "skills/date_time.h"

#include <array>
#include <cstdio>

namespace vesko {

namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonths = {"January", "February", "March",     "April",   "May",      "June",
                                                 "July",    "August",   "September", "October", "November", "December"};

}  // namespace

Str weekdayNameOf(int weekday) { return weekday >= 0 && weekday < 7 ? Str(kWeekdays[static_cast<std::size_t>(weekday)]) : Str(); }

Str monthNameOf(int month) { return month >= 0 && month < 12 ? Str(kMonths[static_cast<std::size_t>(month)]) : Str(); }

Str timeText(const LocalTime& now) {
  const int hour = now.hour > 12 ? now.hour - 12 : now.hour;
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d", hour, now.minute);
  return Str(text);
}

Str weekdayName(const LocalTime& now) { return weekdayNameOf(now.weekday); }
Str monthName(const LocalTime& now) { return monthNameOf(now.month); }
Str dayOfMonth(const LocalTime& now) { return Str(static_cast<std::int32_t>(now.day)); }
Str yearText(const LocalTime& now) { return Str(static_cast<std::int32_t>(now.year)); }

Str relativeDay(const LocalTime& now, const Str& day, const Str& date, const Str& month, const Str& year) {
  if (year != yearText(now)) return day + ", " + month + " " + date + ", " + year;
  if (month != monthName(now)) return day + ", " + month + " " + date;
  // Day numbers compared in 64 bits: a damaged date cannot overflow here.
  const std::int64_t stored = date.toInt();
  const std::int64_t today = now.day;
  if (stored == today) return "today";
  if (stored + 1 == today) return "yesterday";
  if (today - stored > 6) {
    Str suffix = "th";
    if (stored < 4 || stored > 19) {
      const char last = date.empty() ? ' ' : date.charAt(date.length() - 1);
      if (last == '1') suffix = "st";
      else if (last == '2') suffix = "nd";
      else if (last == '3') suffix = "rd";
    }
    return day + " the " + date + suffix;
  }
  return day;
}

}  // namespace vesko
