// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/rdml/model/RdmlTestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qurvex::test {

namespace {

std::string shellQuoted(const std::filesystem::path& path) {
    std::string out = "'";
    for (char c : path.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Standard output of a shell command; `status` receives its exit status.
std::string runCommand(const std::string& command, int& status) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("cannot run " + command);
    std::string out;
    char buffer[65536];
    for (std::size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int rc = pclose(pipe);
    status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

}  // namespace

std::filesystem::path testData(const std::string& relative) {
    return std::filesystem::path(QURVEX_TEST_DATA_DIR) / relative;
}

std::filesystem::path sharedData(const std::string& relative) {
    return std::filesystem::path(QURVEX_SHARED_DATA_DIR) / relative;
}

bool sharedDataPresent() { return std::filesystem::exists(sharedData("rdml")); }

std::string archiveEntry(const std::filesystem::path& archive) {
    int status = 0;
    std::istringstream list(runCommand("unzip -Z1 " + shellQuoted(archive), status));
    std::string entry;
    for (std::string line; std::getline(list, line);)
        if (line == "rdml_data.xml" || (entry.empty() && line.ends_with(".xml"))) entry = line;
    std::string bytes =
        runCommand("unzip -p " + shellQuoted(archive) + " " + shellQuoted(entry), status);
    if (status != 0 || entry.empty())
        throw std::runtime_error("cannot extract " + entry + " from " + archive.string());
    return bytes;
}

std::filesystem::path freshTempPath(const std::string& name) {
    static std::atomic<int> counter{0};
    return std::filesystem::temp_directory_path() / ("qurvex-rdml-" + std::to_string(::getpid()) +
                                                     "-" + std::to_string(counter++) + "-" + name);
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::filesystem::path& path) {
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

bool validatesAgainst(const std::string& xml, const std::string& xsdName, std::string* report) {
    const auto file = freshTempPath("document.xml");
    writeFile(file, xml);
    int status = 0;
    *report =
        runCommand("xmllint --noout --schema " + shellQuoted(testData("rdml/schema/" + xsdName)) +
                       " " + shellQuoted(file) + " 2>&1",
                   status);
    std::filesystem::remove(file);
    return status == 0;
}

std::vector<std::string> childNames(pugi::xml_node node) {
    std::vector<std::string> names;
    for (pugi::xml_node n : node.children())
        if (n.type() == pugi::node_element) names.emplace_back(n.name());
    return names;
}

}  // namespace qurvex::test
