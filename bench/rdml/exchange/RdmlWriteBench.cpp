// SPDX-License-Identifier: GPL-3.0-or-later
// Writing results of a 384-reaction run (45 cycles, 4 targets, analysed) as a
// new RDML 1.2 document, and adding them into a 384-reaction document, next
// to the same work done with bare pugixml: the same elements appended in
// order and the same 32-bit float texts, saved to a string. Each pair is
// timed without and with the archive step (one deflated entry in memory).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "engine/Engine.h"
#include "rdml/exchange/RdmlAddResults.h"
#include "rdml/exchange/RdmlArchiveWriter.h"
#include "rdml/exchange/RdmlDocumentWriter.h"
#include "rdml/exchange/RdmlReactionResults.h"
#include "tests/engine/support/SyntheticRun.h"
#include "zip/KAZip.h"

namespace {

using namespace qurvex;

TEngine& analysedRun() {
    static TEngine* engine = [] {
        auto* e = new TEngine;
        testing::loadSyntheticRun(*e, testing::makePlate(384, 4, 0.002, 7));
        e->ProcessDataAfterRead();
        e->BaselineButtonPanelClick();
        e->GetAmpliconGroupNumbers();
        e->numgroupsEditChange();
        e->calc_mean_ButtonClick();
        ApplyMeanEfficiencyCq(*e);
        ApplyExclusionRule(*e);
        return e;
    }();
    return *engine;
}

TRdmlWriteChoices choices() {
    TRdmlWriteChoices c;
    c.now = std::tm{};
    return c;
}

std::size_t zipInMemory(const std::string& xml) {
    std::ostringstream empty;
    TKAZip::CreateEmptyArchive(empty);
    const std::string head = empty.str();
    TKAZip zip;
    zip.SetCompressionType(TZipCompressionType::ctMaximum);
    zip.LoadFromBuffer(std::vector<uint8_t>(head.begin(), head.end()));
    zip.AddBuffer("rdml_data.xml", {reinterpret_cast<const uint8_t*>(xml.data()), xml.size()});
    return zip.Data().size();
}

std::string floatText(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", static_cast<double>(static_cast<float>(v)));
    return text;
}

void textChild(pugi::xml_node parent, const char* name, const std::string& text) {
    parent.append_child(name).text().set(text.c_str());
}

std::string saved(const pugi::xml_document& doc) {
    std::ostringstream out;
    doc.save(out, " ");
    return out.str();
}

// The document of BuildNewRdml, element for element, on bare pugixml.
std::string bareNewDocument(const TEngine& e) {
    pugi::xml_document doc;
    doc.append_child(pugi::node_declaration).append_attribute("version") = "1.0";
    pugi::xml_node root = doc.append_child("rdml");
    root.append_attribute("xmlns") = "http://www.rdml.org";
    root.append_attribute("version") = "1.2";
    textChild(root, "dateMade", "2026-12-07T14:05:09");
    pugi::xml_node d = root.append_child("documentation");
    d.append_attribute("id") = "RDML created by Qurvex";
    textChild(d, "text", "Output Qurvex (2021.2): 2026-12-07");
    root.append_child("dye").append_attribute("id") = "non-saturating DNA binding dye";
    for (int i = 1; i <= e.nsamples; ++i) {
        pugi::xml_node s = root.append_child("sample");
        s.append_attribute("id") = e.sampname[i].c_str();
        textChild(s, "type", "unkn");
    }
    for (int g = 1; g <= e.ngroups; ++g) {
        pugi::xml_node t = root.append_child("target");
        t.append_attribute("id") = e.groupidentifiers[g].c_str();
        textChild(t, "type", "toi");
        textChild(t, "amplificationEfficiency", floatText(e.meaneff[g]));
        textChild(t, "amplificationEfficiencySE", floatText(e.meaneffse[g]));
        t.append_child("dyeId").append_attribute("id") = "non-saturating DNA binding dye";
    }
    pugi::xml_node run = root.append_child("experiment");
    run.append_attribute("id") = "experiment_1";
    run = run.append_child("run");
    run.append_attribute("id") = "run_1";
    textChild(run, "backgroundDeterminationMethod", "Qurvex, constant");
    textChild(run, "cqDetectionMethod", "automated threshold and baseline settings");
    pugi::xml_node format = run.append_child("pcrFormat");
    textChild(format, "rows", std::to_string(e.nsamples));
    textChild(format, "columns", "1");
    textChild(format, "rowLabel", "123");
    textChild(format, "columnLabel", "123");
    for (int i = 1; i <= e.nsamples; ++i) {
        pugi::xml_node react = run.append_child("react");
        react.append_attribute("id") = i;
        react.append_child("sample").append_attribute("id") = e.sampname[i].c_str();
        pugi::xml_node data = react.append_child("data");
        data.append_child("tar").append_attribute("id") = e.ampname[i].c_str();
        textChild(data, "cq", floatText(e.non0[i] ? -1.0 : e.ct[i]));
        if (e.non0[i]) textChild(data, "excl", "no_amplif");
        for (int j = 1; j <= e.nrawpoints[i]; ++j) {
            pugi::xml_node adp = data.append_child("adp");
            textChild(adp, "cyc", floatText(e.rawcyc[i][j]));
            textChild(adp, "fluor", floatText(e.rawfluor[i][j]));
        }
        textChild(data, "bgFluor", floatText(e.bgarr[i]));
        textChild(data, "quantFluor", floatText(std::pow(10.0, e.sampftval[i])));
    }
    return saved(doc);
}

void setText(pugi::xml_node parent, const char* name, const std::string& text) {
    pugi::xml_node child = parent.child(name);
    if (!child) child = parent.append_child(name);
    child.text().set(text.c_str());
}

// The edits of AddResultsToRdml on bare pugixml.
std::string bareAddResults(const std::string& xml, const TEngine& e) {
    pugi::xml_document doc;
    doc.load_buffer(xml.data(), xml.size());
    pugi::xml_node root = doc.document_element();
    root.insert_child_after("dateUpdated", root.child("dateMade"))
        .text()
        .set("2026-12-07T14:05:09");
    pugi::xml_node d = root.insert_child_after("documentation", root.child("documentation"));
    d.append_attribute("id") = "RDML: results by Qurvex";
    textChild(d, "text", "Qurvex output added: 2026-12-07");
    int g = 0;
    for (pugi::xml_node t : root.children("target")) {
        ++g;
        setText(t, "amplificationEfficiency", floatText(e.meaneff[g]));
        setText(t, "amplificationEfficiencySE", floatText(e.meaneffse[g]));
    }
    int i = 0;
    for (pugi::xml_node react : root.child("experiment").child("run").children("react")) {
        ++i;
        react.child("sample").attribute("id") = e.sampname[i].c_str();
        pugi::xml_node data = react.child("data");
        data.child("tar").attribute("id") = e.ampname[i].c_str();
        setText(data, "cq", floatText(e.non0[i] ? -1.0 : e.ct[i]));
        setText(data, "bgFluor", floatText(e.bgarr[i]));
        setText(data, "quantFluor", floatText(std::pow(10.0, e.sampftval[i])));
    }
    return saved(doc);
}

const std::string& workingDocument() {
    static const std::string xml = [] {
        TRdmlWriteChoices c = choices();
        return BuildNewRdml(analysedRun(), c, TRdmlVersion::v1_2).SaveToString();
    }();
    return xml;
}

void BM_BareNewDocument(benchmark::State& state) {
    const TEngine& e = analysedRun();
    for (auto _ : state) {
        const std::string xml = bareNewDocument(e);
        benchmark::DoNotOptimize(state.range(0) ? zipInMemory(xml) : xml.size());
    }
}
BENCHMARK(BM_BareNewDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_NewRdml12Document(benchmark::State& state) {
    TEngine& e = analysedRun();
    const TRdmlWriteChoices c = choices();
    for (auto _ : state) {
        const std::string xml = BuildNewRdml(e, c, TRdmlVersion::v1_2).SaveToString();
        benchmark::DoNotOptimize(state.range(0) ? zipInMemory(xml) : xml.size());
    }
}
BENCHMARK(BM_NewRdml12Document)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BareAddResults(benchmark::State& state) {
    const TEngine& e = analysedRun();
    const std::string& working = workingDocument();
    for (auto _ : state) {
        const std::string xml = bareAddResults(working, e);
        benchmark::DoNotOptimize(state.range(0) ? zipInMemory(xml) : xml.size());
    }
}
BENCHMARK(BM_BareAddResults)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_AddResultsToRdml(benchmark::State& state) {
    TEngine& e = analysedRun();
    const TRdmlWriteChoices c = choices();
    const std::string& working = workingDocument();
    for (auto _ : state) {
        RdmlDocument document = RdmlDocument::LoadFromBytes(working);
        AddResultsToRdml(document, e, c);
        const std::string xml = document.SaveToString();
        benchmark::DoNotOptimize(state.range(0) ? zipInMemory(xml) : xml.size());
    }
}
BENCHMARK(BM_AddResultsToRdml)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The whole new-document save onto disk (temporary file, fsync, rename).
void BM_NewRdml12ToFile(benchmark::State& state) {
    TEngine& e = analysedRun();
    const TRdmlWriteChoices c = choices();
    const auto target = std::filesystem::temp_directory_path() /
                        ("qurvex-bench-" + std::to_string(::getpid()) + ".rdml");
    for (auto _ : state) {
        std::filesystem::remove(target);
        AddXMLToRDML(target.string(), BuildNewRdml(e, c, TRdmlVersion::v1_2).SaveToString());
    }
    std::filesystem::remove(target);
}
BENCHMARK(BM_NewRdml12ToFile)->Unit(benchmark::kMillisecond);

}  // namespace
