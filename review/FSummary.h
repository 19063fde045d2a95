#pragma once

#include <QString>

namespace brindle {

// The last screen: whether the run completed or was cancelled, and its
// counters. Closing it ends the program.
class FSummary
{
public:
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

    // What the window shows.
    QString caption = QStringLiteral("Export Summary");
    QString lblTransferSummary = QStringLiteral("Summary");
    QString lblFinishHeader = QStringLiteral("#HEADING#");
    QString lblFinishBody;
    Counter transferred{{}, QStringLiteral("0 of 0"), {}};
    Counter updated;
    Counter rejected;
};

} // namespace brindle
