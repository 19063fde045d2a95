// brindle-cli carddav and --sync against a Radicale server on the loopback,
// changed behind Brindle's back over HTTP as a phone would.
#include "QtPrinters.h"
#include "Sandbox.h"
#include "contactstore/VCard.h"

#include <QRegularExpression>
#include <QThread>
#include <QUrl>

namespace brindle::test {
namespace {

const QString password = "Pw-7f3a91c2e5";

QString command(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(30'000)) << qPrintable(program);
    return QString::fromUtf8(process.readAllStandardOutput());
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
    StoreFiles cards() const
    {
        StoreFiles cards;
        const StoreFiles files = storeFiles(folder + "/collections/collection-root");
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            cards.insert(QUrl::toPercentEncoding('/' + it.key(), "/"), *it);
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
    const StoreFiles cards = server.cards();
    const StoreFiles exported = storeFiles(sandbox->store);
    // What a phone shows of the cards: their names and phones.
    const auto shown = [](const StoreFiles& files) {
        QStringList lines;
        for (const ContactFile& file : files) {
            for (const auto& line : QRegularExpression("\nFN:.*|\nTEL.*")
                                        .globalMatch(QString::fromUtf8(file.bytes).remove('\r'))) {
                lines << line.captured();
            }
        }
        lines.sort();
        return lines;
    };
    ASSERT_EQ(shown(cards), shown(exported));

    const auto phonedOne = [&](auto from) {
        return std::find_if(from, cards.cend(), [](const ContactFile& card) {
            return card.bytes.contains("\nTEL") && linkedCard(card.bytes) != 0;
        });
    };
    const auto phoned = phonedOne(cards.cbegin());
    const auto both = phonedOne(std::next(phoned));
    ASSERT_NE(both, cards.cend());
    const qint32 phonedCard = linkedCard(phoned->bytes);
    const qint32 bothCard = linkedCard(both->bytes);
    server.put(phoned.key(), withPhone(phoned->bytes, "(03) 9999 1234"));
    server.put(both.key(), withPhone(both->bytes, "(03) 1111 2222"));
    server.get(cards.lastKey(), {"-XDELETE"});
    server.put("/alice/" + QString(GetParam().second) + "/new.vcf",
               "BEGIN:VCARD\nVERSION:4.0\nUID:new\nN:Newman;Grace;;;\nFN:Grace Newman\n"
               "CATEGORIES:Customer\nEND:VCARD\n");
    const QString bothPath = contactOf(exported, bothCard);
    const QByteArray mine = withPhone(exported[bothPath].bytes, "(03) 3333 4444");
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
    const StoreFiles aside = storeFiles(sandbox->store + "/.carddav-conflicts");
    EXPECT_TRUE(!aside.isEmpty() && aside.first().bytes == mine);

    EXPECT_EQ(QFile::permissions(dir.path() + "/config/brindle/carddav/config"),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    const StoreFiles written = storeFiles(dir.path(), {"*"}, QDir::Hidden);
    for (auto it = written.cbegin(); it != written.cend(); ++it) {
        EXPECT_FALSE(it->bytes.contains(password.toUtf8())) << qPrintable(it.key());
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
    server.put(cards.firstKey(),
               QByteArray(cards.first().bytes).replace("\nEND", "\nNOTE:new\nEND"));
    sandbox->addCustomers("n", 12, "N");
    const StoreFiles files = storeFiles(sandbox->store);
    const CardRows rows = cardRows(sandbox->companyFile);
    const qsizetype before = server.cards().size();
    if (GetParam().said) {
        GetParam().make(*this);
        sandbox->setSetting("CardDavSync", "1"); // as --sync, for every run
        const CliRun run = sandbox->run("import");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err.count(GetParam().said), 1) << qPrintable(run.err);
        EXPECT_EQ(changedKeys(files, storeFiles(sandbox->store)), QStringList());
    } else {
        sandbox->start(syncing, {"carddav", "sync"});
        while (server.cards().size() == before && syncing.state() != QProcess::NotRunning) {
            QThread::msleep(5);
        }
        GetParam().make(*this);
        syncing.waitForFinished();
        EXPECT_TRUE(syncing.exitStatus() == QProcess::CrashExit || syncing.exitCode() == 1);
        EXPECT_LT(server.cards().size(), before + 12) << "the sync was not cut short";
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
    EXPECT_EQ(server.cards().size(), storeFiles(sandbox->store).size());
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
        FaultRow{"Killed", [](Fault& t) { t.syncing.kill(); }, nullptr},
        FaultRow{"ServerStoppedMidway", [](Fault& t) { t.server.stop(); }, nullptr}),
    rowName);

} // namespace
} // namespace brindle::test
