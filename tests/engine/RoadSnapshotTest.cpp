// SPDX-License-Identifier: GPL-3.0-or-later
// The whole road (read processing, baseline step, groups, group windows,
// means, hand edits of limits and baselines, the common window) on several
// synthetic plates, with every result field written out bit for bit. The
// digest of that text was taken from the engine before its boundary with the
// window was made typed; any change of a result changes the digest. Set
// QURVEX_ROAD_SNAPSHOT to a file name to get the text itself for comparison.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "tests/engine/support/SyntheticRun.h"

namespace qurvex {
namespace {

void put(std::ostream& o, double v) {
    char b[40];
    std::snprintf(b, sizeof b, "%a", v);
    o << b << ' ';
}
void put(std::ostream& o, int v) { o << v << ' '; }
void put(std::ostream& o, std::uint8_t v) { o << int{v} << ' '; }
void put(std::ostream& o, bool v) { o << int{v} << ' '; }
void put(std::ostream& o, const std::string& v) { o << '"' << v << "\" "; }
template <typename T>
void put(std::ostream& o, const std::vector<T>& v) {
    o << '[';
    for (const auto& x : v) put(o, x);
    o << "] ";
}

// Every result field of the run state, in text with exact bit patterns.
std::string dump(const TEngine& e) {
    std::ostringstream o;
#define QX_PUT(field) (o << #field << ' ', put(o, e.field), o << '\n')
    QX_PUT(nsamples);
    QX_PUT(ngroups);
    QX_PUT(wolpoints);
    QX_PUT(logymin);
    QX_PUT(logymax);
    QX_PUT(deflogymin);
    QX_PUT(deflogymax);
    QX_PUT(maxcyc);
    QX_PUT(meansdone);
    QX_PUT(baselinedone);
    QX_PUT(groupsdefined);
    QX_PUT(commonwol);
    QX_PUT(samplenum);
    QX_PUT(sampname);
    QX_PUT(npoints);
    QX_PUT(bgarr);
    QX_PUT(bgslope);
    QX_PUT(defbgarr);
    QX_PUT(uplim);
    QX_PUT(lowlim);
    QX_PUT(sampftval);
    QX_PUT(woltype);
    QX_PUT(ct);
    QX_PUT(ninclu);
    QX_PUT(slope);
    QX_PUT(intercept);
    QX_PUT(meancyc);
    QX_PUT(meanlogfluor);
    QX_PUT(rval);
    QX_PUT(indiveff);
    QX_PUT(indivn0);
    QX_PUT(wolstart);
    QX_PUT(wolstop);
    QX_PUT(fstart);
    QX_PUT(fstop);
    QX_PUT(fmaxdiff);
    QX_PUT(skipped);
    QX_PUT(ampname);
    QX_PUT(ampgroup);
    QX_PUT(sampmeaneff);
    QX_PUT(meann0);
    QX_PUT(ctshift);
    QX_PUT(noamplif);
    QX_PUT(bgerror);
    QX_PUT(noplateau);
    QX_PUT(noisy);
    QX_PUT(effoutlier);
    QX_PUT(exclmeaneff);
    QX_PUT(userexcluded);
    QX_PUT(manualbg);
    QX_PUT(shortloglin);
    QX_PUT(ctshifting);
    QX_PUT(cttoloweff);
    QX_PUT(cttolown0);
    QX_PUT(non0);
    QX_PUT(usedforwol);
    QX_PUT(emptywol);
    QX_PUT(fluor);
    QX_PUT(gruplim);
    QX_PUT(grlowlim);
    QX_PUT(defuplim);
    QX_PUT(deflowlim);
    QX_PUT(ftval);
    QX_PUT(meaneff);
    QX_PUT(meaneffse);
    QX_PUT(ShowGroupCBItems);
    QX_PUT(ctshiftct);
    QX_PUT(AmpliconGroupGridcode);
    QX_PUT(AmpGroupNumEdit);
    QX_PUT(IndivAmpGroupEdit);
#undef QX_PUT
    for (const auto& r : e.wolsearch.rows)
        o << r.k << ' ', put(o, r.uplim), put(o, r.foldwidth), put(o, r.meaneff), put(o, r.cv);
    o << e.wolsearch.group << ' ' << e.wolsearch.best << '\n';
    for (const auto& g : e.groupstatistics)
        o << g.n << ' ', put(o, g.mean), put(o, g.sd), put(o, g.sem), put(o, g.rse);
    o << '\n';
    return o.str();
}

std::uint64_t fnv1a(const std::string& text) {
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ULL;
    return h;
}

using Step = std::function<void(TEngine&)>;

std::vector<Step> road() {
    return {
        [](TEngine& e) { e.ProcessDataAfterRead(); },
        [](TEngine& e) { e.BaselineButtonPanelClick(); },
        [](TEngine& e) { e.calc_mean_ButtonClick(); },
        [](TEngine& e) {
            e.samplenum = 7;
            e.fitsampleButClick();
        },
        [](TEngine& e) {
            e.samplenum = 30;
            e.cuplimeditChange(TLimitEdit::GrUpLimEdit, 0.5);
        },
        [](TEngine& e) { e.cuplimeditChange(TLimitEdit::clowlimedit, -1.2345); },
        [](TEngine& e) { e.ApplyManualBaseline(5, e.bgarr[5] * 1.02); },
        [](TEngine& e) {
            e.samplenum = 3;
            e.bgarr[3] *= 1.01;
            e.ResetDefaultbaselineButtonClick();
        },
        [](TEngine& e) { e.SetWoLwidth("6"); },
        [](TEngine& e) {
            e.samplenum = 5;
            e.RecalculateWoLButtonClick();
        },
        [](TEngine& e) { e.calc_mean_ButtonClick(); },
        [](TEngine& e) { e.selectcommonwindow(); },
        [](TEngine& e) { e.Set_WoL(0); },
        [](TEngine& e) { e.calc_mean_ButtonClick(); },
    };
}

TEST(RoadSnapshot, ResultsOfTheWholeRoadAreUnchanged) {
    const struct {
        int wells, targets;
        double noise;
        unsigned seed;
    } plates[] = {{96, 1, 0.005, 4},
                  {96, 4, 0.0, 7},
                  {96, 24, 0.005, 27},
                  {96, 6, 0.08, 5},
                  {384, 4, 0.005, 11}};
    std::string all;
    for (const auto& p : plates) {
        TEngine e;
        testing::loadSyntheticRun(e, testing::makePlate(p.wells, p.targets, p.noise, p.seed));
        e.fromrdml = true;
        e.silentmode = true;
        int step = 0;
        for (const auto& s : road()) {
            s(e);
            all += "plate " + std::to_string(p.wells) + "/" + std::to_string(p.targets) + " step " +
                   std::to_string(++step) + "\n" + dump(e);
        }
    }
    if (const char* path = std::getenv("QURVEX_ROAD_SNAPSHOT")) std::ofstream(path) << all;
    EXPECT_EQ(fnv1a(all), 0x0b741a5caee2c832ULL) << std::hex << fnv1a(all);
}

}  // namespace
}  // namespace qurvex
