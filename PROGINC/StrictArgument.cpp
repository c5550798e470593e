#include "PROGINC/StrictArgument.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "GNSS/Calendar.h"
#include "PROGINC/ParseArgument.h"
#include "funkcije/Numerics.h"

const char* const kStrictPositionForm =
    "POLOZAJ TOCKE NI ZAPISAN S TREMI STEVILI, LOCENIMI Z VEJICO";
const char* const kStrictLatitudeRange = "GEODETSKA SIRINA NI MED -90 IN 90 STOPINJ";
const char* const kStrictLongitudeRange = "GEODETSKA DOLZINA NI MED -180 IN 180 STOPINJ";
const char* const kStrictDmsField = "MINUTE ALI SEKUNDE KOTA NISO MANJSE OD 60";
const char* const kStrictDateForm = "EPOHA NI ZAPISANA KOT YYYY-MM-DD/hh:mm:ss.s";
const char* const kStrictYear = "LETO NI MED 1901 IN 2199";
const char* const kStrictMonth = "MESEC NI MED 1 IN 12";
const char* const kStrictDay = "DNEVA NI V MESECU";
const char* const kStrictHour = "URA NI MED 0 IN 23";
const char* const kStrictMinute = "MINUTA NI MED 0 IN 59";
const char* const kStrictSecond = "SEKUNDA NI MANJSA OD 60";
const char* const kStrictStepForm = "CASOVNI KORAK NI ZAPISAN KOT hh:mm:ss.s, hh:mm ALI hh";
const char* const kStrictStepSize = "CASOVNI KORAK JE MANJSI OD 1e-7 s";
const char* const kStrictStepTooLarge = "CASOVNI KORAK JE PREVELIK";
const char* const kStrictEpochOrder = "ZACETNA EPOHA JE ZA KONCNO EPOHO";

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// pi/2 and pi as the program knows them (double precision).
constexpr double kHalfPi = numerics::kPi / 2;
constexpr double kPi = numerics::kPi;

// One field of a position: its start and length within the value.
struct Field {
    const char* text;
    std::size_t n;
};

// The whole part and the digits after the point of a plain decimal field.
struct Decimal {
    unsigned long long whole = 0;  // saturated, enough to compare with 90 and 180
    std::string fraction;          // the digits after the point
};

Decimal Split(const Field& f) {
    Decimal d;
    std::size_t i = f.text[0] == '-' ? 1 : 0;
    for (; i < f.n && IsDigit(f.text[i]); ++i)
        if (d.whole < 1000000) d.whole = d.whole * 10 + static_cast<unsigned>(f.text[i] - '0');
    if (i < f.n && f.text[i] == '.') d.fraction.assign(f.text + i + 1, f.n - i - 1);
    return d;
}

bool AllZero(const std::string& digits) {
    return digits.find_first_not_of('0') == std::string::npos;
}

// |packed D.MMSS| <= limit degrees, read from the text (so that 90.0000001
// is refused although its double may round to 90).
bool PackedWithin(const Decimal& d, unsigned long long limit) {
    return d.whole < limit || (d.whole == limit && AllZero(d.fraction));
}

// Minutes (first two decimals) and seconds (next two) of a packed value
// below 60; missing digits are zeros (46.3 is 46 degrees 30 minutes).
bool PackedFieldsValid(const Decimal& d) {
    std::string f = d.fraction;
    if (f.size() < 4) f.append(4 - f.size(), '0');
    const int minutes = (f[0] - '0') * 10 + (f[1] - '0');
    const int seconds = (f[2] - '0') * 10 + (f[3] - '0');
    return minutes < 60 && seconds < 60;
}

double Number(const Field& f) {
    char text[kMaxNumberField + 1];
    std::memcpy(text, f.text, f.n);
    text[f.n] = '\0';
    return std::atof(text);
}

// Skips a run of digits at p; false when there is none.  fits is cleared
// when the run's value exceeds the range of int (leading zeros do not count).
bool WholeField(const char*& p, bool& fits) {
    if (!IsDigit(*p)) return false;
    long long value = 0;
    for (; IsDigit(*p); ++p)
        if (value <= INT_MAX) value = value * 10 + (*p - '0');
    if (value > INT_MAX) fits = false;
    return true;
}

int TwoDigits(const char* p) {
    return (p[0] - '0') * 10 + (p[1] - '0');
}

}  // namespace

bool IsPlainDecimal(const char* text, std::size_t n) {
    std::size_t i = 0;
    if (i < n && text[i] == '-') ++i;
    std::size_t digits = 0, points = 0;
    for (; i < n; ++i) {
        if (IsDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && points == 0) {
            ++points;
        } else {
            return false;
        }
    }
    return digits > 0;
}

const char* StrictPosition(const char* value, char notation) {
    Field f[3];
    const char* p = value;
    for (int k = 0; k < 3; ++k) {
        const char* end = std::strchr(p, ',');
        if (k < 2 && !end) return kStrictPositionForm;
        if (k == 2) end = p + std::strlen(p);
        f[k] = {p, static_cast<std::size_t>(end - p)};
        if (f[k].n > static_cast<std::size_t>(kMaxNumberField) ||
            !IsPlainDecimal(f[k].text, f[k].n))
            return kStrictPositionForm;
        p = end + 1;
    }
    switch (notation) {
        case 'd': {
            const Decimal lat = Split(f[0]), lon = Split(f[1]);
            if (!PackedFieldsValid(lat) || !PackedFieldsValid(lon)) return kStrictDmsField;
            if (!PackedWithin(lat, 90)) return kStrictLatitudeRange;
            if (!PackedWithin(lon, 180)) return kStrictLongitudeRange;
            break;
        }
        case 'c':
            if (!(std::abs(Number(f[0])) <= 90.0)) return kStrictLatitudeRange;
            if (!(std::abs(Number(f[1])) <= 180.0)) return kStrictLongitudeRange;
            break;
        case 'r':
            if (!(std::abs(Number(f[0])) <= kHalfPi)) return kStrictLatitudeRange;
            if (!(std::abs(Number(f[1])) <= kPi)) return kStrictLongitudeRange;
            break;
        default:
            break;
    }
    return nullptr;
}

const char* StrictDate(const char* value, double* second) {
    // Digit (D) and separator positions of YYYY-MM-DD/hh:mm:ss.
    static const char kPattern[] = "DDDD-DD-DD/DD:DD:DD";
    const std::size_t n = std::strlen(value);
    const std::size_t fixed = sizeof kPattern - 1;
    if (n < fixed) return kStrictDateForm;
    for (std::size_t i = 0; i < fixed; ++i) {
        if (kPattern[i] == 'D' ? !IsDigit(value[i]) : value[i] != kPattern[i])
            return kStrictDateForm;
    }
    if (n > fixed) {
        if (value[fixed] != '.' || n == fixed + 1) return kStrictDateForm;
        for (std::size_t i = fixed + 1; i < n; ++i)
            if (!IsDigit(value[i])) return kStrictDateForm;
    }
    const int year = TwoDigits(value) * 100 + TwoDigits(value + 2);
    const int month = TwoDigits(value + 5), day = TwoDigits(value + 8);
    if (year < 1901 || year > 2199) return kStrictYear;
    if (month < 1 || month > 12) return kStrictMonth;
    if (day < 1 || day > calendar::MonthLength(year, month)) return kStrictDay;
    if (TwoDigits(value + 11) > 23) return kStrictHour;
    if (TwoDigits(value + 14) > 59) return kStrictMinute;
    const double s = std::atof(value + 17);
    if (!(s < 60.0)) return kStrictSecond;
    if (second) *second = s;
    return nullptr;
}

const char* StrictStep(const char* value) {
    const char* p = value;
    // The hours and the minutes are read as ints; the seconds, read as an
    // extended value, may have any number of digits.
    bool fits = true, secondsFit = true;
    if (!WholeField(p, fits)) return kStrictStepForm;
    for (int k = 0; k < 2 && *p == ':'; ++k) {
        ++p;
        if (!WholeField(p, k == 0 ? fits : secondsFit)) return kStrictStepForm;
        if (k == 1 && *p == '.') {
            ++p;
            if (!IsDigit(*p)) return kStrictStepForm;
            while (IsDigit(*p)) ++p;
        }
    }
    if (*p != '\0') return kStrictStepForm;
    if (!fits) return kStrictStepTooLarge;
    if (std::strlen(value) > static_cast<std::size_t>(kMaxHMSValue)) return kStrictStepForm;
    if (!(ParseHMS(value, 0) >= 1e-7)) return kStrictStepSize;
    return nullptr;
}
