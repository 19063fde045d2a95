#include "RunSettings.h"

#include "platform/PlatformError.h"

namespace brindle {

const clsOptions& RunSettings::options() const
{
    if (!gobjOptions) {
        throw PlatformError(91, QStringLiteral("Object variable not set"));
    }
    return *gobjOptions;
}

} // namespace brindle
