// SPDX-License-Identifier: GPL-3.0-or-later
// Reading small documents built for one case each: the readers' rules, the
// separator and version of the parsed document, and the refusals of absent
// or unusable values.
#include <gtest/gtest.h>

#include <tuple>

#include "RdmlReadSupport.h"
#include "engine/Engine.h"
#include "rdml/exchange/RdmlReadRoad.h"
#include "rdml/exchange/RdmlRunReaders.h"

namespace qurvex {
namespace {

using test::rdmlDocument;
using test::react;

TRdmlReadResult readXml(const std::string& xml, test::ScriptedAsker& asker) {
    TRdmlReadResult r;
    ReadRdmlDocument(xml, "case.rdml", r, asker);
    return r;
}

TRdmlReadResult readXml(const std::string& xml) {
    test::ScriptedAsker asker;
    return readXml(xml, asker);
}

const std::vector<std::pair<std::string, std::string>> kTwo = {{"1", "10.5"}, {"2", "20.5"}};

TEST(RdmlDocumentRead, labelsGroupsAndIds_followTheReadersRules) {
    for (const char* version : {"1.0", "1.1", "1.2", "1.3"}) {
        SCOPED_TRACE(version);
        const auto r = readXml(rdmlDocument(version, react("3", "liver 1", "gene A", kTwo) +
                                                         react("4", "b", "GAPDH", kTwo) +
                                                         react("5", "liver 1", "gapdh", kTwo)));
        ASSERT_TRUE(r.ok) << r.message;
        const TRunInput& run = r.run;
        EXPECT_EQ(run.sampname[1], "3 liver1 geneA");
        EXPECT_EQ(run.ampgroup, (std::vector<int>{0, 1, 2, 2}));
        EXPECT_EQ(run.ampname[3], "gapdh");
        EXPECT_EQ(run.rdmlexpid + run.rdmlrunid + run.rdmlrundate, "exprun12020-01-02");
        EXPECT_EQ(r.tissuelist, (std::vector<std::string>{"liver 1", "b"}));
        EXPECT_EQ(run.uniquetissues, (std::vector<std::string>{"", "liver 1", "b"}));
        EXPECT_EQ(run.ntissues, 2);
        EXPECT_EQ(r.tissuesamples.cells[3].back(), "liver 1");
        EXPECT_EQ(r.rdmlinput.cells[0],
                  (std::vector<std::string>{"reaction", "sample", "target", "1", "2", ""}));
        EXPECT_EQ(r.rdmlinput.cells[1],
                  (std::vector<std::string>{"1", "liver 1", "gene A", "10.5", "20.5", ""}));
        EXPECT_EQ(run.headercyc[2] + r.defbgarr[1], 2);
    }
    // The 1.0 reader keeps the react id text; the others want a number.
    EXPECT_EQ(readXml(rdmlDocument("1.0", react("A1", "s", "t", kTwo))).run.sampname[1], "A1 s t");
    EXPECT_FALSE(readXml(rdmlDocument("1.2", react("A1", "s", "t", kTwo))).ok);
}

TEST(RdmlDocumentRead, plate_keptOnlyWhenTheIdsFitTheFormat_aLaterReadClearsIt) {
    auto format = [](const char* rows, const char* columns, const char* label) {
        return std::string("<pcrFormat><rows>") + rows + "</rows><columns>" + columns +
               "</columns><rowLabel>" + label + "</rowLabel><columnLabel>123</columnLabel>" +
               "</pcrFormat>";
    };
    const struct {
        const char* version;
        std::string format;
        const char *first, *second;
        bool kept;
    } cases[] = {
        {"1.2", format("2", "3", "ABC"), "6", "2", true},
        {"1.1", format("2", "3", "A1a1"), "1", "5", true},
        {"1.3", format("2", "3", "123"), "2", "3", true},
        {"1.2", format("2", "3", "ABC"), "7", "2", false},    // beyond the last well
        {"1.2", format("2", "3", "ABC"), "2", "2", false},    // one well twice
        {"1.2", format("-1", "1", "123"), "1", "2", false},   // free format
        {"1.2", format("2", "3", "abc"), "1", "2", false},    // no label of the schema
        {"1.2", format("two", "3", "ABC"), "1", "2", false},  // rows that do not read
        {"1.2", "", "1", "2", false},
        {"1.0", "<pcrFormat>96-well plate; A1-H12</pcrFormat>", "1", "2", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format + " ids " + c.first + "," + c.second);
        const auto r = readXml(rdmlDocument(c.version, c.format + react(c.first, "s", "t", kTwo) +
                                                           react(c.second, "s", "t", kTwo)));
        ASSERT_TRUE(r.ok) << r.message;
        const TRdmlPlate& plate = r.run.rdmlplate;
        ASSERT_EQ(plate.holds(2), c.kept);
        if (!c.kept) continue;
        EXPECT_EQ(plate.reactid, (std::vector<int>{0, std::stoi(c.first), std::stoi(c.second)}));
        EXPECT_EQ(std::tuple(plate.rows, plate.columns, plate.columnlabel),
                  std::tuple(2, 3, "123"));
    }
    // A strip of one row is a plate; a react id 0 names no well.
    auto plateOf = [&](const std::string& format, const char* first, const char* second) {
        return readXml(rdmlDocument("1.2", format + react(first, "s", "t", kTwo) +
                                               react(second, "s", "t", kTwo)))
            .run.rdmlplate;
    };
    EXPECT_TRUE(plateOf(format("1", "2", "123"), "2", "1").holds(2));
    EXPECT_FALSE(plateOf(format("2", "3", "ABC"), "0", "1").holds(2));
    // The engine takes the plate over with the run; a run read from a
    // spreadsheet (no plate) clears it.
    TEngine engine;
    ASSERT_TRUE(engine.loadrun(
        readXml(rdmlDocument("1.2", cases[0].format + react("6", "s", "t", kTwo))).run));
    EXPECT_EQ(engine.rdmlplate.reactid, (std::vector<int>{0, 6}));
    TRunInput sheet;
    sheet.size(2, 1);
    ASSERT_TRUE(engine.loadrun(sheet));
    EXPECT_FALSE(engine.rdmlplate.holds(1));
    EXPECT_TRUE(engine.rdmlplate.reactid.empty());
}

TEST(RdmlDocumentRead, annotations_fillTheGridsByProperty) {
    const std::string samples =
        "<sample id=\"s1\"><annotation><property>sex</property><value>m</value></annotation>"
        "<annotation><property>age</property><value>3</value></annotation></sample>"
        "<sample id=\"s2\"><annotation><property>note</property><value/></annotation></sample>"
        "<sample id=\"s3\"><annotation><property>age</property><value>5</value></annotation>"
        "<annotation><property>site</property><value>x</value></annotation></sample><sample "
        "id=\"s4\"/>";
    const auto r = readXml(
        rdmlDocument("1.2", react("1", "s1", "t", kTwo) + react("2", "s3", "t", kTwo), samples));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.annotationcount, 2);
    ASSERT_EQ(r.annotations.size(), 4u);
    EXPECT_EQ(r.annotations[1][0][0], "s2");
    EXPECT_EQ(r.annotations[1][1][1], "");
    const TTextGrid& u = r.uniquetissues;
    ASSERT_EQ(u.rows(), 5);
    EXPECT_EQ(u.cells[0], (std::vector<std::string>{"ID", "sex", "age", "note", "site"}));
    EXPECT_EQ(u.cells[3], (std::vector<std::string>{"s3", "", "5", "", "x"}));
    const TTextGrid& t = r.tissuesamples;
    EXPECT_EQ(t.cells[0],
              (std::vector<std::string>{"sample name", "sex", "age", "note", "site", "ID"}));
    EXPECT_EQ(t.cells[2], (std::vector<std::string>{"2 s3 t", "", "5", "", "x", "s3"}));
}

TEST(RdmlDocumentRead, separatorAndVersion_comeFromTheParsedDocument) {
    struct Case {
        std::string xml;
        char separator;
        double value;
    } cases[] = {
        // one line, declaration on the root's line, comma values
        {"<?xml version=\"1.0\"?><rdml version=\"1.2\" xmlns=\"http://www.rdml.org\"><experiment "
         "id=\"e\"><run id=\"r\"><react id=\"1\"><sample id=\"s\"/><data><tar id=\"t\"/><adp>"
         "<cyc>1</cyc><fluor>12,5</fluor></adp></data></react></run></experiment></rdml>",
         ',', 12.5},
        // prefixed elements
        {"<r:rdml xmlns:r=\"http://www.rdml.org\" version=\"1.1\"><r:experiment id=\"e\"><r:run "
         "id=\"r\"><r:react id=\"1\"><r:sample id=\"s\"/><r:data><r:tar id=\"t\"/><r:adp><r:cyc>1"
         "</r:cyc><r:fluor>12.5</r:fluor></r:adp></r:data></r:react></r:run></r:experiment>"
         "</r:rdml>",
         '.', 12.5},
        // a whole first value and a later decimal point
        {rdmlDocument("1.0", react("1", "s", "t", {{"1", "125"}, {"2", "0.5"}})), '.', 125},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        const auto r = readXml(c.xml);
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(r.separator, c.separator);
        EXPECT_EQ(r.targetname, "t");
        EXPECT_EQ(r.run.rdmldotsep, c.separator == '.');
        EXPECT_EQ(r.run.rawfluor[1][1], c.value);
    }
}

TEST(RdmlDocumentRead, absentOrUnusableValues_failOrDropThePoint) {
    struct Case {
        std::string reacts;
        const char* why;  // empty: read, with one point dropped from reaction 2
    } cases[] = {
        {react("1", "s", "t", kTwo) + "<react id=\"2\"><sample id=\"s\"/><data><tar id=\"t\"/>"
                                      "<adp><fluor>1</fluor></adp><adp><cyc>2</cyc><fluor>2</fluor>"
                                      "</adp></data></react>",
         "has no cyc"},
        {react("1", "s", "t", kTwo) + "<react id=\"2\"><sample id=\"s\"/><data><tar id=\"t\"/>"
                                      "<adp><cyc>1</cyc></adp><adp><cyc>2</cyc><fluor>2</fluor>"
                                      "</adp></data></react>",
         "has no fluor"},
        {react("1", "s", "t", kTwo) +
             "<react><sample id=\"s\"/><data><tar id=\"t\"/></data></react>",
         "has no id"},
        {react("1", "s", "t", kTwo) + react("2", "s", "t", {{"1", "1"}}), "fewer amplification"},
        {react("1", "s", "t", kTwo) + "<react id=\"2\"/>", "holds no data"},
        {react("1", "s", "t", kTwo) + react("2", "s", "t", {{"1", "x"}, {"2", "1"}}),
         "adp[1]/fluor"},
        {"", "holds no reaction ("},
        {"<react id=\"1\"/>", "first reaction holds no data"},
        {react("1", "s", "t", kTwo) + react("2", "s", "t", {{"1", "NaN"}, {"2", "3"}}), ""},
        {react("1", "s", "t", kTwo) + react("2", "s", "t", {{"INF", "1"}, {"2", "3"}}), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reacts);
        const auto r = readXml(rdmlDocument("1.2", c.reacts));
        if (*c.why) {
            EXPECT_FALSE(r.ok);
            EXPECT_NE(r.message.find(kImportFailed), std::string::npos);
            EXPECT_NE(r.message.find(c.why), std::string::npos) << r.message;
            EXPECT_NE(r.message.find("case.rdml"), std::string::npos);
        } else {
            ASSERT_TRUE(r.ok) << r.message;
            EXPECT_EQ(r.run.npoints[2], 1);
            EXPECT_EQ(r.run.rawcyc[2][1], 2);
            EXPECT_EQ(r.run.rawfluor[2][1], 3);
        }
    }
    // More points than the first reaction: read with the first one's count.
    const auto longer = readXml(rdmlDocument(
        "1.1",
        react("1", "s", "t", kTwo) + react("2", "s", "t", {{"1", "1"}, {"2", "2"}, {"3", "3"}})));
    ASSERT_TRUE(longer.ok);
    EXPECT_EQ(longer.run.npoints[2], 2);
}

TEST(RdmlDocumentRead, negativeLift_raisesOnlyNegativeSamples) {
    TRunInput run;
    run.size(3, 2);
    run.npoints = {0, 3, 3};
    run.rawfluor[1] = {0, -0.05, 1, 2};
    run.rawfluor[2] = {0, 0.5, 1, 2};
    LiftNegativeFluorescence(run);
    EXPECT_NEAR(run.rawfluor[1][1], 0.001, 1e-12);
    EXPECT_NEAR(run.rawfluor[1][3], 2.051, 1e-12);
    EXPECT_EQ(run.rawfluor[2], (std::vector<double>{0, 0.5, 1, 2}));
}

TEST(RdmlDocumentRead, moreThanTheFirstRun_isNamedInOneNotice) {
    const std::string multi =
        "<rdml version=\"1.2\" xmlns=\"http://www.rdml.org\"><experiment id=\"e\"><run id=\"r\">" +
        react("1", "s", "t", kTwo) +
        "<react id=\"2\"><sample id=\"s\"/><data><tar id=\"t\"/><adp><cyc>1</cyc><fluor>1</fluor>"
        "</adp><adp><cyc>2</cyc><fluor>1</fluor></adp></data><data><tar id=\"u\"/></data></react>"
        "</run><run id=\"r2\"/></experiment><experiment id=\"f\"><run "
        "id=\"x\"/></experiment></rdml>";
    const auto r = readXml(multi);
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.notices.size(), 1u);
    EXPECT_NE(r.notices[0].find("1 further experiment(s), 2 further run(s), the further targets of "
                                "1 multiplex reaction(s)"),
              std::string::npos)
        << r.notices[0];
    EXPECT_EQ(readXml(rdmlDocument("1.2", react("1", "s", "t", kTwo))).notices.size(), 0u);
}

TEST(RdmlDocumentRead, cqOnlyRun_refusedInOneMessageNamingTheFile) {
    const std::string cqOnly =
        "<react id=\"1\"><sample id=\"gDNA\"/><data><tar id=\"t\"/><cq>21.5</cq></data></react>"
        "<react id=\"2\"><sample id=\"NTC\"/><data><tar id=\"t\"/><cq>-1</cq></data></react>";
    for (const char* version : {"1.0", "1.1", "1.2", "1.3"}) {
        SCOPED_TRACE(version);
        test::ScriptedAsker asker;
        const auto r = readXml(rdmlDocument(version, cqOnly), asker);
        EXPECT_FALSE(r.ok);
        ASSERT_EQ(asker.messages.size(), 1u);
        EXPECT_EQ(asker.messages[0], r.message);
        EXPECT_EQ(asker.kinds[0], TRdmlMessageKind::warning);  // a refusal, not a notice
        for (const char* part : {kImportFailed, "case.rdml", "holds no amplification curves"})
            EXPECT_NE(r.message.find(part), std::string::npos) << r.message;
        EXPECT_EQ(asker.captions.size(), 1u);
        EXPECT_EQ(asker.closed, 1);
    }
    // Curves after a first reaction without one: every reaction would be read
    // without points, and the message says why.
    const auto late = readXml(rdmlDocument(
        "1.2", "<react id=\"1\"><sample id=\"s\"/><data><tar id=\"t\"/></data></react>" +
                   react("2", "s", "t", kTwo)));
    EXPECT_FALSE(late.ok);
    EXPECT_NE(late.message.find("first reaction holds no amplification points (/rdml/experiment"),
              std::string::npos)
        << late.message;
}

TEST(RdmlDocumentRead, inputGrid_headerFromTheLastReactionWithEachPoint_numbersOnDemand) {
    const auto r = readXml(rdmlDocument(
        "1.2", react("1", "a", "t", kTwo) + react("2", "b", "t", {{"NaN", "1"}, {"5", "0.1"}})));
    ASSERT_TRUE(r.ok) << r.message;
    const TRdmlInputGrid& grid = r.rdmlinput;
    ASSERT_EQ(std::make_pair(grid.rows(), grid.columns()), std::make_pair(3, 6));
    EXPECT_EQ(grid.cells[0],
              (std::vector<std::string>{"reaction", "sample", "target", "5", "2", ""}));
    EXPECT_EQ(grid.cells[2],
              (std::vector<std::string>{"2", "b", "t", "0.100000001490116", "", ""}));
    double value = 0;
    EXPECT_TRUE(grid.number(3, 2, value));
    EXPECT_EQ(value, static_cast<double>(0.1f));
    for (auto [column, row] : {std::pair{2, 1}, {4, 2}, {5, 0}, {6, 1}, {3, 3}, {-1, 0}})
        EXPECT_FALSE(grid.number(column, row, value)) << column << "," << row;
    EXPECT_EQ(grid.cell(9, 9) + grid.cell(-1, 0) + grid.cell(0, 3) + grid.cell(1, -1), "");
    EXPECT_EQ(RdmlInputText(1e20) + " " + RdmlInputText(-0.25), "1e+20 -0.25");
}

}  // namespace
}  // namespace qurvex
