// SPDX-License-Identifier: GPL-3.0-or-later
// The lower layers build without Qt: no source under engine/, zip/ or
// rdml/model/ may include a Qt header.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// "file:line: text" for every #include of a Qt header below `dir`.
std::vector<std::string> qtincludes(const fs::path& dir) {
    // <QString>, <QtCore/...>, "qwidget.h", <qglobal.h>: Qt's own names.
    static const std::regex include(
        R"re(^\s*#\s*include\s*[<"]\s*(Q[A-Za-z]*|q[a-z0-9_]*\.h)\b)re");
    std::vector<std::string> found;
    if (!fs::exists(dir)) return found;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        const auto ext = entry.path().extension().string();
        if (ext != ".h" && ext != ".hpp" && ext != ".cpp" && ext != ".cc") continue;
        std::ifstream in(entry.path());
        std::string line;
        for (int n = 1; std::getline(in, line); ++n)
            if (std::regex_search(line, include))
                found.push_back(entry.path().string() + ":" + std::to_string(n) + ": " + line);
    }
    return found;
}

TEST(Layering, EngineZipAndRdmlModelIncludeNoQtHeader) {
    const fs::path root = QURVEX_SOURCE_DIR;
    ASSERT_TRUE(fs::exists(root / "engine")) << "source tree not found at " << root;
    for (const char* layer : {"engine", "zip", "rdml/model"}) {
        const auto found = qtincludes(root / layer);
        EXPECT_TRUE(found.empty()) << layer << " includes Qt:\n"
                                   << [&] {
                                          std::string all;
                                          for (const auto& f : found) all += "  " + f + "\n";
                                          return all;
                                      }();
    }
}

// The scanner itself recognises the usual spellings (and only those).
TEST(Layering, ScannerRecognisesQtIncludes) {
    const fs::path dir = fs::temp_directory_path() / "qurvex_layering_probe";
    fs::create_directories(dir);
    {
        std::ofstream(dir / "a.cpp") << "#include <QString>\n#include <vector>\n";
        std::ofstream(dir / "b.h") << "  #  include \"QtCore/QObject\"\n#include <queue>\n";
        std::ofstream(dir / "c.cpp") << "#include <qglobal.h>\n#include \"engine/Engine.h\"\n";
    }
    EXPECT_EQ(qtincludes(dir).size(), 3u);
    fs::remove_all(dir);
}

}  // namespace
