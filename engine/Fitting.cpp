// SPDX-License-Identifier: GPL-3.0-or-later
// The log-linear regression of every sample inside its window, the refit of
// all or one sample, thresholds and Cq, and the individual best-window fit.
#include <algorithm>
#include <cmath>

#include "engine/Engine.h"

namespace qurvex {

namespace {

std::size_t ix(int i) { return static_cast<std::size_t>(i); }

// Sums of a straight-line fit. The data are shifted by their first point
// before summing (Sxx, Syy and Sxy do not change under a shift), which keeps
// the centred sums accurate and makes them exactly 0 for constant data.
struct LineFit {
  int n = 0;
  double x0 = 0, y0 = 0;
  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;

  void add(double x, double y) {
    if (n == 0) {
      x0 = x;
      y0 = y;
    }
    const double dx = x - x0;
    const double dy = y - y0;
    ++n;
    sx += dx;
    sy += dy;
    sxx += dx * dx;
    syy += dy * dy;
    sxy += dx * dy;
  }
  double Sxx() const { return sxx - sx * sx / n; }
  double Syy() const { return syy - sy * sy / n; }
  double Sxy() const { return sxy - sx * sy / n; }
  double meanx() const { return x0 + sx / n; }
  double meany() const { return y0 + sy / n; }
};

// Cq = (threshold - mean log10 F) / slope + mean cycle; 0 when slope <= 0.
double cqat(double threshold, double slope, double meanlog, double meancycle) {
  return slope > 0.0 ? (threshold - meanlog) / slope + meancycle : 0.0;
}

}  // namespace

// r = Sxy / sqrt(Sxx Syy), slope = Sxy / Sxx, intercept = mean y - slope mean x; y = log10 F
double TEngine::rcalc(int s, int first, int last, double& slopeout, double& interceptout) {
  slopeout = 0.0;
  interceptout = 0.0;
  lastmeanx = 0.0;
  lastmeany = 0.0;
  if (s < 1 || s > nsamples || first < 1 || last > npoints[ix(s)]) return 0.0;
  const auto& c = cyc[ix(s)];
  const auto& f = fluor[ix(s)];
  LineFit fit;
  for (int p = first; p <= last; ++p) {
    if (!(f[ix(p)] > 0.0)) return 0.0;
    fit.add(c[ix(p)], std::log10(f[ix(p)]));
  }
  if (fit.n == 0) return 0.0;
  const double sxx = fit.Sxx();
  const double syy = fit.Syy();
  if (!(sxx > 0.0) || !(syy > 0.0)) return 0.0;
  const double sxy = fit.Sxy();
  slopeout = sxy / sxx;
  interceptout = fit.meany() - slopeout * fit.meanx();
  lastmeanx = fit.meanx();
  lastmeany = fit.meany();
  return sxy / std::sqrt(sxx * syy);
}

// The same line on the raw scale: y = rawfluor on x = rawcyc
double TEngine::rrawcalc(int s, int first, int last, double& slopeout,
                         double& interceptout) const {
  slopeout = 0.0;
  interceptout = 0.0;
  if (s < 1 || s > nsamples) return 0.0;
  const auto& c = rawcyc[ix(s)];
  const auto& f = rawfluor[ix(s)];
  const int top = std::min(nrawpoints[ix(s)], static_cast<int>(std::min(c.size(), f.size())) - 1);
  if (first < 1 || last > top) return 0.0;
  LineFit fit;
  for (int p = first; p <= last; ++p) fit.add(c[ix(p)], f[ix(p)]);
  if (fit.n == 0) return 0.0;
  const double sxx = fit.Sxx();
  const double syy = fit.Syy();
  if (!(syy > 0.0) || !(sxx > 0.0)) {
    interceptout = fit.meany();
    return 0.0;
  }
  const double sxy = fit.Sxy();
  slopeout = sxy / sxx;
  interceptout = fit.meany() - slopeout * fit.meanx();
  return sxy / std::sqrt(sxx * syy);
}

void TEngine::do_cascade(bool all, int s, int mode) {
  if (mode < 2) {
    const int from = all ? 1 : s;
    const int to = all ? nsamples : s;
    for (int k = std::max(from, 1); k <= std::min(to, nsamples); ++k) {
      const std::size_t i = ix(k);
      FindPointAtLimit(k, "both");
      double sl = 0.0;
      double ic = 0.0;
      const double r = rcalc(k, wolstart[i], wolstop[i], sl, ic);
      ninclu[i] = emptywol[i] ? 0 : wolstop[i] - wolstart[i] + 1;
      slope[i] = sl;
      intercept[i] = ic;
      meancyc[i] = lastmeanx;
      meanlogfluor[i] = lastmeany;
      ct[i] = cqat(sampftval[i], slope[i], meanlogfluor[i], meancyc[i]);
      // A sample without amplification, with a baseline error or with too
      // few points for a line reports no fit.
      if (noamplif[i] || bgerror[i] || npoints[i] < 3) {
        slope[i] = 0.0;
        ct[i] = 0.0;
        ninclu[i] = 0;
        rval[i] = 0.0;
        indiveff[i] = 1.0;
        indivn0[i] = -999.0;
      } else {
        rval[i] = r;
        indiveff[i] = std::pow(10.0, slope[i]);
        indivn0[i] = std::pow(10.0, intercept[i]);
      }
    }
  }
  if (mode < 3) {
    view->plotallsamps();
    view->plotsample(samplenum);
    view->update_surveys();
    view->set_sample_pointers();
  }
}

void TEngine::AssignFtVal(int first, int last) {
  first = std::max(first, 1);
  last = std::min(last, nsamples);
  for (int s = first; s <= last; ++s) {
    if (options.ThresholdsRG == 0) {
      sampftval[ix(s)] = ftval[0];
    } else {
      const int g = groupofsample(s);
      if (g >= 0 && ix(g) < ftval.size()) sampftval[ix(s)] = ftval[ix(g)];
    }
  }
  for (int s = 1; s <= nsamples; ++s)
    ct[ix(s)] = cqat(sampftval[ix(s)], slope[ix(s)], meanlogfluor[ix(s)], meancyc[ix(s)]);
}

void TEngine::fitsample(int s) {
  if (s < 1 || s > nsamples) return;
  const std::size_t i = ix(s);
  const int np = npoints[i];
  int option = options.rg_fitoptions + 1;
  int minsize = 3;
  int maxsize = 15;
  const double rreq = options.rreqedit;
  if (option == 2) {
    minsize = std::max(options.minincludedit, 3);
    maxsize = std::clamp(options.nmaxedit, 3, 15);
  }
  double bestr = 0.0;
  int bestsize = 2;
  int bestfirst = 1;
  int bestlast = np;
  double sl = 0.0;
  double ic = 0.0;

  if (option >= 1 && option <= 3 && np >= 5 && np >= minsize) {
    // Steepest 5-point slope: candidate windows must lie in the steep part.
    double steepest = 0.0;
    for (int f = 1; f <= np - 4; ++f) {
      rcalc(s, f, f + 4, sl, ic);
      if (sl > steepest) steepest = sl;
    }
    view->setbusycursor(true);
    for (int n = minsize; n <= maxsize; ++n) {
      for (int f = 1; f <= std::max(np - n, 1); ++f) {
        const int last = f + n - 1;
        if (last >= np) continue;  // the last valid point never enters a window
        const double r = rcalc(s, f, last, sl, ic);
        if (!(std::fabs(sl - steepest) < 0.7 * steepest)) continue;
        if (option != 3) {
          if (r > bestr) {
            bestr = r;
            bestfirst = f;
            bestlast = last;
          }
        } else if (n >= bestsize) {
          if (r <= rreq) {
            if (r > bestr) {
              bestr = r;
              bestsize = n;
              bestfirst = f;
              bestlast = last;
            }
          } else if (n > bestsize || r > bestr) {
            bestr = r;
            bestsize = n;
            bestfirst = f;
            bestlast = last;
          }
        }
      }
    }
  } else {
    option = 0;
  }
  view->setbusycursor(false);

  double r = 0.0;
  if (option == 0) {
    sl = ic = 0.0;
    lastmeanx = lastmeany = 0.0;
  } else {
    r = rcalc(s, bestfirst, bestlast, sl, ic);
  }
  ninclu[i] = bestlast - bestfirst + 1;
  slope[i] = sl;
  intercept[i] = ic;
  meancyc[i] = lastmeanx;
  meanlogfluor[i] = lastmeany;
  ct[i] = cqat(sampftval[i], sl, lastmeany, lastmeanx);
  rval[i] = r;
  indiveff[i] = std::pow(10.0, sl);
  indivn0[i] = std::pow(10.0, ic);
  wolstart[i] = bestfirst;
  wolstop[i] = bestlast;
  // Limits just outside the window's outer points (kept when such a point
  // does not exist).
  const auto& f = fluor[i];
  if (bestfirst >= 0 && ix(bestfirst) < f.size() && f[ix(bestfirst)] > 0.0)
    lowlim[i] = std::log10(f[ix(bestfirst)]) - 0.01;
  if (bestlast >= 0 && ix(bestlast) < f.size() && f[ix(bestlast)] > 0.0)
    uplim[i] = std::log10(f[ix(bestlast)]) + 0.01;
  woltype[i] = 2;
}

void TEngine::fitsampleButClick() {
  if (samplenum < 1 || samplenum > nsamples) return;
  const int s = samplenum;
  fitsample(s);
  woltype[ix(s)] = 2;
  const bool lock = editlock;
  editlock = true;
  setlimitedit(TLimitEdit::iuplimedit, uplim[ix(s)]);
  setlimitedit(TLimitEdit::ilowlimedit, lowlim[ix(s)]);
  editlock = lock;
  do_cascade(false, s, 2);
}

void TEngine::fitallbutClick() {
  if (nsamples < 1) return;
  BusyGuard guard(*this);
  view->setcontrolvisible("TabSheetIndivSample", true);
  for (int s = 1; s <= nsamples; ++s) {
    fitsample(s);
    woltype[ix(s)] = 2;
    samplenum = s;
    samplenumChange();
    pumpmessages();
  }
  options.CommonGroupWindowRG = 2;
  options.ThresholdsRG = 0;
  AssignFtVal(1, nsamples);
  setftvaledit(sampftval[ix(samplenum)]);
  ctcalcButtonClick();
  samplenumChange();
}

}  // namespace qurvex
