#include "PROGINC/cstringf.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

long Length(const char* s) {
    return s ? static_cast<long>(std::strlen(s)) : 0;
}

bool IsSpace(char ch) {
    return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

// Widths and decimals beyond this would ask printf for more text than any
// buffer of this library's callers holds, and negative ones would make an
// invalid or a left-justifying format.
const long long kMaxField = 512;

int Field(long long n) {
    if (n < 0) return 0;
    if (n > kMaxField) return static_cast<int>(kMaxField);
    return static_cast<int>(n);
}

// Prints mantissa M and exponent E in the layout of sciNotation.
char* PutSci(double mantissa, int exponent, int nn, int nd, int ne, char* snum) {
    if (snum == nullptr) return snum;
    // The mantissa field leaves room for the letter e and the exponent.
    const int digits = Field(ne);
    const int width = Field(static_cast<long long>(nn) - digits - 1);
    char format[64];
    std::snprintf(format, sizeof format, "%%%d.%dlfe%%+0%dd", width, Field(nd), digits);
    std::sprintf(snum, format, mantissa, exponent);
    return snum;
}

}  // namespace

void substr(const char* str1, int pos, int dol, char* str2) {
    if (str2 == nullptr) return;
    const long len = Length(str1);
    long n = 0;
    if (pos >= 0 && pos <= len && dol > 0) {
        n = len - pos < dol ? len - pos : dol;
        std::memmove(str2, str1 + pos, static_cast<std::size_t>(n));
    }
    str2[n] = '\0';
}

void substr(const char* str1, int pos, char* str2) {
    if (str2 == nullptr) return;
    const long len = Length(str1);
    if (pos < 0 || pos > len) {
        str2[0] = '\0';
        return;
    }
    std::memmove(str2, str1 + pos, static_cast<std::size_t>(len - pos + 1));
}

int indexLast(char* str, char c) {
    if (str == nullptr) return -1;
    for (long i = Length(str); i >= 0; --i) {
        if (str[i] == c) return static_cast<int>(i);
    }
    return -1;
}

void strcopy(char* str, char c, int nx) {
    strng(str, c, nx);
}

void strng(char* niz, char znak, long nznak) {
    if (niz == nullptr) return;
    const long n = nznak > 0 ? nznak : 0;
    std::memset(niz, znak, static_cast<std::size_t>(n));
    niz[n] = '\0';
}

void fillstr(char* cstr, long finlen, char c) {
    if (cstr == nullptr) return;
    const long len = Length(cstr);
    const long fin = finlen > 0 ? finlen : 0;
    if (len < fin) std::memset(cstr + len, c, static_cast<std::size_t>(fin - len));
    cstr[fin] = '\0';
}

void trimr(char* niz) {
    if (niz == nullptr) return;
    long len = Length(niz);
    while (len > 0 && niz[len - 1] == ' ') --len;
    niz[len] = '\0';
}

void triml(char* niz) {
    if (niz == nullptr) return;
    const long len = Length(niz);
    long lead = 0;
    while (niz[lead] == ' ') ++lead;
    if (lead > 0) std::memmove(niz, niz + lead, static_cast<std::size_t>(len - lead + 1));
}

void trim(char* niz) {
    trimr(niz);
    triml(niz);
}

int cwords(char* niz) {
    if (niz == nullptr) return 0;
    int words = 0;
    bool inWord = false;
    for (const char* p = niz; *p != '\0'; ++p) {
        if (IsSpace(*p)) {
            inWord = false;
        } else if (!inWord) {
            inWord = true;
            ++words;
        }
    }
    return words;
}

void gword(char* niz, long iw, char* wrd) {
    if (wrd == nullptr) return;
    wrd[0] = '\0';
    if (niz == nullptr || iw < 1) return;
    long word = 0;
    const char* p = niz;
    while (*p != '\0') {
        while (*p != '\0' && IsSpace(*p)) ++p;
        if (*p == '\0') break;
        const char* start = p;
        while (*p != '\0' && !IsSpace(*p)) ++p;
        if (++word == iw) {
            const std::size_t n = static_cast<std::size_t>(p - start);
            std::memmove(wrd, start, n);
            wrd[n] = '\0';
            return;
        }
    }
}

void creplace(char* niz, char orig, char rep) {
    creplace(niz, orig, rep, Length(niz));
}

void creplace(char* niz, char orig, char rep, long n) {
    if (niz == nullptr) return;
    // The length is taken first: a rep of '\0' shortens the text but the
    // characters after it are still the caller's.
    const long len = Length(niz);
    const long limit = n < len ? n : len;
    for (long i = 0; i < limit; ++i) {
        if (niz[i] == orig) niz[i] = rep;
    }
}

void sreplace(char* nizOrig, char* ssOrig, char* ssRep) {
    if (nizOrig == nullptr || ssOrig == nullptr || ssRep == nullptr) return;
    const long n = Length(ssOrig);
    // An empty search text would match everywhere and a text replaced by
    // itself would be found again at once: both would never end.
    if (n == 0 || n != Length(ssRep) || std::strcmp(ssOrig, ssRep) == 0) return;
    for (char* p = std::strstr(nizOrig, ssOrig); p != nullptr; p = std::strstr(nizOrig, ssOrig)) {
        std::memmove(p, ssRep, static_cast<std::size_t>(n));
    }
}

char* sciNotation(double x, int nn, int nd, int ne, char* snum) {
    double mantissa = 0.0;
    int exponent = 0;
    if (!std::isfinite(x)) {
        mantissa = x;
    } else if (std::fabs(x) >= 1e-15) {
        // |x| lies between 1e-15 and the largest double, so E lies between
        // -16 and 308 and converts to int safely.
        const double e = std::floor(std::log10(std::fabs(x)));
        exponent = static_cast<int>(e);
        mantissa = x * std::pow(10.0, -e);
    }
    return PutSci(mantissa, exponent, nn, nd, ne, snum);
}

char* sciNotation(long double x, int nn, int nd, int ne, char* snum) {
    double mantissa = 0.0;
    int exponent = 0;
    if (!std::isfinite(x)) {
        mantissa = static_cast<double>(x);
    } else if (std::fabs(x) >= 1e-15) {
        // E lies between -16 and 4932; the mantissa lies near [1, 10), so it
        // converts to double without overflow.
        const long double e = std::floor(std::log10(std::fabs(x)));
        exponent = static_cast<int>(e);
        mantissa = static_cast<double>(x * std::pow(static_cast<long double>(10.0), -e));
    }
    return PutSci(mantissa, exponent, nn, nd, ne, snum);
}

void instr(char* niz, int ix, const char* iniz) {
    if (niz == nullptr || iniz == nullptr) return;
    const long len = Length(niz);
    if (ix < 0) return;
    for (long i = ix, k = 0; i < len && iniz[k] != '\0'; ++i, ++k) niz[i] = iniz[k];
}

void slower(char* niz) {
    if (niz == nullptr) return;
    for (char* p = niz; *p != '\0'; ++p) {
        *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    }
}

void supper(char* niz) {
    if (niz == nullptr) return;
    for (char* p = niz; *p != '\0'; ++p) {
        *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    }
}
