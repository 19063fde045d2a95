// A dry run writes nothing of the user's, and lists what the real run then does.
#include "Sandbox.h"
#include "runs/ChangeListing.h"
#include "runs/RunFiles.h"
#include "runs/Undo.h"

#include <QFileInfo>
#include <QRegularExpression>

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
    // The company file, the hive and every entry of the store.
    StoreFiles fingerprint() const
    {
        StoreFiles prints = storeFiles(sandbox->root, {"Company.db", "hklm.ini"});
        prints.insert(storeFiles(sandbox->store, {"*"}, QDir::AllDirs | QDir::Hidden));
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
    RawFile(sandbox->companyFile)
        .exec("UPDATE Addresses SET City = 'Broome' WHERE Location = 1 AND CardRecordID = ?",
              {firstCard(sandbox->companyFile, "IsInactive = 'N'")});
    const auto before = fingerprint();

    const CliRun dry = expectRun(row.direction, {"--rule", row.rule, "--dry-run"});

    EXPECT_EQ(changedKeys(before, fingerprint()), QStringList());
    EXPECT_TRUE(QFileInfo::exists(sandbox->root +
                                  (*row.direction == 'i' ? "/VEXOImport" : "/OutlookImport") +
                                  "-dry-run.html"));
    QStringList listed = dry.out.section("The run would:\n", 1)
                             .section("Report:", 0, 0)
                             .split('\n', Qt::SkipEmptyParts)
                             .replaceInStrings(QRegularExpression("^  "), "");
    EXPECT_EQ(listed.join(' ').contains("Broome"), *row.rule == 'u') << qPrintable(dry.out);
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
                         rowName);

} // namespace
} // namespace brindle::test
