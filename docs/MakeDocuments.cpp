// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program's three PDF documents from their HTML sources:
//   Qurvex_help.pdf   the manual: manual.html, then every help page in order
//   Qurvex.pdf        faq.html
//   UpdateHistory.pdf update-history.html
// Usage: qurvex_makedocs <docs folder> <output folder>. Exit code 1 (with a
// message) when a source is missing or a PDF cannot be written.
#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <cstdio>
#include <memory>
#include <vector>

#include "mainwindow/HelpPageTable.h"

namespace {

bool readText(const QString& path, QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "qurvex_makedocs: cannot read %s\n", qPrintable(path));
        return false;
    }
    text = QString::fromUtf8(file.readAll());
    return true;
}

// The <body> contents of an HTML text (the whole text when it has no body).
QString bodyOf(const QString& html) {
    const int open = html.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
    if (open < 0) return html;
    const int start = html.indexOf(QLatin1Char('>'), open) + 1;
    const int end = html.indexOf(QLatin1String("</body>"), start, Qt::CaseInsensitive);
    return html.mid(start, end < 0 ? -1 : end - start);
}

// Resolution at which the documents are laid out (that of a screen).
constexpr qreal kLayoutDpi = 96.0;

// The page (0-based) on which a vertical position of the laid-out document lies.
int pageAt(const QTextDocument& doc, qreal y) {
    return static_cast<int>(y / doc.pageSize().height());
}

// The first heading (block number) whose following text starts on a later
// page than the heading itself; -1 when every heading stands with its text.
int strandedHeading(QTextDocument& doc) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    // Layout is lazy and done in steps: counting the pages finishes it.
    doc.pageCount();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextBlock next = block.next();
        if (block.blockFormat().headingLevel() == 0 || !next.isValid()) continue;
        if (next.layout() == nullptr || next.layout()->lineCount() == 0) continue;
        const QRectF text = layout->blockBoundingRect(next);
        const qreal firstLine = text.top() + next.layout()->lineAt(0).rect().bottom();
        if (pageAt(doc, layout->blockBoundingRect(block).top()) != pageAt(doc, firstLine))
            return block.blockNumber();
    }
    return -1;
}

// The document laid out on pages of the writer's size at the document's own
// resolution (2 cm margins, as print would). A heading left alone at the
// bottom of a page starts the next page: the document is laid out again
// after each such move, since each shifts everything after it.
std::unique_ptr<QTextDocument> layoutPages(const QString& html, const QSizeF& page) {
    std::vector<int> breaks;
    for (;;) {
        // A new document each round: one laid out again after setHtml keeps stale lines.
        auto result = std::make_unique<QTextDocument>();
        QTextDocument& doc = *result;
        doc.setDefaultStyleSheet(QStringLiteral(
            "body { font-family: 'DejaVu Sans'; font-size: 10pt; } h1 { font-size: 17pt; color: "
            "#1f4e8c; } h2 { font-size: 13pt; color: #1f4e8c; } h3 { font-size: 11pt; } td, th "
            "{ padding: 3px; }"));
        doc.setHtml(html);
        QTextFrameFormat frame = doc.rootFrame()->frameFormat();
        frame.setMargin(2 / 2.54 * kLayoutDpi);
        doc.rootFrame()->setFrameFormat(frame);
        doc.setPageSize(page);
        for (int b : breaks) {
            QTextBlock block = doc.findBlockByNumber(b);
            QTextBlockFormat format = block.blockFormat();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(format);
        }
        const int stranded = strandedHeading(doc);
        if (stranded < 0 || breaks.size() > 200) return result;
        breaks.push_back(stranded);
    }
}

bool writePdf(const QString& html, const QString& title, const QString& path) {
    QPdfWriter writer(path);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Qurvex"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter));
    // Laid out at the document's resolution, painted page by page scaled to the writer's.
    const qreal scale = writer.logicalDpiY() / kLayoutDpi;
    const auto laidout = layoutPages(html, QSizeF(writer.width() / scale, writer.height() / scale));
    QTextDocument& doc = *laidout;
    QPainter painter(&writer);
    painter.scale(scale, scale);
    const QSizeF page = doc.pageSize();
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (i > 0) writer.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        doc.drawContents(&painter, QRectF(QPointF(0, i * page.height()), page));
        painter.restore();
    }
    painter.end();
    if (!QFile::exists(path)) {
        std::fprintf(stderr, "qurvex_makedocs: could not write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: qurvex_makedocs <docs folder> <output folder>\n");
        return 1;
    }
    const QDir docs(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(out.absolutePath())) return 1;

    QString manual, part;
    if (!readText(docs.filePath(QStringLiteral("manual.html")), part)) return 1;
    manual = bodyOf(part);
    // The help window shows buttons under its first page; the manual has none.
    const QRegularExpression buttons(QStringLiteral("Use the buttons below[^.]*\\."));
    const QString chapters = QStringLiteral(
        "The chapters below begin with the help on reading data; the frequently asked "
        "questions are in the document Qurvex.pdf beside the program.");
    for (const qurvex::THelpPage& page : qurvex::HelpPageTable()) {
        if (!readText(docs.filePath(
                          QStringLiteral("help/%1.html").arg(QString::fromLatin1(page.resource))),
                      part))
            return 1;
        const QString heading = page.parent ? QStringLiteral("h2") : QStringLiteral("h1");
        const QString caption =
            page.parent ? QStringLiteral("%1: %2").arg(QString::fromLatin1(page.parent),
                                                       QString::fromLatin1(page.caption))
                        : QString::fromLatin1(page.caption);
        manual += QStringLiteral("<%1>%2</%1>").arg(heading, caption.toHtmlEscaped()) +
                  bodyOf(part).replace(buttons, chapters);
    }
    if (!writePdf(QStringLiteral("<html><body>%1</body></html>").arg(manual),
                  QStringLiteral("Qurvex manual"), out.filePath(QStringLiteral("Qurvex_help.pdf"))))
        return 1;

    const struct {
        const char* source;
        const char* title;
        const char* pdf;
    } single[] = {{"faq.html", "Qurvex: frequently asked questions", "Qurvex.pdf"},
                  {"update-history.html", "Qurvex: update history", "UpdateHistory.pdf"}};
    for (const auto& d : single) {
        if (!readText(docs.filePath(QString::fromLatin1(d.source)), part)) return 1;
        if (!writePdf(part, QString::fromLatin1(d.title), out.filePath(QString::fromLatin1(d.pdf))))
            return 1;
    }
    return 0;
}
