#pragma once

#include <QString>
#include <QStringList>

namespace brindle {

// The option string the accounting software passes on the command line,
// cut into its properties: KEY=value items separated by "<".
class clsOptions
{
public:
    bool Analyse(const QString& psOptions);

    bool Customers() const { return m_customers; }
    void setCustomers(bool pbCustomers) { m_customers = pbCustomers; }
    const QString& Database() const { return m_database; }
    void setDatabase(const QString& psDatabase) { m_database = psDatabase; }
    bool Employees() const { return m_employees; }
    void setEmployees(bool pbEmployees) { m_employees = pbEmployees; }
    const QString& HostExePath() const { return m_hostExePath; }
    void setHostExePath(const QString& psHostExePath) { m_hostExePath = psHostExePath; }
    const QString& NetworkProtocol() const { return m_networkProtocol; }
    void setNetworkProtocol(const QString& psNetworkProtocol)
    {
        m_networkProtocol = psNetworkProtocol;
    }
    const QString& Password() const { return m_password; }
    void setPassword(const QString& psPassword) { m_password = psPassword; }
    bool Personal() const { return m_personal; }
    void setPersonal(bool pbPersonal) { m_personal = pbPersonal; }
    bool Suppliers() const { return m_suppliers; }
    void setSuppliers(bool pbSuppliers) { m_suppliers = pbSuppliers; }
    const QString& Username() const { return m_username; }
    void setUsername(const QString& psUsername) { m_username = psUsername; }

    static QString RetrieveValue(const QString& options, const QString& key);
    // The keys of KEY=value items that name no option, as written.
    static QStringList unknownKeys(const QString& options);
    // The keys the option string knows, for messages.
    static QStringList knownKeys();

private:
    QString m_database;
    QString m_hostExePath;
    QString m_networkProtocol;
    QString m_password;
    QString m_username;
    bool m_customers = false;
    bool m_employees = false;
    bool m_personal = false;
    bool m_suppliers = false;
};

} // namespace brindle
