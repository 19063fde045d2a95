#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace brindle {

namespace {

const QColor deepBlue(0x1d, 0x4e, 0x89);
const QColor lightBlue(0x7f, 0xb3, 0xd5);
const QColor leafGreen(0x2e, 0x8b, 0x57);
const QColor paleGreen(0x9f, 0xd8, 0xb0);

QPixmap canvas(const QSize& size, qreal ratio)
{
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A small window of the contact manager: a title bar and a white body.
QRectF drawWindow(QPainter& p, const QRectF& frame, const QString& title)
{
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(Qt::white);
    p.drawRect(frame);
    const QRectF bar(frame.left(), frame.top(), frame.width(), 16);
    p.fillRect(bar, deepBlue);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.drawText(bar.adjusted(4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, title);
    font.setBold(false);
    p.setFont(font);
    return frame.adjusted(6, 22, -6, -6);
}

void drawField(QPainter& p, const QRectF& box, const QString& label, const QString& value,
               bool highlighted)
{
    p.setPen(Qt::black);
    p.drawText(QRectF(box.left(), box.top(), 60, box.height()), Qt::AlignVCenter, label);
    const QRectF field(box.left() + 62, box.top() + 1, box.width() - 62, box.height() - 2);
    p.setPen(highlighted ? QPen(QColor(0xd0, 0x30, 0x30), 2) : QPen(Qt::gray, 1));
    p.setBrush(highlighted ? QColor(0xff, 0xf3, 0xc0) : Qt::white);
    p.drawRect(field);
    p.setPen(Qt::black);
    p.drawText(field.adjusted(3, 0, 0, 0), Qt::AlignVCenter, value);
}

void drawButton(QPainter& p, const QRectF& box, const QString& text, bool focused)
{
    p.setPen(QPen(focused ? deepBlue : Qt::gray, focused ? 2 : 1));
    p.setBrush(QColor(0xf0, 0xf0, 0xf0));
    p.drawRoundedRect(box, 3, 3);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, text);
}

// A picture of a small window of the contact manager; draw fills its body.
QPixmap windowPicture(const QSize& size, qreal ratio, const QString& title,
                      const std::function<void(QPainter&, const QRectF&)>& draw)
{
    QPixmap pixmap = canvas(size, ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, drawWindow(p, QRectF(QPointF(0.5, 0.5), QSizeF(size) - QSizeF(1, 1)), title));
    return pixmap;
}

void drawAccessPrompt(QPainter& p, const QRectF& body, int part)
{
    if (part == 1) {
        const QRectF tick(body.left(), body.top() + 6, 11, 11);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(tick);
        p.drawLine(tick.topLeft() + QPointF(2, 5), tick.topLeft() + QPointF(5, 9));
        p.drawLine(tick.topLeft() + QPointF(5, 9), tick.topLeft() + QPointF(10, 1));
        p.drawText(QRectF(body.left() + 15, body.top() + 2, 120, 20), Qt::AlignVCenter,
                   QStringLiteral("Allow access for"));
        drawField(p, QRectF(body.left() + 40, body.top() + 22, 130, 18), QString(),
                  QStringLiteral("1 minute  \u25be"), true);
    } else {
        p.setPen(Qt::black);
        p.drawText(QRectF(body.left(), body.top(), body.width(), 16), Qt::AlignVCenter,
                   QStringLiteral("Allow this access?"));
        drawButton(p, QRectF(body.left(), body.top() + 20, 50, 18), QStringLiteral("Yes"), true);
        drawButton(p, QRectF(body.left() + 58, body.top() + 20, 50, 18), QStringLiteral("No"),
                   false);
        drawButton(p, QRectF(body.left() + 116, body.top() + 20, 50, 18), QStringLiteral("Help"),
                   false);
    }
}

void drawContactFields(QPainter& p, const QRectF& body, ScreenShot kind)
{
    const bool blank = kind == ScreenShot::BlankField;
    const QString fields[][2] = {
        {QStringLiteral("Full Name"), QStringLiteral("Jo Smith")},
        {QStringLiteral("Company"), QStringLiteral("Acme Traders")},
        {blank ? QStringLiteral("Phone") : QStringLiteral("E-mail"),
         blank ? QString() : QStringLiteral("jo@acme.example")},
        {QStringLiteral("Categories"), blank ? QStringLiteral("Customer") : QString()},
    };
    for (int i = 0; i < 4; ++i) {
        const bool highlighted = blank ? i == 2 : i == 3;
        drawField(p, QRectF(body.left(), body.top() + 22 * i, body.width(), 20), fields[i][0],
                  fields[i][1], highlighted);
    }
}

} // namespace

QPixmap arrowPixmap(ArrowKind kind, const QSize& size, qreal ratio)
{
    QPixmap pixmap = canvas(size, ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    QPainterPath arrow;
    arrow.moveTo(2, h * 0.3);
    arrow.lineTo(w * 0.62, h * 0.3);
    arrow.lineTo(w * 0.62, 2);
    arrow.lineTo(w - 2, h / 2);
    arrow.lineTo(w * 0.62, h - 2);
    arrow.lineTo(w * 0.62, h * 0.7);
    arrow.lineTo(2, h * 0.7);
    arrow.closeSubpath();
    const bool importing = kind == ArrowKind::Import;
    QLinearGradient fill(0, 0, w, 0);
    fill.setColorAt(0, importing ? paleGreen : lightBlue);
    fill.setColorAt(1, importing ? leafGreen : deepBlue);
    p.setPen(QPen(importing ? leafGreen.darker(130) : deepBlue.darker(130), 1.5));
    p.setBrush(fill);
    p.drawPath(arrow);
    return pixmap;
}

QPixmap accessPromptPicture(int part, qreal ratio)
{
    return windowPicture(
        QSize(190, 70), ratio, QStringLiteral("Outlook"),
        [part](QPainter& p, const QRectF& body) { drawAccessPrompt(p, body, part); });
}

QPixmap screenShotPicture(ScreenShot kind, qreal ratio)
{
    return windowPicture(
        QSize(220, 120), ratio, QStringLiteral("Contact"),
        [kind](QPainter& p, const QRectF& body) { drawContactFields(p, body, kind); });
}

Banner::Banner(Qt::Orientation orientation, const QString& objectName, QWidget* parent)
    : QWidget(parent), m_orientation(orientation)
{
    setObjectName(objectName);
    if (orientation == Qt::Vertical) {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    } else {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
}

QSize Banner::sizeHint() const
{
    const int thickness = fontMetrics().height() * 3;
    return m_orientation == Qt::Vertical ? QSize(thickness, 200) : QSize(300, thickness);
}

void Banner::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool vertical = m_orientation == Qt::Vertical;
    QLinearGradient fill(0, 0, vertical ? 0 : width(), vertical ? height() : 0);
    fill.setColorAt(0, deepBlue);
    fill.setColorAt(1, lightBlue);
    p.fillRect(rect(), fill);

    // Two overlapping cards: the two sides the program brings together.
    const qreal unit = vertical ? width() / 4.0 : height() / 4.0;
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
    p.setBrush(QColor(255, 255, 255, 60));
    const QPointF origin = vertical ? QPointF(unit * 0.8, unit) : QPointF(unit, unit * 0.8);
    p.drawRoundedRect(QRectF(origin, QSizeF(unit * 1.8, unit * 1.2)), 3, 3);
    p.drawRoundedRect(
        QRectF(origin + QPointF(unit * 0.6, unit * 0.6), QSizeF(unit * 1.8, unit * 1.2)), 3, 3);

    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(int(unit * 1.3));
    p.setFont(font);
    p.setPen(Qt::white);
    if (vertical) {
        p.translate(width() / 2.0, height() - unit);
        p.rotate(-90);
        p.drawText(QRectF(0, -unit, height(), unit * 2), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("Brindle"));
    } else {
        p.drawText(rect().adjusted(int(unit * 4), 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("Brindle"));
    }
}

} // namespace brindle
