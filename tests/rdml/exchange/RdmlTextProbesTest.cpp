// SPDX-License-Identifier: GPL-3.0-or-later
// The text probes of the check page, and the distinct annotations.
#include <gtest/gtest.h>

#include <filesystem>

#include "RdmlReadSupport.h"
#include "rdml/exchange/RdmlAnnotations.h"
#include "rdml/exchange/RdmlRunReaders.h"
#include "rdml/exchange/RdmlTextProbes.h"

namespace qurvex {
namespace {

namespace fs = std::filesystem;

TEST(RdmlTextProbes, splitdelimited_followsTheDelimitedTextRule) {
    struct Case {
        char delimiter;
        std::string text;
        std::vector<std::string> words;
    } cases[] = {
        {' ',
         "  <rdml version=\"1.2\"\txmlns=\"x\">",
         {"<rdml", "version=\"1.2\"", "xmlns=\"x\">"}},
        {' ', "\"a b\" \"c\"\"d\" e", {"a b", "c\"d", "e"}},
        {',', "a, b,,c", {"a", "b", "", "c"}},
        {' ', "", {}},
    };
    std::vector<std::string> list{"stale"};
    for (const auto& c : cases) {
        splitdelimited(c.delimiter, c.text, list);
        EXPECT_EQ(list, c.words) << c.text;
    }
    EXPECT_EQ(StripBlanks(" a b\tc "), "ab\tc");
}

TEST(RdmlTextProbes, versionSeparatorAndCreator_probeTheFirstLines) {
    const fs::path dir = test::freshFolder("probes");
    struct Case {
        std::string text;
        std::string version;
        char separator;
        std::string creator;
    } cases[] = {
        {"<?xml version=\"1.0\"?>\n<rdml xmlns=\"http://www.rdml.org\" version=\"1.3\">\n"
         "<adp><cyc>1</cyc><fluor>12.5</fluor></adp>\n</rdml>",
         "1.3", '.', "not found"},
        {"<?xml version=\"1.0\"?><rdml version=\"1.2\"><fluor>12,5</fluor></rdml>", "1.0", ',',
         "not found"},
        {"<rdml version=\"1.1\">\n<!-- written by qurvex -->\n<fluor>125</fluor>", "1.1", ',',
         "Qurvex"},
        {"<fluor>1.5</fluor>\n<x/>", "not found", '.', "not found"},
        {"no markers\nat all", "not found", ',', "not found"},
        {std::string(11, '\n') + "qurvex", "not found", ',', "not found"},
        {"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n<rdml version=\"1.2\">", "1.2", ',',
         "not found"},
        {"<?xml version=\"1.0\"?>\r\n", "1.0", ',', "not found"},
        {"x\r\nqurvex", "not found", ',', "Qurvex"},
        {std::string(10001, '\n') + "<fluor>1.5</fluor>", "not found", ',', "not found"},
        {std::string(10000, '\n') + "<fluor>1.5</fluor>", "not found", '.', "not found"},
        {"<?xml version=\"1.0\"?>\n<fluor>12.5\n", "not found", ',', "not found"},
        {"<?xml version=\"1.0\"?>\n", "1.0", ',', "not found"},
        {"a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\n<rdml version=\"1.2\"> qurvex", "not found", ',',
         "not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        test::writeText(dir / "doc.xml", c.text);
        const std::string path = (dir / "doc.xml").string();
        EXPECT_EQ(GetRDMLversion(path), c.version);
        EXPECT_EQ(GetInputSeparator(path), c.separator);
        EXPECT_EQ(GetRDMLcreator(path), c.creator);
    }
    EXPECT_EQ(FirstFluorText((dir / "doc.xml").string(), 1000), "");
    EXPECT_THROW(GetRDMLversion((dir / "missing.xml").string()), std::runtime_error);
    fs::remove_all(dir);
}

TEST(RdmlAnnotations, distinctAnnotations_keepTheFirstCaseVariant) {
    TRunInput run;
    run.size(1, 3);
    run.tissue = {"", "Liver", "liver", "Heart"};
    FillTissSamples(run);
    EXPECT_EQ(run.ntissues, 2);
    EXPECT_EQ(run.uniquetissues, (std::vector<std::string>{"", "Liver", "Heart"}));
}

}  // namespace
}  // namespace qurvex
