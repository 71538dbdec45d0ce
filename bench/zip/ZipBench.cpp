// SPDX-License-Identifier: GPL-3.0-or-later
// Extracting and adding a 50 MB deflated entry, next to zlib's own raw inflate
// and deflate of the same bytes (level 9, the level the program adds with).
// Every variant allocates its output buffer per iteration, as extraction does.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "zip/KAZip.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr std::size_t kSize = 50u * 1024 * 1024;

// XML-like text resembling an RDML document: compressible, not trivially so.
const Bytes& Document() {
    static const Bytes doc = [] {
        std::string s;
        s.reserve(kSize + 200);
        uint32_t x = 12345;
        int cycle = 0;
        while (s.size() < kSize) {
            x = x * 1664525u + 1013904223u;
            s += "<adp><cyc>" + std::to_string(++cycle % 50 + 1) + "</cyc><fluor>" +
                 std::to_string(x % 100000) + "." + std::to_string((x >> 8) % 1000) +
                 "</fluor></adp>\n";
        }
        s.resize(kSize);
        return Bytes(s.begin(), s.end());
    }();
    return doc;
}

Bytes EmptyArchive() {
    return Bytes{'P', 'K', 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

// An archive holding the document, deflated at the maximum level.
const Bytes& Archive() {
    static const Bytes archive = [] {
        qurvex::TKAZip zip;
        zip.LoadFromBuffer(EmptyArchive());
        zip.AddBuffer("rdml_data.xml", Document());
        return zip.Data();
    }();
    return archive;
}

Bytes RawDeflate(const Bytes& in, int level) {
    z_stream zs{};
    deflateInit2(&zs, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&zs, in.size()));
    zs.next_in = const_cast<Bytef*>(in.data());
    zs.avail_in = static_cast<uInt>(in.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    if (deflate(&zs, Z_FINISH) != Z_STREAM_END) std::abort();
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

const Bytes& Compressed() {
    static const Bytes compressed = RawDeflate(Document(), 9);
    return compressed;
}

void BM_ZlibRawInflate(benchmark::State& state) {
    const Bytes& in = Compressed();
    for (auto _ : state) {
        Bytes out(kSize);
        z_stream zs{};
        inflateInit2(&zs, -MAX_WBITS);
        zs.next_in = const_cast<Bytef*>(in.data());
        zs.avail_in = static_cast<uInt>(in.size());
        zs.next_out = out.data();
        zs.avail_out = static_cast<uInt>(out.size());
        if (inflate(&zs, Z_FINISH) != Z_STREAM_END) std::abort();
        inflateEnd(&zs);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void BM_KAZipExtractFromMemory(benchmark::State& state) {
    qurvex::TKAZip zip;
    zip.LoadFromBuffer(Archive());
    for (auto _ : state) {
        Bytes out = zip.ExtractToBuffer("rdml_data.xml");
        if (out.size() != kSize) std::abort();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void BM_KAZipExtractFromFile(benchmark::State& state) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "qurvex-bench.rdml").string();
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(Archive().data()),
                  static_cast<std::streamsize>(Archive().size()));
    }
    qurvex::TKAZip zip;
    zip.OpenArchive(path);
    for (auto _ : state) {
        Bytes out = zip.ExtractToBuffer("rdml_data.xml");
        if (out.size() != kSize) std::abort();
        benchmark::DoNotOptimize(out.data());
    }
    zip.CloseArchive();
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void BM_ZlibRawDeflate(benchmark::State& state) {
    const Bytes& in = Document();
    for (auto _ : state) {
        Bytes out = RawDeflate(in, 9);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void BM_KAZipAddToMemory(benchmark::State& state) {
    const Bytes& in = Document();
    qurvex::TKAZip zip;
    zip.LoadFromBuffer(EmptyArchive());
    zip.AddBuffer("other.txt", Bytes(1000, 'x'));
    for (auto _ : state) {
        zip.AddBuffer("rdml_data.xml", in);  // replaces the previous copy
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void BM_KAZipAddFileToArchiveFile(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "qurvex-bench-add";
    std::filesystem::create_directories(dir);
    const std::string doc = (dir / "rdml_data.xml").string();
    const std::string archive = (dir / "run.rdml").string();
    {
        std::ofstream out(doc, std::ios::binary);
        out.write(reinterpret_cast<const char*>(Document().data()),
                  static_cast<std::streamsize>(kSize));
        std::ofstream zip(archive, std::ios::binary);
        qurvex::TKAZip::CreateEmptyArchive(zip);
    }
    qurvex::TKAZip zip;
    zip.OpenArchive(archive);
    for (auto _ : state) {
        zip.AddFiles({doc}, dir.string(), false);
    }
    zip.CloseArchive();
    std::filesystem::remove_all(dir);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

BENCHMARK(BM_ZlibRawInflate)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KAZipExtractFromMemory)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KAZipExtractFromFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ZlibRawDeflate)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_KAZipAddToMemory)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_KAZipAddFileToArchiveFile)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
