// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/ExcelImport.h"

#include <exception>

#include "engine/CqCorrection.h"
#include "spreadsheet/Excelcom.h"

namespace qurvex {

namespace {

// Closes the connection on every way out of the read.
class TDetachGuard {
public:
    explicit TDetachGuard(TExcelcom& excel) : excel_(excel) {}
    ~TDetachGuard() {
        try {
            excel_.DetachExcel();
        } catch (...) {  // a connection that is already gone needs no closing
        }
    }
    TDetachGuard(const TDetachGuard&) = delete;
    TDetachGuard& operator=(const TDetachGuard&) = delete;

private:
    TExcelcom& excel_;
};

bool blockIsValid(const TexcelreadQVX& r) {
    return r.startcol >= 1 && r.startrow >= 1 && r.stopcol >= r.startcol && r.stoprow >= r.startrow;
}

TExcelImport readBlock(TExcelcom& Excel1, TexcelreadQVX& record, TImportAsker& asker) {
    TExcelImport result;
    Excel1.IsExcelRunning();  // throws "first start Excel ..." when no Calc listens
    record.fromexcel = true;
    if (!Excel1.ExecuteReadDialog(record)) {
        result.outcome = TExcelImport::TOutcome::Cancelled;
        return result;
    }
    asker.ReadStarts();
    if (!record.rdmlfile.isEmpty()) {
        result.outcome = TExcelImport::TOutcome::RdmlChosen;
        return result;
    }
    // Layout 16 names its own baseline-corrected column ("Delta Rn"): no question.
    if (record.baselinecorrected && record.filetype != 16 &&
        !asker.AskYesNo(BaselineCorrectedCaption(), BaselineCorrectedQuestion())) {
        result.outcome = TExcelImport::TOutcome::Declined;
        return result;
    }
    if (!blockIsValid(record)) {
        result.outcome = TExcelImport::TOutcome::Refused;
        result.message = {TNoticeKind::Warning,
                          QStringLiteral("The cell block to read is empty: its first column or "
                                         "row lies after its last.")};
        return result;
    }
    TCellBlock block;
    Excel1.SelectWorkbook(record.book);
    Excel1.SelectSheet(record.sheet);
    Excel1.AttachExcel();
    Excel1.ReadRange(record.startcol, record.stopcol, record.startrow, record.stoprow, block);
    const QChar separator = Excel1.DecimalSeparator();  // the notation of the block's texts
    Excel1.DetachExcel();

    TLayoutCut cut = CutInstrumentLayout(block, record, asker, separator);
    result.notices = std::move(cut.notices);
    result.StringGrid7 = cut.StringGrid7;
    if (!cut.ok) {
        result.outcome = TExcelImport::TOutcome::Refused;
        result.message = cut.refusal;
        return result;
    }
    result.outcome = TExcelImport::TOutcome::Read;
    result.run = std::move(cut.run);
    result.cqcorrneeded = CqCorrNeeded(record.chemistry);
    result.untickTargetSeq = true;
    return result;
}

}  // namespace

QString BaselineCorrectedCaption() {
    return QStringLiteral("Using baseline-corrected data may lead to wrong efficiency values");
}

QString BaselineCorrectedQuestion() {
    return QStringLiteral(
        "You are advised to import raw data and use Qurvex to determine the baseline values "
        "(see: the baseline method, described under -Baseline-corrected data- on the -Read RDML- "
        "page of the Help and of the manual Qurvex_help.pdf). Do you want to continue?");
}

TExcelImport ReadExcelImport(TExcelcom& Excel1, TexcelreadQVX& record, TImportAsker& asker) {
    TDetachGuard detach(Excel1);
    try {
        return readBlock(Excel1, record, asker);
    } catch (const std::exception& e) {
        TExcelImport failed;
        failed.outcome = TExcelImport::TOutcome::Failed;
        failed.message = {TNoticeKind::Warning, QString::fromStdString(e.what())};
        return failed;
    }
}

}  // namespace qurvex
