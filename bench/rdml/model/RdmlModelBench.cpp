// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a generated RDML 1.2 run of 384 reactions x 50 points through the
// model (load, bind, read every cycle and fluorescence value), next to a bare
// pugixml parse of the same bytes. The ratio of the two is the model's cost.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "rdml/model/RDML_v1_2_CR.h"

namespace {

// Generated fixture: 384 reactions ("1".."384"), 50 points each, cycle c with
// fluorescence 100 + 37.5 * c / (1 + reaction), written with ".".
std::string generatedRun(int reactions, int points) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\">\n"
        " <experiment id=\"bench\">\n  <run id=\"run\">\n   "
        "<pcrFormat><rows>16</rows><columns>24</columns>"
        "<rowLabel>ABC</rowLabel><columnLabel>123</columnLabel></pcrFormat>\n";
    for (int r = 1; r <= reactions; ++r) {
        const std::string id = std::to_string(r);
        xml.append("   <react id=\"").append(id).append("\">\n    <sample id=\"S").append(id);
        xml.append("\"/>\n    <data>\n     <tar id=\"T\"/>\n");
        for (int c = 1; c <= points; ++c) {
            const double fluor = 100.0 + 37.5 * c / (1.0 + r);
            xml.append("     <adp><cyc>").append(std::to_string(c)).append("</cyc><fluor>");
            xml.append(std::to_string(fluor)).append("</fluor></adp>\n");
        }
        xml.append("    </data>\n   </react>\n");
    }
    xml.append("  </run>\n </experiment>\n</rdml>\n");
    return xml;
}

const std::string& fixture() {
    static const std::string xml = generatedRun(384, 50);
    return xml;
}

void BM_BarePugixmlParse(benchmark::State& state) {
    const std::string& xml = fixture();
    for (auto _ : state) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_buffer(xml.data(), xml.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}
BENCHMARK(BM_BarePugixmlParse)->Unit(benchmark::kMillisecond);

double loadAndReadAllPoints(const std::string& xml) {
    using namespace qurvex;
    RdmlDocument document = RdmlDocument::LoadFromBytes(xml);
    RDML_v1_2_CR::TXMLRunType run =
        RDML_v1_2_CR::GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0);
    auto reacts = run.Get_React();
    double sum = 0;
    const int n = reacts.Count();
    for (int r = 0; r < n; ++r) {
        auto react = reacts.Items(r);
        sum += react.Get_Id();
        auto points = react.Get_Data().Items(0).Get_Adp();
        const int m = points.Count();
        for (int p = 0; p < m; ++p) {
            auto point = points.Items(p);
            sum += point.Get_Cyc() + point.Get_Fluor();
        }
    }
    return sum;
}

// Both roads in alternation within one run, so that a busy machine slows
// both alike; the counter "model_over_parse" is the ratio of their times.
void BM_ModelOverBareParse(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const std::string& xml = fixture();
    Clock::duration bare{};
    Clock::duration model{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        {
            pugi::xml_document doc;
            benchmark::DoNotOptimize(doc.load_buffer(xml.data(), xml.size()));
        }
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(loadAndReadAllPoints(xml));
        const auto t2 = Clock::now();
        bare += t1 - t0;
        model += t2 - t1;
    }
    state.counters["model_over_parse"] =
        std::chrono::duration<double>(model).count() / std::chrono::duration<double>(bare).count();
}
BENCHMARK(BM_ModelOverBareParse)->Unit(benchmark::kMillisecond);

void BM_ModelLoadAndReadAllPoints(benchmark::State& state) {
    using namespace qurvex;
    const std::string& xml = fixture();
    for (auto _ : state) {
        RdmlDocument document = RdmlDocument::LoadFromBytes(xml);
        RDML_v1_2_CR::TXMLRunType run =
            RDML_v1_2_CR::GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0);
        auto reacts = run.Get_React();
        double sum = 0;
        const int n = reacts.Count();
        for (int r = 0; r < n; ++r) {
            auto react = reacts.Items(r);
            sum += react.Get_Id();
            auto points = react.Get_Data().Items(0).Get_Adp();
            const int m = points.Count();
            for (int p = 0; p < m; ++p) {
                auto point = points.Items(p);
                sum += point.Get_Cyc() + point.Get_Fluor();
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}
BENCHMARK(BM_ModelLoadAndReadAllPoints)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The load alone (decoding checks, parse, namespace scan), for locating costs.
void BM_ModelLoadOnly(benchmark::State& state) {
    const std::string& xml = fixture();
    for (auto _ : state) {
        qurvex::RdmlDocument document = qurvex::RdmlDocument::LoadFromBytes(xml);
        benchmark::DoNotOptimize(qurvex::RDML_v1_2_CR::GetRdml(document));
    }
}
BENCHMARK(BM_ModelLoadOnly)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// Reading every point of a document loaded once, for locating costs.
void BM_ModelReadOnly(benchmark::State& state) {
    using namespace qurvex;
    RdmlDocument document = RdmlDocument::LoadFromBytes(fixture());
    for (auto _ : state) {
        auto reacts = RDML_v1_2_CR::GetRdml(document)
                          .Get_Experiment()
                          .Items(0)
                          .Get_Run()
                          .Items(0)
                          .Get_React();
        double sum = 0;
        for (int r = 0; r < reacts.Count(); ++r) {
            auto points = reacts.Items(r).Get_Data().Items(0).Get_Adp();
            for (int p = 0; p < points.Count(); ++p) {
                auto point = points.Items(p);
                sum += point.Get_Cyc() + point.Get_Fluor();
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ModelReadOnly)->Unit(benchmark::kMillisecond);

}  // namespace

#if defined(__GLIBC__)
#include <malloc.h>

namespace {

// BM_ModelOverBareParse with freed memory kept by the allocator. By default
// glibc hands the heap pages of each parsed document back to the system when
// the document is freed, so every iteration of either road first faults about
// 3 MB of fresh pages in: that kernel time is most of the bare parse and
// dilutes the ratio. Here both roads reuse warm pages, which gives the ratio
// of the work done in the process itself. Registered last: the allocator
// setting lasts for the rest of the run.
void BM_ModelOverBareParseWarmHeap(benchmark::State& state) {
    mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    using Clock = std::chrono::steady_clock;
    const std::string& xml = fixture();
    Clock::duration bare{};
    Clock::duration model{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        {
            pugi::xml_document doc;
            benchmark::DoNotOptimize(doc.load_buffer(xml.data(), xml.size()));
        }
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(loadAndReadAllPoints(xml));
        const auto t2 = Clock::now();
        bare += t1 - t0;
        model += t2 - t1;
    }
    state.counters["bare_ms"] =
        std::chrono::duration<double, std::milli>(bare).count() / state.iterations();
    state.counters["model_ms"] =
        std::chrono::duration<double, std::milli>(model).count() / state.iterations();
    state.counters["model_over_parse"] =
        std::chrono::duration<double>(model).count() / std::chrono::duration<double>(bare).count();
}
BENCHMARK(BM_ModelOverBareParseWarmHeap)->Unit(benchmark::kMillisecond);

}  // namespace
#endif
