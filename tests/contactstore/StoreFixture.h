#pragma once

#include "QtPrinters.h"
#include "contactstore/Application.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>

namespace contacts::test {

using Values = std::initializer_list<std::pair<const char*, QVariant>>;

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A store in a temporary root, opened through the object model.
class StoreFixture : public ::testing::Test
{
protected:
    QString root() const { return m_dir.path(); }
    QString contactsDir() const { return root() + QStringLiteral("/Contacts"); }

    std::shared_ptr<Folder> defaultFolder(Application& app)
    {
        return app.GetNamespace("MAPI")->GetDefaultFolder(10);
    }

    std::shared_ptr<ContactItem> addContact(Folder& folder, Values values)
    {
        std::shared_ptr<ContactItem> item = folder.Items().Add();
        for (const auto& [name, value] : values) {
            item->setProperty(QString::fromLatin1(name), value);
        }
        item->Save();
        return item;
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

private:
    QTemporaryDir m_dir;

protected:
    Application m_app{root()};
    const std::shared_ptr<Folder> m_contacts = defaultFolder(m_app);
};

// The PlatformError number a call raises, or 0 when it raises none.
inline qint64 errorNumberOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const brindle::PlatformError& error) {
        return error.number();
    }
    return 0;
}

} // namespace contacts::test
