#pragma once

#include <QString>
#include <QStringList>

namespace brindle {

class ProgramContext;
struct RunSettings;

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
    explicit FOutlookWarning(RunSettings& settings) : m_settings(settings) {}

    QString objectName() const override { return QStringLiteral("FOutlookWarning"); }
    QString title() const override;
    QStringList texts() const override;
    bool hasCheckBox() const override { return true; }
    void Form_Load() override;
    void cmdOK_Click() override;

private:
    RunSettings& m_settings;
};

// Shown once per run, when an import meets a field that is blank in a contact.
class FVEXOEmptyMsg : public Notice
{
public:
    explicit FVEXOEmptyMsg(ProgramContext& context) : m_context(context) {}

    QString objectName() const override { return QStringLiteral("FVEXOEmptyMsg"); }
    QString title() const override;
    QStringList texts() const override;
    void Form_Load() override;

private:
    ProgramContext& m_context;
};

// Shown once per program run, for a contact of the default folder without a card type.
class FOutlookCategories : public Notice
{
public:
    explicit FOutlookCategories(ProgramContext& context) : m_context(context) {}

    QString objectName() const override { return QStringLiteral("FOutlookCategories"); }
    QString title() const override;
    QStringList texts() const override;
    void Form_Load() override;

private:
    ProgramContext& m_context;
};

} // namespace brindle
