#pragma once

#include "cardlib/CardFixture.h"
#include "registry/IniHive.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace brindle::test {

inline const QString brindleKey = "Software\\VEXO\\VEXO Brindle";

// How one brindle-cli run ended, and what it printed.
struct CliRun
{
    int exitCode = -1;
    bool finished = false; // false: crashed, killed or timed out
    QString out;
    QString err;
};

// Each card of a company file as one text: its row, then its address rows.
using CardRows = QMap<qint32, QString>;

// A contact file: its bytes, and its inode and modification time, which any
// rewrite changes.
struct ContactFile
{
    QByteArray bytes;
    QString stamp;
    bool operator==(const ContactFile&) const = default;
};
// The contact files of a store, by their path below its root.
using StoreFiles = QMap<QString, ContactFile>;

// The product installed in one folder, as the accounting software starts it:
// the program folder (with the card library, the hive, the reports and the
// log), a company file and a contact store. Runs brindle-cli in it.
class Sandbox
{
public:
    explicit Sandbox(const QString& root);

    // A sample company file of all four card types.
    void makeCompanyFile(int cards, int countryCode = 1, quint32 seed = 7);
    void setSetting(const QString& name, const QString& value) const
    {
        ASSERT_TRUE(IniHive(hive).writeValue(brindleKey, name, value));
    }
    QString setting(const QString& name) const { return IniHive(hive).readValue(brindleKey, name); }
    // The option string naming the company file and all four types.
    QString options() const
    {
        return "DATABASE=" + companyFile +
               "<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES<PERSONAL=YES";
    }

    // Runs brindle-cli with these arguments to its end.
    CliRun cli(const QStringList& args) const;
    // import|export with the option string, under the rule "update" unless
    // others are given.
    CliRun run(const char* direction, const QStringList& extra = {}) const
    {
        return cli(arguments(direction, extra));
    }
    QStringList arguments(const char* direction, const QStringList& extra = {}) const;
    // Starts brindle-cli without waiting, for a test that kills it.
    void start(QProcess& process, const QStringList& args) const;
    // Another program's new customers, named name 0, name 1, ...; the
    // files are named after uid.
    void addCustomers(const QString& uid, int count, const QByteArray& name) const;
    // Takes the company file, the contact store and the settings of another.
    void copyFrom(const Sandbox& other) const;

    // Not 0: no file the runs write may grow past this many bytes.
    qint64 fileSizeLimit = 0;

    QString root;
    QString companyFile;
    QString store;
    QString hive;
};

// Where the tests make their folders: in memory when the system offers it,
// so the runs' syncs cost nothing (a killed process leaves the same there).
QString scratchPath();

CardRows cardRows(const QString& companyFile);
// The keys whose values differ between two states, sorted: the cards whose
// rows changed, the contact files rewritten; a key in only one counts.
template <typename Map>
QList<typename Map::key_type> changedKeys(const Map& before, const Map& after)
{
    QList<typename Map::key_type> changed;
    for (const auto& key : after.keys() + before.keys()) {
        if (!changed.contains(key) && before.value(key) != after.value(key)) {
            changed << key;
        }
    }
    std::sort(changed.begin(), changed.end());
    return changed;
}
qint32 firstCard(const QString& companyFile, const QString& condition);
int countCards(const QString& companyFile, const QString& condition = "IsInactive = 'N'");

// The files of a store and below, with also: hidden ones, folders.
StoreFiles storeFiles(const QString& storeRoot, const QStringList& patterns = {"*.vcf"},
                      QDir::Filters also = {});
// "" when the bytes are one whole vCard the store can read, else why not.
QString vcardProblem(const QByteArray& bytes);
// The contact with its first phone number replaced; old, when given, takes
// the number it had.
QByteArray withPhone(const QByteArray& bytes, const QString& phone, QString* old = nullptr);
// The record ID a contact links to (X-BRINDLE-CUSTOMER-ID), or 0.
qint32 linkedCard(const QByteArray& bytes);
// The path of the contact linked to a card, or "".
QString contactOf(const StoreFiles& files, qint32 cardRecordId);
// The contacts of a store by the card they link to (0: none), each without
// its UID line, which only names the file.
QMap<qint32, QByteArrayList> contactsByCard(const StoreFiles& files);

void writeFile(const QString& path, const QByteArray& bytes);
// Copies a folder with everything in it, hidden files included.
void copyFolder(const QString& from, const QString& to);

// A test with the product installed in a folder of its own.
class ProductTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        sandbox = std::make_unique<Sandbox>(dir.path());
    }

    // Runs brindle-cli import|export and expects it to complete.
    CliRun expectRun(const char* direction, const QStringList& extra = {})
    {
        CliRun run = sandbox->run(direction, extra);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0) << qPrintable(run.out + run.err);
        return run;
    }

    QTemporaryDir dir{scratchPath()};
    std::unique_ptr<Sandbox> sandbox;
};

// Names a parameterised test's rows by their name.
inline constexpr auto rowName = [](const auto& info) { return std::string(info.param.name); };

} // namespace brindle::test
