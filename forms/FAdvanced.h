#pragma once

#include "ComboBox.h"
#include "Form.h"

namespace brindle {

class Forms;

// The settings screen: where the three custom fields of a card go in a
// contact, and whether all cards share the default contacts folder.
class FAdvanced : public Form
{
public:
    // The Outlook fields a custom field can go to (item data).
    enum Field
    {
        None = 0,
        Categories = 1,
        Anniversary = 2,
        Birthday = 3,
        Spouse = 4
    };

    explicit FAdvanced(Forms& forms);

    // Set by the action screen before it shows this one.
    qint32 CustomField1 = 0;
    qint32 CustomField2 = 0;
    qint32 CustomField3 = 0;

    // Rebuilds one box without the single-use fields the other two hold.
    void RePopulateCustomCbo(ComboBox& cbo, qint32 lOtherField1, qint32 lOtherField2);
    bool SetGlobalSettings();
    // Leaving box 1, 2 or 3 rebuilds the other two.
    void cboCustomField_LostFocus(int box);
    void cmdAccept_Click();
    void cmdHelp_Click();
    // The close box: the information screen instead of the action screen,
    // the choices not taken; closing that one ends the program.
    void Form_QueryUnload();

    ComboBox& cboCustomField(int box);

    // What the window shows.
    QString caption = QStringLiteral("Brindle - Settings");
    ComboBox cboCustomField1;
    ComboBox cboCustomField2;
    ComboBox cboCustomField3;
    bool chkDisableOutlookFolders = false;
    QString lblVersion;

protected:
    void Form_Load() override;
    void Form_Activate() override;

private:
    Forms& m_forms;
    qint32 mlDisableOutlookFolders = 0;
};

} // namespace brindle
