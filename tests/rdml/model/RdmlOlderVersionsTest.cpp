// SPDX-License-Identifier: GPL-3.0-or-later
// The differences of the RDML 1.1 and 1.0 models from the 1.2 model.
#include "rdml/model/RDML_v1_0_REC.h"
#include "rdml/model/RDML_v1_1_PR.h"
#include "rdml/model/RdmlError.h"

#include <gtest/gtest.h>

namespace qurvex {
namespace {

// A run whose samples carry elements of other versions (annotation,
// templateQuantity, dye) that the older models do not know.
const char* kRun = "<rdml xmlns=\"http://www.rdml.org\" version=\"1.1\">"
                   "<dye id=\"FAM\"/>"
                   "<sample id=\"S\"><annotation><property>p</property><value>v</value></annotation>"
                   "<type>unkn</type><templateQuantity><conc>1</conc><nucleotide>DNA</nucleotide></templateQuantity>"
                   "<templateRNAQuantity>2.5</templateRNAQuantity>"
                   "<templateRNAQuality><method>RIN</method><result>9.5</result></templateRNAQuality></sample>"
                   "<target id=\"T\"><type>toi</type><amplificationEfficiency>1.9</amplificationEfficiency>"
                   "<dyeId>FAM</dyeId></target>"
                   "<experiment id=\"E\"><run id=\"R\"><pcrFormat>96</pcrFormat><react id=\"B7\"><sample id=\"S\"/>"
                   "<data><tar id=\"T\"/><cq>23,5</cq><quantity><value>100</value><unit>cop</unit></quantity>"
                   "<adp><cyc>1,5</cyc><fluor>2,5</fluor></adp><adp><cyc>2</cyc><fluor>3.5</fluor></adp>"
                   "<bgFluor>1.25</bgFluor></data></react></run></experiment></rdml>";

TEST(Rdml11Model, FluorUsesTheDocumentSeparatorOnly)
{
    using namespace RDML_v1_1_PR;
    RdmlDocument document = RdmlDocument::LoadFromBytes(kRun, RdmlReadOptions{','});
    TXMLDataType data = GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0).Get_React().Items(0)
                            .Get_Data().Items(0);
    EXPECT_EQ(data.Get_Adp().Count(), 2);
    EXPECT_EQ(data.Get_Adp().Items(0).Get_Cyc(), 1.5f);
    EXPECT_EQ(data.Get_Adp().Items(0).Get_Fluor(), 2.5f);
    // "3.5" with the separator ",": refused for fluor as for cyc in 1.1.
    EXPECT_THROW(data.Get_Adp().Items(1).Get_Fluor(), RdmlError);
    // bgFluor and cq convert generically: "." is accepted too.
    EXPECT_EQ(data.Get_BgFluor(), 1.25f);
    EXPECT_EQ(data.Get_Cq(), 23.5f);
    data.Set_QuantFluor(0.1f);
    EXPECT_STREQ(data.DomNode().child("quantFluor").text().get(), "0.100000001490116");
}

TEST(Rdml11Model, TemplateQualityAndQuantityChildren)
{
    using namespace RDML_v1_1_PR;
    RdmlDocument document = RdmlDocument::LoadFromBytes(kRun);
    TXMLSampleType sample = GetRdml(document).Get_Sample().Items(0);
    EXPECT_EQ(sample.Get_Type(), "unkn");
    EXPECT_EQ(sample.Get_TemplateRNAQuality().Get_Method(), "RIN");
    EXPECT_EQ(sample.Get_TemplateRNAQuality().Get_Result(), 9.5f);
    // A new 1.1 child goes after the known ones, whatever foreign elements sit there.
    sample.Get_TemplateDNAQuality().Set_Method("A260/A280");
    pugi::xml_node last = sample.DomNode().last_child();
    EXPECT_STREQ(last.name(), "templateDNAQuality");
    EXPECT_EQ(GetRdml(document).Get_Dye().Items(0).Get_Id(), "FAM");
}

TEST(Rdml10Model, TextMembersAndDoubleQuantities)
{
    using namespace RDML_v1_0_REC;
    RdmlDocument document = RdmlDocument::LoadFromBytes(kRun, RdmlReadOptions{','});
    TXMLRdml root = GetRdml(document);
    TXMLRunType run = root.Get_Experiment().Items(0).Get_Run().Items(0);
    EXPECT_EQ(run.Get_PcrFormat(), "96");
    TXMLReactType react = run.Get_React().Items(0);
    EXPECT_EQ(react.Get_Id(), "B7");
    TXMLDataType data = react.Get_Data().Items(0);
    EXPECT_EQ(data.Get_Cq(), "23,5");
    EXPECT_EQ(data.Get_Quantity().Get_Value(), 100.0f);
    EXPECT_EQ(data.Get_Adp().Items(0).Get_Fluor(), 2.5f);
    EXPECT_THROW(data.Get_Adp().Items(1).Get_Fluor(), RdmlError);
    TXMLTargetType target = root.Get_Target().Items(0);
    EXPECT_EQ(target.Get_DyeId(), "FAM");
    // 2.5 is exact either way; 0.1 shows whether the member keeps 64 bits.
    TXMLSampleType sample = root.Get_Sample().Items(0);
    EXPECT_EQ(sample.Get_TemplateRNAQuantity(), 2.5);
    sample.Set_TemplateDNAQuantity(0.1);
    EXPECT_EQ(sample.Get_TemplateDNAQuantity(), 0.1);
    EXPECT_STREQ(sample.DomNode().child("templateDNAQuantity").text().get(), "0.1");
    // thirdPartyExtensions is reached without disturbing the run data.
    EXPECT_FALSE(root.HasChild("thirdPartyExtensions"));
    EXPECT_EQ(root.Get_Experiment().Count(), 1);
}

}  // namespace
}  // namespace qurvex
