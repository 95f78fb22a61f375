// The long date of a date serial in a Windows date picture.
#include "toolkit/DateFormat.h"

#include <gtest/gtest.h>

namespace {

using tw::toolkit::FormatDatePicture;

struct DateCase {
    double serial;
    const char16_t* picture;
    const char16_t* expected;
};

class DatePicture : public ::testing::TestWithParam<DateCase> {};

TEST_P(DatePicture, FormatsTheDatePartOnly) {
    EXPECT_EQ(FormatDatePicture(GetParam().serial, GetParam().picture), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, DatePicture,
    // The picture of the scenarios: user/counters-and-dates.json. 14 November
    // 2023 22:13:20 UTC: the time of day is dropped.
    ::testing::Values(DateCase{45244.925925, u"dd.MM.yyyy", u"14.11.2023"},
                      DateCase{45244.925925, u"ddd d MMM yy", u"Tue 14 Nov 23"},
                      DateCase{45244, u"d 'de' MMMM 'de' yyyy", u"14 de November de 2023"},
                      DateCase{45244, u"'It''s' yyyy", u"It's 2023"},
                      DateCase{25569 - 1.0 / 86400, u"d MMMM yyyy", u"31 December 1969"},
                      // Negative serials keep their whole part as the day.
                      DateCase{-1.25, u"d MMMM yyyy", u"29 December 1899"},
                      DateCase{0, u"dddd d MMMM yyyy", u"Saturday 30 December 1899"},
                      DateCase{60, u"d/M/yyyy", u"28/2/1900"},
                      DateCase{61, u"d/M/yyyy", u"1/3/1900"}));

} // namespace
