#pragma once

#include <QString>

namespace brindle {

// What sets one import report's page apart from the other's.
struct ReportWording
{
    QString module;          // class named in error-log lines
    QString titleSubject;    // "VEXO IMPORT REPORT"
    QString bannerSubject;   // "VEXO Import Report"
    QString problemHeading;  // fourth column heading, already HTML
    bool footerSpacerLine;   // a line of blanks in the footer's middle cell
    bool pageBreakEndsLine;  // a line break after the page-break marker
    QString rejectedWord;    // status word of a rejected card
    bool updatedShowsErrors; // an updated card shows its errors, not its warnings
};

// The fixed blocks of a report document, lines joined with CR LF and with
// no line break before the first line or after the last.
struct ReportTexts
{
    QString documentHead; // up to and including <BODY>
    QString pageHeader;   // title and page header; "#PAGE#" to fill
    QString columnHeader; // opens the table of rows
    QString pageFooter;   // closes the table of rows; "#PAGE#" to fill
    QString row;          // one row with its five placeholders
    QString pageBreak;    // between one page's footer and the next header
};

// The wording of the company file's import report and of the contacts'.
enum class ImportReport
{
    VEXO,
    Outlook
};
const ReportWording& reportWording(ImportReport report);

ReportTexts makeReportTexts(const ReportWording& wording);

inline const QString kLineBreak = QStringLiteral("\r\n");

} // namespace brindle
