#include "Notices.h"

#include "startup/ErrorLog.h"
#include "startup/RunSettings.h"

namespace brindle {

namespace {

// The runs of blanks leave room for the words drawn in the pictures.
const NoticeText securityNotice{
    QStringLiteral("FOutlookWarning"),
    QStringLiteral("Brindle - Security Notice"),
    {QStringLiteral("To synchronize cards, your VEXO software requires access to your "
                    "Outlook contacts."),
     QStringLiteral("When the Microsoft Office Outlook window appears:"),
     QStringLiteral("- select the option to Allow            access for"),
     QStringLiteral("- select a period of time from     1 minute to 10 minutes and"),
     QStringLiteral("- click Yes."),
     QStringLiteral("If you click No, you will not be able to synchronize cards.")}};

const NoticeText blankFieldNotice{
    QStringLiteral("FVEXOEmptyMsg"),
    QStringLiteral("Brindle - Blank Field Warning"),
    {QStringLiteral("Blank fields in your Outlook contacts are not included in the "
                    "synchronization."),
     QStringLiteral("If a field in your Outlook contacts is blank but the corresponding "
                    "field in your VEXO cards is complete, this field is not updated in "
                    "your VEXO cards. "),
     QStringLiteral("This is to ensure that you do not lose details recorded in your VEXO "
                    "cards.")}};

const NoticeText categoryNotice{
    QStringLiteral("FOutlookCategories"),
    QStringLiteral("Brindle - Category Warning"),
    {QStringLiteral("Importing contacts from the default Outlook contacts folder"),
     QStringLiteral("At least one contact does not have a card type (customer, vendor, "
                    "employee or personal) entered.  "),
     QStringLiteral("To import Outlook contacts from the default Outlook contacts folder, "
                    "you need to enter a VEXO card type in the Categories field (General "
                    "tab).")}};

} // namespace

FOutlookWarning::FOutlookWarning(RunSettings& settings)
    : Notice(securityNotice), m_settings(settings)
{}

void FOutlookWarning::Form_Load()
{
    chkShowNotice = !m_settings.gbShowOutlookWarning;
}

void FOutlookWarning::cmdOK_Click()
{
    m_settings.gbShowOutlookWarning = !chkShowNotice;
}

void LoggedNotice::Form_Load()
{
    m_context.WriteLog(QStringLiteral("VEXOBrindle.%1.Form_Load").arg(objectName()));
}

FVEXOEmptyMsg::FVEXOEmptyMsg(ProgramContext& context) : LoggedNotice(blankFieldNotice, context) {}

FOutlookCategories::FOutlookCategories(ProgramContext& context)
    : LoggedNotice(categoryNotice, context)
{}

} // namespace brindle
