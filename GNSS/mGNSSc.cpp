#include "GNSS/mGNSSc.h"

namespace GLONASSc {

matrix<long double> freq(32, 2, 0.0);
matrix<long double> lamb(32, 2, 0.0);
matrix<long double> lambWL(32, 1, 0.0);
matrix<long double> lambNL(32, 1, 0.0);
matrix<long double> alphaG(32, 2, 0.0);

void SetFrequency(long double k, short prn) {
    freq(prn, 0) = freq10 + k * dfreq10;
    freq(prn, 1) = freq20 + k * dfreq20;
    lamb(prn, 0) = c / freq(prn, 0);
    lamb(prn, 1) = c / freq(prn, 1);
    const long double l1 = lamb(prn, 0);
    const long double l2 = lamb(prn, 1);
    lambWL(prn, 0) = l1 * l2 / (l2 - l1);
    lambNL(prn, 0) = l1 * l2 / (l2 + l1);
    const long double gpsL1 = 1575420000.0;
    alphaG(prn, 0) = (gpsL1 / freq(prn, 0)) * (gpsL1 / freq(prn, 0));
    alphaG(prn, 1) = (gpsL1 / freq(prn, 1)) * (gpsL1 / freq(prn, 1));
}

}  // namespace GLONASSc
