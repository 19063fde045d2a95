#include "ImportReportWriter.h"

#include "platform/PlatformError.h"
#include "startup/CardType.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/RunProgress.h"

#include <QDir>
#include <QLocale>
#include <QSaveFile>
#include <algorithm>
#include <utility>

namespace brindle {

namespace {

constexpr qint64 kRowSlots = 16;

} // namespace

ImportReportWriter::ImportReportWriter(ReportWording wording, ProgramContext& context)
    : m_wording(std::move(wording)), m_context(context), m_texts(makeReportTexts(m_wording))
{}

bool ImportReportWriter::CreateDetailRecordset()
{
    m_detail.emplace();
    return true;
}

bool ImportReportWriter::gatherAndGenerate(std::initializer_list<Section> sections)
{
    bool result = CreateDetailRecordset();
    for (const Section& section : sections) {
        if (section.wanted && result) {
            result = section.add();
        }
    }
    const bool written = GenerateReport();
    return result && written;
}

// The document goes to its file piece by piece, so a large import is never
// held twice over as text; the file appears only once it is complete.
bool ImportReportWriter::GenerateReport()
{
    m_pageCounter = 0;
    m_reportFilePath.clear();
    try {
        if (m_detail) {
            m_detail->sort();
        }
        const qint64 pageTotal = pageCount();
        m_showReport = pageTotal > 0;
        const QString path = m_reportPath + QLatin1Char('/') + m_reportAbbreviation + ".html";
        QSaveFile file(path);
        if (!openReportFile(file)) {
            return false;
        }
        writeDocument(file, pageTotal);
        if (!file.commit()) {
            logFailure("GenerateReport", file.errorString() + ": " + path);
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

// A failed write is kept by the file and reported by its commit.
void ImportReportWriter::writeDocument(QSaveFile& file, qint64 pageTotal)
{
    const QString total = QString::number(pageTotal);
    const QString printDate = QLocale().toString(m_context.now().date(), QLocale::ShortFormat);
    const Sink toFile = [&](QString piece) {
        piece.replace(QLatin1String("#PAGETOTAL#"), total)
            .replace(QLatin1String("#PRINTDATE#"), printDate)
            .replace(QLatin1String("#PRODUCTNAME#"), QLatin1String("VEXO Brindle"));
        file.write(piece.toUtf8());
    };
    toFile(GenerateHeaderHTML() + kLineBreak);
    writeDetail(toFile);
    if (m_pageCounter != pageTotal) {
        throw PlatformError(ErrorNumber::Unspecified,
                            QStringLiteral("The report's rows stopped before its last page"));
    }
    toFile(kLineBreak + QLatin1String("</BODY>") + kLineBreak + QLatin1String("</HTML>"));
}

bool ImportReportWriter::openReportFile(QSaveFile& file) const
{
    // An empty folder would put the report at the root of the file system.
    if (m_reportPath.isEmpty() || !QDir().mkpath(m_reportPath)) {
        logFailure("GenerateReport", "Path not found: " + m_reportPath);
        return false;
    }
    // It lists company data: as private as a backup.
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        logFailure("GenerateReport", file.errorString() + ": " + file.fileName());
        return false;
    }
    return true;
}

qint64 ImportReportWriter::pageCount() const
{
    if (!m_detail) {
        return 0;
    }
    qint64 lines = 0;
    qint32 currentType = 0;
    for (const DetailRecord& record : *m_detail) {
        if (record.VEXOType != currentType) {
            currentType = record.VEXOType;
            ++lines; // the type's heading
        }
        ++lines;
    }
    return (lines + kRowSlots - 1) / kRowSlots;
}

QString ImportReportWriter::GenerateHeaderHTML() const
{
    return m_texts.documentHead;
}

QString ImportReportWriter::GenerateDetail()
{
    if (m_detail) {
        m_detail->sort();
    }
    QString text;
    writeDetail([&text](const QString& piece) { text += piece; });
    return text;
}

void ImportReportWriter::writeDetail(const Sink& sink)
{
    qint64 lineCounter = 0;
    try {
        writeRows(sink, lineCounter);
        writeFillerRows(sink, lineCounter);
    } catch (const std::exception& error) {
        logFailure("GenerateDetail", error);
    }
    if (lineCounter == 0) {
        m_showReport = false;
    }
    sink(QStringLiteral("</TABLE>"));
    sink(GenerateFooter());
}

// The records must be sorted.
void ImportReportWriter::writeRows(const Sink& sink, qint64& lineCounter)
{
    if (!m_detail) {
        return;
    }
    const qsizetype rows = m_detail->count();
    qint32 currentType = 0;
    qsizetype next = 0;
    while (next < rows) {
        if (lineCounter % kRowSlots == 0) {
            if (lineCounter > 0) {
                sink(GenerateFooter());
                sink(m_texts.pageBreak);
            }
            ++m_pageCounter;
            sink(GenerateHeader());
            sink(GenerateDetailHeader());
        }
        ++lineCounter;
        const DetailRecord& record = m_detail->at(next);
        if (record.VEXOType != currentType) {
            // The heading takes a slot of its own; the record follows it.
            currentType = record.VEXOType;
            sink(DetailLine(escaped(sectionHeading(currentType)), {}, {}, {}, {}, 1, true));
        } else {
            sink(DetailLine(escaped(record.VEXOLastName), escaped(record.VEXOFirstName),
                            escaped(record.VEXOEmail), escaped(record.Errors),
                            escaped(record.Warnings), record.Status, false));
            ++next;
        }
        yieldToEventLoop();
    }
}

void ImportReportWriter::writeFillerRows(const Sink& sink, qint64& lineCounter) const
{
    if (lineCounter == 0) {
        return;
    }
    // The last page stops one short of its sixteenth slot.
    while (lineCounter % kRowSlots != 0) {
        ++lineCounter;
        if (lineCounter % kRowSlots != 0) {
            sink(DetailLine(QStringLiteral("&nbsp"), {}, {}, {}, {}, 0, false));
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
    static constexpr std::pair<char16_t, const char*> entities[] = {
        {u'&', "&amp;"},  {u'<', "&lt;"},   {u'>', "&gt;"},
        {u'"', "&quot;"}, {u'\'', "&#39;"}, {u'#', "&#35;"},
    };
    QString html;
    html.reserve(value.size());
    for (const QChar c : value) {
        const auto* entity = std::find_if(std::begin(entities), std::end(entities),
                                          [c](const auto& e) { return e.first == c.unicode(); });
        if (entity == std::end(entities)) {
            html += c;
        } else {
            html += QLatin1String(entity->second);
        }
    }
    return html;
}

QString ImportReportWriter::sectionHeading(qint32 type) const
{
    const std::optional<CardType> cardType = CardType::fromReportCode(type);
    return cardType ? cardType->folderName(m_supplierWord) : QString();
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
    m_context.logError(m_wording.module + QLatin1Char('.') + QLatin1String(procedure), error);
}

void ImportReportWriter::logFailure(const char* procedure, const QString& description) const
{
    m_context.logError(m_wording.module + QLatin1Char('.') + QLatin1String(procedure),
                       ErrorNumber::Unspecified, description);
}

} // namespace brindle
