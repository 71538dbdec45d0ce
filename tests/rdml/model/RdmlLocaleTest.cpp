// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing give the same results whatever the process locale is.
#include "rdml/model/RDML_v1_0_REC.h"
#include "rdml/model/RDML_v1_2_CR.h"
#include "tests/rdml/model/RdmlTestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <stdexcept>

namespace qurvex {
namespace {

// Every value read from a real file, and a few written texts, as one text.
std::string readAndWrite()
{
    std::string out;
    RdmlDocument document = RdmlDocument::LoadFromBytes(test::archiveEntry(test::testData("rdml/stepone_std.rdml")));
    auto run = RDML_v1_0_REC::GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0);
    for (int r = 0; r < run.Get_React().Count(); ++r) {
        auto points = run.Get_React().Items(r).Get_Data().Items(0).Get_Adp();
        for (int p = 0; p < points.Count(); ++p)
            out += formatSingle(points.Items(p).Get_Cyc()) + ";" + formatSingle(points.Items(p).Get_Fluor()) + "\n";
    }
    RDML_v1_2_CR::TXMLRdml root = RDML_v1_2_CR::NewRdml();
    auto data = root.Get_Experiment().Add().Get_Run().Add().Get_React().Add().Get_Data().Add();
    data.Set_Cq(1234.5f);
    data.Set_BgFluor(0.1f);
    out += root.OwnerDocument().SaveToString();
    RdmlDocument comma = RdmlDocument::LoadFromBytes(
        "<rdml><sample id=\"S\"><quantity><value>1234.5</value></quantity></sample></rdml>", RdmlReadOptions{','});
    out += formatSingle(RDML_v1_2_CR::GetRdml(comma).Get_Sample().Items(0).Get_Quantity().Get_Value());
    return out;
}

class GermanLocale {
public:
    GermanLocale()
    {
        previous_ = std::setlocale(LC_ALL, nullptr);
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
            return;
        try {
            previousGlobal_ = std::locale::global(std::locale("de_DE.UTF-8"));
            active_ = true;
        } catch (const std::runtime_error&) {
            std::setlocale(LC_ALL, previous_.c_str());
        }
    }
    ~GermanLocale()
    {
        if (!active_)
            return;
        std::locale::global(previousGlobal_);
        std::setlocale(LC_ALL, previous_.c_str());
    }
    bool active() const { return active_; }

private:
    std::string previous_;
    std::locale previousGlobal_;
    bool active_ = false;
};

TEST(RdmlLocale, GermanLocaleChangesNothing)
{
    std::setlocale(LC_ALL, "C");
    const std::string underC = readAndWrite();
    EXPECT_NE(underC.find("<cq>1234.5</cq>"), std::string::npos);
    EXPECT_NE(underC.find("<bgFluor>0.100000001490116</bgFluor>"), std::string::npos);
    GermanLocale german;
    if (!german.active())
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    // The locale really is in force: the C library now writes a decimal comma.
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");
    EXPECT_EQ(readAndWrite(), underC);
}

}  // namespace
}  // namespace qurvex
