// SPDX-License-Identifier: GPL-3.0-or-later
// Normal, Student t, ln-gamma and incomplete beta functions.
#include "engine/Stattool.h"

#include <cmath>
#include <stdexcept>

namespace qurvex {

namespace {
constexpr long double kTwoPi = 6.283185307179586476925286766559L;
}

// phi(z) = exp(-z^2/2) / sqrt(2 pi)
long double TStattool::NormalDensity(long double z) const {
    return std::exp(-z * z / 2.0L) / std::sqrt(kTwoPi);
}

// Q(z) ~ phi(z) (b1 t + b2 t^2 + b3 t^3 + b4 t^4 + b5 t^5), t = 1/(1 + 0.2316419 z)
float TStattool::NormalUpperTail(long double z) const {
    if (!(z >= 0.0L)) throw std::domain_error("Value must be Non-Negative");
    constexpr long double b1 = 0.31938153L;
    constexpr long double b2 = -0.356563782L;
    constexpr long double b3 = 1.781477937L;
    constexpr long double b4 = -1.821255978L;
    constexpr long double b5 = 1.330274429L;
    const long double t = 1.0L / (1.0L + 0.2316419L * z);
    const long double poly = t * (b1 + t * (b2 + t * (b3 + t * (b4 + t * b5))));
    return static_cast<float>(NormalDensity(z) * poly);
}

// P(|T| >= t) = I_{df/(df+t^2)}(df/2, 1/2)
double TStattool::StudentTProb(int df, double t) const {
    const double n = df;
    return IncompleteBeta(n / 2.0, 0.5, n / (n + t * t));
}

// ln Gamma(x) = (x + 0.5) ln(x + 5.5) - (x + 5.5) + ln(sqrt(2 pi) S(x) ), Lanczos, with y = x - 1
double TStattool::LnGamma(double x) const {
    static constexpr double c[6] = {76.18009173,  -86.50532033,  24.01409822,
                                    -1.231739516, 0.00120858003, -5.36382e-6};
    const double y = x - 1.0;
    double tmp = y + 5.5;
    tmp = (y + 0.5) * std::log(tmp) - tmp;
    double ser = 1.0;
    for (int j = 0; j < 6; ++j) ser += c[j] / (y + (j + 1));
    return tmp + std::log(2.50662827465 * ser);
}

// I_x(a,b) = x^a (1-x)^b / (a B(a,b)) * 1/(1+ d1/(1+ d2/(1+ ...))), the convergents by recurrence
double TStattool::BetaContinuedFraction(double a, double b, double x) const {
    const double qab = a + b;
    const double qap = a + 1.0;
    const double qam = a - 1.0;
    double am = 1.0;
    double bm = 1.0;
    double az = 1.0;
    double bz = 1.0 - qab * x / qap;
    for (int m = 1; m <= 1000; ++m) {
        const double em = m;
        const double tem = em + em;
        double d = em * (b - em) * x / ((qam + tem) * (a + tem));
        const double ap = az + d * am;
        const double bp = bz + d * bm;
        d = -(a + em) * (qab + em) * x / ((a + tem) * (qap + tem));
        const double app = ap + d * az;
        const double bpp = bp + d * bz;
        const double aold = az;
        am = ap / bpp;
        bm = bp / bpp;
        az = app / bpp;
        bz = 1.0;
        if (std::fabs(az - aold) < 3.0e-7 * std::fabs(az)) break;
    }
    return az;
}

// I_x(a,b): front = x^a (1-x)^b / B(a,b); continued fraction on the side where it converges fast
double TStattool::IncompleteBeta(double a, double b, double x) const {
    double front = 0.0;
    if (x > 0.0 && x < 1.0)
        front = std::exp(LnGamma(a + b) - LnGamma(a) - LnGamma(b) + a * std::log(x) +
                         b * std::log(1.0 - x));
    if (x < (a + 1.0) / (a + b + 2.0)) return front * BetaContinuedFraction(a, b, x) / a;
    return 1.0 - front * BetaContinuedFraction(b, a, 1.0 - x) / b;
}

}  // namespace qurvex
