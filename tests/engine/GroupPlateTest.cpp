// SPDX-License-Identifier: GPL-3.0-or-later
// The whole road on noise-free synthetic plates: targets become groups, each
// group gets its window, and the means, N0 and flags must reproduce the
// curves' known efficiencies and starting quantities.
// Generator: tests/engine/support/SyntheticRun (model and parameters below).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "tests/engine/support/SyntheticRun.h"

namespace qurvex {
namespace {

using testing::SyntheticRun;
using testing::SyntheticWell;

struct PlannedWell {
    int target;  // 0..2
    double n0;
    double efficiency;
    bool amplifies;
};

const double kTargetEff[3] = {1.80, 1.88, 1.95};
const char* const kTargetName[3] = {"GAPDH", "actb", "ACTB_long"};

// Three targets, each a 10-fold dilution series of 5 levels in triplicate,
// one non-template control per target and, when `planted`, one outlier per
// target (efficiency 0.15 below the target's).
std::vector<PlannedWell> plannedplate(bool planted) {
    std::vector<PlannedWell> plan;
    for (int t = 0; t < 3; ++t) {
        for (int level = 0; level < 5; ++level)
            for (int rep = 0; rep < 3; ++rep)
                plan.push_back({t, 1e-4 * std::pow(10.0, -level), kTargetEff[t], true});
        plan.push_back({t, 1e-6, kTargetEff[t], false});
        if (planted) plan.push_back({t, 1e-6, kTargetEff[t] - 0.15, true});
    }
    return plan;
}

SyntheticRun makerun(const std::vector<PlannedWell>& plan) {
    SyntheticRun run;
    run.ncycles = 45;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        SyntheticWell w;
        w.name = "w" + std::to_string(i + 1);
        w.target = kTargetName[plan[i].target];
        w.n0 = plan[i].n0;
        w.efficiency = plan[i].efficiency;
        w.baseline = 1.0 + 0.1 * static_cast<double>(i % 4);
        w.plateau = 10.0;
        w.amplifies = plan[i].amplifies;
        run.wells.push_back(w);
    }
    return run;
}

// The road of an RDML run: read, baseline step (targets become groups and
// each group gets its window), then the means.
std::unique_ptr<TEngine> runroad(const std::vector<PlannedWell>& plan) {
    auto e = std::make_unique<TEngine>();
    testing::loadSyntheticRun(*e, makerun(plan));
    e->fromrdml = true;
    e->silentmode = true;
    e->ProcessDataAfterRead();
    if (!e->BaselineButtonPanelClick()) return nullptr;
    e->calc_mean_ButtonClick();
    return e;
}

// Least-squares slope of y on x.
double lsqslope(const std::vector<double>& x, const std::vector<double>& y) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    const double n = static_cast<double>(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    return (sxy - sx * sy / n) / (sxx - sx * sx / n);
}

// Local efficiency of a noise-free curve over cycles a..b: 10^slope of the
// least-squares line of log10(F - baseline) on the cycle, from the model.
double modelefficiency(const PlannedWell& w, double a, double b) {
    SyntheticWell m;
    m.n0 = w.n0;
    m.efficiency = w.efficiency;
    m.baseline = 0.0;
    std::vector<double> x, y;
    for (double c = a; c <= b + 1e-9; c += 1.0) {
        x.push_back(c);
        y.push_back(std::log10(testing::syntheticFluorescence(m, c)));
    }
    return std::pow(10.0, lsqslope(x, y));
}

// One road on the plate without planted outliers, shared by the tests below.
class GroupPlate : public ::testing::Test {
protected:
    void SetUp() override {
        static const std::vector<PlannedWell> kPlan = plannedplate(false);
        static const std::unique_ptr<TEngine> kEngine = runroad(kPlan);
        ASSERT_NE(kEngine, nullptr);
        plan = &kPlan;
        engine = kEngine.get();
    }
    const std::vector<PlannedWell>* plan = nullptr;
    const TEngine* engine = nullptr;
};

TEST_F(GroupPlate, TargetsBecomeGroupsInOrder) {
    const TEngine& e = *engine;
    ASSERT_EQ(e.ngroups, 3);
    for (int s = 1; s <= e.nsamples; ++s) EXPECT_EQ(e.ampgroup[s], (*plan)[s - 1].target + 1) << s;
    EXPECT_EQ(e.ShowGroupCBItems, (std::vector<std::string>{"All", "GAPDH", "actb", "ACTB_long"}));
    EXPECT_EQ(e.groupidentifiers, (std::vector<std::string>{"", "GAPDH", "actb", "ACTB_long"}));
}

// The window of linearity lies where the curves already bend a little towards
// their plateau, so the efficiency measured there is the curve's local one:
// a few tenths of a percent below the amplification factor of the model.
TEST_F(GroupPlate, MeanEfficiencyIsTheCurvesEfficiencyInTheWindow) {
    const TEngine& e = *engine;
    for (int g = 1; g <= 3; ++g) {
        double sum = 0;
        int n = 0;
        for (int s = 1; s <= e.nsamples; ++s) {
            if (e.ampgroup[s] != g || e.exclmeaneff[s]) continue;
            sum += modelefficiency((*plan)[s - 1], e.cyc[s][e.wolstart[s]], e.cyc[s][e.wolstop[s]]);
            ++n;
        }
        ASSERT_EQ(n, 15) << g;
        EXPECT_EQ(e.groupstatistics[g].n, 15) << g;
        // The baselines found are within a few 1e-5 of the true ones.
        EXPECT_NEAR(e.meaneff[g], sum / n, 5e-4 * sum / n) << g;
        EXPECT_NEAR(e.meaneff[g], kTargetEff[g - 1], 0.005 * kTargetEff[g - 1]) << g;
        EXPECT_LT(e.meaneffse[g], 0.001) << g;
    }
}

// Controls are flagged and get no N0; log10 N0 follows log10 of the true
// starting quantity with slope 1 up to the bias the local efficiency leaves,
// |log10(E/Emean)| / log10(E) (about 0.006 for these curves).
TEST_F(GroupPlate, ControlsHaveNoN0AndN0FollowsTheStartingQuantity) {
    const TEngine& e = *engine;
    for (int t = 0; t < 3; ++t) {
        std::vector<double> x, y;
        for (int s = 1; s <= e.nsamples; ++s) {
            const PlannedWell& w = (*plan)[s - 1];
            if (w.target != t) continue;
            if (!w.amplifies) {
                EXPECT_TRUE(e.noamplif[s] && e.exclmeaneff[s]) << s;
                EXPECT_EQ(e.meann0[s], -999.0) << s;
                continue;
            }
            ASSERT_GT(e.meann0[s], 0.0) << s;
            x.push_back(std::log10(w.n0));
            y.push_back(std::log10(e.meann0[s]));
        }
        ASSERT_EQ(x.size(), 15u);
        const double slope = lsqslope(x, y);
        const double bias =
            std::abs(std::log10(kTargetEff[t] / e.meaneff[t + 1])) / std::log10(kTargetEff[t]);
        EXPECT_NEAR(slope, 1.0, bias + 0.001) << "target " << t;
        EXPECT_NEAR(slope, 1.0, 0.01) << "target " << t;
    }
}

TEST(GroupPlateOutliers, PlantedOutliersAreFoundAndLeftOut) {
    const auto plan = plannedplate(true);
    const auto e = runroad(plan);
    ASSERT_NE(e, nullptr);
    for (int s = 1; s <= e->nsamples; ++s) {
        const PlannedWell& w = plan[s - 1];
        if (!w.amplifies) continue;
        const bool planted = w.efficiency != kTargetEff[w.target];
        EXPECT_EQ(e->effoutlier[s] != 0, planted) << s << " eff " << e->indiveff[s];
        EXPECT_EQ(e->exclmeaneff[s] != 0, planted) << s;
    }
}

}  // namespace
}  // namespace qurvex
