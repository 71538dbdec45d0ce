// SPDX-License-Identifier: GPL-3.0-or-later
#include "RdmlReadSupport.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "zip/KAZip.h"

namespace qurvex::test {

namespace fs = std::filesystem;

fs::path freshFolder(const std::string& name) {
    std::random_device device;
    const fs::path folder =
        fs::temp_directory_path() / ("rdmlread-" + name + "-" + std::to_string(device()));
    fs::create_directories(folder);
    return folder;
}

void writeArchive(const fs::path& path,
                  const std::vector<std::pair<std::string, std::string>>& entries) {
    std::stringstream empty;
    TKAZip::CreateEmptyArchive(empty);
    const std::string bytes = empty.str();
    TKAZip zip;
    zip.LoadFromBuffer(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    for (const auto& [name, data] : entries)
        zip.AddBuffer(name, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(data.data()),
                                                     data.size()));
    const auto out = zip.Data();
    writeText(path, std::string(out.begin(), out.end()));
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string rdmlDocument(const std::string& version, const std::string& reacts,
                         const std::string& samples) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rdml version=\"" + version +
           "\" xmlns=\"http://www.rdml.org\">\n" + samples +
           "<experiment id=\"exp\"><run id=\"run1\"><runDate>2020-01-02</runDate>\n" + reacts +
           "</run></experiment>\n</rdml>\n";
}

std::string react(const std::string& id, const std::string& sample, const std::string& target,
                  const std::vector<std::pair<std::string, std::string>>& points) {
    std::string text = "<react id=\"" + id + "\"><sample id=\"" + sample + "\"/><data><tar id=\"" +
                       target + "\"/>";
    for (const auto& [cyc, fluor] : points)
        text += "<adp><cyc>" + cyc + "</cyc><fluor>" + fluor + "</fluor></adp>";
    return text + "</data></react>\n";
}

}  // namespace qurvex::test
