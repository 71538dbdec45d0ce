// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store seen through registry operations: relative key opens, the first-run
// test, and what survives a fresh read of the file (value types, exact key and value names).
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "spreadsheet/Registry.h"

using qurvex::ERegistryError;
using qurvex::TRegistry;

namespace {

const QString kProduct = QStringLiteral("Software\\Norvane Labs\\Qurvex");

class RegistryTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString ini() const { return dir.filePath(QStringLiteral("Qurvex.conf")); }
    // A copy of the file read by a new store object: what a later run of the program sees
    // (the in-process cache of QSettings cannot hide a lost type or a mangled name).
    QString reopened() const {
        const QString copy = dir.filePath(QStringLiteral("copy.conf"));
        EXPECT_TRUE(QFile::copy(ini(), copy));
        return copy;
    }
};

TEST_F(RegistryTest, Registry_firstRun_keysMissingUntilWritten) {
    TRegistry reg(ini());
    // No key open: reads are empty, writes refused.
    EXPECT_EQ(reg.ReadString(QStringLiteral("version")), QString());
    EXPECT_THROW(reg.WriteString(QStringLiteral("version"), QStringLiteral("x")), ERegistryError);
    EXPECT_TRUE(reg.OpenKey(QStringLiteral("Software"), false));  // always there
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("Norvane Labs"), false));
    EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software"));  // a failed open keeps the key
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\") + kProduct));
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Norvane Labs\\Qurvex"), true));  // relative
    EXPECT_EQ(reg.CurrentPath(), kProduct);
    reg.WriteString(QStringLiteral("version"), QStringLiteral("2021.2"));
    reg.Flush();

    TRegistry again(reopened());
    ASSERT_TRUE(again.OpenKey(QStringLiteral("software/norvane labs/QURVEX"), false));
    EXPECT_EQ(again.ReadString(QStringLiteral("version")), QStringLiteral("2021.2"));
    again.CloseKey();
    EXPECT_FALSE(again.KeyExists(QStringLiteral("Software\\Qurvex")));  // outside the root
}

TEST_F(RegistryTest, Registry_freshRead_typesAndExactNamesSurvive) {
    const QStringList layouts{QStringLiteral("MJ Research         "), QStringLiteral("MJ Research"),
                              QStringLiteral("Rotor-Gene (Corbett Research; 2 leading columns)"),
                              QStringLiteral("Illumina Eco ('Component data')")};
    {
        TRegistry reg(ini());
        ASSERT_TRUE(reg.OpenKey(kProduct, true));
        reg.WriteInteger(QStringLiteral("negative"), -1);
        reg.WriteString(QStringLiteral("N included "), QStringLiteral("yes"));  // trailing blank
        reg.WriteString(QStringLiteral("exclude_percentage"), QStringLiteral("5,5"));
        reg.WriteString(QStringLiteral("empty"), QString());
        for (int i = 0; i < layouts.size(); ++i) {
            ASSERT_TRUE(reg.OpenKey(
                QStringLiteral("\\") + kProduct + QStringLiteral("\\") + layouts[i], true));
            reg.WriteInteger(QStringLiteral("startrow"), 10 + i);
        }
    }
    TRegistry reg(reopened());
    for (int i = 0; i < layouts.size(); ++i) {
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\") + kProduct, false));
        ASSERT_TRUE(reg.OpenKey(layouts[i], false)) << layouts[i].toStdString();  // relative
        EXPECT_EQ(reg.ReadInteger(QStringLiteral("startrow")), 10 + i);
    }
    EXPECT_FALSE(reg.KeyExists(kProduct + QStringLiteral("\\Mic")));

    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\") + kProduct, false));
    EXPECT_TRUE(reg.ValueIsInteger(QStringLiteral("negative")));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("negative")), -1);
    EXPECT_EQ(reg.ReadString(QStringLiteral("negative")), QStringLiteral("-1"));
    EXPECT_EQ(reg.ReadString(QStringLiteral("N included ")), QStringLiteral("yes"));
    EXPECT_FALSE(reg.ValueExists(QStringLiteral("N included")));  // names are exact
    EXPECT_FALSE(reg.ValueIsInteger(QStringLiteral("exclude_percentage")));
    EXPECT_TRUE(reg.ValueExists(QStringLiteral("empty")));
    EXPECT_EQ(reg.ReadString(QStringLiteral("empty")), QString());
    EXPECT_EQ(reg.ReadString(QStringLiteral("missing")), QString());
    try {
        reg.ReadInteger(QStringLiteral("exclude_percentage"));
        ADD_FAILURE() << "text read as an integer";
    } catch (const ERegistryError& e) {
        EXPECT_NE(std::string(e.what()).find("exclude_percentage"), std::string::npos);
    }
    EXPECT_THROW(reg.ReadInteger(QStringLiteral("missing")), ERegistryError);
    EXPECT_TRUE(reg.DeleteValue(QStringLiteral("negative")));
    EXPECT_FALSE(reg.DeleteValue(QStringLiteral("negative")));
}

}  // namespace
