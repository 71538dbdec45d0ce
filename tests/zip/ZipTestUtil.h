// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for the ZIP tests: a scratch folder, file I/O, test data, and calls to
// the independent tools (Info-ZIP zip/unzip, Python's zipfile) that serve as oracle.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qurvex::ziptest {

using Bytes = std::vector<uint8_t>;

// A fresh folder under the system temporary folder, removed with its content.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& data);
void WriteFile(const std::string& path, const std::string& text);
Bytes ToBytes(const std::string& s);
// The 22-byte end record of an archive without entries and comment.
Bytes EmptyArchive();
// The text of the EZipError `f` raises, or "" when it raises none.
std::string ErrorOf(const std::function<void()>& f);

// Reproducible data: xorshift noise (incompressible) and XML-like text (compressible).
Bytes NoiseBytes(std::size_t n, uint32_t seed);
Bytes TextBytes(std::size_t n, uint32_t seed);

// Runs a shell command; returns its exit status. Output goes to `output` when given.
int Shell(const std::string& command, std::string* output = nullptr);
// Runs Info-ZIP "zip -q <args>" in `dir`; returns its exit status.
int InfoZip(const std::string& dir, const std::string& args);
// Runs a Python 3 program (text of the script) in `dir`; returns its exit status.
int RunPython(const std::string& script, const std::string& dir, std::string* output = nullptr);
// Quotes a string for the shell.
std::string ShellQuote(const std::string& s);

}  // namespace qurvex::ziptest
