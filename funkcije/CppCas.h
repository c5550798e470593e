// Processor-time stopwatch with a sample of the calendar time.
//
// Start and Stop measure the processor time used by the process (clock()),
// not the wall-clock time.  Update and Ascii sample the local calendar time.
#ifndef FUNKCIJE_CPPCAS_H
#define FUNKCIJE_CPPCAS_H

#include <ctime>

class CppCas {
  public:
    // Not running; the calendar time is sampled.
    CppCas();
    // Copies the calendar sample and the running state; a running copy
    // measures from the same start reading.
    CppCas(const CppCas& t);
    CppCas& operator=(const CppCas& t) = default;
    ~CppCas();

    // Samples the calendar time and its local broken-down form.
    void Update();
    // Starts the clock (again) from now.
    void Start();
    // Stops the clock and returns the processor time since Start, in seconds;
    // 0 when the clock is not running or the runtime has no processor time.
    double Stop();
    // Samples the calendar time and returns it as local time
    // "YYYY-MM-DD  hh:mm:ss" (two blanks between date and time), in a buffer
    // owned by the timer that the next call overwrites.
    char* Ascii();

    // Processor time in seconds between two clock() readings.  The difference
    // is taken in the full width of clock_t (64 bits here), so that runs
    // longer than 2^32 ticks (about 71 minutes of microsecond ticks) are
    // measured right; a negative reading ((clock_t)-1 is
    // "not available") gives 0.
    static double Elapsed(std::clock_t start, std::clock_t stop);

  private:
    std::time_t rawtime;    // calendar time of the last Update
    std::clock_t startUra;  // clock() reading at Start
    std::clock_t stopUra;   // clock() reading at Stop
    std::tm* timeinfo;      // local broken-down time of rawtime (runtime's buffer, not owned)
    bool casTece;           // the clock is running
    char ascii[25];         // text of Ascii
};

#endif  // FUNKCIJE_CPPCAS_H
