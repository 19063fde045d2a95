#include "FAdvanced.h"

#include "Forms.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/Shell.h"

namespace brindle {

namespace {

struct FieldEntry
{
    const char* text;
    qint32 itemData;
    bool singleUse;
};

constexpr FieldEntry fieldEntries[] = {{"None", FAdvanced::None, false},
                                       {"Categories", FAdvanced::Categories, false},
                                       {"Anniversary", FAdvanced::Anniversary, true},
                                       {"Birthday", FAdvanced::Birthday, true},
                                       {"Spouse", FAdvanced::Spouse, true}};

} // namespace

FAdvanced::FAdvanced(Forms& forms) : Form(forms.settings), m_forms(forms) {}

ComboBox& FAdvanced::cboCustomField(int box)
{
    return box == 1 ? cboCustomField1 : box == 2 ? cboCustomField2 : cboCustomField3;
}

void FAdvanced::Form_Load()
{
    m_forms.fMain.Load();
    lblVersion = m_forms.fMain.lblVersion;
}

void FAdvanced::Form_Activate()
{
    try {
        RePopulateCustomCbo(cboCustomField1, CustomField2, CustomField3);
        RePopulateCustomCbo(cboCustomField2, CustomField1, CustomField3);
        RePopulateCustomCbo(cboCustomField3, CustomField1, CustomField2);
        MMain::CBOSetListIndexFromItemData(cboCustomField1, CustomField1);
        MMain::CBOSetListIndexFromItemData(cboCustomField2, CustomField2);
        MMain::CBOSetListIndexFromItemData(cboCustomField3, CustomField3);
        chkDisableOutlookFolders = m_forms.settings.glDisableOutlookFolders == 1;
    } catch (const std::exception& error) {
        m_forms.context.logError(QStringLiteral("FAdvanced.Form_Activate"), error);
    }
}

void FAdvanced::RePopulateCustomCbo(ComboBox& cbo, qint32 lOtherField1, qint32 lOtherField2)
{
    qint32 retained = None;
    if (!cbo.entries.isEmpty()) {
        const qint32 selected = cbo.selectedItemData();
        const bool heldElsewhere = selected == lOtherField1 || selected == lOtherField2;
        retained = selected == Categories || !heldElsewhere ? selected : None;
    }
    cbo.Clear();
    for (const FieldEntry& entry : fieldEntries) {
        const bool taken = entry.itemData == lOtherField1 || entry.itemData == lOtherField2;
        if (!entry.singleUse || !taken) {
            cbo.AddItem(QString::fromLatin1(entry.text), entry.itemData);
        }
    }
    MMain::CBOSetListIndexFromItemData(cbo, retained);
}

void FAdvanced::cboCustomField_LostFocus(int box)
{
    // The other two boxes, in order, each with its two siblings' selections.
    for (int other = 1; other <= 3; ++other) {
        if (other == box) {
            continue;
        }
        const int sibling1 = other == 1 ? 2 : 1;
        const int sibling2 = other == 3 ? 2 : 3;
        RePopulateCustomCbo(cboCustomField(other), cboCustomField(sibling1).selectedItemData(),
                            cboCustomField(sibling2).selectedItemData());
    }
}

bool FAdvanced::SetGlobalSettings()
{
    m_forms.settings.glDisableOutlookFolders = mlDisableOutlookFolders;
    m_forms.settings.glCustomField1 = CustomField1;
    m_forms.settings.glCustomField2 = CustomField2;
    m_forms.settings.glCustomField3 = CustomField3;
    return true;
}

void FAdvanced::cmdAccept_Click()
{
    mlDisableOutlookFolders = chkDisableOutlookFolders ? 1 : 0;
    CustomField1 = cboCustomField1.selectedItemData();
    CustomField2 = cboCustomField2.selectedItemData();
    CustomField3 = cboCustomField3.selectedItemData();
    SetGlobalSettings();
    m_forms.fChooseAction.Show();
    Hide();
}

void FAdvanced::cmdHelp_Click()
{
    MMain::ShowHelp(m_forms.context, QStringLiteral("Settings"));
}

void FAdvanced::Form_QueryUnload()
{
    Hide();
    m_forms.fMain.Show();
}

} // namespace brindle
