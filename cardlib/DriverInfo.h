#pragma once

namespace TarvoCards {

// The card library's own version: it is the driver the program checks.
constexpr int libraryMajor = 5;
constexpr int libraryMinor = 1;
constexpr int libraryPatch = 0;

// Error number when the driver cannot be found (the platform's "cannot
// create object").
constexpr long long driverMissingError = 429;

// Tells the program which driver version is installed: the library's own
// version as major * 1,000,000 + minor * 1,000 + patch (5.1.0 gives
// 5001000). The environment variable BRINDLE_DRIVER_VERSION overrides it:
// "missing" makes the constructor throw as if no driver were installed, a
// number is reported as the version.
class CDriverInfo
{
public:
    // Throws brindle::PlatformError when the driver is missing.
    CDriverInfo();

    double DriverVersion() const { return m_version; }

private:
    double m_version = 0;
};

} // namespace TarvoCards
