#include "FSummary.h"

#include "startup/MMain.h"
#include "startup/RunSettings.h"
#include "startup/Shell.h"

namespace brindle {

void FSummary::SetCaption(bool userCancelled, bool applicationCancelled)
{
    const bool exporting = m_settings->glTransferAction == RunSettings::Export;
    if (exporting) {
        caption = QStringLiteral("Brindle - Export Summary");
        transferred.label = QStringLiteral("Added");
        transferred.unit = QStringLiteral("new contacts");
        updated.label = QStringLiteral("Updated");
        updated.unit = QStringLiteral("duplicate contacts");
        rejected.label = QStringLiteral("Rejected");
        rejected.unit = QStringLiteral("cards");
    } else {
        caption = QStringLiteral("Brindle - Import Summary");
        transferred.label = QStringLiteral("Updated or added");
        transferred.unit = QStringLiteral("cards");
        updated.label = QStringLiteral("Updated or added");
        updated.unit = QStringLiteral("cards with warnings");
        rejected.label = QStringLiteral("Skipped");
        rejected.unit = QStringLiteral("contacts");
    }
    const bool cancelled = userCancelled || applicationCancelled;
    QString heading;
    if (cancelled) {
        heading =
            exporting ? QStringLiteral("Export Cancelled") : QStringLiteral("Import Cancelled");
        lblFinishBody = exporting
                            ? QStringLiteral("Details in your Outlook contacts may be incomplete.")
                            : QStringLiteral("Details in your VEXO cards may be incomplete.");
    } else {
        heading = exporting ? QStringLiteral("Export Complete") : QStringLiteral("Import Complete");
        lblFinishBody = exporting ? QStringLiteral("Your Outlook contacts are updated.")
                                  : QStringLiteral("Your VEXO cards are updated.");
    }
    lblFinishHeader.replace(QLatin1String("#HEADING#"), heading);
}

void FSummary::UpdateCounters(bool pbCancelled)
{
    transferred.value =
        QString::number(AddedCards) + QLatin1String(" of ") + QString::number(TotalCards);
    updated.value = QString::number(UpdatedCards);
    rejected.value = QString::number(RejectedCards);
    if (UserCancelled) {
        lblFinishHeader.replace(QLatin1String("Complete"), QLatin1String("- User Cancelled"));
    }
    if (pbCancelled) {
        lblFinishHeader.replace(QLatin1String("Complete"),
                                QLatin1String("- Application Cancelled"));
    }
}

bool FSummary::cmdClose_Click()
{
    return MMain::ExitApplication(*m_context, *m_settings);
}

void FSummary::cmdHelp_Click()
{
    MMain::ShowHelp(*m_context, QStringLiteral("Summary"));
}

bool FSummary::programExiting() const
{
    return m_settings->gbExiting;
}

} // namespace brindle
