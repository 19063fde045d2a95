#pragma once

#include <QString>
#include <QStringList>

namespace brindle {

// A small modal notice with one button, Continue. Its window shows the
// title, the texts and, for the security notice, a check box; Continue and
// the close box both end in cmdOK_Click.
class Notice
{
public:
    virtual ~Notice() = default;

    virtual QString objectName() const = 0;
    virtual QString title() const = 0;
    virtual QStringList texts() const = 0;
    // "Do not show this notice again"; only the security notice has it.
    virtual bool hasCheckBox() const { return false; }
    virtual void Form_Load() {}
    virtual void cmdOK_Click() {}

    bool chkShowNotice = false;
};

// Shown before the contacts are opened, until the user ticks the box.
class FOutlookWarning : public Notice
{
public:
    QString objectName() const override { return QStringLiteral("FOutlookWarning"); }
    QString title() const override;
    QStringList texts() const override;
    bool hasCheckBox() const override { return true; }
    void Form_Load() override;
    void cmdOK_Click() override;
};

// Shown once per run, when an import meets a field that is blank in a contact.
class FVEXOEmptyMsg : public Notice
{
public:
    QString objectName() const override { return QStringLiteral("FVEXOEmptyMsg"); }
    QString title() const override;
    QStringList texts() const override;
    void Form_Load() override;
};

// Shown once per program run, for a contact of the default folder without a card type.
class FOutlookCategories : public Notice
{
public:
    QString objectName() const override { return QStringLiteral("FOutlookCategories"); }
    QString title() const override;
    QStringList texts() const override;
    void Form_Load() override;
};

} // namespace brindle
