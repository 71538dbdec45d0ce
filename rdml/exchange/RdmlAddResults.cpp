// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlAddResults.h"

#include <string>

#include "rdml/exchange/RdmlIdIndex.h"
#include "rdml/exchange/RdmlReactionResults.h"
#include "rdml/exchange/RdmlTargetEfficiency.h"
#include "rdml/model/RDML_v1_2_CR.h"

namespace qurvex {

using namespace RDML_v1_2_CR;

namespace {

std::string textAt(const std::vector<std::string>& texts, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < texts.size() ? texts[i] : "";
}

bool isResultsDocumentation(const std::string& id) {
    return id.rfind(kRdmlResultsDocumentationId, 0) == 0;
}

struct TAdd {
    TRunState& run;
    const TRdmlWriteChoices& choices;
    TXMLRdml root;
    RdmlIdIndex samples;
    RdmlIdIndex targets;
    bool savedBefore = false;
    std::string dye;
};

// Appends the documentation of this save under an id no other documentation
// element has; tells whether an earlier results save left its own.
void addDocumentation(TAdd& a, const std::tm& now) {
    TXMLDocumentationTypeList list = a.root.Get_Documentation();
    RdmlIdIndex ids;
    for (int k = 0; k < list.Count(); ++k) {
        const std::string id = list[k].Get_Id();
        ids.add(id);
        if (isResultsDocumentation(id)) a.savedBefore = true;
    }
    std::string id = kRdmlResultsDocumentationId;
    for (int n = 2; ids.contains(id); ++n)
        id = std::string(kRdmlResultsDocumentationId) + " (" + std::to_string(n) + ")";
    TXMLDocumentationType documentation = list.Add();
    documentation.Set_Id(id);
    documentation.Set_Text("Qurvex output added: " + RdmlDateText(now));
}

// The id of the first dye; a dye of the chemistry is added when there is none.
const std::string& dyeId(TAdd& a) {
    if (!a.dye.empty()) return a.dye;
    TXMLDyeTypeList dyes = a.root.Get_Dye();
    if (dyes.Count() > 0) a.dye = dyes[0].Get_Id();
    if (a.dye.empty()) {
        a.dye = RdmlDyeId(a.run.chemistry);
        if (a.dye.empty()) a.dye = "dye";
        dyes.Add().Set_Id(a.dye);
    }
    return a.dye;
}

TXMLTargetType addTarget(TAdd& a, const std::string& id) {
    TXMLTargetType target = a.root.Get_Target().Add();
    target.Set_Id(id);
    target.Set_Type("toi");
    target.Get_DyeId().Set_Id(dyeId(a));
    a.targets.add(id);
    return target;
}

void addSample(TAdd& a, const std::string& id) {
    TXMLSampleType sample = a.root.Get_Sample().Add();
    sample.Set_Id(id);
    sample.Set_Type("unkn");
    a.samples.add(id);
}

void updateTargets(TAdd& a) {
    TXMLTargetTypeList list = a.root.Get_Target();
    for (int k = 0; k < list.Count(); ++k) a.targets.add(list[k].Get_Id());
    const auto& names = a.run.groupidentifiers;
    for (int g = 1; g <= a.run.ngroups; ++g) {
        const std::string name = textAt(names, g);
        if (name.empty()) continue;
        const std::string id = a.targets.find(name);
        TXMLTargetType target;
        if (id.empty()) {
            target = addTarget(a, name);
        } else {
            for (int k = 0; k < list.Count(); ++k)
                if (list[k].Get_Id() == id) target = list[k];
        }
        // A target keeps the document's own values when no mean is in force.
        const std::optional<TTargetEfficiency> eff = TargetEfficiencyInForce(a.run, g);
        if (!eff) continue;
        target.Set_AmplificationEfficiency(static_cast<float>(eff->mean));
        target.Set_AmplificationEfficiencySE(static_cast<float>(eff->se));
    }
}

void updateSamples(TAdd& a) {
    TXMLSampleTypeList list = a.root.Get_Sample();
    for (int k = 0; k < list.Count(); ++k) a.samples.add(list[k].Get_Id());
    for (int t = 1; t <= a.run.ntissues; ++t) {
        const std::string id = textAt(a.run.uniquetissues, t);
        if (!id.empty() && a.samples.find(id).empty()) addSample(a, id);
    }
}

// The element id a reference to `name` is written with: the document's
// spelling, or `name` itself after adding its element.
std::string sampleRef(TAdd& a, const std::string& name) {
    const std::string found = a.samples.find(name);
    if (!found.empty()) return found;
    addSample(a, name);
    return name;
}

std::string targetRef(TAdd& a, const std::string& name) {
    const std::string found = a.targets.find(name);
    if (!found.empty()) return found;
    addTarget(a, name);
    return name;
}

void removeExcl(TXMLDataType& data) {
    pugi::xml_node node = data.DomNode();
    const RdmlDocument doc = data.OwnerDocument();
    pugi::xml_node excl = detail::findChild(*doc.State(), node, "excl");
    if (!excl) return;
    node.remove_child(excl);
    ++doc.State()->generation;
}

void updateReaction(TAdd& a, TXMLReactTypeList& reacts, int i) {
    TRdmlReactRef ref{i - 1, 0};
    if (static_cast<std::size_t>(i) < a.choices.reactrefs.size()) ref = a.choices.reactrefs[i];
    TXMLReactType react = reacts.Items(ref.react);
    const std::string sample = textAt(a.run.tissue, i);
    if (!sample.empty()) react.Get_Sample().Set_Id(sampleRef(a, sample));
    TXMLDataType data = react.Get_Data().Items(ref.data);
    const std::string target = textAt(a.run.ampname, i);
    if (!target.empty()) data.Get_Tar().Set_Id(targetRef(a, target));
    const bool included = static_cast<std::size_t>(i) >= a.run.non0.size() || a.run.non0[i] == 0;
    if (included && a.savedBefore && data.HasChild("excl") &&
        IsQurvexExclusionText(data.Get_Excl()))
        removeExcl(data);
    WriteReactionResults(data, a.run, i, SampleLift(a.choices, i));
}

}  // namespace

void AddResultsToRdml(RdmlDocument& document, TRunState& run, const TRdmlWriteChoices& choices) {
    TAdd a{run, choices, GetRdml(document), {}, {}, false, {}};
    const std::tm now = RdmlWriteTime(choices);
    a.root.Set_DateUpdated(RdmlDateTimeText(now));
    addDocumentation(a, now);
    updateTargets(a);
    updateSamples(a);
    TXMLReactTypeList reacts = a.root.Get_Experiment().Items(0).Get_Run().Items(0).Get_React();
    for (int i = 1; i <= run.nsamples; ++i) updateReaction(a, reacts, i);
}

}  // namespace qurvex
