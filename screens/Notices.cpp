#include "Notices.h"

#include "startup/ErrorLog.h"
#include "startup/RunSettings.h"

namespace brindle {

QString FOutlookWarning::title() const
{
    return QStringLiteral("Brindle - Security Notice");
}

QStringList FOutlookWarning::texts() const
{
    // The runs of blanks leave room for the words drawn in the pictures.
    return {QStringLiteral("To synchronize cards, your VEXO software requires access to your "
                           "Outlook contacts."),
            QStringLiteral("When the Microsoft Office Outlook window appears:"),
            QStringLiteral("- select the option to Allow            access for"),
            QStringLiteral("- select a period of time from     1 minute to 10 minutes and"),
            QStringLiteral("- click Yes."),
            QStringLiteral("If you click No, you will not be able to synchronize cards.")};
}

void FOutlookWarning::Form_Load()
{
    chkShowNotice = !m_settings.gbShowOutlookWarning;
}

void FOutlookWarning::cmdOK_Click()
{
    m_settings.gbShowOutlookWarning = !chkShowNotice;
}

QString FVEXOEmptyMsg::title() const
{
    return QStringLiteral("Brindle - Blank Field Warning");
}

QStringList FVEXOEmptyMsg::texts() const
{
    return {QStringLiteral("Blank fields in your Outlook contacts are not included in the "
                           "synchronization."),
            QStringLiteral("If a field in your Outlook contacts is blank but the corresponding "
                           "field in your VEXO cards is complete, this field is not updated in "
                           "your VEXO cards. "),
            QStringLiteral("This is to ensure that you do not lose details recorded in your VEXO "
                           "cards.")};
}

void FVEXOEmptyMsg::Form_Load()
{
    m_context.WriteLog(QStringLiteral("VEXOBrindle.FVEXOEmptyMsg.Form_Load"));
}

QString FOutlookCategories::title() const
{
    return QStringLiteral("Brindle - Category Warning");
}

QStringList FOutlookCategories::texts() const
{
    return {QStringLiteral("Importing contacts from the default Outlook contacts folder"),
            QStringLiteral("At least one contact does not have a card type (customer, vendor, "
                           "employee or personal) entered.  "),
            QStringLiteral("To import Outlook contacts from the default Outlook contacts folder, "
                           "you need to enter a VEXO card type in the Categories field (General "
                           "tab).")};
}

void FOutlookCategories::Form_Load()
{
    m_context.WriteLog(QStringLiteral("VEXOBrindle.FOutlookCategories.Form_Load"));
}

} // namespace brindle
