#include "funkcije/CppCas.h"

#include <cstdio>

CppCas::CppCas() : rawtime(0), startUra(0), stopUra(0), timeinfo(nullptr), casTece(false), ascii{} {
    Update();
}

CppCas::CppCas(const CppCas& t)
    : rawtime(t.rawtime),
      startUra(t.startUra),
      stopUra(t.startUra),
      timeinfo(t.timeinfo),
      casTece(t.casTece),
      ascii{} {}

CppCas::~CppCas() {
    casTece = false;
}

void CppCas::Update() {
    rawtime = std::time(nullptr);
    timeinfo = std::localtime(&rawtime);
}

void CppCas::Start() {
    casTece = true;
    startUra = std::clock();
}

double CppCas::Stop() {
    if (!casTece) return 0;
    casTece = false;
    stopUra = std::clock();
    return Elapsed(startUra, stopUra);
}

double CppCas::Elapsed(std::clock_t start, std::clock_t stop) {
    // clock() never reads below 0 except (clock_t)-1 for "not available";
    // with both readings at or above 0 the difference cannot overflow.
    if (start < 0 || stop < 0) return 0;
    return static_cast<double>(stop - start) / static_cast<double>(CLOCKS_PER_SEC);
}

char* CppCas::Ascii() {
    Update();
    if (timeinfo == nullptr) {
        // localtime cannot represent the calendar time.
        std::snprintf(ascii, sizeof ascii, "%s", "0000-00-00  00:00:00");
        return ascii;
    }
    // Years beyond four digits do not occur in a calendar sample of a run;
    // should one occur, the text is cut at the end of the buffer.
    const int written =
        std::snprintf(ascii, sizeof ascii, "%4ld-%02d-%02d  %02d:%02d:%02d",
                      static_cast<long>(timeinfo->tm_year) + 1900, timeinfo->tm_mon + 1,
                      timeinfo->tm_mday, timeinfo->tm_hour, timeinfo->tm_min, timeinfo->tm_sec);
    if (written < 0) ascii[0] = '\0';
    return ascii;
}
