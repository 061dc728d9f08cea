#include "dsp/SquareOscillator.h"

#include <cmath>

double SquareOscillator::shape(double x)
{
    if (x < -1.0)
        return -1.0;
    if (x > 1.0)
        return 1.0;
    double y = x * (std::fabs(x) - 2.0);
    y = y * (std::fabs(y) - 2.0);
    return y;
}

double SquareOscillator::valueAt(int)
{
    const double s = nextSine();
    lastValue = shape((s * 20.0) / 3.4);
    return lastValue;
}
