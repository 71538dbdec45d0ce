// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers of the RDML model tests: archive extraction through the `unzip`
// tool, schema validation through `xmllint`, temporary folders.

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace qurvex::test {

// Committed test data (MIT files) and the optional shared data folder.
std::filesystem::path testData(const std::string& relative);
std::filesystem::path sharedData(const std::string& relative);
bool sharedDataPresent();

// Bytes of the archive's entry "rdml_data.xml", or else of its first ".xml" entry (unzip -p).
std::string archiveEntry(const std::filesystem::path& archive);

// A path below the system temporary folder that no other call returns.
std::filesystem::path freshTempPath(const std::string& name);

// True when `xmllint --schema <xsd>` accepts `xml`; `report` receives xmllint's messages.
bool validatesAgainst(const std::string& xml, const std::string& xsdName, std::string* report);

void writeFile(const std::filesystem::path& path, const std::string& bytes);
std::string readFile(const std::filesystem::path& path);

// Qualified names of the element children of `node`, in document order.
std::vector<std::string> childNames(pugi::xml_node node);

// The first data element of the first reaction of the first run, in any model version.
template <typename Root>
auto firstData(Root root) {
    return root.Get_Experiment().Items(0).Get_Run().Items(0).Get_React().Items(0).Get_Data().Items(
        0);
}

}  // namespace qurvex::test
