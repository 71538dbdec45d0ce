// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/rdml/exchange/RdmlWriteTestSupport.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "rdml/model/RDML_v1_2_CR.h"
#include "tests/engine/support/SyntheticRun.h"
#include "zip/KAZip.h"

namespace qurvex::test {

namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

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

TTempFolder::TTempFolder() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("qurvex-rdmlwrite-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TTempFolder::~TTempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string sharedRdml(const std::string& name) {
    const fs::path path = fs::path(QURVEX_SHARED_DATA_DIR) / "rdml" / name;
    return fs::exists(path) ? path.string() : "";
}

std::tm fixedTime() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 7;
    t.tm_hour = 14;
    t.tm_min = 5;
    t.tm_sec = 9;
    return t;
}

bool schemaValid(const std::string& xml, TRdmlVersion version, std::string* report) {
    const std::string xsd = std::string(QURVEX_TEST_DATA_DIR) + "/rdml/schema/RDML_v" +
                            (version == TRdmlVersion::v1_1   ? "1_1"
                             : version == TRdmlVersion::v1_2 ? "1_2"
                                                             : "1_3") +
                            "_REC.xsd";
    TTempFolder folder;
    const std::string file = folder.file("document.xml");
    writeFile(file, xml);
    int status = 0;
    *report = runCommand("xmllint --noout --schema " + quoted(xsd) + " " + quoted(file) + " 2>&1",
                         status);
    return status == 0;
}

std::optional<std::vector<std::string>> pythonZipNames(const std::string& archive) {
    int status = 0;
    const std::string out = runCommand(
        "python3 -c 'import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1])\nassert z.testzip() "
        "is None\nprint(\"\\n\".join(z.namelist()))' " +
            quoted(archive) + " 2>/dev/null",
        status);
    if (status != 0) return std::nullopt;
    std::vector<std::string> names;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) names.push_back(line);
    return names;
}

std::string documentEntry(const std::string& archive) {
    TKAZip zip;
    zip.OpenArchive(archive);
    const std::vector<uint8_t> bytes = zip.ExtractToBuffer("rdml_data.xml");
    return std::string(bytes.begin(), bytes.end());
}

void analyseSyntheticRun(TEngine& engine, int wells, int targets, bool groups) {
    testing::loadSyntheticRun(engine, testing::makePlate(wells, targets, 0.002, 7));
    engine.ProcessDataAfterRead();
    engine.BaselineButtonPanelClick();
    if (groups) {
        engine.GetAmpliconGroupNumbers();
        engine.numgroupsEditChange();
    }
    engine.calc_mean_ButtonClick();
}

void analyseDocumentRun(TEngine& engine, const std::string& archive, const std::string& xmlPath) {
    writeFile(xmlPath, documentEntry(archive));
    RdmlDocument document = RdmlDocument::LoadFromFile(xmlPath);
    auto reacts =
        RDML_v1_2_CR::GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0).Get_React();
    const int n = reacts.Count();
    int ncycles = 0;
    for (int i = 0; i < n; ++i)
        ncycles = std::max(ncycles, reacts[i].Get_Data().Items(0).Get_Adp().Count());
    TRunInput in;
    in.size(ncycles, n);
    for (int i = 1; i <= n; ++i) {
        auto react = reacts[i - 1];
        auto data = react.Get_Data().Items(0);
        in.sampname[i] = react.Get_Sample().Get_Id();
        in.tissue[i] = in.sampname[i];
        in.ampname[i] = data.Get_Tar().Get_Id();
        auto adps = data.Get_Adp();
        in.npoints[i] = adps.Count();
        for (int j = 1; j <= adps.Count(); ++j) {
            in.rawcyc[i][j] = adps[j - 1].Get_Cyc();
            in.rawfluor[i][j] = adps[j - 1].Get_Fluor();
            if (i == 1) in.headercyc[j] = in.rawcyc[i][j];
        }
    }
    in.fromrdml = in.rdml12input = in.rdmldotsep = true;
    in.rdmlfilename = archive;
    in.rdmlxmlfile = xmlPath;
    if (!engine.loadrun(in)) throw std::runtime_error("run refused: " + in.sizeerror());
    engine.tissuesdefined = true;
    engine.uniquetissues = {""};
    for (int i = 1; i <= n; ++i)
        if (std::find(engine.uniquetissues.begin(), engine.uniquetissues.end(), in.tissue[i]) ==
            engine.uniquetissues.end())
            engine.uniquetissues.push_back(in.tissue[i]);
    engine.ntissues = static_cast<int>(engine.uniquetissues.size()) - 1;
    engine.ProcessDataAfterRead();
    engine.BaselineButtonPanelClick();
    engine.GetAmpliconGroupNumbers();
    engine.numgroupsEditChange();
    engine.calc_mean_ButtonClick();
}

bool TScriptedAsker::AskYesNo(const std::string& text) {
    questions.push_back(text);
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> TScriptedAsker::ChooseSaveFile(const std::string& folder,
                                                          const std::string& name) {
    dialogShown = true;
    proposedFolder = folder;
    proposedName = name;
    return file;
}

}  // namespace qurvex::test
