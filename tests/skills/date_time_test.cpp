#include "skills/date_time.h"

#include <gtest/gtest.h>

namespace vesko {
namespace {

LocalTime at(int year, int month, int day, int weekday, int hour = 12, int minute = 0) {
  return LocalTime{year, month, day, weekday, hour, minute, 0};
}

TEST(DateTime, WritesTheTimeOnTheTwelveHourClock) {
  const struct {
    int hour, minute;
    const char* text;
  } cases[] = {{22, 40, "10:40"}, {10, 40, "10:40"}, {0, 40, "0:40"}, {12, 0, "12:00"},
               {9, 5, "9:05"},    {13, 30, "1:30"},  {0, 7, "0:07"},  {23, 59, "11:59"}};
  for (const auto& c : cases) {
    const FixedClock clock(at(2024, 0, 1, 1, c.hour, c.minute));
    EXPECT_EQ(timeText(clock), Str(c.text)) << c.hour << ":" << c.minute;
  }
}

TEST(DateTime, NamesTodayInFull) {
  const FixedClock clock(at(2004, 0, 1, 4));  // Thursday, 1 January 2004
  EXPECT_EQ(weekdayName(clock), Str("Thursday"));
  EXPECT_EQ(monthName(clock), Str("January"));
  EXPECT_EQ(dayOfMonth(clock), Str("1"));
  EXPECT_EQ(yearText(clock), Str("2004"));
  EXPECT_EQ(weekdayNameOf(0), Str("Sunday"));
  EXPECT_EQ(weekdayNameOf(6), Str("Saturday"));
  EXPECT_EQ(monthNameOf(11), Str("December"));
}

TEST(DateTime, DescribesAStoredDateRelativeToToday) {
  const FixedClock clock(at(2004, 0, 25, 0));  // Sunday, 25 January 2004
  EXPECT_EQ(relativeDay(clock, "Sunday", "25", "January", "2004"), Str("today"));
  EXPECT_EQ(relativeDay(clock, "Saturday", "24", "January", "2004"), Str("yesterday"));
  EXPECT_EQ(relativeDay(clock, "Thursday", "22", "January", "2004"), Str("Thursday"));
  EXPECT_EQ(relativeDay(clock, "Monday", "19", "January", "2004"), Str("Monday"));  // six days earlier
  EXPECT_EQ(relativeDay(clock, "Tuesday", "27", "January", "2004"), Str("Tuesday"));  // later this month
  EXPECT_EQ(relativeDay(clock, "Saturday", "3", "January", "2004"), Str("Saturday the 3rd"));
  EXPECT_EQ(relativeDay(clock, "Sunday", "18", "January", "2004"), Str("Sunday the 18th"));  // seven days earlier
  EXPECT_EQ(relativeDay(clock, "Monday", "5", "December", "2004"), Str("Monday, December 5"));
  EXPECT_EQ(relativeDay(clock, "Monday", "5", "January", "2003"), Str("Monday, January 5, 2003"));
  // Yesterday only within one month.
  const FixedClock first(at(2004, 1, 1, 0));
  EXPECT_EQ(relativeDay(first, "Saturday", "31", "January", "2004"), Str("Saturday, January 31"));
  EXPECT_THROW(relativeDay(clock, "Monday", "5th", "January", "2004"), NotANumber);
}

TEST(DateTime, ChoosesTheOrdinalSuffix) {
  const FixedClock clock(at(2004, 0, 31, 6));
  const struct {
    const char* date;
    const char* suffix;
  } cases[] = {{"1", "st"},  {"2", "nd"},  {"3", "rd"},  {"4", "th"},  {"11", "th"}, {"12", "th"},
               {"13", "th"}, {"19", "th"}, {"20", "th"}, {"21", "st"}, {"22", "nd"}, {"23", "rd"}};
  for (const auto& c : cases)
    EXPECT_EQ(relativeDay(clock, "Day", c.date, "January", "2004"), Str("Day the ") + c.date + c.suffix) << c.date;
  const FixedClock thirtieth(at(2004, 0, 30, 5));
  EXPECT_EQ(relativeDay(thirtieth, "Sunday", "11", "January", "2004"), Str("Sunday the 11th"));
}

}  // namespace
}  // namespace vesko
