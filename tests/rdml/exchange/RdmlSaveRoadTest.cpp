// SPDX-License-Identifier: GPL-3.0-or-later
// The RDML save commands: questions and confirmations, the road taken,
// failures that leave every file as it was, and results added into the
// document that was read. The shared RDML 1.2 and 1.3 files (GPL-2.0) are
// read from the shared data folder; their tests are skipped without it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "engine/Utilities.h"
#include "rdml/exchange/RdmlAddResults.h"
#include "rdml/exchange/RdmlArchiveWriter.h"
#include "rdml/exchange/RdmlReactionResults.h"
#include "tests/rdml/exchange/RdmlWriteTestSupport.h"
#include "zip/KAZip.h"

namespace qurvex {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

struct TRoad {
    TEngine engine;
    TRdmlWriteChoices choices;
    test::TScriptedAsker asker;
    test::TTempFolder folder, work;
    std::string original;  // the document read (shared runs)
    explicit TRoad(const std::string& archive = "") {
        if (archive.empty()) test::analyseSyntheticRun(engine, 24, 2, true);
        if (!archive.empty()) test::analyseDocumentRun(engine, archive, work.file("rdml_data.xml"));
        original = readFile(work.file("rdml_data.xml"));
        choices.now = test::fixedTime();
    }
    TRdmlSaveOutcome save(const std::string& target, int tag = 12) {
        asker.file = target;
        asker.messages.clear();
        return SavetoRDML2Click(engine, tag, choices, asker);
    }
};

TEST(RdmlSaveRoad, questions_tissueAndInputConfirmations) {
    const std::pair<std::array<bool, 3>, const char*> cases[] = {
        {{false, false, false}, ""},
        {{true, false, true}, "Your input file was in an old version of RDML. Reaction"},
        {{true, true, false}, "Your input file contained decimal commas."},
        {{true, false, false}, "Your input file was in an old version of RDML and contained"}};
    for (const auto& [input, start] : cases) {
        for (bool yes : {true, false}) {
            TRoad r;
            std::tie(r.engine.fromrdml, r.engine.rdml12input, r.engine.rdmldotsep) =
                std::tuple(input[0], input[1], input[2]);
            r.engine.rdmlfilename = r.folder.file("run7.rdml");
            r.choices.activeworkbook = r.folder.file("book.xlsx");
            r.asker.answers = {true, yes};
            const TRdmlSaveOutcome outcome = r.save(r.folder.file("out.rdml"), 13);
            const bool confirmed = *start == '\0' || yes;
            ASSERT_EQ(r.asker.questions.size(), *start == '\0' ? 1u : 2u);
            EXPECT_EQ(r.asker.questions[0],
                      "You did not identify the tissue samples. Continue with sample names?");
            EXPECT_TRUE(r.asker.questions.back().starts_with(*start ? start : "You did not"));
            EXPECT_EQ(outcome, confirmed ? TRdmlSaveOutcome::Saved : TRdmlSaveOutcome::Declined);
            EXPECT_EQ(fs::exists(r.asker.file.value()), confirmed);
            if (!confirmed) continue;
            EXPECT_EQ(r.asker.proposedName, input[0] ? "Results_run7.rdml" : "book.rdml");
            EXPECT_EQ(r.asker.proposedFolder, r.folder.path().string());
            EXPECT_TRUE(test::schemaValid(test::archiveEntry(*r.asker.file), TRdmlVersion::v1_3));
        }
    }
}

TEST(RdmlSaveRoad, tissuePageCancelAndRdml11) {
    TRoad r;
    const std::vector<double> ct = r.engine.ct;
    r.asker.answers = {false};
    EXPECT_EQ(r.save(""), TRdmlSaveOutcome::ShowTissuePage);
    EXPECT_EQ(r.engine.ct, ct);
    EXPECT_FALSE(r.asker.dialogShown);
    r.asker.answers = {true, false};
    EXPECT_EQ(SavetoRDML111Click(r.engine, r.choices, r.asker), TRdmlSaveOutcome::ShowTissuePage);
    EXPECT_TRUE(r.choices.TissueSampSG.empty());
    // A cancelled dialog writes nothing, but the results were computed.
    r.asker.file.reset();
    EXPECT_EQ(SavetoRDML2Click(r.engine, 12, r.choices, r.asker), TRdmlSaveOutcome::Cancelled);
    EXPECT_TRUE(r.asker.dialogShown);
    EXPECT_TRUE(fs::is_empty(r.folder.path()));
    EXPECT_NE(std::count(r.engine.non0.begin() + 1, r.engine.non0.end(), 0), r.engine.nsamples);
    // 1.1 is confirmed once, then written valid with the joined sample ids.
    r.engine.tissuesdefined = true;
    r.choices.TissueSampSG = {{""}, {"organ"}, {"ID"}};
    for (int i = 1; i <= r.engine.nsamples; ++i) {
        r.choices.TissueSampSG[0].push_back(r.engine.sampname[i]);
        r.choices.TissueSampSG[1].push_back(i % 2 ? "liver" : "");
        r.choices.TissueSampSG[2].push_back("");
    }
    r.asker.file = r.folder.file("old.rdml");
    r.asker.questions.clear();
    r.engine.userexcluded[1] = 1;  // the exclusions are worked out again
    EXPECT_EQ(SavetoRDML111Click(r.engine, r.choices, r.asker), TRdmlSaveOutcome::Saved);
    ASSERT_EQ(r.asker.questions.size(), 1u);
    EXPECT_TRUE(r.asker.questions[0].starts_with("You chose to save to an old version of RDML."));
    const std::string xml = test::archiveEntry(*r.asker.file);
    EXPECT_TRUE(test::schemaValid(xml, TRdmlVersion::v1_1));
    EXPECT_NE(xml.find("<sample id=\"liver\">"), std::string::npos);
    EXPECT_NE(xml.find("<excl>skipped_by_user</excl>"), std::string::npos);
    EXPECT_NE(xml.find("<sample id=\"" + r.engine.sampname[2] + "\">"), std::string::npos);
}

TEST(RdmlSaveRoad, failures_targetsLeftAsTheyWere) {
    // A target that is not a ZIP archive, an empty file, a folder and a
    // relative name are refused; a sentinel rdml_data.xml beside the target is
    // never touched.
    TRoad r;
    const std::string text = r.folder.file("notes.rdml"), empty = r.folder.file("empty.rdml");
    writeFile(r.folder.file("rdml_data.xml"), "sentinel");
    writeFile(text, "not an archive");
    writeFile(empty, "");
    fs::create_directory(r.folder.file("dir.rdml"));
    for (const std::string& target :
         {text, empty, r.folder.file("dir.rdml"), std::string("relative.rdml")}) {
        EXPECT_EQ(r.save(target), TRdmlSaveOutcome::Failed) << target;
        ASSERT_EQ(r.asker.messages.size(), 1u);
        EXPECT_NE(r.asker.messages[0].find(target), std::string::npos) << r.asker.messages[0];
    }
    EXPECT_EQ(readFile(text) + readFile(empty), "not an archive");
    EXPECT_FALSE(fs::exists("relative.rdml"));
    EXPECT_EQ(r.save(r.folder.file("good.rdml")), TRdmlSaveOutcome::Saved);
    EXPECT_EQ(readFile(r.folder.file("rdml_data.xml")), "sentinel");
    EXPECT_EQ(std::distance(fs::directory_iterator(r.folder.path()), fs::directory_iterator()), 5);

    // A run read from RDML 1.2 with decimal points goes to the add path
    // without confirmation; when its archive cannot be written, the working
    // document stays as it was.
    const std::string working = r.folder.file("work.xml");
    writeFile(working, BuildNewRdml(r.engine, r.choices, TRdmlVersion::v1_2).SaveToString());
    const std::string before = readFile(working);
    r.engine.fromrdml = r.engine.rdml12input = r.engine.rdmldotsep = true;
    r.engine.tissuesdefined = true;
    r.engine.rdmlxmlfile = working;
    r.engine.rdmlfilename = text;
    r.asker.questions.clear();
    EXPECT_EQ(r.save(text, 13), TRdmlSaveOutcome::Failed);
    EXPECT_TRUE(r.asker.questions.empty());
    EXPECT_EQ(r.asker.proposedName, "notes.rdml");
    EXPECT_EQ(readFile(working) + readFile(text), before + "not an archive");
    EXPECT_EQ(r.save(r.folder.file("fine.rdml"), 13), TRdmlSaveOutcome::Saved);
    EXPECT_NE(readFile(working), before);
    EXPECT_EQ(test::archiveEntry(*r.asker.file), readFile(working));
    r.engine.rdmlxmlfile = r.folder.file("missing.xml");
    EXPECT_EQ(r.save(r.folder.file("fine.rdml"), 13), TRdmlSaveOutcome::Failed);
    EXPECT_EQ(r.asker.messages.size(), 1u);
}

// The document element without the nodes a results save may change.
std::string withoutResults(const std::string& xml) {
    pugi::xml_document doc;
    doc.load_string(xml.c_str());
    for (auto n : doc.select_nodes(
             "/rdml/dateUpdated | /rdml/documentation[starts-with(@id, 'RDML: results by')] | "
             "/rdml/target/amplificationEfficiency | /rdml/target/amplificationEfficiencySE | "
             "//data/cq | //data/excl | //data/bgFluor | //data/quantFluor"))
        n.parent().remove_child(n.node());
    std::ostringstream out;
    doc.document_element().print(out, "", pugi::format_raw);
    return out.str();
}
pugi::xml_node reactData(const pugi::xml_document& doc, int i) {
    return doc.select_node(("/rdml/experiment/run/react[" + std::to_string(i) + "]/data").c_str())
        .node();
}

TEST(RdmlAddResults, sharedFiles_onlyResultElementsChange_repeatedSavesStayClean) {
    for (auto [file, version] : {std::pair{"example_1_2.rdml", TRdmlVersion::v1_2},
                                 {"example_1_3.rdml", TRdmlVersion::v1_3}}) {
        const std::string archive = test::sharedData("rdml/").string() + file;
        if (!fs::exists(archive)) GTEST_SKIP() << "shared RDML data absent (GPL-2.0, not copied)";
        SCOPED_TRACE(file);
        TRoad run(archive);
        int k = 1;  // a reaction Qurvex includes, excluded by the user for the first save
        while (run.engine.noamplif[k] || run.engine.bgerror[k]) ++k;
        run.engine.userexcluded[k] = 1;
        const std::string target = run.folder.file("saved.rdml");
        EXPECT_EQ(run.save(target), TRdmlSaveOutcome::Saved);
        EXPECT_TRUE(run.asker.questions.empty());
        EXPECT_EQ(run.asker.proposedName, file);
        EXPECT_EQ(run.asker.proposedFolder, fs::path(archive).parent_path().string());
        EXPECT_EQ(test::pythonZipNames(target), std::vector<std::string>{"rdml_data.xml"});
        std::string saved = test::archiveEntry(target);
        EXPECT_EQ(saved, readFile(run.work.file("rdml_data.xml")));
        EXPECT_TRUE(test::schemaValid(saved, version));
        EXPECT_EQ(withoutResults(saved), withoutResults(run.original));
        pugi::xml_document before, after;
        before.load_string(run.original.c_str());
        after.load_string(saved.c_str());
        EXPECT_STREQ(after.document_element().child_value("dateUpdated"), "2026-12-07T14:05:09");
        for (int i = 1; i <= run.engine.nsamples; ++i) {
            const pugi::xml_node data = reactData(after, i);
            if (run.engine.non0[i]) {
                EXPECT_STREQ(data.child_value("cq"), "-1");
                EXPECT_STREQ(data.child_value("excl"), ExclusionText(run.engine, i).c_str());
            } else {  // the file's own exclusions stay on reactions Qurvex includes
                EXPECT_STREQ(data.child_value("excl"), reactData(before, i).child_value("excl"));
                EXPECT_NEAR(data.child("cq").text().as_double(), run.engine.ct[i], 1e-4);
            }
        }
        EXPECT_STREQ(reactData(after, k).child_value("excl"), "skipped_by_user");
        // A second save adds a second documentation and leaves no stale excl.
        run.engine.userexcluded[k] = 0;
        run.choices.now->tm_mday = 8;
        ASSERT_EQ(run.save(target), TRdmlSaveOutcome::Saved);
        saved = test::archiveEntry(target);
        pugi::xml_document second;
        second.load_string(saved.c_str());
        std::string documentation;
        for (auto d : second.select_nodes("/rdml/documentation[starts-with(@id, 'RDML: res')]"))
            documentation += std::string(d.node().attribute("id").value()) + " / " +
                             d.node().child_value("text") + "; ";
        EXPECT_EQ(documentation,
                  "RDML: results by Qurvex / Qurvex output added: 2026-12-07; RDML: results by "
                  "Qurvex (2) / Qurvex output added: 2026-12-08; ");
        EXPECT_FALSE(reactData(second, k).child("excl"));
        EXPECT_TRUE(test::schemaValid(saved, version));
    }
}

TEST(RdmlAddResults, proposedName_replacesEntryAndKeepsOthers) {
    const fs::path shared = test::sharedData("rdml/example_1_2.rdml");
    if (!fs::exists(shared)) GTEST_SKIP() << "shared RDML data absent (GPL-2.0, not copied)";
    test::TTempFolder input;
    const std::string archive = input.file("run7.rdml");
    fs::copy_file(shared, archive);
    fs::permissions(archive, fs::perms::owner_write, fs::perm_options::add);
    {
        TKAZip zip;
        zip.OpenArchive(archive);
        const std::string note = "lab";
        zip.AddBuffer("notes.txt", {reinterpret_cast<const uint8_t*>(note.data()), note.size()});
    }
    TRoad run(archive);
    EXPECT_EQ(run.save(archive), TRdmlSaveOutcome::Saved);
    EXPECT_EQ(test::pythonZipNames(archive),
              (std::vector<std::string>{"notes.txt", "rdml_data.xml"}));
    TKAZip zip;
    zip.OpenArchive(archive);
    EXPECT_EQ(zip.ExtractToBuffer("notes.txt"), (std::vector<uint8_t>{'l', 'a', 'b'}));
}

TEST(RdmlAddResults, ids_cleanedNamesFindTheDocumentsElements_newGroupsAddTargets) {
    const fs::path archive = test::sharedData("rdml/example_1_2.rdml");
    if (!fs::exists(archive)) GTEST_SKIP() << "shared RDML data absent (GPL-2.0, not copied)";
    TRoad run(archive.string());
    TEngine& e = run.engine;
    for (int i = 1; i <= e.nsamples; ++i) e.ampname[i] = cleanident(e.ampname[i]);
    e.GetAmpliconGroupNumbers();
    e.numgroupsEditChange();
    e.calc_mean_ButtonClick();
    e.groupidentifiers.push_back("new gene");
    ++e.ngroups;
    e.meaneff.resize(e.ngroups + 1, 1.95);
    e.meaneffse.resize(e.ngroups + 1, 0.01);
    e.groupstatistics.resize(e.ngroups + 1, {2, 1.95, 0.01 * std::sqrt(2.0), 0.01, 0.0});
    e.uniquetissues.insert(e.uniquetissues.end(), {"fresh sample", "spare sample"});
    e.ntissues += 2;  // the last one names no reaction, but is a sample all the same
    e.tissue[1] = "fresh sample";
    run.choices.lift.assign(e.nsamples + 1, 0.75);
    RdmlDocument document = RdmlDocument::LoadFromBytes(run.original);
    AddResultsToRdml(document, e, run.choices);
    const std::string xml = document.SaveToString();
    pugi::xml_document doc, before;
    doc.load_string(xml.c_str());
    before.load_string(run.original.c_str());
    std::string targets;
    for (auto t : doc.select_nodes("/rdml/target/@id"))
        targets += std::string(t.attribute().value()) + ",";
    EXPECT_EQ(targets, "Exon 1,Exon 2,Exon 3,ZNF80,GPR15,new gene,");
    const pugi::xml_node added = doc.select_node("/rdml/target[@id='new gene']").node();
    EXPECT_STREQ(added.child_value("type"), "toi");
    EXPECT_STREQ(added.child_value("amplificationEfficiencySE"), "0.00999999977648258");
    EXPECT_STREQ(added.child("dyeId").attribute("id").value(), "SYBRGreen I");
    EXPECT_EQ(doc.select_node("/rdml/target/amplificationEfficiencySE").node().text().as_float(),
              static_cast<float>(e.meaneffse[1]));
    EXPECT_STREQ(reactData(doc, 1).parent().child("sample").attribute("id").value(),
                 "fresh sample");
    EXPECT_TRUE(doc.select_node("/rdml/sample[@id='fresh sample']") &&
                doc.select_node("/rdml/sample[@id='spare sample']"));
    for (int i = 12; i <= e.nsamples; i += 11)
        EXPECT_STREQ(reactData(doc, i).child("tar").attribute("id").value(),
                     reactData(before, i).child("tar").attribute("id").value());
    // The lift lowers bgFluor; the instrument's adp values stay as they were.
    EXPECT_EQ(reactData(doc, 5).child("bgFluor").text().as_float(),
              static_cast<float>(e.bgarr[5] - 0.75));
    EXPECT_STREQ(reactData(doc, 5).child("adp").child_value("fluor"),
                 reactData(before, 5).child("adp").child_value("fluor"));
    EXPECT_TRUE(test::schemaValid(xml, TRdmlVersion::v1_2));
}

TEST(RdmlAddResults, commentsAndInstructions_stayWhereTheUserPutThem) {
    // A 1.2 document as another program might have left it: a style sheet
    // instruction and a comment before the root, a comment before the first
    // reaction, an instruction after its target reference.
    TRoad synthetic;
    std::string xml =
        BuildNewRdml(synthetic.engine, synthetic.choices, TRdmlVersion::v1_2).SaveToString();
    auto insertAt = [&xml](std::size_t at, const std::string& text) {
        ASSERT_NE(at, std::string::npos) << text;
        xml.insert(at, text);
    };
    insertAt(xml.find("?>\n") + 3,
             "<?xml-stylesheet type=\"text/xsl\" href=\"view.xsl\"?>\n<!-- from the lab -->\n");
    const auto react = xml.find("<react id=\"1\">");
    insertAt(xml.find("/>", xml.find("<tar id=", react)) + 2, "<?lab checked?>");
    insertAt(react, "<!-- plate A -->");
    test::TTempFolder input;
    const std::string archive = input.file("commented.rdml");
    AddXMLToRDML(archive, xml);

    TRoad run(archive);
    const std::string target = run.folder.file("saved.rdml");
    ASSERT_EQ(run.save(target), TRdmlSaveOutcome::Saved);
    const std::string saved = test::archiveEntry(target);
    EXPECT_TRUE(test::schemaValid(saved, TRdmlVersion::v1_2));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(saved.c_str(), pugi::parse_default | pugi::parse_comments |
                                                   pugi::parse_pi | pugi::parse_declaration));
    std::string top;
    for (pugi::xml_node n : doc.children()) top += std::string(n.name()) + n.value() + "|";
    EXPECT_EQ(top, "xml|xml-stylesheettype=\"text/xsl\" href=\"view.xsl\"| from the lab |rdml|");
    const pugi::xml_node first = doc.select_node("/rdml/experiment/run/react[1]").node();
    EXPECT_STREQ(first.previous_sibling().value(), " plate A ");
    EXPECT_STREQ(first.child("data").child("tar").next_sibling().name(), "lab");
    EXPECT_STREQ(first.child("data").child("tar").next_sibling().value(), "checked");
    EXPECT_NE(first.child("data").child("cq"), pugi::xml_node());
}

}  // namespace
}  // namespace qurvex
