#pragma once

#include "ProgramFixture.h"
#include "QtPrinters.h"
#include "ScriptedProgress.h"
#include "cardlib/CardFixture.h"
#include "review/FSummary.h"
#include "run/FProcess.h"
#include "samples/CompanyFileGenerator.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <functional>

namespace brindle::test {

// A progress window that runs an action when a caption is shown.
class CaptionHooks : public ScriptedProgress
{
public:
    QHash<QString, std::function<void()>> onCaption;

    void setCaption(const QString& caption) override
    {
        ScriptedProgress::setCaption(caption);
        if (const auto action = onCaption.take(caption)) {
            action();
        }
    }
};

// A sample company file in the program folder and a contact store of the
// test's own ($BRINDLE_CONTACTS), for whole runs through the core.
class RunFixture : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        ASSERT_TRUE(store.isValid());
        qputenv("BRINDLE_CONTACTS", store.path().toUtf8());
        file = folder.filePath(QStringLiteral("company.sqlite"));
        MMain::gobjOptions = std::make_unique<clsOptions>();
        MMain::gobjOptions->Analyse(QStringLiteral("DATABASE=") + file +
                                    QStringLiteral("<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES"
                                                   "<PERSONAL=YES"));
        MMain::gbShowOutlookWarning = false;
        MMain::glRulesFilter = 0;
        MMain::glTransferInactives = 0;
    }
    void TearDown() override
    {
        qunsetenv("BRINDLE_CONTACTS");
        ProgramFixture::TearDown();
    }

    void makeCompanyFile(int countryCode = 1, int cards = 40)
    {
        samples::writeCompanyFile(file, {cards, countryCode, 3, {}}, samples::ExistingFile::Keep);
    }

    // The cards of the company file, in record order.
    QList<TarvoCards::CCard> storedCards()
    {
        TarvoCards::CConnection connection;
        connection.Settings().DataFile = file;
        EXPECT_TRUE(connection.Connect());
        TarvoCards::CCardsColl cards;
        cards.Load({}, QStringLiteral("CardRecordID"));
        return {cards.begin(), cards.end()};
    }
    TarvoCards::CCard storedCard(const QString& condition)
    {
        const qint32 id = RawFile(file)
                              .value(QStringLiteral("SELECT CardRecordID FROM Cards WHERE ") +
                                     condition + QStringLiteral(" ORDER BY CardRecordID"))
                              .toInt();
        for (const TarvoCards::CCard& stored : storedCards()) {
            if (stored.CardRecordID == id) {
                return stored;
            }
        }
        ADD_FAILURE() << "no card where " << qPrintable(condition);
        return {};
    }

    // Every row of the file, to compare before and after.
    QStringList rows()
    {
        QStringList all;
        RawFile raw(file);
        for (const char* sql : {"SELECT * FROM Cards ORDER BY CardRecordID",
                                "SELECT * FROM Addresses ORDER BY CardRecordID, Location"}) {
            QSqlQuery query(raw.db());
            EXPECT_TRUE(query.exec(QString::fromLatin1(sql)));
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.record().count(); ++i) {
                    values << query.value(i).toString();
                }
                all << values.join(QLatin1Char('|'));
            }
        }
        return all;
    }
    int count(const QString& sql) { return RawFile(file).value(sql).toInt(); }

    // The rows of a report in the program folder: last name, first name,
    // e-mail, message and status.
    QStringList reportRows(const QString& reportFile) const
    {
        QFile report(QDir(folder.path()).filePath(reportFile));
        if (!report.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QString text = QString::fromLocal8Bit(report.readAll());
        static const QRegularExpression cell(
            QStringLiteral("<TD><SPAN class='c433'>(.*)</SPAN></TD>"));
        QStringList cells;
        for (auto match = cell.globalMatch(text); match.hasNext();) {
            cells << match.next().captured(1);
        }
        QStringList rows;
        for (qsizetype i = 0; i + 5 <= cells.size(); i += 5) {
            if (cells[i] != QLatin1String("&nbsp")) {
                rows << cells.mid(i, 5).join(QLatin1Char('|'));
            }
        }
        return rows;
    }

    // The directory of a folder of the store: "" for the default folder.
    QString folderPath(const QString& name = {}) const
    {
        const QString contacts = store.path() + QStringLiteral("/Contacts");
        return name.isEmpty() ? contacts : contacts + u'/' + name;
    }

    QString file;
    QTemporaryDir store;
};

} // namespace brindle::test
