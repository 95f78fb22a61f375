// Formats the date part of a date serial (days since 30 December 1899) with a
// Windows date picture such as "dddd, MMMM d, yyyy", using English names.
#pragma once

#include <string>
#include <string_view>

namespace tw::toolkit {

struct CivilDate {
    int year;
    int month; // 1..12
    int day;   // 1..31
    int weekday; // 0 = Sunday
};

CivilDate DateFromSerial(double serial);
std::u16string FormatDatePicture(double serial, std::u16string_view picture);

} // namespace tw::toolkit
