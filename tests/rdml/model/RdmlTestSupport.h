// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers of the RDML model tests: archive extraction through the `unzip`
// tool, schema validation through `xmllint`, temporary folders.

#include <filesystem>
#include <string>
#include <vector>

namespace qurvex::test {

// Committed test data (MIT files) and the optional shared data folder.
std::filesystem::path testData(const std::string& relative);
std::filesystem::path sharedData(const std::string& relative);
bool sharedDataPresent();

// Output of a shell command (stdout), and its exit status through `status`.
std::string runCommand(const std::string& command, int* status = nullptr);

// Names of the entries of a ZIP archive (unzip -Z1).
std::vector<std::string> archiveEntries(const std::filesystem::path& archive);

// Bytes of one entry of a ZIP archive (unzip -p); the entry "rdml_data.xml" or,
// when `entry` is empty, the archive's only ".xml" entry named rdml_data.xml or
// else its first ".xml" entry.
std::string archiveEntry(const std::filesystem::path& archive, std::string entry = {});

// A fresh folder below the system temporary folder, removed on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Runs `xmllint --noout --schema <xsd>` on `xml` (written to a temporary
// file). Returns true when valid; `report` receives xmllint's messages.
bool validatesAgainst(const std::string& xml, const std::string& xsdName, std::string* report = nullptr);

// Writes bytes to a file.
void writeFile(const std::filesystem::path& path, const std::string& bytes);
std::string readFile(const std::filesystem::path& path);

}  // namespace qurvex::test
