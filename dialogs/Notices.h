#pragma once

#include <QString>
#include <QStringList>

namespace brindle {

class ProgramContext;
struct RunSettings;

// What a notice shows; one row per notice, in Notices.cpp.
struct NoticeText
{
    QString objectName;
    QString title;
    QStringList texts;
};

// A small modal notice with one button, Continue. Its window shows the
// title, the texts and, for the security notice, a check box; Continue and
// the close box both end in cmdOK_Click.
class Notice
{
public:
    explicit Notice(const NoticeText& text) : m_text(text) {}
    virtual ~Notice() = default;

    const QString& objectName() const { return m_text.objectName; }
    const QString& title() const { return m_text.title; }
    const QStringList& texts() const { return m_text.texts; }
    // "Do not show this notice again"; only the security notice has it.
    virtual bool hasCheckBox() const { return false; }
    virtual void Form_Load() = 0;
    virtual void cmdOK_Click() {}

    bool chkShowNotice = false;

private:
    const NoticeText& m_text;
};

// Shown before the contacts are opened, until the user ticks the box.
class FOutlookWarning : public Notice
{
public:
    explicit FOutlookWarning(RunSettings& settings);

    bool hasCheckBox() const override { return true; }
    void Form_Load() override;
    void cmdOK_Click() override;

private:
    RunSettings& m_settings;
};

// A warning whose showing goes to the error log.
class LoggedNotice : public Notice
{
public:
    LoggedNotice(const NoticeText& text, ProgramContext& context) : Notice(text), m_context(context)
    {}

    void Form_Load() override;

private:
    ProgramContext& m_context;
};

// Shown once per run, when an import meets a field that is blank in a contact.
class FVEXOEmptyMsg : public LoggedNotice
{
public:
    explicit FVEXOEmptyMsg(ProgramContext& context);
};

// Shown once per program run, for a contact of the default folder without a card type.
class FOutlookCategories : public LoggedNotice
{
public:
    explicit FOutlookCategories(ProgramContext& context);
};

} // namespace brindle
