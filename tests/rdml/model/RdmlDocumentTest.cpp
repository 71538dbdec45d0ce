// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving documents: encodings, malformed XML, namespaces, the
// active state, saving through a temporary file, and the process locale.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <stdexcept>

#include "rdml/model/RDML_v1_0_REC.h"
#include "rdml/model/RDML_v1_2_CR.h"
#include "rdml/model/RdmlDocument.h"
#include "rdml/model/RdmlError.h"
#include "tests/rdml/model/RdmlTestSupport.h"

namespace qurvex {
namespace {

using namespace RDML_v1_2_CR;
using ::testing::HasSubstr;

// "é" (U+00E9) exists in ISO-8859-1 too.
const std::string kSampleId = "Probe\xC3\xA9";
const std::string kDocument = "<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\"><sample id=\"" +
                              kSampleId + "\"><type>unkn</type></sample></rdml>";

std::string firstSampleId(const std::string& bytes) {
    RdmlDocument document = RdmlDocument::LoadFromBytes(bytes);
    return GetRdml(document).Get_Sample().Items(0).Get_Id();
}

// UTF-16 of a UTF-8 text holding one- and two-byte sequences only.
std::string toUtf16(const std::string& utf8, bool bigEndian, bool mark) {
    std::string out =
        mark ? (bigEndian ? std::string("\xFE\xFF", 2) : std::string("\xFF\xFE", 2)) : "";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        unsigned code = static_cast<unsigned char>(utf8[i]);
        if (code >= 0xC0)
            code = ((code & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
        const char pair[2] = {static_cast<char>(bigEndian ? code >> 8 : code & 0xFF),
                              static_cast<char>(bigEndian ? code & 0xFF : code >> 8)};
        out.append(pair, 2);
    }
    return out;
}

// `bytes` is refused with an RdmlError whose message holds `message`.
void expectRefused(const std::string& bytes, const std::string& message) {
    EXPECT_THAT([&] { RdmlDocument::LoadFromBytes(bytes); },
                testing::ThrowsMessage<RdmlError>(HasSubstr(message)))
        << bytes;
}

TEST(RdmlDocumentEncoding, UnicodeAndLatin1DocumentsReadTheSameText) {
    EXPECT_EQ(firstSampleId(kDocument), kSampleId);
    EXPECT_EQ(firstSampleId("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + kDocument),
              kSampleId);
    const std::string utf16 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + kDocument;
    for (const auto& [bigEndian, mark] : {std::pair{false, true}, {true, true}, {false, false}})
        EXPECT_EQ(firstSampleId(toUtf16(utf16, bigEndian, mark)), kSampleId) << bigEndian << mark;
    RdmlDocument latin1 = RdmlDocument::LoadFromBytes(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
        "<rdml xmlns=\"http://www.rdml.org\"><sample id=\"Probe\xE9\"/></rdml>");
    EXPECT_EQ(GetRdml(latin1).Get_Sample().Items(0).Get_Id(), kSampleId);
    // Saved as UTF-8, and the declaration says so.
    EXPECT_THAT(latin1.SaveToString(), HasSubstr("encoding=\"UTF-8\""));
    EXPECT_THAT(latin1.SaveToString(), HasSubstr(kSampleId));
}

TEST(RdmlDocumentEncoding, UndecodableDocumentsAreRefusedNotMisread) {
    expectRefused("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><rdml/>", "shift_jis");
    expectRefused("<rdml xmlns=\"http://www.rdml.org\"><sample id=\"Probe\xE9\"/></rdml>",
                  "not valid UTF-8");
    expectRefused("<rdml xmlns=\"http://www.rdml.org\"><sample id=\"Probe\xE9\"/></rdml>",
                  "byte offset 51");
    // UTF-16 with a lone high surrogate (D800 followed by "<").
    const std::string utf16 = toUtf16("<rdml>x</rdml>", false, true);
    std::string lone = utf16;
    lone.replace(8, 2, std::string("\x00\xD8", 2));
    expectRefused(lone, "not valid UTF-16");
    expectRefused(lone, "byte offset 8");
    expectRefused(utf16 + std::string("\x00\xD8", 2), "not valid UTF-16");
    // A pair of surrogates (U+1F600) in UTF-16, and UTF-32 without a mark.
    std::string pair =
        toUtf16("<rdml xmlns=\"http://www.rdml.org\"><sample id=\"X\"/></rdml>", false, false);
    pair.replace(pair.find(std::string("X\0", 2)), 2, std::string("\x3D\xD8\x00\xDE", 4));
    EXPECT_EQ(firstSampleId(pair), "\xF0\x9F\x98\x80");
    std::string utf32;
    for (char c : kDocument.substr(0, kDocument.find("Probe")) + "S\"/></rdml>")
        utf32 += std::string(1, c) + std::string(3, '\0');
    EXPECT_EQ(firstSampleId(utf32), "S");
    // An odd byte count, UTF-16 declared over 8-bit bytes, an overlong "/",
    // an encoded surrogate and a cut sequence.
    for (const std::string& bytes :
         {utf16 + "x", std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?><rdml/>"),
          std::string("<rdml>\xC0\xAF</rdml>"), std::string("<rdml>\xED\xA0\x80</rdml>"),
          std::string("<rdml>\xE2\x82</rdml>")})
        expectRefused(bytes, "");
}

TEST(RdmlDocumentParse, MalformedDocumentsNameTheirPlace) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "line 1"},
        {"<rdml>\n<sample></rdml>", "line 2"},
        {"<rdml/><second/>", "more than one"},
        {"<!-- only a comment -->", "document element"},
        {"<rdml attr=1/>", "line 1"},
        {"<rdml><!-- unterminated </rdml>", "line 1"},
    };
    for (const auto& [text, where] : cases) {
        expectRefused(text, "not well-formed XML");
        expectRefused(text, where);
    }
    EXPECT_THROW(RdmlDocument::LoadFromFile("/nonexistent/rdml_data.xml"), RdmlError);
}

TEST(RdmlDocumentParse, CommentsInstructionsAndDoctypeStayWhereTheyWere) {
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE rdml>\n<?xml-stylesheet type=\"text/xsl\" href=\"view.xsl\"?>\n"
        "<!-- made by the lab -->\n"
        "<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\"><!-- samples -->"
        "<sample id=\"a\"><?lab checked?><type>unkn</type></sample>"
        "<sample id=\"b\"><description>x<!-- note -->y</description></sample></rdml>";
    RdmlDocument document = RdmlDocument::LoadFromBytes(text);
    TXMLRdml root = GetRdml(document);
    // Neither counts as an element nor hides one.
    ASSERT_EQ(root.Get_Sample().Count(), 2);
    EXPECT_EQ(root.Get_Sample().Items(0).Get_Type(), "unkn");
    EXPECT_EQ(root.Get_Sample().Items(1).Get_Description(), "x");
    root.Get_Sample().Items(0).Set_Description("new");
    root.Get_Sample().Add().Set_Id("c");

    pugi::xml_document saved;
    ASSERT_TRUE(saved.load_string(document.SaveToString().c_str(), pugi::parse_full));
    std::string top;
    for (pugi::xml_node n : saved.children()) top += std::to_string(n.type()) + n.name() + " ";
    EXPECT_EQ(top, "7xml 8 6xml-stylesheet 5 2rdml ");  // declaration, doctype, pi, comment
    EXPECT_STREQ(saved.child("rdml").first_child().value(), " samples ");
    const pugi::xml_node a = saved.child("rdml").child("sample");
    EXPECT_EQ(a.first_child().type(), pugi::node_pi);
    EXPECT_STREQ(a.first_child().value(), "checked");
    EXPECT_STREQ(a.first_child().next_sibling().name(), "description");
    const pugi::xml_node description = a.next_sibling().child("description");
    EXPECT_STREQ(description.first_child().next_sibling().value(), " note ");
    EXPECT_STREQ(description.last_child().value(), "y");
}

TEST(RdmlDocumentNamespace, OnlyRdmlElementsOfTheRootNamespaceAreRead) {
    for (const char* text : {
             "<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\"><sample id=\"S\"/></rdml>",
             "<r:rdml xmlns:r=\"http://www.rdml.org\" version=\"1.2\"><r:sample "
             "id=\"S\"/></r:rdml>",
             "<rdml version=\"1.2\"><sample id=\"S\"/></rdml>",
             // Both declarations on the root, as some instruments write them.
             "<rdml xmlns:rdml=\"http://www.rdml.org\" xmlns=\"http://www.rdml.org\"><rdml:sample "
             "id=\"S\"/></rdml>",
             "<rdml xmlns=\"http://www.rdml.org\"><sample xmlns=\"http://www.rdml.org\" "
             "id=\"S\"/></rdml>",
             // Elements of other namespaces are not RDML children.
             "<rdml xmlns=\"http://www.rdml.org\" xmlns:x=\"urn:other\"><x:sample "
             "id=\"foreign\"/><sample id=\"S\"/>"
             "<ext xmlns=\"urn:other\"><sample id=\"nested\"/></ext></rdml>",
             // Declarations below the root.
             "<rdml xmlns=\"http://www.rdml.org\"><sample xmlns=\"urn:other\" id=\"foreign\"/>"
             "<sample id=\"S\"/></rdml>",
             "<rdml xmlns=\"http://www.rdml.org\"><x:sample xmlns:x=\"http://www.rdml.org\" "
             "id=\"S\"/></rdml>",
         }) {
        RdmlDocument document = RdmlDocument::LoadFromBytes(text);
        ASSERT_EQ(GetRdml(document).Get_Sample().Count(), 1) << text;
        EXPECT_EQ(GetRdml(document).Get_Sample().Items(0).Get_Id(), "S") << text;
    }
    const std::pair<const char*, const char*> wrongRoots[] = {
        {"<rdml xmlns=\"http://www.example.org\"/>", "http://www.example.org"},
        {"<rdmlx xmlns=\"http://www.rdml.org\"/>", "rdml"},
        {"<p:rdml xmlns=\"http://www.rdml.org\"/>", "rdml"},
    };
    for (const auto& [text, message] : wrongRoots) {
        RdmlDocument document = RdmlDocument::LoadFromBytes(text);
        EXPECT_THAT([&] { GetRdml(document); },
                    testing::ThrowsMessage<RdmlError>(HasSubstr(message)))
            << text;
    }
}

TEST(RdmlDocumentLifecycle, InactiveDocumentsRefuseAccessAndFailedSavesKeepTheOldFile) {
    RdmlDocument document = RdmlDocument::LoadFromBytes(kDocument);
    TXMLRdml root = GetRdml(document);
    auto samples = root.Get_Sample();
    document.SetActive(false);
    EXPECT_THROW(samples.Count(), RdmlError);
    EXPECT_THROW(root.Get_Version(), RdmlError);
    EXPECT_THROW(document.SaveToString(), RdmlError);
    EXPECT_THROW(samples.Clear(), RdmlError);
    document.SetActive(true);
    EXPECT_EQ(samples.Count(), 1);
    // A list view assigned from another list of the same item class.
    auto run = root.Get_Experiment().Add().Get_Run().Add();
    run.Get_Experimenter().Add();
    auto references = run.Get_Documentation();
    const auto experimenters = run.Get_Experimenter();
    references = experimenters;
    EXPECT_EQ(references.Count(), 1);

    const auto path = test::freshTempPath("rdml_data.xml");
    test::writeFile(path, "old");
    root.OwnerDocument().SaveToFile(path.string());
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".partial"));
    EXPECT_EQ(firstSampleId(test::readFile(path)), kSampleId);
    std::filesystem::remove(path);
    const auto missing = test::freshTempPath("missing");
    EXPECT_THROW(root.OwnerDocument().SaveToFile((missing / "x.xml").string()), RdmlError);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

// Values read from a real file and a few written texts, as one text.
std::string readAndWrite() {
    std::string out;
    RdmlDocument document =
        RdmlDocument::LoadFromBytes(test::archiveEntry(test::testData("rdml/stepone_std.rdml")));
    auto reacts =
        RDML_v1_0_REC::GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0).Get_React();
    for (int r = 0; r < reacts.Count(); ++r) {
        auto points = reacts.Items(r).Get_Data().Items(0).Get_Adp();
        for (int p = 0; p < points.Count(); ++p)
            out += formatSingle(points.Items(p).Get_Cyc()) + ";" +
                   formatSingle(points.Items(p).Get_Fluor()) + "\n";
    }
    TXMLRdml root = NewRdml();
    auto data = root.Get_Experiment().Add().Get_Run().Add().Get_React().Add().Get_Data().Add();
    data.Set_Cq(1234.5f);
    data.Set_BgFluor(0.1f);
    out += root.OwnerDocument().SaveToString();
    RdmlDocument comma = RdmlDocument::LoadFromBytes(
        "<rdml><sample id=\"S\"><quantity><value>1234.5</value></quantity></sample></rdml>",
        RdmlReadOptions{','});
    return out + formatSingle(GetRdml(comma).Get_Sample().Items(0).Get_Quantity().Get_Value());
}

TEST(RdmlLocale, GermanLocaleChangesNothing) {
    std::setlocale(LC_ALL, "C");
    const std::string underC = readAndWrite();
    EXPECT_THAT(underC, HasSubstr("<cq>1234.5</cq>"));
    EXPECT_THAT(underC, HasSubstr("<bgFluor>0.100000001490116</bgFluor>"));
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    const std::locale previous = std::locale::global(std::locale("de_DE.UTF-8"));
    // The locale really is in force: the C library now writes a decimal comma.
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5");
    const std::string underGerman = readAndWrite();
    std::locale::global(previous);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(underGerman, underC);
}

}  // namespace
}  // namespace qurvex
