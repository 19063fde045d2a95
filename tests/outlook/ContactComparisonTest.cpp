#include "SyncFixture.h"
#include "TableFile.h"

namespace brindle {
namespace {

class AreDifferentOutlookContacts : public test::SyncFixture
{
protected:
    std::shared_ptr<contacts::ContactItem> contact(contacts::Application& app, const QString& field)
    {
        const auto item =
            app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10)->Items().Add();
        for (const auto& [name, value] : test::tablePairs(field)) {
            item->setProperty(name, value);
        }
        return item;
    }
};

TEST_F(AreDifferentOutlookContacts, ListsTheChangedPropertiesInTheirOrder)
{
    enableLog();
    for (const QStringList& row : test::tableRows(QStringLiteral("contact-differences.txt"))) {
        SCOPED_TRACE(row[0].toStdString());
        Differences expected;
        for (const auto& [key, values] : test::tablePairs(row[3])) {
            const QString text = values.toString();
            expected.append({key, text.section(u'>', 0, 0), text.section(u'>', 1)});
        }
        contacts::Application app(store.path());
        const auto existing = contact(app, row[1]);
        const auto updated = contact(app, row[2]);
        const qsizetype loggedBefore = logLines().size();
        Differences differences{{QStringLiteral("stale"), {}, {}}};
        EXPECT_EQ(process.contacts().AreDifferentOutlookContacts(*updated, *existing, differences),
                  !expected.isEmpty());
        EXPECT_EQ(differences, expected);
        const QStringList logged = logLines().mid(loggedBefore);
        ASSERT_EQ(logged.size(), expected.size());
        for (qsizetype i = 0; i < logged.size(); ++i) {
            const Difference& d = expected[i];
            EXPECT_TRUE(logged[i].endsWith(
                QStringLiteral(
                    " VEXOBrindle.FProcess.AreDifferentOutlookContacts %1 OLD: %2| NEW:%3| ")
                    .arg(d.key, d.existing, d.updated)))
                << logged[i].toStdString();
        }
    }
}

} // namespace
} // namespace brindle
