// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/spreadsheet/CalcTestSupport.h"

#include "spreadsheet/Excelcom.h"
#include "spreadsheet/UnoSupport.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include <QUrl>

#include <chrono>
#include <thread>
#include <vector>

namespace qurvex::test {

using namespace css;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

bool WaitForOffice(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  TExcelcom probe;
  while (std::chrono::steady_clock::now() < end) {
    try {
      if (probe.IsExcelRunning()) return true;
    } catch (const EExcelError&) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

Reference<frame::XDesktop2> Desktop() { return connectDesktop(TExcelcom::DefaultPipeName()); }

Reference<sheet::XSpreadsheetDocument> CurrentDocument() {
  return Reference<sheet::XSpreadsheetDocument>(Desktop()->getCurrentComponent(), UNO_QUERY_THROW);
}

Reference<sheet::XSpreadsheet> Sheet(const Reference<sheet::XSpreadsheetDocument>& doc, const QString& name) {
  return Reference<sheet::XSpreadsheet>(doc->getSheets()->getByName(toU(name)), UNO_QUERY_THROW);
}

void CloseDocument(const Reference<sheet::XSpreadsheetDocument>& doc) {
  Reference<util::XCloseable>(doc, UNO_QUERY_THROW)->close(true);
}

void CloseAllDocuments() {
  std::vector<Reference<util::XCloseable>> docs;
  Reference<container::XEnumeration> e = Desktop()->getComponents()->createEnumeration();
  while (e->hasMoreElements()) {
    Reference<util::XCloseable> c(e->nextElement(), UNO_QUERY);
    if (c.is()) docs.push_back(c);
  }
  for (auto& c : docs) c->close(true);
}

void SaveAsXlsx(const Reference<sheet::XSpreadsheetDocument>& doc, const QString& path) {
  uno::Sequence<beans::PropertyValue> args(1);
  args.getArray()[0].Name = "FilterName";
  args.getArray()[0].Value <<= rtl::OUString("Calc MS Excel 2007 XML");
  Reference<frame::XStorable>(doc, UNO_QUERY_THROW)->storeToURL(toU(QUrl::fromLocalFile(path).toString()), args);
}

Reference<sheet::XSpreadsheetDocument> Load(const QString& path) {
  Reference<frame::XComponentLoader> loader(Desktop(), UNO_QUERY_THROW);
  uno::Sequence<beans::PropertyValue> args;
  return Reference<sheet::XSpreadsheetDocument>(
      loader->loadComponentFromURL(toU(QUrl::fromLocalFile(path).toString()), rtl::OUString("_blank"), 0, args),
      UNO_QUERY_THROW);
}

namespace {
Reference<beans::XPropertySet> cellProps(const Reference<sheet::XSpreadsheet>& sheet, int col, int row) {
  return Reference<beans::XPropertySet>(sheet->getCellByPosition(col, row), UNO_QUERY_THROW);
}
}  // namespace

QString FormatCode(const Reference<sheet::XSpreadsheetDocument>& doc, const Reference<sheet::XSpreadsheet>& sheet,
                   int col, int row) {
  sal_Int32 key = 0;
  cellProps(sheet, col, row)->getPropertyValue("NumberFormat") >>= key;
  const auto formats = Reference<util::XNumberFormatsSupplier>(doc, UNO_QUERY_THROW)->getNumberFormats();
  rtl::OUString code;
  formats->getByKey(key)->getPropertyValue("FormatString") >>= code;
  return toQ(code);
}

FormatMeaning FormatMeaningOf(const Reference<sheet::XSpreadsheetDocument>& doc,
                              const Reference<sheet::XSpreadsheet>& sheet, int col, int row) {
  sal_Int32 key = 0;
  cellProps(sheet, col, row)->getPropertyValue("NumberFormat") >>= key;
  const auto formats = Reference<util::XNumberFormatsSupplier>(doc, UNO_QUERY_THROW)->getNumberFormats();
  const auto props = formats->getByKey(key);
  sal_Int16 decimals = -1;
  bool grouping = false;
  props->getPropertyValue("Decimals") >>= decimals;
  props->getPropertyValue("ThousandsSeparator") >>= grouping;
  return {decimals, grouping};
}

void SetDocumentLocale(const Reference<sheet::XSpreadsheetDocument>& doc, const QString& language,
                       const QString& country) {
  const lang::Locale locale(toU(language), toU(country), rtl::OUString());
  Reference<beans::XPropertySet>(doc, UNO_QUERY_THROW)->setPropertyValue("CharLocale", uno::Any(locale));
}

float CharWeight(const Reference<sheet::XSpreadsheet>& sheet, int col, int row) {
  float w = 0;
  cellProps(sheet, col, row)->getPropertyValue("CharWeight") >>= w;
  return w;
}

int HoriJustify(const Reference<sheet::XSpreadsheet>& sheet, int col, int row) {
  const uno::Any a = cellProps(sheet, col, row)->getPropertyValue("HoriJustify");
  return *static_cast<const sal_Int32*>(a.getValue());
}

void SetFormula(const Reference<sheet::XSpreadsheet>& sheet, int col, int row, const QString& formula) {
  sheet->getCellByPosition(col, row)->setFormula(toU(formula));
}

void RemoveSheet(const Reference<sheet::XSpreadsheetDocument>& doc, const QString& name) {
  doc->getSheets()->removeByName(toU(name));
}

QString SheetNames(const Reference<sheet::XSpreadsheetDocument>& doc) {
  Reference<container::XIndexAccess> sheets(doc->getSheets(), UNO_QUERY_THROW);
  QStringList names;
  for (sal_Int32 i = 0; i < sheets->getCount(); ++i)
    names << toQ(Reference<container::XNamed>(sheets->getByIndex(i), UNO_QUERY_THROW)->getName());
  return names.join(QLatin1Char(','));
}

}  // namespace qurvex::test
