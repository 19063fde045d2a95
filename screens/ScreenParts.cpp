#include "ScreenParts.h"

#include "Artwork.h"
#include "Form.h"
#include "ScreenTexts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>

namespace brindle {

QLabel* screenLabel(const QString& objectName, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* headingLabel(const QString& objectName, const QString& text)
{
    QLabel* label = screenLabel(objectName, text);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    label->setFont(font);
    return label;
}

QPushButton* screenButton(const QString& objectName, const QString& text)
{
    auto* button = new QPushButton(text);
    button->setObjectName(objectName);
    return button;
}

QLayout* releaseDetails()
{
    auto* row = new QHBoxLayout;
    auto* release = new QLabel(QStringLiteral("Release Details"));
    release->setObjectName(QStringLiteral("lblRelease"));
    auto* version = new QLabel(versionLabel());
    version->setObjectName(QStringLiteral("lblVersion"));
    row->addWidget(release);
    row->addStretch();
    row->addWidget(version);
    return row;
}

QWidget* footer(const QString& objectName, const QList<QPushButton*>& buttons)
{
    auto [panel, row] = panelWithLayout<QHBoxLayout>(objectName);
    row->addStretch();
    for (QPushButton* button : buttons) {
        row->addWidget(button);
    }
    return panel;
}

QSpacerItem* minimumWidth(const QWidget* widget, int characters)
{
    const int width = widget->fontMetrics().averageCharWidth() * characters;
    return new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
}

void layoutWithBanner(QWidget* screen, QLayout* content, QWidget* footerPanel, int characters)
{
    content->addItem(minimumWidth(screen, characters));
    auto* top = new QHBoxLayout;
    top->addWidget(new Banner(Qt::Vertical, QStringLiteral("imgVerticalBanner")));
    top->addSpacing(screen->fontMetrics().averageCharWidth() * 2);
    top->addLayout(content, 1);

    auto* outer = new QVBoxLayout(screen);
    outer->addLayout(top, 1);
    outer->addWidget(footerPanel);
    outer->setSizeConstraint(QLayout::SetMinimumSize);
    fitToContent(screen);
}

namespace {

// Runs a window's refit whenever its layout asks for another size. The
// layout has taken the event first, and may have let the window shrink.
class FitKeeper : public QObject
{
public:
    FitKeeper(QWidget* window, std::function<void()> refit)
        : QObject(window), m_refit(std::move(refit))
    {
        setObjectName(name);
        window->installEventFilter(this);
    }
    static constexpr QLatin1String name{"fitKeeper"};

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest) {
            m_refit();
        }
        return false;
    }

private:
    std::function<void()> m_refit;
};

} // namespace

void keepFitted(QWidget* window, std::function<void()> refit)
{
    if (!window->findChild<QObject*>(FitKeeper::name, Qt::FindDirectChildrenOnly)) {
        // The refit alone sizes the window: a layout that set the minimum
        // size would make it resizable again.
        window->layout()->setSizeConstraint(QLayout::SetNoConstraint);
        new FitKeeper(window, std::move(refit));
    }
}

void fitToContent(QWidget* window)
{
    // Not adjustSize: it keeps a window within part of the screen, and a
    // larger font may need more than that.
    QLayout* layout = window->layout();
    layout->activate();
    const int width = std::max(layout->sizeHint().width(), layout->minimumSize().width());
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                   : layout->sizeHint().height();
    window->setFixedSize(width, std::max(height, layout->minimumSize().height()));
    keepFitted(window, [window] { fitToContent(window); });
}

void setLabelText(QWidget* window, const QString& objectName, const QString& text)
{
    if (auto* label = window->findChild<QLabel*>(objectName)) {
        label->setText(text);
    }
}

void followForm(QWidget* window, const Form& form)
{
    window->setEnabled(form.Enabled);
    if (form.MousePointer == Form::Pointer::Hourglass) {
        window->setCursor(Qt::WaitCursor);
    } else {
        window->unsetCursor();
    }
    if (form.Visible == window->isVisible()) {
        return;
    }
    window->setVisible(form.Visible);
    if (form.Visible) {
        window->raise();
        window->activateWindow();
        auto* control = form.focus.isEmpty() ? nullptr : window->findChild<QWidget*>(form.focus);
        if (control) {
            control->setFocus(Qt::OtherFocusReason);
        }
    }
}

} // namespace brindle
