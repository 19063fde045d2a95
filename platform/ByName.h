#pragma once

#include "PlatformError.h"

#include <QMetaProperty>
#include <QVariant>

namespace brindle {

// Late-bound member access for Q_GADGET value types: the program reads and
// writes card and contact members by their names, as its mapping tables do.
template <typename Gadget> QMetaProperty memberByName(const QString& name)
{
    const QMetaObject& meta = Gadget::staticMetaObject;
    const int index = meta.indexOfProperty(name.toLatin1().constData());
    if (index < 0) {
        throw PlatformError(
            ErrorNumber::NoSuchMember,
            QStringLiteral("Object doesn't support this property or method: %1").arg(name));
    }
    return meta.property(index);
}

template <typename Gadget> QVariant readByName(const Gadget& object, const QString& name)
{
    return memberByName<Gadget>(name).readOnGadget(&object);
}

template <typename Gadget>
void writeByName(Gadget& object, const QString& name, const QVariant& value)
{
    const QMetaProperty member = memberByName<Gadget>(name);
    QVariant converted = value;
    if (!converted.convert(member.metaType()) || !member.writeOnGadget(&object, converted)) {
        throw PlatformError(ErrorNumber::TypeMismatch,
                            QStringLiteral("Type mismatch: %1").arg(name));
    }
}

} // namespace brindle
