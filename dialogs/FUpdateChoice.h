#pragma once

#include "cardlib/Card.h"
#include "review/Differences.h"

#include <array>
#include <memory>
#include <optional>

namespace contacts {
class ContactItem;
}

namespace brindle {

class Prompts;

// The confirmation of one addition or update: who the record is, up to four
// changed fields, and Update (or Add), Skip, Update All and Cancel. It
// decides nothing: the caller acts on UserChoice. Form_Activate rebuilds
// what the window shows from the properties; the window renders it.
class FUpdateChoice
{
public:
    // UserChoice: no answer yet, and the answers of the four buttons.
    enum Choice
    {
        NoAnswer = 0,
        CancelRun = 2,
        Update = 6,
        Skip = 7,
        UpdateAll = 8
    };

    // Lengths in twips (1,440 to the inch) that Form_Activate sets.
    struct Heights
    {
        qint32 form = 0;
        qint32 picDetailHeader = 0;
        qint32 picChangeDetails = 0;
        qint32 picChanges = 0;
        qint32 picFinish = 0;
        qint32 lblMoreThanFiveTop = 0;
        bool centred = false; // the form is centred on the screen
    };
    struct Control
    {
        QString caption;
        bool visible = true;
        bool enabled = true;
    };
    struct ChangeRow
    {
        bool visible = false;
        QString label;
        QString existing;
        QString updated;
    };

    // Design-time layout, in twips, that the sizing rules build on.
    static constexpr qint32 rowTop(int row) { return 360 + 375 * row; }
    static constexpr qint32 lblMoreThanFiveHeight = 255;
    static constexpr qint32 picFooterHeight = 615;
    static constexpr qint32 picChangesTop = 1080;
    static constexpr qint32 picFinishTop = 0;

    explicit FUpdateChoice(Prompts& prompts);

    // Set by the caller before each showing.
    bool NewVEXOCard = false;
    qint32 UserChoice = NoAnswer;
    std::optional<TarvoCards::CCard> objVEXOCard;
    std::shared_ptr<contacts::ContactItem> OutlookContact;
    qint32 TransferAction = 0;
    Differences differences() const { return m_differences; }
    void setDifferences(const Differences& differences) { m_differences = differences; }

    void Form_Activate();
    void cmdOK_Click() { answer(Update); }
    void cmdReject_Click() { answer(Skip); }
    void cmdUpdateAll_Click() { answer(UpdateAll); }
    // Asks "Cancel this operation? "; only Yes answers.
    void cmdCancel_Click();
    // The window's close box: asks like Cancel but never refuses the close,
    // so after No the caller shows the dialog again.
    void Form_QueryUnload() { cmdCancel_Click(); }
    void Form_Unload();

    // "LastName" gives "Last Name"; "WWW" stays "WWW".
    static QString String2LabelCaption(const QString& psString);

    // What the window shows, as Form_Activate left it.
    QString caption;
    Control lblLastName, lblFirstName, txtLastName, txtFirstName, txtCardIdentification;
    std::array<ChangeRow, 4> rows;
    Control lblMoreThanFive{QStringLiteral("* More than 4 Changes Found")};
    QString lblWarning;
    Control cmdOK{QStringLiteral("Update")};
    Control cmdReject{QStringLiteral("Skip")};
    Control cmdUpdateAll{QStringLiteral("Update All")};
    Control cmdCancel{QStringLiteral("Cancel")};
    Heights heights;
    // A button with an answer hid the form: the modal showing ends.
    bool hidden = false;

private:
    void answer(Choice choice);
    void resetDisplay();
    void showCardHeader();
    void showContactHeader();
    void showNewCardLayout();
    void showUpdateLayout();
    void sizeToRows();

    Prompts* m_prompts;
    Differences m_differences;
};

} // namespace brindle
