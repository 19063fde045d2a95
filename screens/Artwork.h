#pragma once

#include <QPixmap>
#include <QWidget>

namespace brindle {

// The pictures of the wizard, drawn here rather than shipped as files.

// A block arrow pointing right, for the import and export buttons.
enum class ArrowKind
{
    Import,
    Export
};
QPixmap arrowPixmap(ArrowKind kind, const QSize& size, qreal devicePixelRatio);

// The two crops of the contact manager's access prompt on the security notice.
QPixmap accessPromptPicture(int part, qreal devicePixelRatio);
// The screenshots of the blank-field and category notices.
enum class ScreenShot
{
    BlankField,
    Categories
};
QPixmap screenShotPicture(ScreenShot kind, qreal devicePixelRatio);

// The banner along the left edge of a screen, or across the top of a dialog.
class Banner : public QWidget
{
public:
    Banner(Qt::Orientation orientation, const QString& objectName, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
};

} // namespace brindle
