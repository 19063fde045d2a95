// A dry run writes nothing of the user's, and lists what the real run then does.
#include "ProductTest.h"
#include "runs/ChangeListing.h"
#include "runs/RunFiles.h"
#include "runs/Undo.h"

#include <QDirIterator>
#include <QFileInfo>

namespace brindle::test {
namespace {

struct DryRow
{
    const char* name;
    const char* direction;
    const char* disableFolders;
};

class DryRun : public ProductTest, public testing::WithParamInterface<DryRow>
{
protected:
    // Bytes and modification time of the company file, the hive and every
    // entry of the store.
    QMap<QString, QString> fingerprint() const
    {
        QMap<QString, QString> prints;
        QStringList paths{sandbox->companyFile, sandbox->hive};
        QDirIterator it(sandbox->store, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            paths << it.next();
        }
        for (const QString& path : std::as_const(paths)) {
            QFile file(path);
            const bool isFile = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
            prints.insert(
                path, QFileInfo(path).lastModified().toString(Qt::ISODateWithMs) +
                          (isFile ? QString::fromLatin1(file.readAll().toBase64()) : QString()));
        }
        return prints;
    }
    QStringList lastRunsChanges() const
    {
        qputenv("BRINDLE_APP_DIR", sandbox->root.toUtf8());
        const QStringList runs = listRuns(runsFolder());
        qunsetenv("BRINDLE_APP_DIR");
        return runs.isEmpty() ? QStringList() : listChanges(RecordedRun::read(runs.last()));
    }
};

TEST_P(DryRun, WritesNothingAndListsWhatTheRunThenDoes)
{
    const DryRow& row = GetParam();
    sandbox->makeCompanyFile(40);
    sandbox->setSetting(QStringLiteral("DisableOutlookFolders"), row.disableFolders);
    expectRun("export");
    execSql(sandbox->companyFile,
            QStringLiteral("UPDATE Addresses SET City = 'Broome' WHERE Location = 1 AND "
                           "CardRecordID = %1")
                .arg(firstCard(sandbox->companyFile, QStringLiteral("IsInactive = 'N'"))));
    const auto before = fingerprint();

    const CliRun dry = expectRun(row.direction, {"--rule", "update", "--dry-run"});

    EXPECT_EQ(fingerprint(), before);
    EXPECT_TRUE(
        QFileInfo::exists(sandbox->root + (*row.direction == 'i' ? "/VEXOImport-dry-run.html"
                                                                 : "/OutlookImport-dry-run.html")));
    QStringList listed = dry.out.section(QStringLiteral("The run would:\n"), 1)
                             .section(QStringLiteral("Report:"), 0, 0)
                             .split(u'\n', Qt::SkipEmptyParts);
    for (QString& line : listed) {
        line.remove(0, 2);
    }
    EXPECT_TRUE(listed.join(u'\n').contains(QLatin1String("Broome"))) << qPrintable(dry.out);
    expectRun(row.direction);
    EXPECT_EQ(lastRunsChanges(), listed);
}

INSTANTIATE_TEST_SUITE_P(Runs, DryRun,
                         testing::Values(DryRow{"import", "import", "0"},
                                         DryRow{"import_categories", "import", "1"},
                                         DryRow{"export", "export", "0"},
                                         DryRow{"export_categories", "export", "1"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace brindle::test
