#include "CardRules.h"
#include "CompanyFileSide.h"
#include "runs/RunRecord.h"
#include "startup/CardType.h"
#include "startup/Environment.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/Prompts.h"
#include "startup/RunSettings.h"
#include "transfer/CardIndex.h"

namespace brindle {

namespace {

using TarvoCards::CCard;
using TarvoCards::CConnection;
using TarvoCards::CConnectionSettings;

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

// By the library's country code, 1 and 2; the last for any other.
const char* const countryTexts[] = {"DataFileCountry = Australia ",
                                    "DataFileCountry = United States           ",
                                    "DataFileCountry = Unknown "};

QString countryText(int countryCode)
{
    return QString::fromLatin1(countryTexts[countryCode == 1 ? 0 : countryCode == 2 ? 1 : 2]);
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

bool CompanyFileSide::PopulateVEXODataObjects()
{
    bool result = false;
    try {
        m_progress.setPointer(RunProgress::Pointer::Hourglass);
        mobjVEXOConnection = std::make_unique<CConnection>();
        mobjVEXOConnection->setJournal(m_run.record);
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

bool CompanyFileSide::OpenVEXOConnection()
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
        if (m_settings.glTransferAction == RunSettings::Import) {
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
            m_run.mbUserCancelled = true;
        }
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.OpenVEXOConnection"), error);
        result = false;
    }
    m_progress.setPointer(RunProgress::Pointer::Default);
    return result;
}

void CompanyFileSide::disconnect()
{
    if (mobjVEXOConnection) {
        mobjVEXOConnection->Disconnect();
        mobjVEXOConnection.reset();
    }
}

bool CompanyFileSide::TestVEXOConnection()
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

bool CompanyFileSide::CountryLocalisation()
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

bool CompanyFileSide::LoadExistingVEXOCards()
{
    try {
        const bool activeOnly = m_settings.glTransferInactives == 0 &&
                                m_settings.glTransferAction != RunSettings::Import;
        const QString condition = existingCardsCondition(
            m_run.mbCustomers, m_run.mbEmployees, m_run.mbPersonal, m_run.mbSuppliers, activeOnly);
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
        if (m_settings.glTransferAction == RunSettings::Import) {
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
