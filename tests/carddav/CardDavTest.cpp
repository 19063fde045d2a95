// brindle-cli carddav and --sync against a Radicale server on the loopback,
// changed behind Brindle's back over HTTP as a phone would.
#include "ProductTest.h"
#include "QtPrinters.h"
#include "contactstore/VCard.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

namespace brindle::test {
namespace {

const QString password = QStringLiteral("Pw-7f3a91c2e5");
const QRegularExpression tel(QStringLiteral("\n(TEL[^:]*:)[^\r\n]*"));

QString command(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(30'000)) << qPrintable(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The cards in a folder and below, hidden ones left out.
int stored(const QString& folder)
{
    int count = 0;
    for (QDirIterator it(folder, {"*.vcf"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        count += it.next().contains("/.") ? 0 : 1;
    }
    return count;
}

// A Radicale of the test's own, with one user, alice.
class Radicale
{
public:
    explicit Radicale(const QString& folder) : folder(folder)
    {
        command("htpasswd", {"-cbp", folder + "/users", "alice", password});
        setPassword(password);
        start();
    }
    ~Radicale() { stop(); }
    void start()
    {
        if (m_process.state() == QProcess::NotRunning) {
            // Started again, on the same port.
            m_process.start(BRINDLE_SCRIPTS "/local-radicale.sh", {folder, m_port});
            m_process.waitForReadyRead(20'000);
            m_url = QString::fromUtf8(m_process.readLine()).trimmed();
            m_port = m_url.section(':', 2).chopped(1);
        }
    }
    void stop()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }
    QString url() const { return m_url; }
    void setPassword(const QString& text) const { writeFile(folder + "/password", text.toUtf8()); }
    QString get(const QString& path, const QStringList& args = {}) const
    {
        return command("curl",
                       QStringList{"-sfu", "alice:" + password, m_url.chopped(1) + path} + args);
    }
    QString put(const QString& path, const QString& card) const
    {
        // A phone sends CR LF.
        return get(path,
                   {"-XPUT", "--data-binary", QString(card).remove('\r').replace("\n", "\r\n")});
    }
    // Every card by its href, as Radicale keeps them.
    QMap<QString, QString> cards() const
    {
        QMap<QString, QString> cards;
        const QString root = folder + "/collections/collection-root";
        for (QDirIterator it(root, {"*.vcf"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            QFile file(it.next());
            if (!file.fileName().contains("/.") && file.open(QIODevice::ReadOnly)) {
                cards.insert(QUrl::toPercentEncoding(file.fileName().mid(root.size()), "/"),
                             QString::fromUtf8(file.readAll()));
            }
        }
        return cards;
    }

    const QString folder;

private:
    QString m_url;
    QString m_port;
    QProcess m_process;
};

// A company file exported to the server with --sync, in one layout.
class Paired : public ProductTest
{
public:
    void pair(const char* disableFolders)
    {
        ProductTest::SetUp();
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
        sandbox->makeCompanyFile(40);
        sandbox->setSetting("DisableOutlookFolders", QLatin1String(disableFolders));
        const CliRun paired = setup(server.url());
        ASSERT_EQ(paired.exitCode, 0) << qPrintable(paired.err);
        expectRun("export", {"--rule", "update", "--sync"});
    }
    CliRun setup(const QString& url) const
    {
        return sandbox->cli({"carddav", "setup", url, "--username", "alice", "--password-command",
                             "cat \"" + server.folder + "/password\""});
    }
    QString sync() const
    {
        const CliRun run = sandbox->cli({"carddav", "sync"});
        EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
        return run.out;
    }

    QTemporaryDir serverDir{scratchPath()};
    Radicale server{serverDir.path()};
};

// DisableOutlookFolders, and the collection new customers go to.
class CardDav : public Paired,
                public testing::WithParamInterface<std::pair<const char*, const char*>>
{
protected:
    void SetUp() override { pair(GetParam().first); }
};

// A phone changes one contact, deletes another and adds one; a third
// changes both here and on the phone.
TEST_P(CardDav, ChangesMadeOnTheServerReachTheCompanyFileAlone)
{
    QMap<QString, QString> cards = server.cards();
    const StoreFiles exported = storeFiles(sandbox->store);
    // What a phone shows of the cards: their names and phones.
    const auto shown = [](QString cards) {
        QStringList lines;
        for (const auto& line :
             QRegularExpression("\nFN:.*|\nTEL.*").globalMatch(cards.remove('\r'))) {
            lines << line.captured();
        }
        lines.sort();
        return lines;
    };
    QString local;
    for (const ContactFile& file : exported) {
        local += QString::fromUtf8(file.bytes);
    }
    ASSERT_EQ(shown(cards.values().join(QString())), shown(local));

    const auto phonedOne = [&](auto from) {
        return std::find_if(from, cards.cend(), [](const QString& card) {
            return card.contains(tel) && linkedCard(card.toUtf8()) != 0;
        });
    };
    const auto phoned = phonedOne(cards.cbegin());
    const auto both = phonedOne(std::next(phoned));
    ASSERT_NE(both, cards.cend());
    const qint32 phonedCard = linkedCard(phoned->toUtf8());
    const qint32 bothCard = linkedCard(both->toUtf8());
    server.put(phoned.key(), QString(*phoned).replace(tel, "\n\\1(03) 9999 1234"));
    server.put(both.key(), QString(*both).replace(tel, "\n\\1(03) 1111 2222"));
    server.get(cards.lastKey(), {"-XDELETE"});
    server.put(QStringLiteral("/alice/%1/new.vcf").arg(QLatin1String(GetParam().second)),
               "BEGIN:VCARD\nVERSION:4.0\nUID:new\nN:Newman;Grace;;;\nFN:Grace Newman\n"
               "CATEGORIES:Customer\nEND:VCARD\n");
    const QString bothPath = contactOf(exported, bothCard);
    const QByteArray mine =
        QString::fromUtf8(exported[bothPath].bytes)
            .replace(QRegularExpression("\r\n(TEL[^:]*:)[^\r]*"), "\r\n\\1(03) 3333 4444")
            .toUtf8();
    writeFile(sandbox->store + '/' + bothPath, mine);
    sandbox->setSetting("CardDavSync", "1");
    const StoreFiles waiting = storeFiles(sandbox->store);
    expectRun("import", {"--rule", "update", "--dry-run"});
    EXPECT_EQ(changedKeys(waiting, storeFiles(sandbox->store)), QStringList())
        << "a dry run syncs not";

    const CardRows before = cardRows(sandbox->companyFile);
    const CliRun run = expectRun("import", {"--rule", "update", "--sync"});
    EXPECT_TRUE(run.out.contains("from the server: 1 new, 2 changed, 1 deleted; 1 changed on both"))
        << qPrintable(run.out);
    const CardRows after = cardRows(sandbox->companyFile);
    EXPECT_EQ(changedKeys(before, after),
              (QList<qint32>{qMin(phonedCard, bothCard), qMax(phonedCard, bothCard),
                             before.lastKey() + 1}));
    EXPECT_TRUE(after[phonedCard].contains("(03) 9999 1234"));
    EXPECT_TRUE(after[bothCard].contains("(03) 1111 2222"));
    EXPECT_TRUE(after.last().contains("Newman|Grace"));
    QDirIterator aside(sandbox->store + "/.carddav-conflicts", {"*.vcf"});
    QFile kept(aside.hasNext() ? aside.next() : QString());
    EXPECT_TRUE(kept.open(QIODevice::ReadOnly) && kept.readAll() == mine);

    EXPECT_EQ(QFile::permissions(dir.path() + "/config/brindle/carddav/config"),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    for (QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile file(it.next());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) && !file.readAll().contains(password.toUtf8()))
            << qPrintable(file.fileName());
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, CardDav,
                         testing::Values(std::pair{"0", "VEXO%20Customers"},
                                         std::pair{"1", "Contacts"}));

struct FaultRow
{
    const char* name;
    void (*make)(class Fault&);
    const char* said; // null: the fault strikes a sync under way
};

class Fault : public Paired, public testing::WithParamInterface<FaultRow>
{
public:
    void SetUp() override { pair("0"); }
    void TearDown() override
    {
        qputenv("PATH", path);
        garbage.kill();
        garbage.waitForFinished();
    }

    QByteArray path = qgetenv("PATH");
    QProcess garbage;
    QProcess syncing;
};

// A fault ends the sync with one line before an import starts, changes
// nothing and tears nothing; mended, the next sync completes what was begun.
TEST_P(Fault, ChangesNothingAndTheNextSyncCompletes)
{
    const auto cards = server.cards();
    server.put(cards.firstKey(), QString(cards.first()).replace("\nEND", "\nNOTE:new\nEND"));
    for (int i = 0; i < 12; ++i) {
        writeFile(sandbox->store + QStringLiteral("/Contacts/VEXO Customers/%1.vcf").arg(i),
                  QStringLiteral("BEGIN:VCARD\r\nVERSION:4.0\r\nUID:n%1\r\nFN:N%1\r\nEND:VCARD\r\n")
                      .arg(i)
                      .toUtf8());
    }
    const StoreFiles files = storeFiles(sandbox->store);
    const CardRows rows = cardRows(sandbox->companyFile);
    const int before = stored(server.folder);
    if (GetParam().said) {
        GetParam().make(*this);
        sandbox->setSetting("CardDavSync", "1"); // as --sync, for every run
        const CliRun run = sandbox->run("import");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err.count(GetParam().said), 1) << qPrintable(run.err);
        EXPECT_EQ(changedKeys(files, storeFiles(sandbox->store)), QStringList());
    } else {
        syncing.setProcessEnvironment(sandbox->environment());
        syncing.start(BRINDLE_BIN_DIR "/brindle-cli", {"carddav", "sync"});
        while (stored(server.folder) == before && syncing.state() != QProcess::NotRunning) {
            QThread::msleep(5);
        }
        GetParam().make(*this);
        syncing.waitForFinished();
        EXPECT_TRUE(syncing.exitStatus() == QProcess::CrashExit || syncing.exitCode() == 1);
        EXPECT_LT(stored(server.folder), before + 12) << "the sync was not cut short";
        for (const ContactFile& file : storeFiles(sandbox->store)) {
            EXPECT_EQ(contacts::VCard::parse(file.bytes).error, QString()); // none torn
        }
    }
    EXPECT_EQ(changedKeys(rows, cardRows(sandbox->companyFile)), QList<qint32>());

    TearDown();
    server.setPassword(password);
    server.start();
    EXPECT_EQ(setup(server.url()).exitCode, 0);
    sync();
    EXPECT_EQ(stored(server.folder), stored(sandbox->store + "/Contacts"));
    EXPECT_TRUE(sync().contains(
        ": 0 new, 0 changed, 0 deleted; from the server: 0 new, 0 changed, 0 deleted\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, Fault,
    testing::Values(
        FaultRow{"WrongPassword", [](Fault& t) { t.server.setPassword("wrong"); },
                 "refused the login"},
        FaultRow{"ServerDown", [](Fault& t) { t.server.stop(); }, "cannot be reached"},
        FaultRow{"NotCardDav",
                 [](Fault& t) {
                     t.garbage.start("python3", {"-um", "http.server", "-b", "127.0.0.1", "0"});
                     t.garbage.waitForReadyRead(5000);
                     const QString said = QString::fromUtf8(t.garbage.readLine());
                     t.setup(QRegularExpression("http://\\S+/").match(said).captured());
                 },
                 "not one vdirsyncer understands"},
        FaultRow{"NoVdirsyncer", [](Fault&) { qputenv("PATH", "/nonexistent"); },
                 "vdirsyncer is not installed"},
        FaultRow{"Killed", [](Fault& t) { t.syncing.kill(); }},
        FaultRow{"ServerStoppedMidway", [](Fault& t) { t.server.stop(); }}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace brindle::test
