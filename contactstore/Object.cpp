#include "Object.h"

#include <cerrno>
#include <cstring>

namespace contacts {

QVariant Object::get(const QString& name)
{
    noSuchMember(name);
}

void Object::set(const QString& name, const QVariant&)
{
    noSuchMember(name);
}

QVariant Object::call(const QString& name, const QVariantList& args)
{
    if (!args.isEmpty()) {
        noSuchMember(name);
    }
    return get(name);
}

QList<ObjectPtr> Object::elements()
{
    noSuchMember(QStringLiteral("_NewEnum"));
}

void Object::noSuchMember(const QString& name) const
{
    raise(brindle::ErrorNumber::NoSuchMember,
          QStringLiteral("Object doesn't support this property or method: %1.%2")
              .arg(typeName(), name));
}

void raise(qint64 number, const QString& description)
{
    throw brindle::PlatformError(number, description);
}

void raiseSystemError(int error, const QString& action, const QString& path)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
    if (error == EACCES || error == EPERM) {
        raise(brindle::ErrorNumber::PermissionDenied,
              QStringLiteral("Permission denied: cannot %1 %2").arg(action, path));
    }
    raise(brindle::ErrorNumber::Unspecified,
          QStringLiteral("Cannot %1 %2: %3").arg(action, path, reason));
}

QVariant wrap(const ObjectPtr& object)
{
    return object ? QVariant::fromValue(object) : QVariant();
}

ObjectPtr toObject(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<ObjectPtr>() ? value.value<ObjectPtr>()
                                                                : nullptr;
}

} // namespace contacts
