// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlDocumentWriter.h"

#include <string>

#include "engine/Utilities.h"
#include "rdml/exchange/RdmlIdIndex.h"
#include "rdml/exchange/RdmlReactionResults.h"
#include "rdml/exchange/RdmlTargetEfficiency.h"
#include "rdml/model/RDML_v1_2_CR.h"

namespace qurvex {

using namespace RDML_v1_2_CR;

namespace {

struct TBuild {
    TRunState& run;
    const TRdmlWriteChoices& choices;
    bool v11;
    std::string dye;
    TXMLRdml root;
    RdmlIdIndex samples;
    RdmlIdIndex targets;
};

int rowCount(const TGridCells& grid) {
    return grid.empty() ? 0 : static_cast<int>(grid.front().size());
}

std::string cell(const TGridCells& grid, int col, int row) {
    if (col < 0 || row < 0 || static_cast<std::size_t>(col) >= grid.size()) return "";
    const auto& column = grid[col];
    return static_cast<std::size_t>(row) < column.size() ? column[row] : "";
}

double at(const std::vector<double>& values, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < values.size() ? values[i] : 0.0;
}

std::string textAt(const std::vector<std::string>& texts, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < texts.size() ? texts[i] : "";
}

std::string orDefault(std::string id, const char* fallback) { return id.empty() ? fallback : id; }

// The column of a tissue grid that holds the id written: the tissue ID
// (RDML 1.2/1.3) or the joined annotations (RDML 1.1).
int idColumn(const TGridCells& grid, bool v11, bool uniqueGrid) {
    const int cols = static_cast<int>(grid.size());
    if (v11) return cols - 2;
    return uniqueGrid ? 0 : cols - 1;
}

TXMLSampleType addSample(TBuild& b, const std::string& id) {
    TXMLSampleType sample = b.root.Get_Sample().Add();
    sample.Set_Id(id);
    sample.Set_Type("unkn");
    b.samples.add(id);
    return sample;
}

// A target with the mean efficiency in force for it, when there is one (the
// method "Qurvex" goes with it when asked for).
void addTarget(TBuild& b, const std::string& id, const std::optional<TTargetEfficiency>& eff,
               bool withMethod) {
    TXMLTargetType target = b.root.Get_Target().Add();
    target.Set_Id(id);
    target.Set_Type("toi");
    if (eff && withMethod && !b.v11) target.Set_AmplificationEfficiencyMethod("Qurvex");
    if (eff) {
        target.Set_AmplificationEfficiency(static_cast<float>(eff->mean));
        if (!b.v11) target.Set_AmplificationEfficiencySE(static_cast<float>(eff->se));
    }
    target.Get_DyeId().Set_Id(b.dye);
    b.targets.add(id);
}

void writeTissueSamples(TBuild& b) {
    const TGridCells& grid = b.choices.UniqueTissuesSG;
    const int rows = rowCount(grid);
    b.run.ntissues = rows > 0 ? rows - 1 : 0;
    const int col = idColumn(grid, b.v11, true);
    for (int k = 1; k < rows; ++k) {
        const std::string id = cell(grid, col, k);
        if (id.empty() || b.samples.contains(id)) continue;
        TXMLSampleType sample = addSample(b, id);
        if (b.v11) continue;
        // A sample without a value under a property has no such annotation;
        // a sample without any value gets no annotation element at all.
        for (int m = 1; m < static_cast<int>(grid.size()); ++m) {
            const std::string value = cell(grid, m, k);
            if (value.empty()) continue;
            TXMLAnnotationType annotation = sample.Get_Annotation().Add();
            annotation.Set_Property(cell(grid, m, 0));
            annotation.Set_Value(value);
        }
    }
}

std::string sampleNameId(const TRunState& run, int i) {
    const std::string name = textAt(run.sampname, i);
    return name.empty() ? "sample_" + std::to_string(i) : name;
}

void writeNamedSamples(TBuild& b) {
    for (int i = 1; i <= b.run.nsamples; ++i) {
        const std::string id = sampleNameId(b.run, i);
        if (!b.samples.contains(id)) addSample(b, id);
    }
}

void writeTargets(TBuild& b) {
    TRunState& run = b.run;
    if (!run.groupsdefined) {
        const std::string id = orDefault(b.choices.TargetnameEdit, "not_named");
        addTarget(b, id, TargetEfficiencyInForce(run, 0), true);
        for (int i = 1; i <= run.nsamples && static_cast<std::size_t>(i) < run.ampname.size(); ++i)
            run.ampname[i] = id;
        return;
    }
    const auto& names = run.groupidentifiers;
    for (int g = 1; g <= run.ngroups; ++g) {
        std::string id = textAt(names, g);
        if (id.empty()) id = textAt(run.ShowGroupCBItems, g);
        if (id.empty() || b.targets.contains(id)) continue;
        addTarget(b, id, TargetEfficiencyInForce(run, g), run.commonwol);
    }
}

std::string reactSampleId(TBuild& b, int i) {
    std::string id;
    if (b.run.tissuesdefined) {
        const TGridCells& grid = b.choices.TissueSampSG;
        id = cell(grid, idColumn(grid, b.v11, false), i);
    }
    if (id.empty()) id = sampleNameId(b.run, i);
    const std::string found = b.samples.find(id);
    if (!found.empty()) return found;
    addSample(b, id);
    return id;
}

std::string reactTargetId(TBuild& b, int i) {
    const std::string id = orDefault(textAt(b.run.ampname, i), "not_named");
    const std::string found = b.targets.find(id);
    if (!found.empty()) return found;
    addTarget(b, id, std::nullopt, false);
    return id;
}

void writeReaction(TBuild& b, TXMLReactTypeList& reacts, int i) {
    const TRunState& run = b.run;
    TXMLReactType react = reacts.Add();
    const bool keepPlate = run.rdmlplate.holds(run.nsamples);
    react.Set_Id(static_cast<std::uint32_t>(keepPlate ? run.rdmlplate.reactid[i] : i));
    react.Get_Sample().Set_Id(reactSampleId(b, i));
    TXMLDataType data = react.Get_Data().Add();
    data.Get_Tar().Set_Id(reactTargetId(b, i));
    const double lift = SampleLift(b.choices, i);
    WriteReactionResults(data, run, i, lift);
    const int points = static_cast<std::size_t>(i) < run.nrawpoints.size() ? run.nrawpoints[i] : 0;
    if (points <= 0 || static_cast<std::size_t>(i) >= run.rawcyc.size() ||
        static_cast<std::size_t>(i) >= run.rawfluor.size())
        return;
    TXMLDpAmpCurveTypeList adps = data.Get_Adp();
    for (int j = 1; j <= points; ++j) {
        TXMLDpAmpCurveType adp = adps.Add();
        adp.Set_Cyc(static_cast<float>(at(run.rawcyc[i], j)));
        adp.Set_Fluor(static_cast<float>(at(run.rawfluor[i], j) - lift));
    }
}

void writeExperiment(TBuild& b) {
    const TRunState& run = b.run;
    TXMLExperimentType experiment = b.root.Get_Experiment().Add();
    experiment.Set_Id(
        orDefault(run.fromrdml ? run.rdmlexpid : cleanident(run.expid), "experiment_1"));
    TXMLRunType r = experiment.Get_Run().Add();
    r.Set_Id(orDefault(run.fromrdml ? run.rdmlrunid : cleanident(run.runid), "run_1"));
    if (!b.v11) {
        r.Set_BackgroundDeterminationMethod("Qurvex, constant");
        r.Set_CqDetectionMethod("automated threshold and baseline settings");
    }
    if (run.fromrdml && !run.rdmlrundate.empty()) r.Set_RunDate(run.rdmlrundate);
    // The plate read keeps each reaction in its well; otherwise the
    // reactions are numbered 1..n in one column.
    const TRdmlPlate& plate = run.rdmlplate;
    const bool keepPlate = plate.holds(run.nsamples);
    TXMLPcrFormatType format = r.Get_PcrFormat();
    format.Set_Rows(keepPlate ? plate.rows : run.nsamples);
    format.Set_Columns(keepPlate ? plate.columns : 1);
    format.Set_RowLabel(keepPlate ? plate.rowlabel : "123");
    format.Set_ColumnLabel(keepPlate ? plate.columnlabel : "123");
    TXMLReactTypeList reacts = r.Get_React();
    for (int i = 1; i <= run.nsamples; ++i) writeReaction(b, reacts, i);
}

}  // namespace

const char* RdmlVersionText(TRdmlVersion version) {
    switch (version) {
        case TRdmlVersion::v1_1:
            return "1.1";
        case TRdmlVersion::v1_2:
            return "1.2";
        case TRdmlVersion::v1_3:
            return "1.3";
    }
    return "1.2";
}

RdmlDocument BuildNewRdml(TRunState& run, const TRdmlWriteChoices& choices, TRdmlVersion version) {
    TBuild b{run, choices, version == TRdmlVersion::v1_1, RdmlDyeId(run.chemistry), NewRdml(),
             {},  {}};
    b.root.Set_Version(RdmlVersionText(version));
    const std::tm now = RdmlWriteTime(choices);
    b.root.Set_DateMade(RdmlDateTimeText(now));
    TXMLDocumentationType documentation = b.root.Get_Documentation().Add();
    documentation.Set_Id("RDML created by Qurvex");
    documentation.Set_Text("Output Qurvex (2021.2): " + RdmlDateText(now));
    b.root.Get_Dye().Add().Set_Id(b.dye);
    if (run.tissuesdefined)
        writeTissueSamples(b);
    else
        writeNamedSamples(b);
    writeTargets(b);
    writeExperiment(b);
    return b.root.OwnerDocument();
}

}  // namespace qurvex
