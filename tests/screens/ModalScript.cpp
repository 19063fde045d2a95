#include "ModalScript.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace brindle::test {

ModalScript::Action ModalScript::click(const QString& button)
{
    return [button](QWidget& dialog) {
        for (QAbstractButton* candidate : dialog.findChildren<QAbstractButton*>()) {
            if (candidate->objectName() == button ||
                candidate->text().remove(QLatin1Char('&')) == button) {
                candidate->click();
                return;
            }
        }
        ADD_FAILURE_AT(__FILE__, __LINE__)
            << "no button " << button.toStdString() << " on " << dialog.windowTitle().toStdString();
    };
}

ModalScript::Action ModalScript::action(const QString& name)
{
    if (name == u"close") {
        return [](QWidget& dialog) { dialog.close(); };
    }
    if (name != u"escape") {
        return click(name);
    }
    return [](QWidget& dialog) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &press);
    };
}

} // namespace brindle::test
