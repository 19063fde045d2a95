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
    const char* rule;
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
    QStringList records() const
    {
        qputenv("BRINDLE_APP_DIR", sandbox->root.toUtf8());
        const QStringList runs = listRuns(runsFolder());
        qunsetenv("BRINDLE_APP_DIR");
        return runs;
    }
};

TEST_P(DryRun, WritesNothingAndListsWhatTheRunThenDoes)
{
    const DryRow& row = GetParam();
    sandbox->makeCompanyFile(40);
    sandbox->setSetting("DisableOutlookFolders", row.disableFolders);
    expectRun("export");
    execSql(sandbox->companyFile,
            QStringLiteral("UPDATE Addresses SET City = 'Broome' WHERE Location = 1 AND "
                           "CardRecordID = %1")
                .arg(firstCard(sandbox->companyFile, "IsInactive = 'N'")));
    const auto before = fingerprint();

    const CliRun dry = expectRun(row.direction, {"--rule", row.rule, "--dry-run"});

    EXPECT_EQ(fingerprint(), before);
    EXPECT_TRUE(
        QFileInfo::exists(sandbox->root + (*row.direction == 'i' ? "/VEXOImport-dry-run.html"
                                                                 : "/OutlookImport-dry-run.html")));
    QStringList listed = dry.out.section("The run would:\n", 1)
                             .section("Report:", 0, 0)
                             .split(u'\n', Qt::SkipEmptyParts);
    for (QString& line : listed) {
        line.remove(0, 2);
    }
    EXPECT_EQ(listed.join(u'\n').contains(QLatin1String("Broome")), *row.rule == 'u')
        << qPrintable(dry.out);
    const qsizetype kept = records().size();
    expectRun(row.direction, {"--rule", row.rule});
    const QStringList runs = records();
    EXPECT_EQ(runs.size() > kept ? listChanges(RecordedRun::read(runs.last())) : QStringList(),
              listed)
        << "a run that changes nothing keeps no record";
}

INSTANTIATE_TEST_SUITE_P(Runs, DryRun,
                         testing::Values(DryRow{"import", "import", "0", "update"},
                                         DryRow{"import_categories", "import", "1", "update"},
                                         DryRow{"import_keep", "import", "0", "keep"},
                                         DryRow{"export", "export", "0", "update"},
                                         DryRow{"export_categories", "export", "1", "update"},
                                         DryRow{"export_keep", "export", "1", "keep"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace brindle::test
