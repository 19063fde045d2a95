#include "ReportTexts.h"

#include <QStringList>

namespace brindle {

namespace {

QString joined(const QStringList& lines)
{
    return lines.join(kLineBreak);
}

QString documentHead(const ReportWording& wording)
{
    return joined({
        "<!DOCTYPE html PUBLIC '-//W3C//DTD HTML 4.01//EN'>",
        "<HTML>",
        "    <HEAD>",
        // Names outside ASCII must reach the browser intact.
        "         <META http-equiv='Content-Type' content='text/html; charset=utf-8'>",
        "         <TITLE>#PRODUCTNAME# - " + wording.titleSubject + "</TITLE>",
        "         <STYLE type='text/css'>",
        "         #page_break {page-break-before: always}",
        "         </STYLE>",
        "         <STYLE type='text/css'>",
        "         td.c440 {WIDTH: 2.5cm;BORDER-BOTTOM: 1.1pt solid;border-color=black}",
        "         td.c439 {WIDTH: 6cm;BORDER-BOTTOM: 1.1pt solid;border-color=black}",
        "         td.c438 {WIDTH: 6cm;BORDER-BOTTOM: 1.1pt solid;border-color=black}",
        "         td.c437 {WIDTH: 3.25cm;BORDER-BOTTOM: 1.1pt solid;border-color=black}",
        "",
        "         td.c20 {WIDTH: 16.5cm;}",
        "         td.c4 {WIDTH: 4cm;}",
        "         td.c2 {WIDTH: 2cm;}",
        "         td.c1 {WIDTH: 1cm;}",
        "         td.c45 {WIDTH: 4.5cm;}",
        "         td.c6 {WIDTH: 6cm;}",
        "         td.c3 {WIDTH: 3cm;}",
        "         td.c5 {WIDTH: 5cm;}",
        "         td.c7 {WIDTH: 7cm;}",
        "         td.c25 {WIDTH: 25cm;}",
        "",
        "         table.c265 {WIDTH: 26.5cm;}",
        "         table.c432 {BORDER-BOTTOM: 1.1pt solid; WIDTH: 26.5cm;border-color=black}",
        "",
        "         span.c433 {FONT-SIZE: 9pt; FONT-FAMILY: Century Gothic}",
        "         span.c431 {FONT-SIZE: 12pt; FONT-FAMILY: Century Gothic}",
        "",
        "        </STYLE>",
        "    </HEAD>",
        "",
        "    <BODY>",
    });
}

QString pageHeader(const ReportWording& wording)
{
    return joined({
        "    <!-- TITLE -->",
        "<TABLE cellspacing='0'",
        "           cellpadding='0'",
        "           class='c432'>",
        "        <TR>",
        "            <TD class='c1'></TD>",
        "            <TD>",
        "                <SPAN class='c431'>VEXO Brindle - " + wording.bannerSubject + "</SPAN>",
        "            </TD>",
        "        </TR>",
        "    </TABLE>",
        "    <BR />",
        "    <BR />",
        "    <!-- EndTitle -->",
        "<!-- HEADER -->",
        "",
        "    <TABLE border='0'",
        "           cellspacing='0'",
        "           cellpadding='0'",
        "           class='c265'>",
        "        <TR>",
        "            <TD class='c1'></TD>",
        "            <TD class='c4'>",
        "                <STRONG>",
        "                    <SPAN class='c433'>Page:</SPAN>",
        "                </STRONG>",
        "            </TD>",
        "            <TD align='left'",
        "                class='c20'>",
        "                <SPAN class='c433'>#PAGE# of #PAGETOTAL#</SPAN>",
        "            </TD>",
        "            <TD align='left'",
        "                class='c2'><STRONG>",
        "                <SPAN class='c433'>DATE:</SPAN></STRONG>",
        "            </TD>",
        "            <TD align='left'",
        "                class='c4'>",
        "                <SPAN class='c433'>#PRINTDATE#</SPAN>",
        "            </TD>",
        "",
        "        </TR>",
        "    </TABLE>",
        "",
        "<BR />",
        "    <BR />",
        "    <!-- EndHEADER -->",
    });
}

QStringList columnHeading(const QString& cssClass, const QString& heading)
{
    return {
        "            <TD valign='top'",
        "                class='" + cssClass + "'>",
        "                <STRONG>",
        "                    <SPAN class='c433'>" + heading + "</SPAN>",
        "                </STRONG>",
        "            </TD>",
    };
}

QString columnHeader(const ReportWording& wording)
{
    QStringList lines = {
        "<!-- COLUMNHEADER -->", "    <TABLE cellspacing='0'", "           cellpadding='5'",
        "           border='0'", "           class='c265'>",   "        <TR>",
    };
    lines << columnHeading("c438", "Last Name/Company") << columnHeading("c438", "First Name")
          << columnHeading("c439", "Email") << columnHeading("c439", wording.problemHeading)
          << columnHeading("c440", "Status");
    lines << "        </TR>";
    return joined(lines);
}

QString pageFooter(const ReportWording& wording)
{
    QStringList lines = {
        "</TABLE>",
        "    <!-- FOOTER -->",
        "<BR />",
        "    <TABLE cellspacing='0'",
        "           cellpadding='5'",
        "           border='0'",
        "           class='c432'>",
        "        <TR>",
        "            <TD align='left'",
        "                class='c6'>",
        "                <SPAN class='c433'>PAGE #PAGE# OF",
        "                #PAGETOTAL#</SPAN>",
        "            </TD>",
        "            <TD align='center'>",
    };
    if (wording.footerSpacerLine) {
        lines << QString(16, QLatin1Char(' '));
    }
    lines << QStringList{
        "            </TD>",
        "            <TD align='right'",
        "                class='c45'>",
        "                <SPAN class='c433'>PRINT DATE: #PRINTDATE#</SPAN>",
        "            </TD>",
        "        </TR>",
        "    </TABLE>",
        "    <!-- DOCUMENTDATA -->",
        "<!-- EndFOOTER -->",
    };
    return joined(lines);
}

QString row()
{
    return joined({
        "        <!-- ItemDATA -->",
        "        <TR>",
        "            <TD><SPAN class='c433'>#LastName#</SPAN></TD>",
        "            <TD><SPAN class='c433'>#FirstName#</SPAN></TD>",
        "            <TD><SPAN class='c433'>#Email#</SPAN></TD>",
        "            <TD><SPAN class='c433'>#ErrorWarning#</SPAN></TD>",
        "            <TD><SPAN class='c433'>#Status#</SPAN></TD>",
        "        </TR>",
    });
}

} // namespace

const ReportWording& reportWording(ImportReport report)
{
    // module, title, banner, problem heading, footer spacer, page break ends a line,
    // rejected word, updated cards show errors
    // clang-format off
    static const ReportWording wordings[] = {
        {QStringLiteral("clsVEXOImportReport"), QStringLiteral("VEXO IMPORT REPORT"), QStringLiteral("VEXO Import Report"),
         QStringLiteral("Error/Warning"), true, false, QStringLiteral("REJECTED"), false},
        {QStringLiteral("clsOutlookImportReport"), QStringLiteral("OUTLOOK IMPORT REPORT"), QStringLiteral("Outlook Import Report"),
         QStringLiteral("&nbsp;"), false, true, QStringLiteral("ERROR"), true},
    };
    // clang-format on
    return wordings[int(report)];
}

ReportTexts makeReportTexts(const ReportWording& wording)
{
    QString pageBreak = kLineBreak + QStringLiteral("<div id='page_break' />");
    if (wording.pageBreakEndsLine) {
        pageBreak += kLineBreak;
    }
    return {documentHead(wording),
            pageHeader(wording),
            columnHeader(wording),
            pageFooter(wording),
            row(),
            pageBreak};
}

} // namespace brindle
