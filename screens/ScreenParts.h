#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <utility>

class QCloseEvent;
class QLabel;
class QLayout;
class QPushButton;
class QSpacerItem;

namespace brindle {

class Form;

// Pieces every screen of the wizard shares.
QLabel* screenLabel(const QString& objectName, const QString& text);
QLabel* headingLabel(const QString& objectName, const QString& text);
QPushButton* screenButton(const QString& objectName, const QString& text);
// A panel of the given name and its layout, which adds no margin of its own.
template <typename Layout> std::pair<QWidget*, Layout*> panelWithLayout(const QString& objectName)
{
    auto* panel = new QWidget;
    panel->setObjectName(objectName);
    auto* layout = new Layout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    return {panel, layout};
}
// lblRelease and lblVersion.
QLayout* releaseDetails();
// A footer panel with its buttons on the right.
QWidget* footer(const QString& objectName, const QList<QPushButton*>& buttons);
// A spacer that keeps a layout at least so many average characters wide, so
// texts wrap into a few lines and the width follows the font.
QSpacerItem* minimumWidth(const QWidget* widget, int characters);
// The vertical banner on the left, the content beside it, the footer below;
// the window grows with its content (a larger font) and never shrinks below it.
void layoutWithBanner(QWidget* screen, QLayout* content, QWidget* footer, int characters = 80);
// Fixes a window's size to what its layout needs at its width, and again
// whenever the layout changes: a window manager draws no resize handle
// below a window of fixed size.
void fitToContent(QWidget* window);
// Runs refit whenever the window's layout asks for another size.
void keepFitted(QWidget* window, std::function<void()> refit);
// The label of the given name under the window.
void setLabelText(QWidget* window, const QString& objectName, const QString& text);
// Shows or hides a window as its form says, with its pointer and enabled
// state; a window that comes up gives the focus to the form's control.
void followForm(QWidget* window, const Form& form);

} // namespace brindle
