#include "FUpdateChoice.h"

#include "contactstore/ContactItem.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/Prompts.h"
#include "startup/TextHelpers.h"

namespace brindle {

namespace {

constexpr qint32 importDirection = 1;
constexpr qint32 exportDirection = 2;

// A header property of the contact; a failing read leaves the text empty.
QString contactText(contacts::ContactItem& contact, const char* name)
{
    try {
        return contact.property(QString::fromLatin1(name)).toString();
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

FUpdateChoice::FUpdateChoice(Prompts& prompts) : m_prompts(&prompts) {}

void FUpdateChoice::Form_Activate()
{
    resetDisplay();
    if (TransferAction == importDirection) {
        showCardHeader();
    } else if (TransferAction == exportDirection) {
        showContactHeader();
    }
    UserChoice = NoAnswer;
    hidden = false;
    if (NewVEXOCard) {
        if (TransferAction == importDirection) {
            showNewCardLayout();
        }
        return;
    }
    if (!m_differences.isEmpty()) {
        showUpdateLayout();
    }
}

void FUpdateChoice::resetDisplay()
{
    caption.clear();
    lblWarning.clear();
    lblLastName = {QStringLiteral("Last Name")};
    lblFirstName = {QStringLiteral("First Name")};
    txtLastName = txtFirstName = txtCardIdentification = {};
    for (ChangeRow& row : rows) {
        row = {};
    }
    lblMoreThanFive.visible = false;
}

void FUpdateChoice::showCardHeader()
{
    caption = QStringLiteral("Brindle - Confirm Update of VEXO Card");
    if (!objVEXOCard) {
        return;
    }
    if (NewVEXOCard) {
        caption = QStringLiteral("Brindle - Confirm Addition of VEXO Card");
        lblWarning =
            QStringLiteral("The following Outlook contact does not exist in your VEXO "
                           "cards. \r\nClick Add, to add this contact to your VEXO cards.");
    } else {
        lblWarning = QStringLiteral("This contact exists in your VEXO cards.  Click Update to "
                                    "make the details \r\nin your VEXO cards match the details in "
                                    "your Outlook contacts.");
    }
    if (objVEXOCard->IsIndividual == QLatin1String("Y")) {
        txtFirstName.caption = objVEXOCard->FirstName;
    } else {
        lblFirstName.visible = txtFirstName.visible = false;
        lblLastName.caption = QStringLiteral("Company Name");
    }
    txtLastName.caption = objVEXOCard->LastName;
    txtCardIdentification.caption = objVEXOCard->CardIdentification;
}

void FUpdateChoice::showContactHeader()
{
    caption = QStringLiteral("Brindle - Confirm Update to Outlook Contact");
    if (!OutlookContact) {
        return;
    }
    lblWarning = QStringLiteral("This contact exists in your Outlook contacts.  Click Update to "
                                "make the \r\ndetails in your Outlook contacts match the details "
                                "in your VEXO cards.");
    lblLastName.caption = QStringLiteral("Company Name");
    lblFirstName.caption = QStringLiteral("Contact Name");
    contacts::ContactItem& contact = *OutlookContact;
    const QString companyName = contactText(contact, "CompanyName");
    if (!companyName.isEmpty()) {
        txtLastName.caption = companyName;
        txtFirstName.caption = contactText(contact, "FullName");
    } else {
        txtLastName.caption = contactText(contact, "LastName");
        txtFirstName.caption = contactText(contact, "FirstName");
    }
    txtCardIdentification.caption = contactText(contact, "User1");
}

void FUpdateChoice::showNewCardLayout()
{
    cmdUpdateAll.visible = false;
    cmdOK.visible = true;
    cmdOK.caption = QStringLiteral("Add");
    heights.form = 4170;
    heights.picDetailHeader = 1395;
    heights.picFinish = 2115;
    heights.centred = true;
}

void FUpdateChoice::showUpdateLayout()
{
    bool allNewBlank = true;
    for (qsizetype i = 0; i < m_differences.size(); ++i) {
        if (i > 3) {
            lblMoreThanFive.visible = true;
            break;
        }
        const Difference& change = m_differences.at(i);
        ChangeRow& row = rows[size_t(i)];
        row.visible = true;
        row.label = String2LabelCaption(QString(change.key).remove(QLatin1Char('.')));
        row.existing = MMain::CleanText(change.existing, false);
        row.updated = MMain::CleanText(change.updated, false);
        if (!change.updated.isEmpty()) {
            allNewBlank = false;
        }
    }
    cmdUpdateAll.visible = cmdUpdateAll.enabled = true;
    cmdOK.visible = cmdOK.enabled = true;
    if (allNewBlank && TransferAction == importDirection) {
        cmdUpdateAll.visible = cmdUpdateAll.enabled = false;
        cmdOK.visible = cmdOK.enabled = false;
        caption = QStringLiteral("Brindle - Warning : Blank Field in Outlook Contact");
        lblWarning = QStringLiteral("The following Microsoft Outlook contact has blank fields. "
                                    "\r\nThese fields will not be updated in your VEXO cards. "
                                    "Click Skip to continue.");
    }
    sizeToRows();
}

void FUpdateChoice::sizeToRows()
{
    for (int i = 3; i >= 0; --i) {
        if (!rows[size_t(i)].visible) {
            continue;
        }
        heights.picDetailHeader = 1725;
        heights.picChangeDetails = rowTop(i) + 690;
        heights.picChanges = heights.picDetailHeader + heights.picChangeDetails;
        heights.lblMoreThanFiveTop = picChangesTop + heights.picChanges + 30;
        heights.picFinish = heights.lblMoreThanFiveTop + lblMoreThanFiveHeight + 45;
        heights.form = picFinishTop + heights.picFinish + 2 * picFooterHeight + 30;
        heights.centred = false;
        return;
    }
}

void FUpdateChoice::answer(Choice choice)
{
    UserChoice = choice;
    if (UserChoice != NoAnswer) {
        hidden = true;
    }
}

void FUpdateChoice::cmdCancel_Click()
{
    const Prompts::Answer reply =
        m_prompts->messageBox(QStringLiteral("Cancel this operation? "), Prompts::Buttons::YesNo,
                              Prompts::Icon::Information, QStringLiteral("VEXO Brindle"));
    if (reply != Prompts::No) {
        answer(CancelRun);
    }
}

void FUpdateChoice::Form_Unload()
{
    objVEXOCard.reset();
    OutlookContact.reset();
}

QString FUpdateChoice::String2LabelCaption(const QString& psString)
{
    if (psString == QLatin1String("WWW")) {
        return psString;
    }
    QString caption;
    caption.reserve(psString.size() * 2);
    for (const QChar c : psString) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) {
            caption += QLatin1Char(' ');
        }
        caption += c;
    }
    if (caption.startsWith(QLatin1Char(' '))) {
        caption = trimBlanks(caption);
    }
    return caption;
}

} // namespace brindle
