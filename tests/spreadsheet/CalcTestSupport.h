// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Direct UNO access to the test office, to check what the component did from the outside.

#include <QStringList>
#include <QUrl>
#include <chrono>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <stdexcept>
#include <thread>
#include <type_traits>
#include <vector>

#include "spreadsheet/Excelcom.h"
#include "spreadsheet/UnoSupport.h"

namespace qurvex::test {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using Doc = Reference<css::sheet::XSpreadsheetDocument>;
using SheetRef = Reference<css::sheet::XSpreadsheet>;

// The pipe of the test office: $QURVEX_CALC_PIPE, which CTest sets for every test. Unset or
// "qurvex", it would lead to the Calc that the user opened for Qurvex: empty then.
inline QString TestPipe() {
    const QString pipe = qEnvironmentVariable("QURVEX_CALC_PIPE");
    return pipe.isEmpty() || pipe == QLatin1String("qurvex") ? QString() : pipe;
}

// Waits up to `seconds` until the office on $QURVEX_CALC_PIPE accepts; false when it never does
// or when no pipe of a test office is set.
inline bool WaitForOffice(double seconds) {
    if (TestPipe().isEmpty()) return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (TExcelcom probe; std::chrono::steady_clock::now() < end;) {
        try {
            if (probe.IsExcelRunning()) return true;
        } catch (const EExcelError&) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

inline Reference<css::frame::XDesktop2> Desktop() {
    const QString pipe = TestPipe();
    if (pipe.isEmpty())
        throw std::runtime_error("no test office: QURVEX_CALC_PIPE is unset (run through ctest)");
    return connectDesktop(pipe);
}
inline Doc CurrentDocument() { return Doc(Desktop()->getCurrentComponent(), UNO_QUERY_THROW); }
inline SheetRef Sheet(const Doc& doc, const QString& name) {
    return SheetRef(doc->getSheets()->getByName(toU(name)), UNO_QUERY_THROW);
}
inline void CloseDocument(const Doc& doc) {
    Reference<css::util::XCloseable>(doc, UNO_QUERY_THROW)->close(true);
}

inline void CloseAllDocuments() {
    std::vector<Reference<css::util::XCloseable>> docs;
    for (auto e = Desktop()->getComponents()->createEnumeration(); e->hasMoreElements();)
        docs.emplace_back(e->nextElement(), css::uno::UNO_QUERY);
    for (auto& c : docs)
        if (c.is()) c->close(true);
}

inline void SaveAsXlsx(const Doc& doc, const QString& path) {
    css::uno::Sequence<css::beans::PropertyValue> args(1);
    args.getArray()[0].Name = "FilterName";
    args.getArray()[0].Value <<= rtl::OUString("Calc MS Excel 2007 XML");
    Reference<css::frame::XStorable>(doc, UNO_QUERY_THROW)
        ->storeToURL(toU(QUrl::fromLocalFile(path).toString()), args);
}

inline Doc Load(const QString& path) {
    Reference<css::frame::XComponentLoader> loader(Desktop(), UNO_QUERY_THROW);
    return Doc(
        loader->loadComponentFromURL(toU(QUrl::fromLocalFile(path).toString()), "_blank", 0, {}),
        UNO_QUERY_THROW);
}

// The value of `a` as a T (an enumeration as its integer); throws when it holds another type.
template <class T>
T As(const css::uno::Any& a) {
    if constexpr (std::is_integral_v<T>)
        if (a.getValueTypeClass() == css::uno::TypeClass_ENUM)
            return T(*static_cast<const sal_Int32*>(a.getValue()));
    T v{};
    if (!(a >>= v)) throw std::runtime_error("a UNO value of an unexpected type");
    return v;
}

// A property of a cell (e.g. "CharWeight") or of its number format (e.g. "FormatString",
// "Decimals"); 0-based column and row.
inline css::uno::Any CellProperty(const SheetRef& sheet, int col, int row, const char* name) {
    return Reference<css::beans::XPropertySet>(sheet->getCellByPosition(col, row), UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString::createFromAscii(name));
}
inline css::uno::Any FormatProperty(const Doc& doc, const SheetRef& sheet, int col, int row,
                                    const char* name) {
    const auto key = As<sal_Int32>(CellProperty(sheet, col, row, "NumberFormat"));
    return Reference<css::util::XNumberFormatsSupplier>(doc, UNO_QUERY_THROW)
        ->getNumberFormats()
        ->getByKey(key)
        ->getPropertyValue(rtl::OUString::createFromAscii(name));
}

// The sheet names in order, joined by ",".
inline QString SheetNames(const Doc& doc) {
    Reference<css::container::XIndexAccess> sheets(doc->getSheets(), UNO_QUERY_THROW);
    QStringList names;
    for (sal_Int32 i = 0; i < sheets->getCount(); ++i)
        names << toQ(
            Reference<css::container::XNamed>(sheets->getByIndex(i), UNO_QUERY_THROW)->getName());
    return names.join(QLatin1Char(','));
}

}  // namespace qurvex::test
