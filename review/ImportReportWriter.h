#pragma once

#include "DetailRecordset.h"
#include "ReportTexts.h"
#include "cardlib/Card.h"
#include "startup/TextHelpers.h"

#include <exception>
#include <functional>
#include <optional>

class QSaveFile;

namespace brindle {

class ProgramContext;
class RunProgress;

// The document both import reports write: rows grouped by card type under a
// shaded heading, sixteen row slots to a printed page, each page with its
// title, header, column header and footer. The two report classes only
// gather the rows.
class ImportReportWriter
{
public:
    ImportReportWriter(ReportWording wording, ProgramContext& context);
    virtual ~ImportReportWriter() = default;

    const QString& ReportPath() const { return m_reportPath; }
    void setReportPath(const QString& path) { m_reportPath = path; }
    const QString& ReportAbbreviation() const { return m_reportAbbreviation; }
    void setReportAbbreviation(const QString& name) { m_reportAbbreviation = name; }
    // The written file, or "" when it has no rows or could not be written.
    const QString& ReportFilePath() const { return m_reportFilePath; }
    // Also list cards that existed and carry nothing worth reporting.
    bool ShowUpdatedCards() const { return m_showUpdatedCards; }
    void setShowUpdatedCards(bool show) { m_showUpdatedCards = show; }
    bool ShowReport() const { return m_showReport; }
    // Where the writer lets the window serve its events; none by default.
    void setProgress(RunProgress* progress) { m_progress = progress; }
    // "Supplier", or "Vendor" for a company file of the United States.
    void setSupplierWord(const QString& word) { m_supplierWord = word; }

    // Gathers the rows and writes the file. False when the rows could not
    // be gathered or the file could not be written: no report to offer.
    virtual bool CreateReport() = 0;

    bool CreateDetailRecordset();
    // One kind of rows, gathered when the report wants it.
    struct Section
    {
        bool wanted;
        std::function<bool()> add;
    };
    // CreateDetailRecordset, the sections in order until one fails, then
    // GenerateReport, which writes what was gathered even after a failure.
    bool gatherAndGenerate(std::initializer_list<Section> sections);
    // Writes the document, replacing any earlier file only once it is whole.
    bool GenerateReport();
    // The document's head: doctype, styles and the opening of the body.
    QString GenerateHeaderHTML() const;
    // The pages of rows, each page with its header, column header and footer,
    // as one text; GenerateReport writes them to the file as they are made.
    QString GenerateDetail();
    // One page's header block, with its page number.
    QString GenerateHeader() const;
    // The column headings under each page header.
    QString GenerateDetailHeader() const;
    // One page's footer block, with its page number.
    QString GenerateFooter() const;
    // One row. The texts are HTML already: card values arrive escaped.
    QString DetailLine(const QString& lastName, const QString& firstName, const QString& email,
                       const QString& errors, const QString& warnings, qint32 status,
                       bool heading) const;

    // The rows gathered so far; null before CreateDetailRecordset.
    const DetailRecordset* detailRecordset() const { return m_detail ? &*m_detail : nullptr; }

    // The text as it must appear inside the document, including '#', so a
    // value can never pass for one of the document's placeholders.
    static QString escaped(QStringView value);
    // The report's heading of a card type code; "" for code 0.
    QString sectionHeading(qint32 type) const;

protected:
    DetailRecordset* detail() { return m_detail ? &*m_detail : nullptr; }
    // A record with the card's identity and the e-mail of its main address.
    static DetailRecord recordOf(const TarvoCards::CCard& card, qint32 type);
    static bool isIndividual(const TarvoCards::CCard& card);
    static bool isBlank(const QString& text) { return trimBlanks(text).isEmpty(); }
    void yieldToEventLoop() const;
    void logFailure(const char* procedure, const std::exception& error) const;
    void logFailure(const char* procedure, const QString& description) const;

private:
    // Takes the document's pieces in order.
    using Sink = std::function<void(QString)>;

    void writeDetail(const Sink& sink);
    void writeRows(const Sink& sink, qint64& lineCounter);
    void writeFillerRows(const Sink& sink, qint64& lineCounter) const;
    // Pages the sorted records fill, headings of the card types included.
    qint64 pageCount() const;
    bool openReportFile(QSaveFile& file) const;
    void writeDocument(QSaveFile& file, qint64 pageTotal);
    QString problemText(const QString& errors, const QString& warnings, qint32 status) const;
    QString statusText(qint32 status) const;
    QString withPage(QString block) const;

    ReportWording m_wording;
    ProgramContext& m_context;
    QString m_supplierWord = QStringLiteral("Supplier");
    ReportTexts m_texts;
    QString m_reportPath;
    QString m_reportAbbreviation;
    QString m_reportFilePath;
    bool m_showUpdatedCards = false;
    bool m_showReport = false;
    std::optional<DetailRecordset> m_detail;
    qint64 m_pageCounter = 0;
    RunProgress* m_progress = nullptr;
};

} // namespace brindle
