// SPDX-License-Identifier: GPL-3.0-or-later
// Taking over a run that a reader has completed.
#include <algorithm>
#include <string>

#include "engine/Engine.h"
#include "engine/RunInput.h"

namespace qurvex {

namespace {

template <class V>
bool sized(const V& v, int n) {
    return v.size() == static_cast<std::size_t>(n);
}

}  // namespace

void TRunInput::size(int ncycles_, int nsamples_) {
    ncycles = std::max(0, ncycles_);
    nsamples = std::max(0, nsamples_);
    const auto ns = static_cast<std::size_t>(nsamples + 1);
    const auto nc = static_cast<std::size_t>(ncycles + 1);
    sampname.assign(ns, {});
    ampname.assign(ns, {});
    ampgroup.assign(ns, 0);
    tissue.assign(ns, {});
    npoints.assign(ns, 0);
    rawcyc.assign(ns, std::vector<double>(nc, 0.0));
    rawfluor.assign(ns, std::vector<double>(nc, 0.0));
    headercyc.assign(nc, 0.0);
}

std::string TRunInput::sizeerror() const {
    if (nsamples < 0 || ncycles < 0) return "negative counts";
    const int ns = nsamples + 1;
    const int nc = ncycles + 1;
    if (!sized(sampname, ns)) return "sample names";
    if (!sized(ampname, ns)) return "targets";
    if (!sized(ampgroup, ns)) return "group codes";
    if (!sized(tissue, ns)) return "annotations";
    if (!sized(npoints, ns)) return "point counts";
    if (!sized(rawcyc, ns) || !sized(rawfluor, ns)) return "data rows";
    if (!sized(headercyc, nc)) return "cycle headers";
    for (int s = 0; s < ns; ++s) {
        const auto i = static_cast<std::size_t>(s);
        if (!sized(rawcyc[i], nc) || !sized(rawfluor[i], nc)) return "data row of a sample";
        if (npoints[i] < 0 || npoints[i] > ncycles) return "point count of a sample";
    }
    return {};
}

bool TEngine::loadrun(const TRunInput& in) {
    if (!in.sizeerror().empty()) return false;
    setarraylengths(in.ncycles, in.nsamples);
    sampname = in.sampname;
    ampname = in.ampname;
    ampgroup = in.ampgroup;
    tissue = in.tissue;
    for (auto& t : tissue)
        if (t.empty()) t = "undefined";
    npoints = in.npoints;
    rawcyc = in.rawcyc;
    rawfluor = in.rawfluor;
    headercyc = in.headercyc;

    chemistry = in.chemistry;
    inputtype = in.inputtype;
    baselinedone = in.baselinecorrected;
    fromrdml = in.fromrdml;
    rdml12input = in.rdml12input;
    rdmldotsep = in.rdmldotsep;
    savetocurrentrdml = in.savetocurrentrdml;
    ownrdml = in.ownrdml;
    rdmlsep = in.rdmlsep;
    rdmlfilename = in.rdmlfilename;
    rdmlxmlfile = in.rdmlxmlfile;
    expid = in.expid;
    runid = in.runid;
    rdmlexpid = in.rdmlexpid;
    rdmlrunid = in.rdmlrunid;
    rdmlrundate = in.rdmlrundate;
    rdmlplate = in.rdmlplate;
    inputsheetname = in.inputsheetname;
    tissuesdefined = in.tissuesdefined;
    ntissues = in.ntissues;
    uniquetissues = in.uniquetissues;
    return true;
}

}  // namespace qurvex
