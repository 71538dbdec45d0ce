// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/model/RDML_v1_2_CR.h"
#include "rdml/model/RdmlDocument.h"
#include "rdml/model/RdmlError.h"
#include "tests/rdml/model/RdmlTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qurvex {
namespace {

using namespace RDML_v1_2_CR;
using ::testing::HasSubstr;

// A document whose first sample id holds "é" (U+00E9) and "€" is avoided so
// that the same text exists in ISO-8859-1.
const std::string kSampleId = "Probe\xC3\xA9";

std::string utf8Document(const std::string& declaration)
{
    return declaration + "<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\"><sample id=\"" + kSampleId +
           "\"><type>unkn</type></sample></rdml>";
}

std::string firstSampleId(RdmlDocument document)
{
    return GetRdml(document).Get_Sample().Items(0).Get_Id();
}

std::string toUtf16(const std::string& ascii, bool bigEndian, bool mark)
{
    std::string out;
    if (mark)
        out += bigEndian ? std::string("\xFE\xFF", 2) : std::string("\xFF\xFE", 2);
    // Decodes the UTF-8 input (only one- and two-byte sequences occur here).
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        unsigned code = static_cast<unsigned char>(ascii[i]);
        if (code >= 0xC0) {
            code = ((code & 0x1F) << 6) | (static_cast<unsigned char>(ascii[i + 1]) & 0x3F);
            ++i;
        }
        const char high = static_cast<char>(code >> 8);
        const char low = static_cast<char>(code & 0xFF);
        if (bigEndian) {
            out += high;
            out += low;
        } else {
            out += low;
            out += high;
        }
    }
    return out;
}

TEST(RdmlDocumentEncoding, UnicodeAndLatin1DocumentsReadTheSameText)
{
    EXPECT_EQ(firstSampleId(RdmlDocument::LoadFromBytes(utf8Document(""))), kSampleId);
    EXPECT_EQ(firstSampleId(RdmlDocument::LoadFromBytes(
                  "\xEF\xBB\xBF" + utf8Document("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"))),
              kSampleId);
    const std::string utf16 = utf8Document("<?xml version=\"1.0\" encoding=\"UTF-16\"?>");
    EXPECT_EQ(firstSampleId(RdmlDocument::LoadFromBytes(toUtf16(utf16, false, true))), kSampleId);
    EXPECT_EQ(firstSampleId(RdmlDocument::LoadFromBytes(toUtf16(utf16, true, true))), kSampleId);
    EXPECT_EQ(firstSampleId(RdmlDocument::LoadFromBytes(toUtf16(utf16, false, false))), kSampleId);
    // ISO-8859-1: "é" is the single byte 0xE9.
    const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                               "<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\"><sample id=\"Probe\xE9\"/></rdml>";
    RdmlDocument document = RdmlDocument::LoadFromBytes(latin1);
    EXPECT_EQ(firstSampleId(document), kSampleId);
    // Saved as UTF-8, and the declaration says so.
    const std::string saved = document.SaveToString();
    EXPECT_THAT(saved, HasSubstr("encoding=\"UTF-8\""));
    EXPECT_THAT(saved, HasSubstr(kSampleId));
}

TEST(RdmlDocumentEncoding, UndecodableDocumentsAreRefused)
{
    // An encoding we cannot decode is refused rather than misread.
    try {
        RdmlDocument::LoadFromBytes("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><rdml/>");
        FAIL() << "Shift_JIS accepted";
    } catch (const RdmlError& e) {
        EXPECT_THAT(e.what(), HasSubstr("shift_jis"));
    }
    // Latin-1 bytes in a document that claims (or defaults to) UTF-8.
    try {
        RdmlDocument::LoadFromBytes("<rdml xmlns=\"http://www.rdml.org\"><sample id=\"Probe\xE9\"/></rdml>");
        FAIL() << "invalid UTF-8 accepted";
    } catch (const RdmlError& e) {
        EXPECT_THAT(e.what(), HasSubstr("not valid UTF-8"));
        EXPECT_THAT(e.what(), HasSubstr("byte offset 51"));
    }
    // UTF-16 with a lone high surrogate (D800 followed by "<"), an odd byte
    // count, and a UTF-16 declaration over 8-bit bytes.
    const std::string utf16 = toUtf16("<rdml>x</rdml>", false, true);
    std::string lone = utf16;
    lone.replace(8, 2, std::string("\x00\xD8", 2));
    try {
        RdmlDocument::LoadFromBytes(lone);
        ADD_FAILURE() << "lone surrogate accepted";
    } catch (const RdmlError& e) {
        EXPECT_THAT(e.what(), HasSubstr("not valid UTF-16"));
        EXPECT_THAT(e.what(), HasSubstr("byte offset 8"));
    }
    EXPECT_THROW(RdmlDocument::LoadFromBytes(utf16 + "x"), RdmlError);
    EXPECT_THROW(RdmlDocument::LoadFromBytes("<?xml version=\"1.0\" encoding=\"UTF-16\"?><rdml/>"), RdmlError);
    // Overlong form of "/" and an encoded surrogate.
    EXPECT_THROW(RdmlDocument::LoadFromBytes("<rdml>\xC0\xAF</rdml>"), RdmlError);
    EXPECT_THROW(RdmlDocument::LoadFromBytes("<rdml>\xED\xA0\x80</rdml>"), RdmlError);
    EXPECT_THROW(RdmlDocument::LoadFromBytes("<rdml>\xE2\x82</rdml>"), RdmlError);
}

TEST(RdmlDocumentParse, MalformedDocumentsNameTheirPlace)
{
    const struct {
        const char* text;
        const char* where;
    } cases[] = {
        {"", "line 1"},
        {"<rdml>\n<sample></rdml>", "line 2"},
        {"<rdml/><second/>", "more than one"},
        {"<!-- only a comment -->", "document element"},
        {"<rdml attr=1/>", "line 1"},
        {"<rdml><!-- unterminated </rdml>", "line 1"},
    };
    for (const auto& c : cases) {
        try {
            RdmlDocument::LoadFromBytes(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const RdmlError& e) {
            EXPECT_THAT(e.what(), HasSubstr("not well-formed XML")) << c.text;
            EXPECT_THAT(e.what(), HasSubstr(c.where)) << c.text;
        }
    }
    EXPECT_THROW(RdmlDocument::LoadFromFile("/nonexistent/rdml_data.xml"), RdmlError);
}

TEST(RdmlDocumentNamespace, PrefixedDefaultAndMissingNamespacesAllRead)
{
    const char* documents[] = {
        "<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\"><sample id=\"S\"/></rdml>",
        "<r:rdml xmlns:r=\"http://www.rdml.org\" version=\"1.2\"><r:sample id=\"S\"/></r:rdml>",
        "<rdml version=\"1.2\"><sample id=\"S\"/></rdml>",
        // Both declarations on the root, as some instruments write them.
        "<rdml xmlns:rdml=\"http://www.rdml.org\" xmlns=\"http://www.rdml.org\" version=\"1.2\">"
        "<rdml:sample id=\"S\"/></rdml>",
        // A declaration repeated below the root.
        "<rdml xmlns=\"http://www.rdml.org\"><sample xmlns=\"http://www.rdml.org\" id=\"S\"/></rdml>",
    };
    for (const char* text : documents) {
        RdmlDocument document = RdmlDocument::LoadFromBytes(text);
        TXMLRdml root = GetRdml(document);
        ASSERT_EQ(root.Get_Sample().Count(), 1) << text;
        EXPECT_EQ(root.Get_Sample().Items(0).Get_Id(), "S") << text;
    }
}

TEST(RdmlDocumentNamespace, ElementsOfOtherNamespacesAreNotRdmlChildren)
{
    RdmlDocument document = RdmlDocument::LoadFromBytes(
        "<rdml xmlns=\"http://www.rdml.org\" xmlns:x=\"urn:other\">"
        "<x:sample id=\"foreign\"/><sample id=\"S\"/>"
        "<ext xmlns=\"urn:other\"><sample id=\"nested\"/></ext></rdml>");
    TXMLRdml root = GetRdml(document);
    ASSERT_EQ(root.Get_Sample().Count(), 1);
    EXPECT_EQ(root.Get_Sample().Items(0).Get_Id(), "S");
}

TEST(RdmlDocumentNamespace, WrongRootIsRefused)
{
    const char* documents[] = {
        "<rdml xmlns=\"http://www.example.org\"/>",
        "<rdmlx xmlns=\"http://www.rdml.org\"/>",
        "<p:rdml xmlns=\"http://www.rdml.org\"/>",
    };
    for (const char* text : documents) {
        RdmlDocument document = RdmlDocument::LoadFromBytes(text);
        try {
            GetRdml(document);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const RdmlError& e) {
            EXPECT_THAT(e.what(), HasSubstr("rdml")) << text;
        }
    }
    RdmlDocument wrong = RdmlDocument::LoadFromBytes(documents[0]);
    try {
        GetRdml(wrong);
    } catch (const RdmlError& e) {
        EXPECT_THAT(e.what(), HasSubstr("http://www.example.org"));
    }
}

TEST(RdmlDocumentLifecycle, InactiveDocumentsRefuseAccess)
{
    RdmlDocument document = RdmlDocument::LoadFromBytes(utf8Document(""));
    TXMLRdml root = GetRdml(document);
    auto samples = root.Get_Sample();
    document.SetActive(false);
    EXPECT_THROW(samples.Count(), RdmlError);
    EXPECT_THROW(root.Get_Version(), RdmlError);
    EXPECT_THROW(document.SaveToString(), RdmlError);
    document.SetActive(true);
    EXPECT_EQ(samples.Count(), 1);
}

TEST(RdmlDocumentLifecycle, FailedSaveLeavesTheOldFile)
{
    test::TempDir dir;
    const auto path = dir.file("rdml_data.xml");
    test::writeFile(path, "old");
    TXMLRdml root = NewRdml();
    root.Set_Version("1.2");
    root.OwnerDocument().SaveToFile(path.string());
    EXPECT_THAT(test::readFile(path), HasSubstr("<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\""));
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".partial"));
    // A folder that does not exist: error, nothing written.
    EXPECT_THROW(root.OwnerDocument().SaveToFile((dir.path() / "missing" / "x.xml").string()), RdmlError);
    // Reading back the saved file gives the same document.
    RdmlDocument back = RdmlDocument::LoadFromFile(path.string());
    EXPECT_EQ(GetRdml(back).Get_Version(), "1.2");
}

}  // namespace
}  // namespace qurvex
