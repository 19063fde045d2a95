#include "CardIndex.h"
#include "CardRules.h"
#include "run/FProcess.h"
#include "runs/RunRecord.h"
#include "startup/CardType.h"
#include "startup/Environment.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/Prompts.h"
#include "startup/RunSettings.h"

namespace brindle {

namespace {

using TarvoCards::CCard;
using TarvoCards::CConnection;
using TarvoCards::CConnectionSettings;

constexpr qint32 importDirection = 1;
constexpr double unicodeDriverVersion = 5'000'000;

// The library's product value of the accounting product that started us.
void setHostProduct(CConnectionSettings& settings, qint32 product)
{
    if (product == 1) {
        settings.HostProduct = 3;
    } else if (product == 2) {
        settings.HostProduct = 1;
    }
}

QString countryText(int countryCode)
{
    switch (countryCode) {
    case 1:
        return QStringLiteral("DataFileCountry = Australia ");
    case 2:
        return QStringLiteral("DataFileCountry = United States           ");
    default:
        return QStringLiteral("DataFileCountry = Unknown ");
    }
}

} // namespace

QString existingCardsCondition(bool customers, bool employees, bool personal, bool suppliers,
                               bool activeOnly)
{
    QString condition;
    const auto append = [&condition](bool selected, const char* term) {
        if (!selected) {
            return;
        }
        if (condition.endsWith(QLatin1Char(')'))) {
            condition += QLatin1String(" OR ");
        }
        condition += QLatin1String(term);
    };
    append(customers, "(CardTypeID = 'C')");
    append(employees, "(CardTypeID = 'E')");
    append(personal, "(CardTypeID = 'P')");
    append(suppliers, "(CardTypeID = 'S' OR CardTypeID = 'V')");
    if (activeOnly) {
        if (!condition.isEmpty()) {
            condition = QLatin1Char('(') + condition + QLatin1String(") AND ");
        }
        condition += QLatin1String("(IsInactive = 'N') ");
    }
    return condition;
}

bool FProcess::PopulateVEXODataObjects()
{
    bool result = false;
    try {
        m_progress.setPointer(RunProgress::Pointer::Hourglass);
        mobjVEXOConnection = std::make_unique<CConnection>();
        mobjVEXOConnection->setJournal(m_record.get());
        msEmptyValue = mobjVEXOConnection->EmptyValue();
        mobjVEXOConnection->Settings().ApplicationID = QStringLiteral("VEXOBrindle");
        mobjVEXOConnection->Settings().ApplicationTitle = QStringLiteral("Brindle");
        if (OpenVEXOConnection()) {
            m_progress.setPanelVisible(RunProgress::Panel::VEXOWaiting, true);
            m_progress.setPointer(RunProgress::Pointer::Hourglass);
            result = LoadExistingVEXOCards();
        }
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.PopulateVEXODataObjects"), error);
        result = false;
    }
    m_progress.setPanelVisible(RunProgress::Panel::VEXOWaiting, false);
    m_progress.setPointer(RunProgress::Pointer::Default);
    return result;
}

bool FProcess::OpenVEXOConnection()
{
    bool result = false;
    try {
        if (!mobjVEXOConnection) {
            throw PlatformError(91, QStringLiteral("Object variable not set"));
        }
        CConnection& connection = *mobjVEXOConnection;
        connection.Disconnect();
        connection.ConnectionTimeout = 3;
        CConnectionSettings& settings = connection.Settings();
        settings.AccessMode = CConnectionSettings::readWriteAccess;
        settings.SyncLevel = 3;
        settings.CheckIntegrity = true;
        settings.Username = m_settings.options().Username();
        settings.Password = m_settings.options().Password();
        if (m_settings.glTransferAction == importDirection) {
            setHostProduct(settings, m_settings.glVEXOProduct);
        }
        settings.NetworkProtocol = m_settings.options().NetworkProtocol();
        settings.HostExePath = m_settings.options().HostExePath();
        settings.DataFile = m_settings.options().Database();
        settings.CacheSize = 0;
        settings.Unicode = m_settings.gdODBCVersion >= unicodeDriverVersion;
        if (connection.Connect() && TestVEXOConnection()) {
            CountryLocalisation();
            result = true;
        } else {
            // The user sees one message; the log keeps the library's reason.
            const PlatformError reason = connection.LastError();
            if (reason.number() != 0) {
                m_context.logError(QStringLiteral("FProcess.OpenVEXOConnection"), reason);
            }
            m_prompts.messageBox(QStringLiteral("The VEXO ODBC Connection was unsuccessful."),
                                 Prompts::Buttons::Ok, Prompts::Icon::Exclamation,
                                 QStringLiteral("VEXO Brindle"));
            mbUserCancelled = true;
        }
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.OpenVEXOConnection"), error);
        result = false;
    }
    m_progress.setPointer(RunProgress::Pointer::Default);
    return result;
}

bool FProcess::TestVEXOConnection()
{
    try {
        if (!mobjVEXOConnection) {
            return false;
        }
        TarvoCards::CRecordset recordset;
        if (!mobjVEXOConnection->OpenRecordset(QStringLiteral("SELECT Cards.* ") +
                                                   QStringLiteral("FROM Cards WHERE 1=2"),
                                               0, recordset)) {
            return false;
        }
        return recordset.Fields.Count() >= 1;
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.TestVEXOConnection"), error);
        return false;
    }
}

bool FProcess::CountryLocalisation()
{
    try {
        const int countryCode = mobjVEXOConnection->Settings().CountryCode();
        m_settings.gsSupplierWord = CardType::supplierWordOf(countryCode);
        m_context.WriteLog(m_context.logTimeStamp() +
                           QStringLiteral(" VEXOBrindle.FProcess.CountryLocalisation ") +
                           countryText(countryCode));
        return true;
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.CountryLocalisation"), error);
        return false;
    }
}

bool FProcess::LoadExistingVEXOCards()
{
    try {
        const bool activeOnly =
            m_settings.glTransferInactives == 0 && m_settings.glTransferAction != importDirection;
        const QString condition =
            existingCardsCondition(mbCustomers, mbEmployees, mbPersonal, mbSuppliers, activeOnly);
        mobjExistingCards = std::make_unique<TarvoCards::CCardsColl>();
        m_existingIndex.reset(); // a new run: the indexes of the last one are stale
        m_contactCardIndex.reset();
        if (!mobjVEXOConnection) {
            throw PlatformError(91, QStringLiteral("Object variable not set"));
        }
        mobjVEXOConnection->MaxCards = 0;
        mobjVEXOConnection->MaxAddressLocation = 2; // a contact holds no more
        mobjExistingCards->Load(*mobjVEXOConnection, condition,
                                QStringLiteral("CardTypeID, LastName"));
        // The company file keeps the whole cards; a run holds what it reads.
        if (m_settings.glTransferAction == importDirection) {
            for (CCard& card : *mobjExistingCards) {
                keepWhatAnImportReads(card);
            }
        }
        return true;
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.LoadExistingVEXOCards"), error);
        return false;
    }
}

} // namespace brindle
