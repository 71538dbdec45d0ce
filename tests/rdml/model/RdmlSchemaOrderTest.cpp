// SPDX-License-Identifier: GPL-3.0-or-later
// The child order of every generated element class equals the xs:sequence of
// its type in the official schema of its version, so new children land where
// the schema wants them.
#include "rdml/model/RDML_v1_0_REC.h"
#include "rdml/model/RDML_v1_1_PR.h"
#include "rdml/model/RDML_v1_2_CR.h"
#include "tests/rdml/model/RdmlTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace qurvex {
namespace {

// Names of the elements of a content model, in order, without descending into
// the elements themselves.
void collectSequence(pugi::xml_node model, std::vector<std::string>& out)
{
    for (pugi::xml_node n : model.children()) {
        const std::string name = n.name();
        if (name == "xs:element")
            out.emplace_back(n.attribute("name").value());
        else if (name == "xs:sequence" || name == "xs:choice" || name == "xs:all")
            collectSequence(n, out);
    }
}

// The complex type of class TXMLFooType is "fooType"; TXMLRdml is the
// anonymous type of the element "rdml".
pugi::xml_node schemaType(const pugi::xml_document& xsd, const std::string& className)
{
    const pugi::xml_node schema = xsd.child("xs:schema");
    if (className == "TXMLRdml")
        return schema.find_child_by_attribute("xs:element", "name", "rdml").child("xs:complexType");
    std::string typeName = className.substr(4);
    typeName[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(typeName[0])));
    return schema.find_child_by_attribute("xs:complexType", "name", typeName.c_str());
}

// `subset`: the model's order may hold elements of a later version that the
// schema lacks; it must then hold the schema's elements in the schema's order.
void expectSchemaOrder(std::span<const ElementSchema* const> classes, const char* xsdName, bool subset = false)
{
    pugi::xml_document xsd;
    ASSERT_TRUE(xsd.load_file(test::testData(std::string("rdml/schema/") + xsdName).c_str()));
    for (const ElementSchema* schema : classes) {
        const pugi::xml_node type = schemaType(xsd, schema->typeName);
        ASSERT_TRUE(type) << schema->typeName << " has no type in " << xsdName;
        std::vector<std::string> expected;
        collectSequence(type, expected);
        std::vector<std::string> model(schema->children, schema->children + schema->childCount);
        if (subset)
            std::erase_if(model, [&](const std::string& name) {
                return std::find(expected.begin(), expected.end(), name) == expected.end();
            });
        EXPECT_EQ(model, expected) << schema->typeName << " in " << xsdName;
    }
}

TEST(RdmlSchemaOrder, Version12ClassesFollowTheSchema)
{
    EXPECT_EQ(RDML_v1_2_CR::ElementSchemas().size(), 31u);
    expectSchemaOrder(RDML_v1_2_CR::ElementSchemas(), "RDML_v1_2_REC.xsd", true);
    // The 1.2 model also places new children of 1.3 documents by the 1.3 order.
    expectSchemaOrder(RDML_v1_2_CR::ElementSchemas(), "RDML_v1_3_REC.xsd");
}

TEST(RdmlSchemaOrder, Version11ClassesFollowTheSchema)
{
    EXPECT_EQ(RDML_v1_1_PR::ElementSchemas().size(), 30u);
    expectSchemaOrder(RDML_v1_1_PR::ElementSchemas(), "RDML_v1_1_REC.xsd");
}

TEST(RdmlSchemaOrder, Version10ClassesFollowTheSchema)
{
    EXPECT_EQ(RDML_v1_0_REC::ElementSchemas().size(), 29u);
    expectSchemaOrder(RDML_v1_0_REC::ElementSchemas(), "RDML_v1_0_REC.xsd");
}

}  // namespace
}  // namespace qurvex
