#pragma once

#include <QString>

namespace brindle {

class ProgramContext;
struct RunSettings;

// The last screen: whether the run completed or was cancelled, and its
// counters. Closing it ends the program.
class FSummary
{
public:
    FSummary(ProgramContext& context, RunSettings& settings)
        : m_context(&context), m_settings(&settings)
    {}

    struct Counter
    {
        QString label;
        QString value;
        QString unit; // the label after the value
    };

    qint32 TotalCards = 0;
    qint32 AddedCards = 0;
    qint32 UpdatedCards = 0;
    qint32 RejectedCards = 0;
    qint32 TotalUpdates = 0;
    bool UserCancelled = false;
    QString ReportFilePath;

    void Form_Load() { UserCancelled = false; }
    // Captions for the run's direction (glTransferAction) and outcome.
    void SetCaption(bool userCancelled, bool applicationCancelled);
    void UpdateCounters(bool pbCancelled);
    // Close, or the window's frame: ends the program. True when the front
    // end must now unload every form.
    bool cmdClose_Click();
    void cmdHelp_Click();
    // True once the program is shutting down.
    bool programExiting() const;

    // What the window shows.
    QString caption = QStringLiteral("Export Summary");
    QString lblTransferSummary = QStringLiteral("Summary");
    QString lblFinishHeader = QStringLiteral("#HEADING#");
    QString lblFinishBody;
    Counter transferred{{}, QStringLiteral("0 of 0"), {}};
    Counter updated;
    Counter rejected;

private:
    // Pointers, so that a copy of the summary can be kept.
    ProgramContext* m_context;
    RunSettings* m_settings;
};

} // namespace brindle
