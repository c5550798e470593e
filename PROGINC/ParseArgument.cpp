#include "PROGINC/ParseArgument.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "PROGINC/cstringf.h"
#include "funkcije/KotnePretvorbe.h"

namespace {

bool IsNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '-';
}

// Index as a non-negative position; a negative start reads from the beginning.
std::size_t Start(int pos) {
    return pos < 0 ? 0 : static_cast<std::size_t>(pos);
}

// Reads the number run at index i of a (length len) and moves i past the run
// and one separator.  A field at or beyond the end of the text reads as 0.
long double ReadNumberField(const char* a, std::size_t len, std::size_t& i) {
    if (i >= len) {
        i = len + 1;
        return 0;
    }
    std::size_t run = 0;
    while (i + run < len && IsNumberChar(a[i + run])) ++run;
    char field[kMaxNumberField + 1];
    const std::size_t n = run < kMaxNumberField ? run : kMaxNumberField;
    substr(a, static_cast<int>(i), static_cast<int>(n), field);
    i += run + 1;
    return std::atof(field);
}

void ReadThreeFields(const char* argi, int pos, long double v[3]) {
    const std::size_t len = argi ? std::strlen(argi) : 0;
    std::size_t i = Start(pos);
    for (int k = 0; k < 3; ++k) v[k] = argi ? ReadNumberField(argi, len, i) : 0;
}

// Copy of at most count characters of a from index start (empty beyond the end).
void Field(const char* a, std::size_t len, std::size_t start, int count, char* out) {
    if (start >= len) {
        out[0] = '\0';
        return;
    }
    substr(a, static_cast<int>(start), count, out);
}

unsigned short IntField(const char* a, std::size_t len, std::size_t start, int count) {
    char f[kMaxDateField + 1];
    Field(a, len, start, count, f);
    // Fields of at most kMaxDateField characters: atoi stays within int.
    return static_cast<unsigned short>(std::atoi(f));
}

// Year, month and day at positions 0-3, 5-6 and 8-9 from s, each set through
// its validating setter in that order (so the day is tested against the final
// month and year).
void ReadDateFields(const char* a, std::size_t len, std::size_t s, ymdhms& dat) {
    dat.SetYear(IntField(a, len, s + 0, 4));
    dat.SetMonth(IntField(a, len, s + 5, 2));
    dat.SetDay(IntField(a, len, s + 8, 2));
}

// One integer of the pattern "%d": optional white space, sign and digits.
// Returns false (value untouched) when no digit follows.  A number beyond the
// range of int is read as the C library reads it: held at the limits of long,
// then cut to its low 32 bits (two's complement), so 4294967297 reads as 1;
// fits is cleared then.
bool ScanInt(const char*& p, int& value, bool& fits) {
    char* end = nullptr;
    const long v = std::strtol(p, &end, 10);
    if (end == p) return false;
    if (v < INT_MIN || v > INT_MAX) fits = false;
    value = static_cast<int>(static_cast<std::uint32_t>(static_cast<unsigned long>(v)));
    p = end;
    return true;
}

}  // namespace

void ParseXYZ(const char* argi, xyz& X0, int pos) {
    long double v[3];
    ReadThreeFields(argi, pos, v);
    X0.Set(v[0], v[1], v[2]);
}

void ParseNEU(const char* argi, neu& X0, int pos) {
    long double v[3];
    ReadThreeFields(argi, pos, v);
    X0.Set(v[0], v[1], v[2]);
}

void ParseFLH(const char* argi, flh& X0, int pos) {
    long double v[3];
    ReadThreeFields(argi, pos, v);
    long double fi = v[0], la = v[1];
    switch (flhns::Unit) {
        case flhns::RAD:
            break;
        case flhns::DEG:
            fi = deg2rad(fi);
            la = deg2rad(la);
            break;
        case flhns::GON:
            fi = gon2rad(fi);
            la = gon2rad(la);
            break;
        case flhns::DMS:
            fi = dms2rad(fi);
            la = dms2rad(la);
            break;
        default:
            return;
    }
    X0.Set(fi, la, v[2]);
}

void ParseDate(const char* argi, ymdhms& dat, int npos) {
    const std::size_t len = argi ? std::strlen(argi) : 0;
    const std::size_t s = Start(npos);
    ReadDateFields(argi, len, s, dat);
    dat.SetHour(IntField(argi, len, s + 11, 2));
    dat.SetMinute(IntField(argi, len, s + 14, 2));
    char sec[kMaxDateField + 1];
    Field(argi, len, s + 17, kMaxDateField, sec);
    dat.SetSecond(std::atof(sec));
}

void ParseYMD(const char* argi, ymdhms& dat, int npos) {
    const std::size_t len = argi ? std::strlen(argi) : 0;
    ReadDateFields(argi, len, Start(npos), dat);
    dat.SetHour(0);
    dat.SetMinute(0);
    dat.SetSecond(0);
}

long double ParseHMS(const char* argi, int npos) {
    bool fieldsFit = true;
    return ParseHMS(argi, npos, fieldsFit);
}

long double ParseHMS(const char* argi, int npos, bool& fieldsFit) {
    char value[kMaxHMSValue + 1];
    const std::size_t len = argi ? std::strlen(argi) : 0;
    Field(argi, len, Start(npos), kMaxHMSValue, value);
    int h = 0, m = 0;
    long double s = 0;
    const char* p = value;
    fieldsFit = true;
    if (ScanInt(p, h, fieldsFit) && *p == ':') {
        ++p;
        if (ScanInt(p, m, fieldsFit) && *p == ':') {
            ++p;
            // The seconds follow the rules of "%Lf" exactly (a prefix such as
            // "1e" is no number and leaves them 0).
            std::sscanf(p, "%Lf", &s);
        }
    }
    return (static_cast<double>(h) * 3600 + 60 * static_cast<double>(m)) + s;
}
