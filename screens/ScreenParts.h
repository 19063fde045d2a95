#pragma once

#include <QList>
#include <QString>

class QBoxLayout;
class QLabel;
class QLayout;
class QPushButton;
class QWidget;

namespace brindle {

// Pieces every screen of the wizard shares.
QLabel* screenLabel(const QString& objectName, const QString& text);
// lblRelease and lblVersion.
QLayout* releaseDetails();
// A footer panel with its buttons on the right.
QWidget* footer(const QString& objectName, const QList<QPushButton*>& buttons);
// The vertical banner on the left, the content beside it, the footer below.
void layoutWithBanner(QWidget* screen, QLayout* content, QWidget* footer);

} // namespace brindle
