#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace brindle::test {

// Answers the modal dialogs a test opens, one action each time a new one
// comes to the top. A dialog nobody scripted is closed after a while, so a
// test fails instead of hanging; the titles of the dialogs seen are kept.
class ModalScript
{
public:
    using Action = std::function<void(QWidget&)>;

    explicit ModalScript(QList<Action> actions = {}) : m_actions(std::move(actions))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    int unanswered() const { return m_unanswered; }
    QStringList titles; // of the dialogs seen

    // Clicks the button of the given object name or text.
    static Action click(const QString& button);
    // A button's name or text to click; "escape" and "close" as the close box does.
    static Action action(const QString& name);

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            m_last = nullptr;
            return;
        }
        if (modal == m_last) {
            if (m_waited.elapsed() > 3000) {
                ++m_unanswered;
                modal->close();
            }
            return;
        }
        m_last = modal;
        m_waited.start();
        titles << modal->windowTitle();
        if (!m_actions.isEmpty()) {
            // Later, from the event loop: an action may open a dialog of its
            // own, and a timer is not fired again while its handler runs.
            QTimer::singleShot(0, modal,
                               [modal, action = m_actions.takeFirst()] { action(*modal); });
        }
    }

    QList<Action> m_actions;
    QTimer m_timer;
    QPointer<QWidget> m_last;
    QElapsedTimer m_waited;
    int m_unanswered = 0;
};

} // namespace brindle::test
