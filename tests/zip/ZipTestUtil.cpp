// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/zip/ZipTestUtil.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "zip/ZipError.h"

namespace qurvex::ziptest {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qurvex-zip-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteFile(const std::string& path, const std::string& text) { WriteFile(path, ToBytes(text)); }

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes EmptyArchive() {
    Bytes b(22, 0);
    b[0] = 'P', b[1] = 'K', b[2] = 5, b[3] = 6;
    return b;
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EZipError& e) {
        return e.what();
    }
    return "";
}

Bytes NoiseBytes(std::size_t n, uint32_t seed) {
    Bytes out(n);
    uint32_t x = seed ? seed : 1;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x >> 24);
    }
    return out;
}

Bytes TextBytes(std::size_t n, uint32_t seed) {
    std::string s;
    for (uint32_t x = seed, cycle = 1; s.size() < n; x = x * 1664525u + 1013904223u, ++cycle) {
        s += "<data><cyc>" + std::to_string(cycle) + "</cyc><fluor>" + std::to_string(x % 100000) +
             "</fluor></data>\n";
    }
    s.resize(n);
    return ToBytes(s);
}

int Shell(const std::string& command, std::string* output) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    char buf[4096];
    std::size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) text.append(buf, n);
    const int status = pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int InfoZip(const std::string& dir, const std::string& args) {
    return Shell("cd " + ShellQuote(dir) + " && zip -q " + args);
}

std::string ShellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int RunPython(const std::string& script, const std::string& dir, std::string* output) {
    const std::string path = dir + "/script.py";
    WriteFile(path, script);
    return Shell("cd " + ShellQuote(dir) + " && python3 " + ShellQuote(path), output);
}

}  // namespace qurvex::ziptest
