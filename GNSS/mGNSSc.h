// Carrier frequencies of GPS, GLONASS, Galileo and BeiDou, with the derived
// wavelengths and the coefficients of the usual linear combinations.
//
// Frequencies are in hertz, wavelengths in metres, c in metres per second.
// For the frequency pair (f1, f2) of a system:
//   lamb<X> = c / freq<X>                  carrier wavelength of signal X
//   lamWL   = c / (f1 - f2)                wide-lane wavelength
//   lamNL   = c / (f1 + f2)                narrow-lane wavelength
//   LCion1  = f1^2 / (f1^2 - f2^2), LCion2 = f2^2 / (f1^2 - f2^2)
//                                          ionosphere-free combination
//   LCwl1   = f1 / (f1 - f2),       LCwl2  = f2 / (f1 - f2)   wide lane
//   LCnl1   = f1 / (f1 + f2),       LCnl2  = f2 / (f1 + f2)   narrow lane
//   alpha   = (f1 / f2)^2,          f1_f2  = f1 / f2
// The frequencies are the published signal definitions (multiples of the
// 10.23 MHz GPS base, of 0.5625/0.4375 MHz GLONASS channel steps, and the
// BeiDou B1/B2/B3 carriers).  Everything is extended precision.
#ifndef GNSS_MGNSSC_H
#define GNSS_MGNSSC_H

#include "matrix/matrix.h"

namespace GPSc {
inline constexpr long double c = 299792458.0;

inline constexpr long double freq0 = 10230000.0;    // base frequency
inline constexpr long double freq1 = 1575420000.0;  // L1
inline constexpr long double freq2 = 1227600000.0;  // L2
inline constexpr long double freq5 = 1176450000.0;  // L5

inline constexpr long double lamb0 = c / freq0;
inline constexpr long double lamb1 = c / freq1;
inline constexpr long double lamb2 = c / freq2;
inline constexpr long double lamb5 = c / freq5;

// Pair L1, L2.
inline constexpr long double lamWL = c / (freq1 - freq2);
inline constexpr long double lamNL = c / (freq1 + freq2);
inline constexpr long double LCion1 = freq1 * freq1 / (freq1 * freq1 - freq2 * freq2);
inline constexpr long double LCion2 = freq2 * freq2 / (freq1 * freq1 - freq2 * freq2);
inline constexpr long double LCwl1 = freq1 / (freq1 - freq2);
inline constexpr long double LCwl2 = freq2 / (freq1 - freq2);
inline constexpr long double LCnl1 = freq1 / (freq1 + freq2);
inline constexpr long double LCnl2 = freq2 / (freq1 + freq2);
inline constexpr long double f1_f2 = freq1 / freq2;
inline constexpr long double alpha = f1_f2 * f1_f2;
}  // namespace GPSc

namespace GLONASSc {
inline constexpr long double c = 299792458.0;

inline constexpr long double freq0 = 178000000.0;
inline constexpr long double freq10 = 1602000000.0;  // G1 of channel 0
inline constexpr long double freq20 = 1246000000.0;  // G2 of channel 0
inline constexpr long double freq3 = 1202025000.0;   // G3 (CDMA)
inline constexpr long double dfreq10 = 562500.0;     // G1 step per channel number
inline constexpr long double dfreq20 = 437500.0;     // G2 step per channel number

inline constexpr long double lamb10 = c / freq10;
inline constexpr long double lamb20 = c / freq20;
inline constexpr long double lamb3 = c / freq3;

// Pair G1, G2 of channel 0; the ratio 9/7 holds for every channel.
inline constexpr long double LCion1 = freq10 * freq10 / (freq10 * freq10 - freq20 * freq20);
inline constexpr long double LCion2 = freq20 * freq20 / (freq10 * freq10 - freq20 * freq20);
inline constexpr long double LCwl1 = freq10 / (freq10 - freq20);
inline constexpr long double LCwl2 = freq20 / (freq10 - freq20);
inline constexpr long double LCnl1 = freq10 / (freq10 + freq20);
inline constexpr long double LCnl2 = freq20 / (freq10 + freq20);
inline constexpr long double f1_f2 = freq10 / freq20;
inline constexpr long double alpha = f1_f2 * f1_f2;

// Per-satellite tables, row = satellite number 0..31, all 0 at start:
//   freq   32 x 2  G1 and G2 frequency of the satellite's channel (Hz)
//   lamb   32 x 2  their wavelengths (m)
//   lambWL 32 x 1  wide-lane wavelength l1*l2 / (l2 - l1) (m)
//   lambNL 32 x 1  narrow-lane wavelength l1*l2 / (l2 + l1) (m)
//   alphaG 32 x 2  (f_GPS_L1 / f)^2 for G1 and G2, to scale GPS L1 values
extern matrix<long double> freq;
extern matrix<long double> lamb;
extern matrix<long double> lambWL;
extern matrix<long double> lambNL;
extern matrix<long double> alphaG;

// Fills row prn (satellite number, 0..31) of the five tables for frequency
// channel number k (-7..+6): f1 = 1602 MHz + k * 562.5 kHz,
// f2 = 1246 MHz + k * 437.5 kHz.  A prn outside 0..31 ends the program with
// the matrix row report.
void SetFrequency(long double k, short prn);
}  // namespace GLONASSc

namespace GALILEOc {
inline constexpr long double c = 299792458.0;

inline constexpr long double freq0 = 10230000.0;    // base frequency
inline constexpr long double freq1 = 1575420000.0;  // E1
inline constexpr long double freq2 = 1207140000.0;  // E5b
inline constexpr long double freq5 = 1176450000.0;  // E5a
inline constexpr long double freq8 = 1191795000.0;  // E5 (a+b)

inline constexpr long double lamb0 = c / freq0;
inline constexpr long double lamb1 = c / freq1;
inline constexpr long double lamb2 = c / freq2;
inline constexpr long double lamb5 = c / freq5;
inline constexpr long double lamb8 = c / freq8;

// Pair E1, E5b.
inline constexpr long double lamWL = c / (freq1 - freq2);
inline constexpr long double lamNL = c / (freq1 + freq2);
inline constexpr long double LCion1 = freq1 * freq1 / (freq1 * freq1 - freq2 * freq2);
inline constexpr long double LCion2 = freq2 * freq2 / (freq1 * freq1 - freq2 * freq2);
inline constexpr long double LCwl1 = freq1 / (freq1 - freq2);
inline constexpr long double LCwl2 = freq2 / (freq1 - freq2);
inline constexpr long double LCnl1 = freq1 / (freq1 + freq2);
inline constexpr long double LCnl2 = freq2 / (freq1 + freq2);
inline constexpr long double f1_f2 = freq1 / freq2;
inline constexpr long double alpha = f1_f2 * f1_f2;
}  // namespace GALILEOc

namespace BDSc {
inline constexpr long double c = 299792458.0;

inline constexpr long double freq1 = 1575420000.0;  // B1C
inline constexpr long double freq2 = 1561098000.0;  // B1I
inline constexpr long double freq5 = 1176450000.0;  // B2a
inline constexpr long double freq6 = 1268520000.0;  // B3I
inline constexpr long double freq7 = 1207140000.0;  // B2I / B2b
inline constexpr long double freq8 = 1191795000.0;  // B2 (a+b)

inline constexpr long double lamb1 = c / freq1;
inline constexpr long double lamb2 = c / freq2;
inline constexpr long double lamb5 = c / freq5;
inline constexpr long double lamb6 = c / freq6;
inline constexpr long double lamb7 = c / freq7;
inline constexpr long double lamb8 = c / freq8;

// Pair B1I, B3I.
inline constexpr long double lamWL = c / (freq2 - freq6);
inline constexpr long double lamNL = c / (freq2 + freq6);
inline constexpr long double LCion1 = freq2 * freq2 / (freq2 * freq2 - freq6 * freq6);
inline constexpr long double LCion2 = freq6 * freq6 / (freq2 * freq2 - freq6 * freq6);
inline constexpr long double LCwl1 = freq2 / (freq2 - freq6);
inline constexpr long double LCwl2 = freq6 / (freq2 - freq6);
inline constexpr long double LCnl1 = freq2 / (freq2 + freq6);
inline constexpr long double LCnl2 = freq6 / (freq2 + freq6);
inline constexpr long double f1_f2 = freq2 / freq6;
inline constexpr long double alpha = f1_f2 * f1_f2;

// (GPS L1 / B1I)^2 and (GPS L1 / B3I)^2.
inline constexpr long double alphaG1 = (1575420000.0 / freq2) * (1575420000.0 / freq2);
inline constexpr long double alphaG2 = (1575420000.0 / freq6) * (1575420000.0 / freq6);
}  // namespace BDSc

#endif  // GNSS_MGNSSC_H
