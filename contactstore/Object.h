#pragma once

#include "platform/PlatformError.h"

#include <QVariant>
#include <memory>

namespace contacts {

class Object;
using ObjectPtr = std::shared_ptr<Object>;

// The late-bound face of every object of the store: members are found by
// name at call time, case-insensitively, and a missing one raises error 438.
class Object : public std::enable_shared_from_this<Object>
{
public:
    virtual ~Object() = default;

    virtual QString typeName() const = 0;
    virtual QVariant get(const QString& name);
    virtual void set(const QString& name, const QVariant& value);
    // A call without arguments of a name that is no method reads the property.
    virtual QVariant call(const QString& name, const QVariantList& args = {});
    // The elements a For Each walks.
    virtual QList<ObjectPtr> elements();

protected:
    [[noreturn]] void noSuchMember(const QString& name) const;
};

[[noreturn]] void raise(qint64 number, const QString& description);
// Raises the error the store reports for a failed system call.
[[noreturn]] void raiseSystemError(int error, const QString& action, const QString& path);

QVariant wrap(const ObjectPtr& object);
// The object a variant holds, or null.
ObjectPtr toObject(const QVariant& value);

// Member names compare without case, as the automation clients expect.
inline bool sameName(const QString& a, QLatin1StringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace contacts

Q_DECLARE_METATYPE(contacts::ObjectPtr)
