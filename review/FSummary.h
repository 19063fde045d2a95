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
    // What became of each card or contact the run read; the rest of
    // TotalCards was not reached, because the run was cancelled or failed.
    struct Tally
    {
        qint32 added = 0;
        qint32 changed = 0;
        qint32 unchanged = 0;
        qint32 skipped = 0; // by the user's answer or choice of cards
        qint32 rejected = 0;
    };
    Tally tally;
    qint32 notReached() const
    {
        return TotalCards -
               (tally.added + tally.changed + tally.unchanged + tally.skipped + tally.rejected);
    }
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
    // The settings of the run it sums up.
    const RunSettings& settings() const { return *m_settings; }

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
