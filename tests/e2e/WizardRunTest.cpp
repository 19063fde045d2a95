// The wizard on Qt's offscreen platform, driven by clicks through real runs
// on a sample company file and the contacts an earlier export made.
#include "ProgramFixture.h"
#include "QtPrinters.h"
#include "Sandbox.h"
#include "screens/ChooseActionWindow.h"
#include "screens/ModalScript.h"
#include "screens/SettingsWindow.h"
#include "screens/SummaryWindow.h"
#include "screens/Wizard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace brindle::test {
namespace {

QString textOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* line = qobject_cast<const QLineEdit*>(widget)) {
        return line->text();
    }
    return QStringLiteral("<no text>");
}

// The summary's texts, as rows of: caption, value, unit.
struct SummaryTexts
{
    QString title;
    QString heading;
    QStringList rows;
};

SummaryTexts summaryTexts(const SummaryWindow& summary)
{
    const auto text = [&summary](const char* name) {
        return textOf(summary.findChild<QWidget*>(QString::fromLatin1(name)));
    };
    SummaryTexts texts{summary.windowTitle(), text("lblFinishHeader"), {}};
    for (const char* row : {"Transferred", "Updated", "Rejected"}) {
        const QByteArray name(row);
        texts.rows << text("lbl" + name) + u'|' + text("txt" + name) + u'|' +
                          text("lbl" + name + "Cards");
    }
    return texts;
}

class WizardRun : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        sandbox = std::make_unique<Sandbox>(folder.path());
        qputenv("BRINDLE_CONTACTS", sandbox->store.toUtf8());
        sandbox->makeCompanyFile(120);
        const CliRun exported = sandbox->run("export");
        ASSERT_EQ(exported.exitCode, 0) << qPrintable(exported.out + exported.err);
        wizard = std::make_unique<Wizard>(context, settings);
        ASSERT_TRUE(wizard->start(sandbox->options()));
        action = wizard->chooseActionWindow();
        ASSERT_TRUE(action->isVisible());
    }
    void TearDown() override
    {
        wizard.reset();
        qunsetenv("BRINDLE_CONTACTS");
        ProgramFixture::TearDown();
    }

    template <typename T = QAbstractButton> T* child(QWidget* window, const char* name)
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Closes the summary and expects the program to end with every window
    // gone and the settings written back.
    void closeSummary(SummaryWindow& summary)
    {
        setBrindleValue(QStringLiteral("LastConnectedDate"), QString());
        child(&summary, "cmdClose")->click();
        EXPECT_TRUE(settings.gbExiting);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            EXPECT_FALSE(window->isVisible()) << qPrintable(window->objectName());
        }
        EXPECT_FALSE(brindleValue(QStringLiteral("LastConnectedDate")).isEmpty());
    }

    std::unique_ptr<Sandbox> sandbox;
    std::unique_ptr<Wizard> wizard;
    ChooseActionWindow* action = nullptr;
};

// Three suppliers have moved and two customers are new: the first changed
// contact is confirmed with Update All, which answers for the others.
TEST_F(WizardRun, ExportConfirmedWithUpdateAll)
{
    const QString file = sandbox->companyFile;
    execSql(file, QStringLiteral("UPDATE Addresses SET City = 'Alice Springs' WHERE Location = 1 "
                                 "AND CardRecordID IN (SELECT CardRecordID FROM Cards WHERE "
                                 "CardTypeID = 'S' AND IsInactive = 'N' ORDER BY CardRecordID "
                                 "LIMIT 3)"));
    for (const char* name : {"Oakridge Mills", "Pinecrest Foods"}) {
        execSql(file, QStringLiteral("INSERT INTO Cards (CardTypeID, LastName, IsIndividual, "
                                     "IsInactive) VALUES ('C', '%1', 'N', 'N')")
                          .arg(QLatin1String(name)));
    }
    const int cards = sqlValue(file, QStringLiteral("SELECT count(*) FROM Cards WHERE "
                                                    "IsInactive = 'N'"))
                          .toInt();
    const StoreFiles before = storeFiles(sandbox->store);

    child<QComboBox>(action, "cboRulesFilter")->setCurrentIndex(2); // Ask me to confirm updates
    child(action, "cmdSettings")->click();
    SettingsWindow* settings = wizard->settingsWindow();
    ASSERT_TRUE(settings->isVisible());
    child(settings, "cmdAccept")->click();
    ASSERT_TRUE(action->isVisible());
    ModalScript modals({ModalScript::click(QStringLiteral("Update All"))});
    child(action, "cmdToOutlook")->click();

    EXPECT_EQ(modals.titles, QStringList{"Brindle - Confirm Update to Outlook Contact"});
    EXPECT_EQ(modals.unanswered(), 0);
    EXPECT_FALSE(wizard->progress().isVisible());
    SummaryWindow* summary = wizard->prompts().summaryWindow();
    ASSERT_NE(summary, nullptr);
    ASSERT_TRUE(summary->isVisible());
    const SummaryTexts texts = summaryTexts(*summary);
    EXPECT_EQ(texts.title, QStringLiteral("Brindle - Export Summary"));
    EXPECT_EQ(texts.heading, QStringLiteral("Export Complete"));
    EXPECT_EQ(texts.rows,
              (QStringList{QStringLiteral("Added|2 of %1|new contacts").arg(cards),
                           QStringLiteral("Updated|%1|duplicate contacts").arg(cards - 2),
                           QStringLiteral("Rejected|0|cards")}));

    const StoreFiles after = storeFiles(sandbox->store);
    const QStringList changed = changedKeys(before, after);
    ASSERT_EQ(changed.size(), 5) << qPrintable(changed.join(u'\n'));
    int moved = 0;
    for (const QString& path : changed) {
        moved += after[path].bytes.contains("Alice Springs");
    }
    EXPECT_EQ(moved, 3);
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("OutlookImport.html"))));

    closeSummary(*summary);
    EXPECT_EQ(brindleValue(QStringLiteral("RulesFilter")), QStringLiteral("3"));
    EXPECT_EQ(brindleValue(QStringLiteral("DisableOutlookFolders")), QStringLiteral("0"));
}

// A contact has lost its phone and another has a new one: the blank field
// is announced once and not taken over, the new phone is.
TEST_F(WizardRun, ImportWithABlankFieldNotice)
{
    StoreFiles files = storeFiles(sandbox->store);
    QStringList phoned;
    for (auto it = files.cbegin(); it != files.cend() && phoned.size() < 2; ++it) {
        if (it->bytes.contains("\r\nTEL;TYPE=work,voice:")) {
            phoned << it.key();
        }
    }
    ASSERT_EQ(phoned.size(), 2);
    const auto phoneOf = [](const QByteArray& bytes) {
        const qsizetype at = bytes.indexOf("\r\nTEL;TYPE=work,voice:") + 22;
        return bytes.mid(at, bytes.indexOf("\r\n", at) - at);
    };
    const QByteArray lostPhone = phoneOf(files[phoned[0]].bytes);
    const QByteArray oldPhone = phoneOf(files[phoned[1]].bytes);
    writeFile(sandbox->store + u'/' + phoned[0],
              files[phoned[0]].bytes.replace("\r\nTEL;TYPE=work,voice:" + lostPhone, ""));
    writeFile(sandbox->store + u'/' + phoned[1],
              files[phoned[1]].bytes.replace(oldPhone, "(08) 8123 4567"));
    const qint32 lost = linkedCard(files[phoned[0]].bytes);
    const qint32 changed = linkedCard(files[phoned[1]].bytes);
    const CardRows before = cardRows(sandbox->companyFile);
    const int contacts = int(files.size());

    child<QComboBox>(action, "cboRulesFilter")->setCurrentIndex(0); // Update existing contacts
    ModalScript modals({ModalScript::click(QStringLiteral("Continue"))});
    child(action, "cmdToVEXO")->click();

    EXPECT_EQ(modals.titles, QStringList{"Brindle - Blank Field Warning"});
    EXPECT_EQ(modals.unanswered(), 0);
    SummaryWindow* summary = wizard->prompts().summaryWindow();
    ASSERT_NE(summary, nullptr);
    const SummaryTexts texts = summaryTexts(*summary);
    EXPECT_EQ(texts.title, QStringLiteral("Brindle - Import Summary"));
    EXPECT_EQ(texts.heading, QStringLiteral("Import Complete"));
    EXPECT_EQ(texts.rows,
              (QStringList{QStringLiteral("Updated or added|%1 of %1|cards").arg(contacts),
                           QStringLiteral("Updated or added|0|cards with warnings"),
                           QStringLiteral("Skipped|0|contacts")}));

    const CardRows after = cardRows(sandbox->companyFile);
    EXPECT_EQ(changedKeys(before, after), QList<qint32>{changed});
    EXPECT_EQ(after[changed],
              QString(before[changed])
                  .replace(QString::fromUtf8(oldPhone), QStringLiteral("(08) 8123 4567")));
    EXPECT_TRUE(after[lost].contains(QString::fromUtf8(lostPhone)))
        << "a blank field loses nothing";
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("VEXOImport.html"))));

    closeSummary(*summary);
    EXPECT_EQ(brindleValue(QStringLiteral("RulesFilter")), QStringLiteral("0"));
}

} // namespace
} // namespace brindle::test
