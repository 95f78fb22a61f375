#include "DateFormat.h"

#include <cmath>

namespace tw::toolkit {

namespace {

const char16_t* const kDayNames[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                     u"Thursday", u"Friday", u"Saturday"};
const char16_t* const kMonthNames[] = {u"January", u"February", u"March",     u"April",
                                       u"May",     u"June",     u"July",      u"August",
                                       u"September", u"October", u"November", u"December"};

std::u16string Number(int value, int width) {
    std::u16string digits;
    unsigned v = static_cast<unsigned>(value < 0 ? -value : value);
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    while (static_cast<int>(digits.size()) < width)
        digits.insert(digits.begin(), u'0');
    if (value < 0)
        digits.insert(digits.begin(), u'-');
    return digits;
}

} // namespace

CivilDate DateFromSerial(double serial) {
    // Serial 0 is 30 December 1899. The fraction is the time of day, also for
    // negative serials, so the day is the whole part (-1.25 is 29 December 1899).
    const long long days = static_cast<long long>(std::trunc(serial));
    // Days since 1970-01-01.
    long long z = days - 25569;
    // Civil-from-days (Howard Hinnant).
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
    long long unixDays = days - 25569;
    int weekday = static_cast<int>(((unixDays % 7) + 7 + 4) % 7); // 1970-01-01 was a Thursday
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d), weekday};
}

std::u16string FormatDatePicture(double serial, std::u16string_view picture) {
    const CivilDate date = DateFromSerial(serial);
    std::u16string out;
    std::size_t i = 0;
    while (i < picture.size()) {
        const char16_t c = picture[i];
        if (c == u'\'') {
            // Quoted literal; '' inside quotes is one quote.
            ++i;
            while (i < picture.size()) {
                if (picture[i] == u'\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
                        out += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += picture[i++];
            }
            continue;
        }
        if (c != u'd' && c != u'M' && c != u'y') {
            out += c;
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        i += run;
        if (c == u'd') {
            if (run == 1)
                out += Number(date.day, 1);
            else if (run == 2)
                out += Number(date.day, 2);
            else if (run == 3)
                out += std::u16string(kDayNames[date.weekday]).substr(0, 3);
            else
                out += kDayNames[date.weekday];
        } else if (c == u'M') {
            if (run == 1)
                out += Number(date.month, 1);
            else if (run == 2)
                out += Number(date.month, 2);
            else if (run == 3)
                out += std::u16string(kMonthNames[date.month - 1]).substr(0, 3);
            else
                out += kMonthNames[date.month - 1];
        } else {
            if (run <= 2)
                out += Number(date.year % 100, 2);
            else
                out += Number(date.year, 1);
        }
    }
    return out;
}

} // namespace tw::toolkit
