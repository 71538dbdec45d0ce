// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/rdml/model/RdmlTestSupport.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>
#include <sys/wait.h>

namespace qurvex::test {

namespace {

std::string shellQuoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

bool endsWithXml(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".xml";
}

}  // namespace

std::filesystem::path testData(const std::string& relative)
{
    return std::filesystem::path(QURVEX_TEST_DATA_DIR) / relative;
}

std::filesystem::path sharedData(const std::string& relative)
{
    return std::filesystem::path(QURVEX_SHARED_DATA_DIR) / relative;
}

bool sharedDataPresent()
{
    return std::filesystem::exists(sharedData("rdml"));
}

std::string runCommand(const std::string& command, int* status)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        throw std::runtime_error("cannot run " + command);
    std::string out;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status != nullptr)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

std::vector<std::string> archiveEntries(const std::filesystem::path& archive)
{
    std::istringstream list(runCommand("unzip -Z1 " + shellQuoted(archive.string())));
    std::vector<std::string> names;
    for (std::string line; std::getline(list, line);)
        if (!line.empty())
            names.push_back(line);
    return names;
}

std::string archiveEntry(const std::filesystem::path& archive, std::string entry)
{
    if (entry.empty()) {
        for (const std::string& name : archiveEntries(archive))
            if (name == "rdml_data.xml")
                entry = name;
        if (entry.empty())
            for (const std::string& name : archiveEntries(archive))
                if (entry.empty() && endsWithXml(name))
                    entry = name;
    }
    int status = 0;
    std::string bytes = runCommand("unzip -p " + shellQuoted(archive.string()) + " " + shellQuoted(entry), &status);
    if (status != 0)
        throw std::runtime_error("cannot extract " + entry + " from " + archive.string());
    return bytes;
}

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("qurvex-rdml-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool validatesAgainst(const std::string& xml, const std::string& xsdName, std::string* report)
{
    TempDir dir;
    const auto file = dir.file("document.xml");
    writeFile(file, xml);
    const auto xsd = testData("rdml/schema/" + xsdName);
    int status = 0;
    const std::string out =
        runCommand("xmllint --noout --schema " + shellQuoted(xsd.string()) + " " + shellQuoted(file.string()) + " 2>&1", &status);
    if (report != nullptr)
        *report = out;
    return status == 0;
}

}  // namespace qurvex::test
