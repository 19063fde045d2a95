#include "TerminalPrompts.h"

#include "Console.h"
#include "Interrupt.h"
#include "dialogs/FSummary.h"
#include "dialogs/FUpdateChoice.h"
#include "dialogs/Notices.h"
#include "startup/RunSettings.h"

namespace brindle::cli {

namespace {

const QString cancelQuestion = QStringLiteral("Cancel this operation? ");
constexpr QChar escape(0x1b);

QString lines(const QString& text)
{
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString column(const QString& text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '), true);
}

bool usable(const FUpdateChoice::Control& button)
{
    return button.visible && button.enabled;
}

} // namespace

Prompts::Answer TerminalPrompts::messageBox(const QString& text, Buttons buttons, Icon,
                                            const QString& title, bool)
{
    QTextStream& err = beginOutput();
    err << title << ": " << lines(text);
    switch (buttons) {
    case Buttons::Ok:
        err << '\n';
        err.flush();
        return Ok;
    case Buttons::OkCancel:
        return ask(QStringLiteral("\n(o)k or (c)ancel? "),
                   {{QLatin1Char('o'), Ok}, {QLatin1Char('c'), Cancel}}, Cancel);
    case Buttons::YesNo:
        break;
    }
    if (text == cancelQuestion && m_cancelConfirmed) {
        m_cancelConfirmed = false;
        err << "yes\n";
        return Yes;
    }
    // Stopping a run writes nothing more; declining anything else changes nothing.
    const QString question = QStringLiteral("(y)es or (n)o? ");
    return ask(lines(text).endsWith(QLatin1Char('\n')) ? question : QLatin1Char(' ') + question,
               {{QLatin1Char('y'), Yes}, {QLatin1Char('n'), No}},
               text == cancelQuestion ? Yes : No);
}

Prompts::Answer TerminalPrompts::ask(const QString& question, const QList<KeyAnswer>& keys,
                                     Answer cautious)
{
    QTextStream& err = m_console.err();
    err << question;
    err.flush();
    while (m_console.interactive() && !interrupt::requested()) {
        const QChar key = m_console.readKey().toLower();
        if (key.isNull()) {
            break;
        }
        for (const KeyAnswer& keyAnswer : keys) {
            if (key == keyAnswer.first) {
                err << key << '\n';
                return keyAnswer.second;
            }
        }
    }
    err << (cautious == Yes ? "yes" : cautious == No ? "no" : "cancel") << noAnswer() << '\n';
    return cautious;
}

void TerminalPrompts::showUpdateChoice(FUpdateChoice& dialog)
{
    dialog.Form_Activate();
    printDialog(dialog);
    QTextStream& err = m_console.err();
    while (!dialog.hidden) {
        err << keyLine(dialog);
        err.flush();
        const QChar key = m_console.interactive() ? m_console.readKey() : QChar();
        if (key.isNull() || interrupt::requested()) {
            err << "cancel" << noAnswer() << '\n';
            m_cancelConfirmed = true;
            dialog.cmdCancel_Click();
            continue;
        }
        err << key << '\n';
        if (!press(dialog, key.toLower())) {
            err << "Press one of the keys in brackets.\n";
        }
    }
}

QString TerminalPrompts::noAnswer() const
{
    return interrupt::requested()    ? QStringLiteral(" (Ctrl-C)")
           : m_console.interactive() ? QStringLiteral(" (end of input)")
                                     : QStringLiteral(" (no terminal to answer)");
}

QTextStream& TerminalPrompts::beginOutput()
{
    if (m_console.interactive()) {
        m_console.err() << "\r\x1b[K"; // over the progress line
    }
    return m_console.err();
}

void TerminalPrompts::printDialog(const FUpdateChoice& dialog)
{
    QTextStream& err = beginOutput();
    err << "\n== " << dialog.caption << " ==\n";
    if (!dialog.lblWarning.isEmpty()) {
        err << lines(dialog.lblWarning) << '\n';
    }
    const std::pair<const FUpdateChoice::Control*, const FUpdateChoice::Control*> header[] = {
        {&dialog.lblLastName, &dialog.txtLastName}, {&dialog.lblFirstName, &dialog.txtFirstName}};
    for (const auto& [label, value] : header) {
        if (label->visible) {
            err << "  " << column(label->caption + ':', 14) << ' ' << value->caption << '\n';
        }
    }
    err << "  " << column(QStringLiteral("VEXO Card ID:"), 14) << ' '
        << dialog.txtCardIdentification.caption << '\n';
    if (std::any_of(dialog.rows.begin(), dialog.rows.end(),
                    [](const auto& r) { return r.visible; })) {
        err << "  " << column(QString(), 22) << ' ' << column(QStringLiteral("Existing Detail"), 24)
            << " New Detail\n";
    }
    for (const FUpdateChoice::ChangeRow& row : dialog.rows) {
        if (row.visible) {
            err << "  " << column(row.label, 22) << ' ' << column(row.existing, 24) << ' '
                << row.updated << '\n';
        }
    }
    if (dialog.lblMoreThanFive.visible) {
        err << "  " << dialog.lblMoreThanFive.caption << '\n';
    }
}

QString TerminalPrompts::keyLine(const FUpdateChoice& dialog) const
{
    QStringList keys;
    if (usable(dialog.cmdOK)) {
        keys << (dialog.cmdOK.caption == QLatin1String("Add") ? QStringLiteral("(a)dd")
                                                              : QStringLiteral("(u)pdate"));
    }
    if (usable(dialog.cmdReject)) {
        keys << QStringLiteral("(s)kip");
    }
    if (usable(dialog.cmdUpdateAll)) {
        keys << QStringLiteral("update a(l)l");
    }
    if (usable(dialog.cmdCancel)) {
        keys << QStringLiteral("(c)ancel");
    }
    return keys.join(QStringLiteral("  ")) + QStringLiteral("? ");
}

bool TerminalPrompts::press(FUpdateChoice& dialog, QChar key)
{
    const QChar okKey =
        dialog.cmdOK.caption == QLatin1String("Add") ? QLatin1Char('a') : QLatin1Char('u');
    if (key == okKey && usable(dialog.cmdOK)) {
        dialog.cmdOK_Click();
    } else if (key == QLatin1Char('s') && usable(dialog.cmdReject)) {
        dialog.cmdReject_Click();
    } else if (key == QLatin1Char('l') && usable(dialog.cmdUpdateAll)) {
        dialog.cmdUpdateAll_Click();
    } else if ((key == QLatin1Char('c') || key == escape) && usable(dialog.cmdCancel)) {
        dialog.cmdCancel_Click();
    } else {
        return false;
    }
    return true;
}

void TerminalPrompts::showNotice(Notice& notice)
{
    if (!m_noticesShown.contains(notice.objectName())) {
        m_noticesShown.insert(notice.objectName());
        QTextStream& err = beginOutput();
        err << "\n== " << notice.title() << " ==\n";
        for (const QString& text : notice.texts()) {
            err << text.trimmed() << '\n';
        }
        err.flush();
    }
    notice.cmdOK_Click();
}

void TerminalPrompts::showSummary(FSummary& summary)
{
    QTextStream& out = m_console.out();
    out << "\n"
        << summary.caption << '\n'
        << summary.lblFinishHeader << '\n'
        << summary.lblFinishBody << '\n';
    for (const FSummary::Counter* counter :
         {&summary.transferred, &summary.updated, &summary.rejected}) {
        out << "  " << column(counter->label + ':', 18) << ' ' << counter->value << ' '
            << counter->unit << '\n';
    }
    const FSummary::Tally& tally = summary.tally;
    out << "  Of " << summary.TotalCards
        << (summary.settings().glTransferAction == RunSettings::Import ? " contacts: " : " cards: ")
        << tally.added << " added, " << tally.changed << " changed, " << tally.unchanged
        << " unchanged, " << tally.skipped << " skipped, " << tally.rejected << " rejected, "
        << summary.notReached() << " not reached\n";
    out.flush();
}

} // namespace brindle::cli
