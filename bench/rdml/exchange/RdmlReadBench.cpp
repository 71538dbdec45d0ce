// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an RDML file of 384 reactions x 50 points end to end (unzip, parse,
// fill the staging run, lists and grids, write the working document; before
// the analysis), next to a bare unzip plus pugixml parse of the same file, and
// the whole road with the analysis (loadrun, ProcessDataAfterRead).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "engine/Engine.h"
#include "rdml/exchange/RdmlExtraction.h"
#include "rdml/exchange/RdmlReadRoad.h"
#include "zip/KAZip.h"

namespace {

namespace fs = std::filesystem;
using namespace qurvex;

// Generated fixture: RDML 1.2, 384 reactions ("1".."384"), 4 targets, 50
// points each with a sigmoid amplification curve written with ".", deflated
// into an archive as "rdml_data.xml".
std::string generatedRun(int reactions, int points) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\">\n"
        " <experiment id=\"bench\">\n  <run id=\"run\">\n";
    for (int r = 1; r <= reactions; ++r) {
        const std::string id = std::to_string(r);
        xml.append("   <react id=\"").append(id).append("\">\n    <sample id=\"S");
        xml.append(std::to_string(r % 24)).append("\"/>\n    <data>\n     <tar id=\"T");
        xml.append(std::to_string(r % 4)).append("\"/>\n");
        for (int c = 1; c <= points; ++c) {
            const double fluor = 100.0 + 5000.0 / (1.0 + std::exp(-(c - 20.0 - r % 10) / 1.6));
            xml.append("     <adp><cyc>").append(std::to_string(c)).append("</cyc><fluor>");
            xml.append(std::to_string(fluor)).append("</fluor></adp>\n");
        }
        xml.append("    </data>\n   </react>\n");
    }
    xml.append("  </run>\n </experiment>\n</rdml>\n");
    return xml;
}

const std::string& archivePath() {
    static const std::string path = [] {
        const std::string xml = generatedRun(384, 50);
        std::stringstream empty;
        TKAZip::CreateEmptyArchive(empty);
        const std::string bytes = empty.str();
        TKAZip zip;
        zip.LoadFromBuffer(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        zip.AddBuffer(
            "rdml_data.xml",
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(xml.data()), xml.size()));
        const auto data = zip.Data();
        const fs::path file = fs::path(RdmlWorkFolder()) / "bench-384.rdml";
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()),
                   static_cast<std::streamsize>(data.size()));
        return file.string();
    }();
    return path;
}

struct Silent : IRdmlReadAsker {
    bool ConfirmBaselineCorrected(const std::string&, const std::string&) override { return true; }
    int ChooseXmlEntry(const std::vector<std::string>&) override { return 0; }
    void Message(TRdmlMessageKind, const std::string&) override {}
};

std::size_t bareUnzipAndParse() {
    TKAZip zip;
    zip.OpenArchive(archivePath());
    const auto bytes = zip.ExtractToBuffer("rdml_data.xml");
    pugi::xml_document doc;
    doc.load_buffer(bytes.data(), bytes.size());
    return static_cast<std::size_t>(doc.first_child().type());
}

TRdmlReadResult readRoad() {
    Silent asker;
    TRdmlReadResult r = ReadfromRDML({archivePath(), 1, 1, false, {}}, asker);
    if (!r.ok) throw std::runtime_error(r.message);
    DiscardWorkingDocument(r.run.rdmlxmlfile);
    return r;
}

// The road without writing the working document: unzip, parse, fill.
int readInMemory() {
    Silent asker;
    TKAZip zip;
    zip.OpenArchive(archivePath());
    const TRdmlExtraction extraction = ExtractXMLFromArchive(zip, asker);
    TRdmlReadResult r;
    if (!ReadRdmlDocument(extraction.xml, archivePath(), r, asker))
        throw std::runtime_error(r.message);
    return r.run.nsamples;
}

void BM_ReadInMemory(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readInMemory());
}
BENCHMARK(BM_ReadInMemory)->Unit(benchmark::kMillisecond);

void BM_BareUnzipAndParse(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(bareUnzipAndParse());
}
BENCHMARK(BM_BareUnzipAndParse)->Unit(benchmark::kMillisecond);

void BM_ReadRoad(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readRoad().run.nsamples);
}
BENCHMARK(BM_ReadRoad)->Unit(benchmark::kMillisecond);

// Both in alternation within one run; "road_over_bare" is the ratio.
void BM_RoadOverBare(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    Clock::duration bare{};
    Clock::duration road{};
    Clock::duration memory{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        benchmark::DoNotOptimize(bareUnzipAndParse());
        auto t1 = Clock::now();
        benchmark::DoNotOptimize(readRoad().run.nsamples);
        auto t2 = Clock::now();
        benchmark::DoNotOptimize(readInMemory());
        auto t3 = Clock::now();
        bare += t1 - t0;
        road += t2 - t1;
        memory += t3 - t2;
    }
    const double b = std::chrono::duration<double>(bare).count();
    state.counters["road_over_bare"] = std::chrono::duration<double>(road).count() / b;
    state.counters["memory_over_bare"] = std::chrono::duration<double>(memory).count() / b;
}
BENCHMARK(BM_RoadOverBare)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadRoadWithAnalysis(benchmark::State& state) {
    for (auto _ : state) {
        const TRdmlReadResult r = readRoad();
        TEngine engine;
        engine.loadrun(r.run);
        engine.ResetInterfaceAfterRead();
        engine.ProcessDataAfterRead();
        engine.ExtraRDMLProcessing();
        benchmark::DoNotOptimize(engine.nsamples);
    }
}
BENCHMARK(BM_ReadRoadWithAnalysis)->Unit(benchmark::kMillisecond);

}  // namespace
