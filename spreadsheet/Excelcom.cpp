// SPDX-License-Identifier: GPL-3.0-or-later
// TExcelcom on LibreOffice Calc over UNO (URP on a named pipe).
#include "spreadsheet/Excelcom.h"

#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XFramesSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/i18n/LocaleData2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/DeploymentException.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include "spreadsheet/ColumnLetters.h"
#include "spreadsheet/UnoSupport.h"

namespace qurvex {

using namespace css;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

struct TExcelcom::Impl {
    QString pipe;
    uno::Reference<uno::XComponentContext> context;    // the office's, while the connection is open
    uno::Reference<frame::XDesktop2> desktop;          // set while the connection is open
    uno::Reference<sheet::XSpreadsheetDocument> book;  // CurrentWorkbook
    uno::Reference<sheet::XSpreadsheet> sheet;         // CurrentSheet
    QString bookTitle, bookName, sheetName;  // title, listed name, sheet name when they were set

    void setCurrent(const uno::Reference<sheet::XSpreadsheetDocument>& b,
                    const uno::Reference<sheet::XSpreadsheet>& s);

    frame::XDesktop2& open();
    void close() {
        desktop.clear();
        context.clear();
    }
    bool reachable();
};

namespace {

// The command that starts Calc for Qurvex as the user can type it from any folder: the script
// installed next to the program, else the script of the source tree.
QString startCommand() {
    const QFileInfo program(QStringLiteral("/proc/self/exe"));
    const QFileInfo script(QFileInfo(program.canonicalFilePath()).absolutePath() +
                           QStringLiteral("/qurvex-calc"));
    if (!script.isExecutable()) return QStringLiteral("scripts/calc in the Qurvex source folder");
    const QString path = script.absoluteFilePath();
    return path.contains(QLatin1Char(' ')) ? QLatin1Char('\'') + path + QLatin1Char('\'') : path;
}

QString startHint(const QString& pipe) {
    return QStringLiteral(
               "first start Excel\nStart LibreOffice Calc for Qurvex with the command %1 (it "
               "starts Calc, or makes a running Calc listen on the pipe \"%2\").")
        .arg(startCommand(), pipe);
}

// The spreadsheet documents open in the office, in the desktop's order.
std::vector<Reference<sheet::XSpreadsheetDocument>> spreadsheetDocuments(
    frame::XDesktop2& desktop) {
    std::vector<Reference<sheet::XSpreadsheetDocument>> docs;
    Reference<container::XEnumeration> e = desktop.getComponents()->createEnumeration();
    while (e->hasMoreElements()) {
        Reference<sheet::XSpreadsheetDocument> doc(e->nextElement(), UNO_QUERY);
        if (doc.is()) docs.push_back(doc);
    }
    return docs;
}

QString titleOf(const Reference<sheet::XSpreadsheetDocument>& doc) {
    Reference<frame::XTitle> title(doc, UNO_QUERY);
    if (title.is()) return toQ(title->getTitle());
    return toQ(Reference<frame::XModel>(doc, UNO_QUERY_THROW)->getURL());
}

QString folderOf(const Reference<sheet::XSpreadsheetDocument>& doc) {
    const QString url = toQ(Reference<frame::XModel>(doc, UNO_QUERY_THROW)->getURL());
    if (url.isEmpty()) return {};
    return QFileInfo(QUrl(url).toLocalFile()).absolutePath();
}

// A document with the name the user sees in the book list.
struct NamedBook {
    Reference<sheet::XSpreadsheetDocument> doc;
    QString name;
};

// The open spreadsheet documents, each named by its title, or by its title and folder when
// another open document has the same title (Calc opens a/run.xlsx and b/run.xlsx side by side).
std::vector<NamedBook> namedBooks(frame::XDesktop2& desktop) {
    std::vector<NamedBook> books;
    QStringList titles;
    for (const auto& doc : spreadsheetDocuments(desktop)) {
        books.push_back({doc, titleOf(doc)});
        titles << books.back().name;
    }
    for (auto& b : books)
        if (titles.count(b.name) > 1)
            b.name = QStringLiteral("%1 (%2)").arg(b.name, folderOf(b.doc));
    return books;
}

QString bookNameOf(frame::XDesktop2& desktop, const Reference<sheet::XSpreadsheetDocument>& doc) {
    for (const auto& b : namedBooks(desktop))
        if (b.doc == doc) return b.name;
    return titleOf(doc);
}

EExcelError noWindow(const Reference<sheet::XSpreadsheetDocument>& doc) {
    return EExcelError(
        QStringLiteral("The workbook \"%1\" has no window in LibreOffice Calc").arg(titleOf(doc)));
}

Reference<sheet::XSpreadsheetView> viewOf(const Reference<sheet::XSpreadsheetDocument>& doc) {
    Reference<frame::XModel> model(doc, UNO_QUERY_THROW);
    Reference<sheet::XSpreadsheetView> view(model->getCurrentController(), UNO_QUERY);
    if (!view.is()) throw noWindow(doc);
    return view;
}

// The active document: the office's current component when it is a spreadsheet, else the
// last spreadsheet document of the desktop (the most recently opened one).
Reference<sheet::XSpreadsheetDocument> activeDocument(frame::XDesktop2& desktop) {
    Reference<sheet::XSpreadsheetDocument> doc(desktop.getCurrentComponent(), UNO_QUERY);
    if (doc.is()) return doc;
    const auto docs = spreadsheetDocuments(desktop);
    if (docs.empty()) throw EExcelError(QStringLiteral("No workbook is open in LibreOffice Calc"));
    return docs.back();
}

void activateDocument(const Reference<frame::XDesktop2>& desktop,
                      const Reference<sheet::XSpreadsheetDocument>& doc) {
    Reference<frame::XModel> model(doc, UNO_QUERY_THROW);
    Reference<frame::XController> controller = model->getCurrentController();
    Reference<frame::XFrame> frame = controller.is() ? controller->getFrame() : nullptr;
    if (!frame.is()) throw noWindow(doc);
    frame->activate();
    Reference<frame::XFramesSupplier> frames(desktop, UNO_QUERY);
    if (frames.is()) frames->setActiveFrame(frame);
}

Reference<container::XIndexAccess> sheetsOf(const Reference<sheet::XSpreadsheetDocument>& doc) {
    return Reference<container::XIndexAccess>(doc->getSheets(), UNO_QUERY_THROW);
}

QString nameOf(const Reference<sheet::XSpreadsheet>& s) {
    return toQ(Reference<container::XNamed>(s, UNO_QUERY_THROW)->getName());
}

// A free default name "SheetN", N from the sheet count + 1 upwards.
QString freeSheetName(const Reference<sheet::XSpreadsheetDocument>& doc) {
    Reference<container::XNameAccess> names(doc->getSheets(), UNO_QUERY_THROW);
    for (sal_Int32 n = sheetsOf(doc)->getCount() + 1;; ++n) {
        const QString candidate = QStringLiteral("Sheet%1").arg(n);
        if (!names->hasByName(toU(candidate))) return candidate;
    }
}

// Runs `body`, turning UNO failures into EExcelError with a text for the user.
QString unreachableText() {
    return QStringLiteral(
        "LibreOffice Calc is no longer reachable: it was closed or has stopped. Start it again "
        "for Qurvex and choose the workbook anew.");
}

template <class F>
auto guarded(TExcelcom::Impl& d, F&& body) -> decltype(body()) {
    try {
        return body();
    } catch (const lang::DisposedException&) {
        if (!d.reachable()) throw EExcelError(unreachableText());
        throw EExcelError(QStringLiteral("The workbook in LibreOffice Calc was closed"));
    } catch (const uno::Exception& e) {
        // The office's own texts are often just its source position: those say nothing to a user.
        const QString msg = toQ(e.Message).trimmed();
        const bool informative = !msg.isEmpty() && !msg.startsWith(QLatin1String("at ./"));
        throw EExcelError(informative ? msg
                                      : QStringLiteral("LibreOffice Calc refused the request"));
    }
}

// Opens the connection for the duration of a self-bracketing call and closes it afterwards,
// also when the call fails.
class Bracket {
public:
    explicit Bracket(TExcelcom::Impl& d);
    ~Bracket();
    Bracket(const Bracket&) = delete;
    Bracket& operator=(const Bracket&) = delete;

private:
    TExcelcom::Impl& d_;
};

void checkRange(int c1, int c2, int r1, int r2) {
    if (c1 < 1 || r1 < 1 || c2 < c1 || r2 < r1)
        throw EExcelError(
            QStringLiteral("The cell block columns %1..%2, rows %3..%4 is not a valid range")
                .arg(c1)
                .arg(c2)
                .arg(r1)
                .arg(r2));
}

uno::Any toAny(const TCellValue& v) {
    switch (v.kind) {
        case TCellValue::Kind::Number:
            return uno::Any(v.number);
        case TCellValue::Kind::Text:
        case TCellValue::Kind::Error:
            return uno::Any(toU(v.text));
        case TCellValue::Kind::Empty:
            break;
    }
    // An empty text clears the cell; a void value would bring the office down (LibreOffice 7.4).
    return uno::Any(rtl::OUString());
}

TCellValue fromAny(const uno::Any& a) {
    double d = 0;
    if (a >>= d) return TCellValue::Number(d);
    rtl::OUString s;
    if ((a >>= s) && !s.isEmpty()) return TCellValue::Text(toQ(s));
    return TCellValue::Empty();
}

}  // namespace

void TExcelcom::Impl::setCurrent(const Reference<sheet::XSpreadsheetDocument>& b,
                                 const Reference<sheet::XSpreadsheet>& s) {
    book = b;
    sheet = s;
    bookTitle = titleOf(b);
    bookName = bookNameOf(*desktop, b);
    sheetName = nameOf(s);
}

frame::XDesktop2& TExcelcom::Impl::open() {
    if (desktop.is()) return *desktop;
    try {
        context = connectContext(pipe);
        desktop = frame::Desktop::create(context);
    } catch (const connection::NoConnectException&) {
        close();
        throw EExcelError(startHint(pipe));  // nothing listens on the pipe
    } catch (const uno::DeploymentException& e) {
        close();
        throw EExcelError(QStringLiteral("The LibreOffice UNO runtime could not be started: ") +
                          toQ(e.Message));
    } catch (const uno::Exception&) {
        // The connection broke while it was made (an office that is ending drops every new
        // one), or the pipe belongs to no office: there is no Calc to attach to.
        close();
        throw EExcelError(startHint(pipe));
    }
    return *desktop;
}

// A cheap call through the open connection, or a new connection when none is open.
bool TExcelcom::Impl::reachable() {
    try {
        if (desktop.is())
            desktop->getCurrentComponent();
        else
            connectDesktop(pipe);
        return true;
    } catch (const uno::Exception&) {
        close();
        return false;
    }
}

Bracket::Bracket(TExcelcom::Impl& d) : d_(d) {
    guarded(d_, [&] { d_.open(); });
}

Bracket::~Bracket() { d_.close(); }

QString TExcelcom::DefaultPipeName() {
    const QString env = qEnvironmentVariable("QURVEX_CALC_PIPE");
    return env.isEmpty() ? QStringLiteral("qurvex") : env;
}

TExcelcom::TExcelcom() : TExcelcom(DefaultPipeName()) {}
TExcelcom::TExcelcom(const QString& pipeName) : d(std::make_unique<Impl>()) { d->pipe = pipeName; }
TExcelcom::~TExcelcom() = default;

QString TExcelcom::PipeName() const { return d->pipe; }
bool TExcelcom::IsAttached() const { return d->desktop.is(); }

bool TExcelcom::IsExcelRunning() {
    d->close();  // a connection to an office that has gone would pass for a running one
    try {
        d->open();
    } catch (const uno::Exception&) {  // any failure while attaching tells how to start Calc
        d->close();
        throw EExcelError(startHint(d->pipe));
    } catch (const std::exception&) {
        d->close();
        throw EExcelError(startHint(d->pipe));
    }
    d->close();
    return true;
}

void TExcelcom::AttachExcel() {
    guarded(*d, [&] {
        frame::XDesktop2& desktop = d->open();
        const auto doc = activeDocument(desktop);
        d->setCurrent(doc, viewOf(doc)->getActiveSheet());
    });
}

void TExcelcom::DetachExcel() { d->close(); }

bool TExcelcom::ListWorkbooks(QStringList& names, int& selected) {
    Bracket bracket(*d);
    names.clear();
    selected = -1;
    guarded(*d, [&] {
        frame::XDesktop2& desktop = d->open();
        const auto books = namedBooks(desktop);
        if (books.empty()) return;
        const auto active = activeDocument(desktop);
        for (const auto& b : books) {
            if (b.doc == active) selected = static_cast<int>(names.size());
            names << b.name;
        }
    });
    return true;
}

bool TExcelcom::ListSheets(QStringList& names, int& selected) {
    Bracket bracket(*d);
    names.clear();
    selected = -1;
    guarded(*d, [&] {
        if (spreadsheetDocuments(d->open()).empty()) return;
        const auto doc = activeDocument(d->open());
        const auto sheets = sheetsOf(doc);
        for (sal_Int32 i = 0; i < sheets->getCount(); ++i)
            names << nameOf(Reference<sheet::XSpreadsheet>(sheets->getByIndex(i), UNO_QUERY_THROW));
        selected = static_cast<int>(names.indexOf(nameOf(viewOf(doc)->getActiveSheet())));
    });
    return true;
}

QString TExcelcom::ActiveSheetName() {
    Bracket bracket(*d);
    return guarded(*d, [&] { return nameOf(viewOf(activeDocument(d->open()))->getActiveSheet()); });
}

void TExcelcom::NewWorkbook() {
    Bracket bracket(*d);
    guarded(*d, [&] {
        d->open();
        Reference<frame::XComponentLoader> loader(d->desktop, UNO_QUERY_THROW);
        Reference<sheet::XSpreadsheetDocument> doc(
            loader->loadComponentFromURL(rtl::OUString("private:factory/scalc"),
                                         rtl::OUString("_blank"), 0, {}),
            UNO_QUERY_THROW);
        activateDocument(d->desktop, doc);
        d->setCurrent(doc, viewOf(doc)->getActiveSheet());
    });
}

namespace {
enum class Place { BeforeActive, Last, First };
}

static QString addSheetAt(TExcelcom::Impl& d, Place place, const QString& name) {
    return guarded(d, [&] {
        const auto doc = activeDocument(d.open());
        const auto view = viewOf(doc);
        const auto sheets = sheetsOf(doc);
        sal_Int16 index = 0;
        if (place == Place::Last) {
            index = static_cast<sal_Int16>(sheets->getCount());
        } else if (place == Place::BeforeActive) {
            const QString active = nameOf(view->getActiveSheet());
            for (sal_Int32 i = 0; i < sheets->getCount(); ++i)
                if (nameOf(Reference<sheet::XSpreadsheet>(sheets->getByIndex(i),
                                                          UNO_QUERY_THROW)) == active)
                    index = static_cast<sal_Int16>(i);
        }
        const QString finalName = name.isEmpty() ? freeSheetName(doc) : name;
        Reference<container::XNameAccess> byName(doc->getSheets(), UNO_QUERY_THROW);
        if (byName->hasByName(toU(finalName)))
            throw EExcelError(QStringLiteral("A sheet named \"%1\" already exists in the workbook")
                                  .arg(finalName));
        try {
            doc->getSheets()->insertNewByName(toU(finalName), index);
        } catch (const uno::RuntimeException&) {
            throw EExcelError(
                QStringLiteral("LibreOffice Calc refused the sheet name \"%1\"").arg(finalName));
        }
        Reference<sheet::XSpreadsheet> added(byName->getByName(toU(finalName)), UNO_QUERY_THROW);
        if (nameOf(added) != finalName)
            throw EExcelError(
                QStringLiteral("LibreOffice Calc refused the sheet name \"%1\"").arg(finalName));
        view->setActiveSheet(added);
        d.setCurrent(doc, added);
        return finalName;
    });
}

QString TExcelcom::AddSheet(const QString& name) {
    Bracket bracket(*d);
    return addSheetAt(*d, Place::BeforeActive, name);
}

QString TExcelcom::AddSheetLast(const QString& name) {
    Bracket bracket(*d);
    return addSheetAt(*d, Place::Last, name);
}

QString TExcelcom::AddSheetFirst(const QString& name) {
    Bracket bracket(*d);
    return addSheetAt(*d, Place::First, name);
}

void TExcelcom::SelectWorkbook(const QString& name) {
    Bracket bracket(*d);
    guarded(*d, [&] {
        for (const auto& b : namedBooks(d->open())) {
            if (b.name != name) continue;
            activateDocument(d->desktop, b.doc);
            d->setCurrent(b.doc, viewOf(b.doc)->getActiveSheet());
            return;
        }
        throw EExcelError(
            QStringLiteral("No workbook named \"%1\" is open in LibreOffice Calc").arg(name));
    });
}

void TExcelcom::SelectSheet(const QString& name) {
    Bracket bracket(*d);
    guarded(*d, [&] {
        const auto doc = activeDocument(d->open());
        Reference<container::XNameAccess> byName(doc->getSheets(), UNO_QUERY_THROW);
        if (!byName->hasByName(toU(name)))
            throw EExcelError(QStringLiteral("The workbook \"%1\" has no sheet named \"%2\"")
                                  .arg(titleOf(doc), name));
        Reference<sheet::XSpreadsheet> s(byName->getByName(toU(name)), UNO_QUERY_THROW);
        viewOf(doc)->setActiveSheet(s);
        d->setCurrent(doc, s);
    });
}

// ---- range methods: inside the caller's connection (opened on demand) ----

namespace {

Reference<table::XCellRange> rangeOf(const Reference<sheet::XSpreadsheet>& s, int c1, int c2,
                                     int r1, int r2) {
    checkRange(c1, c2, r1, r2);
    return s->getCellRangeByPosition(c1 - 1, r1 - 1, c2 - 1, r2 - 1);
}

// The key of a number format code written in en-US notation, converted by Calc to the
// document's locale (a German document shows 1.23456 under "0.000" as "1,235").
sal_Int32 formatKey(const Reference<sheet::XSpreadsheetDocument>& doc, const rtl::OUString& code) {
    Reference<util::XNumberFormatsSupplier> supplier(doc, UNO_QUERY_THROW);
    Reference<util::XNumberFormats> formats = supplier->getNumberFormats();
    const lang::Locale enUS(rtl::OUString("en"), rtl::OUString("US"), rtl::OUString());
    lang::Locale local;
    Reference<beans::XPropertySet>(doc, UNO_QUERY_THROW)->getPropertyValue("CharLocale") >>= local;
    return formats->addNewConverted(code, enUS, local);
}

void setProperty(const Reference<uno::XInterface>& object, const char* name,
                 const uno::Any& value) {
    Reference<beans::XPropertySet>(object, UNO_QUERY_THROW)
        ->setPropertyValue(rtl::OUString::createFromAscii(name), value);
}

uno::Sequence<uno::Sequence<uno::Any>> toArray(const TCellBlock& data, int rows, int cols) {
    uno::Sequence<uno::Sequence<uno::Any>> array(rows);
    auto* rowPtr = array.getArray();
    for (int r = 0; r < rows; ++r) {
        uno::Sequence<uno::Any> row(cols);
        auto* cell = row.getArray();
        for (int c = 0; c < cols; ++c)
            cell[c] = r < static_cast<int>(data.size()) && c < static_cast<int>(data[r].size())
                          ? toAny(data[r][c])
                          : toAny(TCellValue::Empty());  // a void value would show as #N/A
        rowPtr[r] = row;
    }
    return array;
}

}  // namespace

namespace {

bool documentAlive(const TExcelcom::Impl& d) {
    try {
        Reference<frame::XModel>(d.book, UNO_QUERY_THROW)->getURL();
        return true;
    } catch (const uno::Exception&) {
        return false;
    }
}

// The current sheet is still in its workbook under the name it had when it was chosen.
// The object of a removed sheet moves on to a neighbouring sheet (and would read its cells),
// so a changed name counts as gone: the caller chooses the sheet again.
bool sheetPresent(const TExcelcom::Impl& d) {
    try {
        const QString live = nameOf(d.sheet);
        Reference<container::XNameAccess> names(d.book->getSheets(), UNO_QUERY_THROW);
        return live == d.sheetName && names->hasByName(toU(live));
    } catch (const uno::Exception&) {
        return false;
    }
}

void requireCurrentSheet(TExcelcom::Impl& d) {
    if (!d.reachable()) throw EExcelError(unreachableText());
    if (!documentAlive(d))
        throw EExcelError(
            QStringLiteral("The workbook \"%1\" was closed in LibreOffice Calc").arg(d.bookName));
    if (!sheetPresent(d))
        throw EExcelError(QStringLiteral("The sheet \"%1\" is no longer in the workbook \"%2\"")
                              .arg(d.sheetName, d.bookName));
}

// Range calls: a failure on a workbook or sheet that has gone meanwhile says so.
template <class F>
void rangeGuarded(TExcelcom::Impl& d, F&& body) {
    try {
        guarded(d, std::forward<F>(body));
    } catch (const EExcelError&) {
        requireCurrentSheet(d);
        throw;
    }
}

}  // namespace

// The sheet for range calls: CurrentSheet, attaching first when no connection is open.
static Reference<sheet::XSpreadsheet> rangeSheet(TExcelcom& com, TExcelcom::Impl& d) {
    if (!d.desktop.is() || !d.sheet.is()) com.AttachExcel();
    requireCurrentSheet(d);
    return d.sheet;
}

void TExcelcom::WriteArrayToRange(int c1, int c2, int r1, int r2, const TCellBlock& data) {
    const auto s = rangeSheet(*this, *d);
    rangeGuarded(*d, [&] {
        const auto range = rangeOf(s, c1, c2, r1, r2);
        setProperty(range, "NumberFormat", uno::Any(formatKey(d->book, rtl::OUString("0.000"))));
        Reference<sheet::XCellRangeData>(range, UNO_QUERY_THROW)
            ->setDataArray(toArray(data, r2 - r1 + 1, c2 - c1 + 1));
    });
}

void TExcelcom::WriteValueToRange(int c1, int c2, int r1, int r2, const TCellBlock& data) {
    const auto s = rangeSheet(*this, *d);
    rangeGuarded(*d, [&] {
        const auto range = rangeOf(s, c1, c2, r1, r2);
        Reference<sheet::XCellRangeData>(range, UNO_QUERY_THROW)
            ->setDataArray(toArray(data, r2 - r1 + 1, c2 - c1 + 1));
    });
}

void TExcelcom::WriteValueToRange(int c1, int c2, int r1, int r2, const TCellValue& value) {
    checkRange(c1, c2, r1, r2);
    const TCellBlock block(r2 - r1 + 1, std::vector<TCellValue>(c2 - c1 + 1, value));
    WriteValueToRange(c1, c2, r1, r2, block);
}

void TExcelcom::FormatRange(int c1, int c2, int r1, int r2, const QString& keyword) {
    const char* code = nullptr;
    if (keyword == QLatin1String("text"))
        code = "@";
    else if (keyword == QLatin1String("datum"))
        code = "DD-MM-YYYY";
    else if (keyword == QLatin1String("decim3"))
        code = "0.000";
    else if (keyword == QLatin1String("sci2"))
        code = "0.00E+00";
    else if (keyword == QLatin1String("int0"))
        code = "0";
    table::CellHoriJustify justify = table::CellHoriJustify_STANDARD;
    const bool align = keyword == QLatin1String("center") || keyword == QLatin1String("left") ||
                       keyword == QLatin1String("right");
    if (keyword == QLatin1String("center")) justify = table::CellHoriJustify_CENTER;
    if (keyword == QLatin1String("left")) justify = table::CellHoriJustify_LEFT;
    if (keyword == QLatin1String("right")) justify = table::CellHoriJustify_RIGHT;
    const bool bold = keyword == QLatin1String("bold");
    if (!code && !align && !bold) return;
    const auto s = rangeSheet(*this, *d);
    rangeGuarded(*d, [&] {
        const auto range = rangeOf(s, c1, c2, r1, r2);
        if (code)
            setProperty(range, "NumberFormat",
                        uno::Any(formatKey(d->book, rtl::OUString::createFromAscii(code))));
        if (align) setProperty(range, "HoriJustify", uno::Any(justify));
        if (bold) setProperty(range, "CharWeight", uno::Any(float(awt::FontWeight::BOLD)));
    });
}

QString TExcelcom::ColumnToLetters(int column) { return qurvex::ColumnToLetters(column); }

void TExcelcom::AutofitColumns(int c1, int c2) {
    const auto s = rangeSheet(*this, *d);
    rangeGuarded(*d, [&] {
        const auto range = rangeOf(s, c1, c2, 1, 1);
        setProperty(Reference<table::XColumnRowRange>(range, UNO_QUERY_THROW)->getColumns(),
                    "OptimalWidth", uno::Any(true));
    });
}

void TExcelcom::CenterColumn(int column) {
    const auto s = rangeSheet(*this, *d);
    rangeGuarded(*d, [&] {
        // The column object is itself a cell range over the whole column.
        const auto range = rangeOf(s, column, column, 1, 1);
        const auto columns =
            Reference<table::XColumnRowRange>(range, UNO_QUERY_THROW)->getColumns();
        Reference<uno::XInterface> whole(columns->getByIndex(0), UNO_QUERY_THROW);
        setProperty(whole, "HoriJustify", uno::Any(table::CellHoriJustify_CENTER));
    });
}

void TExcelcom::ReadRange(int c1, int c2, int r1, int r2, TCellBlock& data) {
    const auto s = rangeSheet(*this, *d);
    rangeGuarded(*d, [&] {
        const auto range = rangeOf(s, c1, c2, r1, r2);
        const auto array = Reference<sheet::XCellRangeData>(range, UNO_QUERY_THROW)->getDataArray();
        TCellBlock block(array.getLength());
        for (sal_Int32 r = 0; r < array.getLength(); ++r) {
            const auto& row = array[r];
            block[r].reserve(row.getLength());
            for (sal_Int32 c = 0; c < row.getLength(); ++c) block[r].push_back(fromAny(row[c]));
        }
        // The data array shows formula errors as plain values: find the error cells in one query.
        Reference<sheet::XCellRangesQuery> query(range, UNO_QUERY_THROW);
        const auto errors =
            query->queryFormulaCells(sheet::FormulaResult::ERROR)->getRangeAddresses();
        for (const table::CellRangeAddress& a : errors) {
            for (sal_Int32 row = a.StartRow; row <= a.EndRow; ++row)
                for (sal_Int32 col = a.StartColumn; col <= a.EndColumn; ++col) {
                    Reference<text::XText> text(s->getCellByPosition(col, row), UNO_QUERY_THROW);
                    block[row - (r1 - 1)][col - (c1 - 1)] =
                        TCellValue::Error(toQ(text->getString()));
                }
        }
        data = std::move(block);
    });
}

QChar TExcelcom::DecimalSeparator() {
    rangeSheet(*this, *d);
    QChar separator = QLatin1Char('.');
    rangeGuarded(*d, [&] {
        lang::Locale locale;
        Reference<beans::XPropertySet>(d->book, UNO_QUERY_THROW)->getPropertyValue("CharLocale") >>=
            locale;
        const QString own =
            toQ(i18n::LocaleData2::create(d->context)->getLocaleItem(locale).decimalSeparator);
        if (!own.isEmpty()) separator = own.front();
    });
    return separator;
}

QString TExcelcom::CurrentWorkbook() const {
    if (!d->book.is()) return {};
    try {
        const QString title = titleOf(d->book);
        return title == d->bookTitle ? d->bookName : title;  // saved under a new name meanwhile
    } catch (const uno::Exception&) {
        return d->bookName;  // gone meanwhile: the name it had
    }
}

QString TExcelcom::ActiveWorkbookFolder() {
    Bracket bracket(*d);
    return guarded(*d, [&] {
        const auto docs = spreadsheetDocuments(d->open());
        if (docs.empty()) return QString();
        return folderOf(activeDocument(*d->desktop));
    });
}

QString TExcelcom::CurrentSheet() const { return d->sheetName; }

}  // namespace qurvex
