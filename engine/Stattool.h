// SPDX-License-Identifier: GPL-3.0-or-later
// Probability functions of the engine: the p value of the slope comparison
// in the baseline search and the normal tail of the runs test. Stateless.
#pragma once

namespace qurvex {

class TStattool {
public:
    // phi(z) = exp(-z^2/2) / sqrt(2 pi). phi(0) = 0.39894228...; NaN gives NaN.
    long double NormalDensity(long double z) const;

    // Q(z) = P(Z > z), Abramowitz & Stegun 26.2.17 (|error| < 7.5e-8), returned
    // as a 4-byte float. Q(0) = 0.5. Throws std::domain_error with
    // "Value must be Non-Negative" for z < 0 (and for NaN).
    float NormalUpperTail(long double z) const;

    // P(|T| >= |t|) for Student's t with df degrees of freedom:
    // I_{df/(df+t^2)}(df/2, 1/2). 1 for t = 0; df must be > 0.
    double StudentTProb(int df, double t) const;

    // ln Gamma(x) by a 6-term Lanczos series (|error| < 2e-10), x > 0.
    // LnGamma(1) = LnGamma(2) = 0.
    double LnGamma(double x) const;

    // Continued fraction of the incomplete beta function, evaluated by the
    // even/odd recurrence of its convergents, renormalised every round: stops
    // when two successive convergents agree to 3e-7 relative, or after 1000
    // rounds (the last convergent is returned either way).
    double BetaContinuedFraction(double a, double b, double x) const;

    // Regularized incomplete beta I_x(a, b) = B(x; a, b) / B(a, b) for
    // 0 <= x <= 1, a, b > 0. I_0 = 0, I_1 = 1.
    double IncompleteBeta(double a, double b, double x) const;
};

}  // namespace qurvex
