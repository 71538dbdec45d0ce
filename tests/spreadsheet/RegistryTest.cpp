// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store seen through registry operations: relative key opens, the first-run
// test, value types, and what survives a fresh read of the file.
#include "spreadsheet/Registry.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using qurvex::ERegistryError;
using qurvex::TRegistry;

namespace {

class RegistryTest : public ::testing::Test {
protected:
  QTemporaryDir dir;
  QString ini() const { return dir.filePath(QStringLiteral("Qurvex.conf")); }
  // A copy of the file read by a new store object: what a later run of the program sees
  // (the in-process cache of QSettings cannot hide a lost type or a mangled name).
  QString reopened(int n) const {
    const QString copy = dir.filePath(QStringLiteral("copy%1.conf").arg(n));
    QFile::remove(copy);
    EXPECT_TRUE(QFile::copy(ini(), copy));
    return copy;
  }
};

TEST_F(RegistryTest, Registry_firstRun_keysMissingUntilWritten) {
  TRegistry reg(ini());
  EXPECT_TRUE(reg.OpenKey(QStringLiteral("Software"), false));  // always there
  EXPECT_FALSE(reg.OpenKey(QStringLiteral("Norvane Labs"), false));
  EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software"));  // a failed open keeps the key
  EXPECT_FALSE(reg.OpenKey(QStringLiteral("Qurvex"), false));
  EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\Software\\Norvane Labs\\Qurvex")));

  ASSERT_TRUE(reg.OpenKey(QStringLiteral("Norvane Labs"), true));
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("Qurvex"), true));
  EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software\\Norvane Labs\\Qurvex"));
  reg.WriteString(QStringLiteral("version"), QStringLiteral("2021.2"));
  reg.CloseKey();
  reg.Flush();

  TRegistry again(reopened(1));
  EXPECT_TRUE(again.KeyExists(QStringLiteral("Software\\Norvane Labs")));
  ASSERT_TRUE(again.OpenKey(QStringLiteral("software/norvane labs/QURVEX"), false));
  EXPECT_EQ(again.ReadString(QStringLiteral("version")), QStringLiteral("2021.2"));
  again.CloseKey();
  EXPECT_FALSE(again.KeyExists(QStringLiteral("Software\\Qurvex")));  // outside the root
}

TEST_F(RegistryTest, Registry_values_typesSurviveFreshRead) {
  {
    TRegistry reg(ini());
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Norvane Labs\\Qurvex"), true));
    reg.WriteInteger(QStringLiteral("AcceptErrorEff"), 1);
    reg.WriteInteger(QStringLiteral("negative"), -1);
    reg.WriteString(QStringLiteral("N included "), QStringLiteral("yes"));  // trailing blank
    reg.WriteString(QStringLiteral("exclude_percentage"), QStringLiteral("5,5"));
    reg.WriteString(QStringLiteral("empty"), QString());
  }
  TRegistry reg(reopened(2));
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Norvane Labs\\Qurvex"), false));
  EXPECT_TRUE(reg.ValueIsInteger(QStringLiteral("AcceptErrorEff")));
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("AcceptErrorEff")), 1);
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("negative")), -1);
  EXPECT_EQ(reg.ReadString(QStringLiteral("AcceptErrorEff")), QStringLiteral("1"));
  EXPECT_EQ(reg.ReadString(QStringLiteral("N included ")), QStringLiteral("yes"));
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("N included")));  // names are exact
  EXPECT_FALSE(reg.ValueIsInteger(QStringLiteral("exclude_percentage")));
  EXPECT_TRUE(reg.ValueExists(QStringLiteral("empty")));
  EXPECT_EQ(reg.ReadString(QStringLiteral("empty")), QString());
  EXPECT_EQ(reg.ReadString(QStringLiteral("missing")), QString());
  EXPECT_FALSE(reg.ValueIsInteger(QStringLiteral("missing")));
  try {
    reg.ReadInteger(QStringLiteral("exclude_percentage"));
    ADD_FAILURE() << "text read as an integer";
  } catch (const ERegistryError& e) {
    EXPECT_NE(std::string(e.what()).find("exclude_percentage"), std::string::npos);
  }
  EXPECT_THROW(reg.ReadInteger(QStringLiteral("missing")), ERegistryError);
  EXPECT_TRUE(reg.DeleteValue(QStringLiteral("negative")));
  EXPECT_FALSE(reg.DeleteValue(QStringLiteral("negative")));
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("negative")));
}

TEST_F(RegistryTest, Registry_layoutSubkeys_namesKeptExactly) {
  const QStringList layouts{QStringLiteral("MJ Research         "), QStringLiteral("MJ Research"),
                            QStringLiteral("Rotor-Gene (Corbett Research; 2 leading columns)"),
                            QStringLiteral("Illumina Eco ('Component data')")};
  {
    TRegistry reg(ini());
    for (int i = 0; i < layouts.size(); ++i) {
      ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Norvane Labs\\Qurvex\\") + layouts[i], true));
      reg.WriteInteger(QStringLiteral("startrow"), 10 + i);
      reg.CloseKey();
    }
  }
  TRegistry reg(reopened(3));
  for (int i = 0; i < layouts.size(); ++i) {
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Norvane Labs\\Qurvex"), false));
    ASSERT_TRUE(reg.OpenKey(layouts[i], false)) << layouts[i].toStdString();  // relative
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("startrow")), 10 + i);
    reg.CloseKey();
  }
  EXPECT_FALSE(reg.KeyExists(QStringLiteral("Software\\Norvane Labs\\Qurvex\\Mic")));
}

TEST_F(RegistryTest, Registry_noOpenKey_writeRefusedReadEmpty) {
  TRegistry reg(ini());
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("version")));
  EXPECT_EQ(reg.ReadString(QStringLiteral("version")), QString());
  EXPECT_THROW(reg.WriteString(QStringLiteral("version"), QStringLiteral("x")), ERegistryError);
}

}  // namespace
