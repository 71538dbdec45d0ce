// SPDX-License-Identifier: GPL-3.0-or-later
// Results added into the document that was read, on the shared RDML 1.2 and
// 1.3 files (GPL-2.0, read from the shared data folder; skipped without it):
// only the result elements change, the document stays schema-valid, and
// repeated saves keep ids unique and leave no stale exclusions.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "engine/Utilities.h"
#include "rdml/exchange/RdmlAddResults.h"
#include "rdml/exchange/RdmlReactionResults.h"
#include "rdml/exchange/RdmlSaveRoad.h"
#include "tests/rdml/exchange/RdmlWriteTestSupport.h"
#include "zip/KAZip.h"

namespace qurvex {
namespace {

namespace fs = std::filesystem;
using test::TTempFolder;

struct TSharedCase {
    const char* file;
    TRdmlVersion version;
};
const TSharedCase kShared[] = {{"example_1_2.rdml", TRdmlVersion::v1_2},
                               {"example_1_3.rdml", TRdmlVersion::v1_3}};

void removeChildren(pugi::xml_node node, const char* name) {
    while (pugi::xml_node child = node.child(name)) node.remove_child(child);
}

// The document element without the nodes a results save may change.
std::string withoutResults(const std::string& xml) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml.c_str()));
    pugi::xml_node root = doc.document_element();
    removeChildren(root, "dateUpdated");
    for (pugi::xml_node d = root.child("documentation"); d;) {
        const pugi::xml_node next = d.next_sibling("documentation");
        if (std::string(d.attribute("id").value()).starts_with(kRdmlResultsDocumentationId))
            root.remove_child(d);
        d = next;
    }
    for (pugi::xml_node t : root.children("target")) {
        removeChildren(t, "amplificationEfficiency");
        removeChildren(t, "amplificationEfficiencySE");
    }
    for (pugi::xml_node e : root.children("experiment"))
        for (pugi::xml_node r : e.children("run"))
            for (pugi::xml_node react : r.children("react"))
                for (pugi::xml_node data : react.children("data"))
                    for (const char* name : {"cq", "excl", "bgFluor", "quantFluor"})
                        removeChildren(data, name);
    std::ostringstream out;
    root.print(out, "", pugi::format_raw);
    return out.str();
}

pugi::xml_node nthReactData(const pugi::xml_document& doc, int i) {
    pugi::xml_node react = doc.document_element().child("experiment").child("run").child("react");
    for (int k = 0; k < i; ++k) react = react.next_sibling("react");
    return react.child("data");
}

struct TSharedRun {
    TTempFolder work, out;
    TEngine engine;
    TRdmlWriteChoices choices;
    test::TScriptedAsker asker;
    std::string original;

    explicit TSharedRun(const std::string& archive) {
        test::analyseDocumentRun(engine, archive, work.file("rdml_data.xml"));
        original = test::readFile(work.file("rdml_data.xml"));
        choices.now = test::fixedTime();
    }
    TRdmlSaveOutcome save(const std::string& target) {
        asker.file = target;
        return SavetoRDML2Click(engine, 12, choices, asker);
    }
};

TEST(RdmlAddResults, sharedFiles_onlyResultElementsChange_validArchiveWithOneEntry) {
    for (const TSharedCase& c : kShared) {
        const std::string archive = test::sharedRdml(c.file);
        if (archive.empty()) GTEST_SKIP() << "shared RDML data absent (GPL-2.0, not copied)";
        SCOPED_TRACE(c.file);
        TSharedRun run(archive);
        const std::string target = run.out.file("saved.rdml");
        EXPECT_EQ(run.save(target), TRdmlSaveOutcome::Saved);
        EXPECT_TRUE(run.asker.questions.empty());
        EXPECT_EQ(run.asker.proposedName, c.file);
        EXPECT_EQ(run.asker.proposedFolder, fs::path(archive).parent_path().string());
        EXPECT_EQ(test::pythonZipNames(target), std::vector<std::string>{"rdml_data.xml"});
        const std::string saved = test::documentEntry(target);
        EXPECT_EQ(saved, test::readFile(run.work.file("rdml_data.xml")));
        std::string report;
        EXPECT_TRUE(test::schemaValid(saved, c.version, &report)) << report;
        EXPECT_EQ(withoutResults(saved), withoutResults(run.original));

        pugi::xml_document before, after;
        before.load_string(run.original.c_str());
        after.load_string(saved.c_str());
        EXPECT_STREQ(after.document_element().child_value("dateUpdated"), "2026-12-07T14:05:09");
        for (int i = 1; i <= run.engine.nsamples; ++i) {
            const pugi::xml_node data = nthReactData(after, i - 1);
            const pugi::xml_node old = nthReactData(before, i - 1);
            if (run.engine.non0[i]) {
                EXPECT_STREQ(data.child_value("cq"), "-1");
                EXPECT_STREQ(data.child_value("excl"), ExclusionText(run.engine, i).c_str());
            } else {
                EXPECT_STREQ(data.child_value("excl"), old.child_value("excl"));
                EXPECT_NEAR(data.child("cq").text().as_double(), run.engine.ct[i], 1e-4);
            }
        }
    }
}

TEST(RdmlAddResults, twoSaves_twoDocumentations_noStaleQurvexExcl) {
    const std::string archive = test::sharedRdml("example_1_3.rdml");
    if (archive.empty()) GTEST_SKIP() << "shared RDML data absent (GPL-2.0, not copied)";
    TSharedRun run(archive);
    int k = 1;
    while (run.engine.noamplif[k] || run.engine.bgerror[k]) ++k;
    run.engine.userexcluded[k] = 1;
    const std::string target = run.out.file("twice.rdml");
    ASSERT_EQ(run.save(target), TRdmlSaveOutcome::Saved);
    pugi::xml_document first;
    first.load_string(test::documentEntry(target).c_str());
    EXPECT_STREQ(nthReactData(first, k - 1).child_value("excl"), "skipped_by_user");

    run.engine.userexcluded[k] = 0;
    run.choices.now->tm_mday = 8;
    ASSERT_EQ(run.save(target), TRdmlSaveOutcome::Saved);
    const std::string saved = test::documentEntry(target);
    pugi::xml_document second;
    second.load_string(saved.c_str());
    std::vector<std::string> documentation;
    for (pugi::xml_node d : second.document_element().children("documentation"))
        documentation.push_back(std::string(d.attribute("id").value()) + " / " +
                                d.child_value("text"));
    EXPECT_EQ(documentation,
              (std::vector<std::string>{"RDML: results by Qurvex / Qurvex output added: 2026-12-07",
                                        "RDML: results by Qurvex (2) / Qurvex output added: "
                                        "2026-12-08"}));
    run.engine.non0[k] = 0;
    EXPECT_FALSE(nthReactData(second, k - 1).child("excl"));
    // The file's own exclusions stay on reactions Qurvex includes.
    int kept = 0;
    for (int i = 1; i <= run.engine.nsamples; ++i)
        if (!run.engine.non0[i] &&
            std::string(nthReactData(second, i - 1).child_value("excl")) == "TRUE")
            ++kept;
    EXPECT_GT(kept, 0);
    std::string report;
    EXPECT_TRUE(test::schemaValid(saved, TRdmlVersion::v1_3, &report)) << report;
}

TEST(RdmlAddResults, proposedName_replacesEntryAndKeepsOthers) {
    const std::string shared = test::sharedRdml("example_1_2.rdml");
    if (shared.empty()) GTEST_SKIP() << "shared RDML data absent (GPL-2.0, not copied)";
    TTempFolder input;
    const std::string archive = input.file("run7.rdml");
    fs::copy_file(shared, archive);
    fs::permissions(archive, fs::perms::owner_write, fs::perm_options::add);
    {
        TKAZip zip;
        zip.OpenArchive(archive);
        const std::string note = "lab notes";
        zip.AddBuffer("notes.txt", {reinterpret_cast<const uint8_t*>(note.data()), note.size()});
    }
    TSharedRun run(archive);
    EXPECT_EQ(run.save(archive), TRdmlSaveOutcome::Saved);
    auto names = test::pythonZipNames(archive);
    ASSERT_TRUE(names);
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{"notes.txt", "rdml_data.xml"}));
    TKAZip zip;
    zip.OpenArchive(archive);
    const auto note = zip.ExtractToBuffer("notes.txt");
    EXPECT_EQ(std::string(note.begin(), note.end()), "lab notes");
}

TEST(RdmlAddResults, ids_cleanedNamesFindTheDocumentsElements_newGroupsAddTargets) {
    const std::string archive = test::sharedRdml("example_1_2.rdml");
    if (archive.empty()) GTEST_SKIP() << "shared RDML data absent (GPL-2.0, not copied)";
    TSharedRun run(archive);
    TEngine& e = run.engine;
    for (int i = 1; i <= e.nsamples; ++i) e.ampname[i] = cleanident(e.ampname[i]);
    e.GetAmpliconGroupNumbers();
    e.numgroupsEditChange();
    e.calc_mean_ButtonClick();
    e.groupidentifiers.push_back("new gene");
    ++e.ngroups;
    e.meaneff.resize(e.ngroups + 1, 1.95);
    e.meaneffse.resize(e.ngroups + 1, 0.01);
    e.uniquetissues.push_back("fresh sample");
    ++e.ntissues;
    e.tissue[1] = "fresh sample";
    run.choices.lift.assign(e.nsamples + 1, 0.75);
    RdmlDocument document = RdmlDocument::LoadFromBytes(run.original);
    AddResultsToRdml(document, e, run.choices);
    const std::string xml = document.SaveToString();
    pugi::xml_document doc;
    doc.load_string(xml.c_str());
    const pugi::xml_node root = doc.document_element();
    std::vector<std::string> targets;
    for (pugi::xml_node t : root.children("target")) targets.push_back(t.attribute("id").value());
    EXPECT_EQ(targets, (std::vector<std::string>{"Exon 1", "Exon 2", "Exon 3", "ZNF80", "GPR15",
                                                 "new gene"}));
    const pugi::xml_node added = root.find_child_by_attribute("target", "id", "new gene");
    EXPECT_STREQ(added.child_value("type"), "toi");
    EXPECT_STREQ(added.child_value("amplificationEfficiencySE"), "0.00999999977648258");
    EXPECT_EQ(root.child("target").child("amplificationEfficiencySE").text().as_float(),
              static_cast<float>(e.meaneffse[1]));
    EXPECT_STREQ(nthReactData(doc, 0).parent().child("sample").attribute("id").value(),
                 "fresh sample");
    EXPECT_STREQ(added.child("dyeId").attribute("id").value(), "SYBRGreen I");
    EXPECT_TRUE(root.find_child_by_attribute("sample", "id", "fresh sample"));
    pugi::xml_document before;
    before.load_string(run.original.c_str());
    for (int i = 11; i < e.nsamples; i += 11)
        EXPECT_STREQ(nthReactData(doc, i).child("tar").attribute("id").value(),
                     nthReactData(before, i).child("tar").attribute("id").value());
    // The lift lowers bgFluor; the instrument's adp values stay as they were.
    EXPECT_EQ(nthReactData(doc, 4).child("bgFluor").text().as_float(),
              static_cast<float>(e.bgarr[5] - 0.75));
    EXPECT_STREQ(nthReactData(doc, 4).child("adp").child_value("fluor"),
                 nthReactData(before, 4).child("adp").child_value("fluor"));
    std::string report;
    EXPECT_TRUE(test::schemaValid(xml, TRdmlVersion::v1_2, &report)) << report;
}

}  // namespace
}  // namespace qurvex
