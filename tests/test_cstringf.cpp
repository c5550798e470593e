// String helpers: substrings, trimming, filling, words, replacing and the
// scientific notation, including inputs at and beyond the edges.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "PROGINC/cstringf.h"

TEST(Substrings, CountLimitedByTheEndOfTheText) {
    char out[32];
    substr("abcdef", 2, 3, out);
    EXPECT_STREQ(out, "cde");
    substr("abcdef", 4, 10, out);
    EXPECT_STREQ(out, "ef");
    substr("abcdef", 0, 0, out);
    EXPECT_STREQ(out, "");
    substr("abcdef", 3, out);
    EXPECT_STREQ(out, "def");
    substr("abcdef", 6, out);
    EXPECT_STREQ(out, "");
}

// Regression: a start beyond the text or negative, or a negative count, read
// outside the text; they now give the empty text.
TEST(Substrings, StartsOutsideTheTextGiveTheEmptyText) {
    char out[32] = "junk";
    substr("abc", 7, 2, out);
    EXPECT_STREQ(out, "");
    std::strcpy(out, "junk");
    substr("abc", -1, 2, out);
    EXPECT_STREQ(out, "");
    std::strcpy(out, "junk");
    substr("abc", 1, -3, out);
    EXPECT_STREQ(out, "");
    std::strcpy(out, "junk");
    substr("abc", 9, out);
    EXPECT_STREQ(out, "");
}

TEST(SearchAndFill, IndexLastStrcopyAndFillstr) {
    char path[] = "dir/sub/file.txt";
    EXPECT_EQ(indexLast(path, '/'), 7);
    EXPECT_EQ(indexLast(path, 'd'), 0);
    EXPECT_EQ(indexLast(path, '#'), -1);
    EXPECT_EQ(indexLast(path, '\0'), 16);

    char buf[16];
    strcopy(buf, 'x', 3);
    EXPECT_STREQ(buf, "xxx");
    strcopy(buf, 'x', -2);
    EXPECT_STREQ(buf, "");
    strng(buf, '-', 5L);
    EXPECT_STREQ(buf, "-----");

    char f[16] = "abc";
    fillstr(f, 5, '.');
    EXPECT_STREQ(f, "abc..");
    std::strcpy(f, "abcdef");
    fillstr(f, 3, '.');
    EXPECT_STREQ(f, "abc");
    fillstr(f, -4, '.');
    EXPECT_STREQ(f, "");
}

TEST(Trimming, BlanksOnlyAtEitherEnd) {
    char e[8] = "";
    trimr(e);
    EXPECT_STREQ(e, "");
    char b[8] = "   ";
    trimr(b);
    EXPECT_STREQ(b, "");
    char t[16] = "  a b \t  ";
    trimr(t);
    EXPECT_STREQ(t, "  a b \t");  // only the blank character is removed
    triml(t);
    EXPECT_STREQ(t, "a b \t");
    char both[16] = "   xy  ";
    trim(both);
    EXPECT_STREQ(both, "xy");
    char allb[8] = "    ";
    trim(allb);
    EXPECT_STREQ(allb, "");
}

TEST(Words, CountAndPickByWhiteSpaceRuns) {
    char two[] = "alfa  \t \t beta";
    EXPECT_EQ(cwords(two), 2);
    char empty[] = "";
    EXPECT_EQ(cwords(empty), 0);
    char spaces[] = " \t\n ";
    EXPECT_EQ(cwords(spaces), 0);
    char three[] = "\tone two\nthree ";
    EXPECT_EQ(cwords(three), 3);

    char w[16];
    gword(three, 2, w);
    EXPECT_STREQ(w, "two");
    gword(three, 3, w);
    EXPECT_STREQ(w, "three");
    gword(three, 4, w);
    EXPECT_STREQ(w, "");
    gword(three, 0, w);
    EXPECT_STREQ(w, "");
}

TEST(Replacing, CharactersAndEqualLengthTexts) {
    char a[] = "a.b.c.d";
    creplace(a, '.', ',');
    EXPECT_STREQ(a, "a,b,c,d");
    char b[] = "a.b.c.d";
    creplace(b, '.', ',', 4);
    EXPECT_STREQ(b, "a,b,c.d");
    char c[] = "a.b";
    creplace(c, '.', ',', 100);  // a count beyond the text stops at its end
    EXPECT_STREQ(c, "a,b");

    char s[] = "x-ab-ab";
    char ab[] = "ab", cd[] = "cd";
    sreplace(s, ab, cd);
    EXPECT_STREQ(s, "x-cd-cd");
    // Searching again from the start after each replacement: "aab" -> "aba"
    // -> "baa" (one left-to-right pass would stop at "aba").
    char chain[] = "aab";
    char ba[] = "ba";
    sreplace(chain, ab, ba);
    EXPECT_STREQ(chain, "baa");

    char u[] = "abab";
    char longer[] = "xyz", empty[] = "";
    sreplace(u, ab, longer);
    EXPECT_STREQ(u, "abab");
    sreplace(u, empty, empty);
    EXPECT_STREQ(u, "abab");
    char same[] = "ab";
    sreplace(u, ab, same);
    EXPECT_STREQ(u, "abab");
}

TEST(Replacing, InstrAndCaseConversion) {
    char s[] = "abcdef";
    instr(s, 1, "XY");
    EXPECT_STREQ(s, "aXYdef");
    instr(s, 4, "123");
    EXPECT_STREQ(s, "aXYd12");  // never lengthened
    instr(s, 9, "Q");
    EXPECT_STREQ(s, "aXYd12");
    instr(s, -1, "Q");
    EXPECT_STREQ(s, "aXYd12");

    char m[] = "Zemlja 2019 \xE8";
    slower(m);
    EXPECT_STREQ(m, "zemlja 2019 \xE8");
    supper(m);
    EXPECT_STREQ(m, "ZEMLJA 2019 \xE8");
}

TEST(ScientificNotation, LayoutFromWidthDecimalsAndExponentDigits) {
    char out[64];
    EXPECT_EQ(sciNotation(12345.678, 12, 4, 3, out), out);
    EXPECT_STREQ(out, "  1.2346e+04");
    sciNotation(-0.00123, 12, 4, 3, out);
    EXPECT_STREQ(out, " -1.2300e-03");
    sciNotation(6.02214076e23, 14, 6, 4, out);
    EXPECT_STREQ(out, " 6.022141e+023");
    sciNotation(12345.678L, 12, 4, 3, out);
    EXPECT_STREQ(out, "  1.2346e+04");
    sciNotation(-2.5e-7L, 12, 2, 3, out);
    EXPECT_STREQ(out, "   -2.50e-07");
}

TEST(ScientificNotation, BelowTenToMinusFifteenIsZero) {
    char out[64];
    sciNotation(0.0, 12, 4, 3, out);
    EXPECT_STREQ(out, "  0.0000e+00");
    sciNotation(9e-16, 12, 4, 3, out);
    EXPECT_STREQ(out, "  0.0000e+00");
    sciNotation(-4e-320, 12, 4, 3, out);  // subnormal
    EXPECT_STREQ(out, "  0.0000e+00");
    sciNotation(0.0L, 12, 4, 3, out);
    EXPECT_STREQ(out, "  0.0000e+00");
    sciNotation(1e-14, 12, 4, 3, out);
    EXPECT_STREQ(out, "  1.0000e-14");
}

// Regression: NaN and infinity went through log10 and an out-of-range
// conversion to int; they are now printed as the mantissa with exponent 0.
TEST(ScientificNotation, NotANumberAndInfinity) {
    char out[64];
    sciNotation(std::numeric_limits<double>::quiet_NaN(), 12, 4, 3, out);
    EXPECT_STREQ(out, "     nane+00");
    sciNotation(-std::numeric_limits<double>::infinity(), 12, 4, 3, out);
    EXPECT_STREQ(out, "    -infe+00");
    sciNotation(std::numeric_limits<long double>::infinity(), 12, 4, 3, out);
    EXPECT_STREQ(out, "     infe+00");
    sciNotation(std::numeric_limits<long double>::quiet_NaN(), 12, 4, 3, out);
    EXPECT_STREQ(out, "     nane+00");
}

TEST(ScientificNotation, ExtremeMagnitudes) {
    char out[64];
    sciNotation(std::numeric_limits<double>::max(), 12, 4, 3, out);
    EXPECT_STREQ(out, "  1.7977e+308");
    sciNotation(1e-15, 12, 4, 3, out);
    EXPECT_STREQ(out, "  1.0000e-15");
    // Beyond the double range: the exponent is found in extended precision.
    sciNotation(std::numeric_limits<long double>::max(), 12, 4, 3, out);
    EXPECT_STREQ(out, "  1.1897e+4932");
    sciNotation(std::ldexp(1.0L, -10000), 12, 4, 3, out);
    EXPECT_STREQ(out, "  0.0000e+00");
}

// Regression: widths were used unchecked in the format (a negative decimal
// count made an invalid format; INT_MIN overflowed nn - ne - 1).  Widths and
// decimals are now kept between 0 and 512.
TEST(ScientificNotation, OutOfRangeWidthsAreClamped) {
    char out[1200];
    sciNotation(12345.678, 12, -3, 3, out);
    EXPECT_STREQ(out, "       1e+04");
    sciNotation(12345.678, INT_MIN, 4, 3, out);
    EXPECT_STREQ(out, "1.2346e+04");
    sciNotation(12345.678, 12, 4, -5, out);
    EXPECT_STREQ(out, "     1.2346e+4");
    sciNotation(12345.678, INT_MAX, 4, 3, out);
    EXPECT_EQ(std::strlen(out), 512u + 4u);
    EXPECT_EQ(std::string(out).substr(506), "1.2346e+04");
    sciNotation(12345.678, 12, INT_MAX, 3, out);
    EXPECT_EQ(std::strlen(out), 2u + 512u + 4u);
    EXPECT_EQ(std::string(out).substr(0, 6), "1.2345");
}
