#include "ImportReportWriter.h"

#include "platform/PlatformError.h"
#include "run/RunProgress.h"
#include "startup/CardType.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"

#include <QDir>
#include <QLocale>
#include <QSaveFile>

namespace brindle {

namespace {

constexpr qint64 kRowSlots = 16;
// Room for one row's values beyond its template, so the text is reserved once.
constexpr qsizetype kRowAllowance = 160;

} // namespace

ImportReportWriter::ImportReportWriter(ReportWording wording)
    : m_wording(std::move(wording)), m_texts(makeReportTexts(m_wording))
{}

bool ImportReportWriter::CreateDetailRecordset()
{
    m_detail.emplace();
    return true;
}

bool ImportReportWriter::GenerateReport()
{
    m_showReport = true;
    m_pageCounter = 0;
    m_reportFilePath.clear();
    try {
        QString text = GenerateHeaderHTML() + kLineBreak;
        text += GenerateDetail();
        text.replace(QLatin1String("#PAGETOTAL#"), QString::number(m_pageCounter));
        text.replace(QLatin1String("#PRINTDATE#"),
                     QLocale().toString(MMain::now().date(), QLocale::ShortFormat));
        text.replace(QLatin1String("#PRODUCTNAME#"), QLatin1String("VEXO Brindle"));
        text += kLineBreak + QLatin1String("</BODY>") + kLineBreak + QLatin1String("</HTML>");
        const QString path = m_reportPath + QLatin1Char('/') + m_reportAbbreviation + ".html";
        if (!writeFile(path, text)) {
            return false;
        }
        if (m_showReport) {
            m_reportFilePath = path;
        }
        return true;
    } catch (const std::exception& error) {
        logFailure("GenerateReport", error);
        return false;
    }
}

bool ImportReportWriter::writeFile(const QString& path, const QString& text) const
{
    // An empty folder would put the report at the root of the file system.
    if (m_reportPath.isEmpty() || !QDir().mkpath(m_reportPath)) {
        logFailure("GenerateReport", "Path not found: " + m_reportPath);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        logFailure("GenerateReport", file.errorString() + ": " + path);
        return false;
    }
    return true;
}

QString ImportReportWriter::GenerateHeaderHTML() const
{
    return m_texts.documentHead;
}

QString ImportReportWriter::GenerateDetail()
{
    QString text;
    qint64 lineCounter = 0;
    try {
        appendRows(text, lineCounter);
        appendFillerRows(text, lineCounter);
    } catch (const std::exception& error) {
        logFailure("GenerateDetail", error);
    }
    if (lineCounter == 0) {
        m_showReport = false;
    }
    text += QLatin1String("</TABLE>");
    text += GenerateFooter();
    return text;
}

void ImportReportWriter::appendRows(QString& text, qint64& lineCounter)
{
    if (!m_detail) {
        return;
    }
    m_detail->sort();
    const qsizetype rows = m_detail->count();
    const qsizetype pageSize = m_texts.pageHeader.size() + m_texts.columnHeader.size() +
                               m_texts.pageFooter.size() + m_texts.pageBreak.size();
    text.reserve((rows + 8) * (m_texts.row.size() + kRowAllowance) +
                 (rows / kRowSlots + 2) * pageSize);
    qint32 currentType = 0;
    qsizetype next = 0;
    while (next < rows) {
        if (lineCounter % kRowSlots == 0) {
            if (lineCounter > 0) {
                text += GenerateFooter();
                text += m_texts.pageBreak;
            }
            ++m_pageCounter;
            text += GenerateHeader();
            text += GenerateDetailHeader();
        }
        ++lineCounter;
        const DetailRecord& record = m_detail->at(next);
        if (record.VEXOType != currentType) {
            // The heading takes a slot of its own; the record follows it.
            currentType = record.VEXOType;
            text += DetailLine(escaped(sectionHeading(currentType)), {}, {}, {}, {}, 1, true);
        } else {
            text += DetailLine(escaped(record.VEXOLastName), escaped(record.VEXOFirstName),
                               escaped(record.VEXOEmail), escaped(record.Errors),
                               escaped(record.Warnings), record.Status, false);
            ++next;
        }
        yieldToEventLoop();
    }
}

void ImportReportWriter::appendFillerRows(QString& text, qint64& lineCounter) const
{
    if (lineCounter == 0) {
        return;
    }
    // The last page stops one short of its sixteenth slot.
    while (lineCounter % kRowSlots != 0) {
        ++lineCounter;
        if (lineCounter % kRowSlots != 0) {
            text += DetailLine(QStringLiteral("&nbsp"), {}, {}, {}, {}, 0, false);
        }
    }
}

QString ImportReportWriter::withPage(QString block) const
{
    return block.replace(QLatin1String("#PAGE#"), QString::number(m_pageCounter));
}

QString ImportReportWriter::GenerateHeader() const
{
    return withPage(m_texts.pageHeader);
}

QString ImportReportWriter::GenerateDetailHeader() const
{
    return m_texts.columnHeader;
}

QString ImportReportWriter::GenerateFooter() const
{
    return withPage(m_texts.pageFooter);
}

QString ImportReportWriter::DetailLine(const QString& lastName, const QString& firstName,
                                       const QString& email, const QString& errors,
                                       const QString& warnings, qint32 status, bool heading) const
{
    QString line = m_texts.row;
    line.replace(QLatin1String("#LastName#"), lastName)
        .replace(QLatin1String("#FirstName#"), firstName)
        .replace(QLatin1String("#Email#"), email)
        .replace(QLatin1String("#ErrorWarning#"), problemText(errors, warnings, status))
        .replace(QLatin1String("#Status#"), heading ? QString() : statusText(status));
    if (heading) {
        line.replace(QLatin1String("<TD>"), QLatin1String("<TD style='BACKGROUND-COLOR: silver'>"));
    }
    return line;
}

QString ImportReportWriter::problemText(const QString& errors, const QString& warnings,
                                        qint32 status) const
{
    switch (status) {
    case 1:
        return warnings;
    case 2:
        return m_wording.updatedShowsErrors ? errors : warnings;
    case 3:
        return errors;
    default:
        return {};
    }
}

QString ImportReportWriter::statusText(qint32 status) const
{
    switch (status) {
    case 1:
        return QStringLiteral("ADD");
    case 2:
        return QStringLiteral("UPDATE");
    case 3:
        return m_wording.rejectedWord;
    default:
        return {};
    }
}

QString ImportReportWriter::escaped(QStringView value)
{
    QString html;
    html.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'&':
            html += QLatin1String("&amp;");
            break;
        case u'<':
            html += QLatin1String("&lt;");
            break;
        case u'>':
            html += QLatin1String("&gt;");
            break;
        case u'"':
            html += QLatin1String("&quot;");
            break;
        case u'\'':
            html += QLatin1String("&#39;");
            break;
        case u'#':
            html += QLatin1String("&#35;");
            break;
        default:
            html += c;
        }
    }
    return html;
}

QString ImportReportWriter::sectionHeading(qint32 type)
{
    const std::optional<CardType> cardType = CardType::fromReportCode(type);
    return cardType ? cardType->folderName(MMain::gsSupplierWord) : QString();
}

DetailRecord ImportReportWriter::recordOf(const TarvoCards::CCard& card, qint32 type)
{
    DetailRecord record;
    record.VEXOType = type;
    record.VEXOCardRecordID = QString::number(card.CardRecordID);
    record.VEXOLastName = card.LastName;
    record.VEXOFirstName = card.FirstName;
    const qint32 location = isIndividual(card) ? 1 : 2;
    for (const TarvoCards::CAddress& address : card.Addresses) {
        if (address.Location == location) {
            record.VEXOEmail = address.Email;
            break;
        }
    }
    return record;
}

bool ImportReportWriter::isIndividual(const TarvoCards::CCard& card)
{
    return card.IsIndividual.toUpper() == QLatin1String("Y");
}

void ImportReportWriter::yieldToEventLoop() const
{
    if (m_progress) {
        m_progress->pumpMessages();
    }
}

void ImportReportWriter::logFailure(const char* procedure, const std::exception& error) const
{
    MMain::logError(m_wording.module + QLatin1Char('.') + QLatin1String(procedure), error);
}

void ImportReportWriter::logFailure(const char* procedure, const QString& description) const
{
    MMain::logError(m_wording.module + QLatin1Char('.') + QLatin1String(procedure),
                    ErrorNumber::Unspecified, description);
}

} // namespace brindle
