#include "TColorButton.h"

#include "Dialogs.h"
#include "HandlerGuard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QPainter>
#include <QTimer>
#include <qdrawutil.h>

namespace {
// The keyboard focus rectangle stands this far inside the button's edges.
constexpr int FocusInset = 4;
// Width of the raised push-button frame.
constexpr int FrameWidth = 2;
} // namespace

TColorButton::TColorButton(QWidget *parent)
    : TColorButton(QString(), parent) {}

TColorButton::TColorButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent) {
    setFontColor(DefaultFontColor);
    // The active-button flag follows the focus: the focused button, or the default button
    // while the focus is on something that is not a button.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { focusMoved(now); });
}

void TColorButton::setColor(const QColor &color) {
    if (color == m_color) return;
    m_color = color;
    update();
}

QColor TColorButton::fontColor() const {
    return palette().color(QPalette::ButtonText);
}

void TColorButton::setFontColor(const QColor &color) {
    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::ButtonText, color);
    setPalette(pal);
}

void TColorButton::focusMoved(QWidget *now) {
    const bool onButton = qobject_cast<QAbstractButton *>(now) != nullptr;
    const bool sameWindow = now && now->window() == window();
    setActiveButton(now == this || (isDefault() && sameWindow && !onButton));
}

void TColorButton::setActiveButton(bool active) {
    if (active == m_active) return;
    m_active = active;
    repaint();
}

void TColorButton::changeEvent(QEvent *event) {
    QPushButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
}

void TColorButton::keyPressEvent(QKeyEvent *event) {
    // The focused button is the active one, and Enter presses the active button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void TColorButton::mouseDoubleClickEvent(QMouseEvent *event) {
    // The second click of a double click is a click of its own.
    mousePressEvent(event);
}

void TColorButton::paintEvent(QPaintEvent *) {
    TOwnerDrawState state;
    if (isDown()) state |= TOwnerDrawStateFlag::odSelected;
    if (!isEnabled()) state |= TOwnerDrawStateFlag::odDisabled;
    if (hasFocus()) state |= TOwnerDrawStateFlag::odFocused;
    if (m_active) state |= TOwnerDrawStateFlag::odDefault;
    if (underMouse()) state |= TOwnerDrawStateFlag::odHotLight;
    QPainter painter(this);
    drawButton(painter, state);
}

void TColorButton::drawButton(QPainter &painter, TOwnerDrawState state) {
    const QPalette &pal = palette();
    const QColor windowFrame = pal.color(QPalette::Shadow);
    const QColor buttonShadow = pal.color(QPalette::Dark);
    const QColor buttonFace = pal.color(QPalette::Button);
    QRect r = rect();
    const QRect full = r;
    const bool pressed = state.testFlag(TOwnerDrawStateFlag::odSelected);
    const bool disabled = state.testFlag(TOwnerDrawStateFlag::odDisabled);
    const bool focused = state.testFlag(TOwnerDrawStateFlag::odFocused);

    painter.save();
    painter.setFont(font());
    if (focused || m_active) {
        // A 1-pixel outline around the button that Enter would press.
        painter.setPen(QPen(windowFrame, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (pressed) {
        // A shadow line on top and left; face and caption move one pixel right and down.
        painter.setPen(QPen(buttonShadow, 1));
        painter.setBrush(buttonFace);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
        r.translate(1, 1);
    } else {
        QPalette framePal = pal;
        if (disabled) framePal.setCurrentColorGroup(QPalette::Disabled);
        qDrawWinButton(&painter, r, framePal, false, nullptr);
        r.adjust(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth);
    }
    painter.fillRect(r, m_color);

    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    painter.setBackgroundMode(Qt::TransparentMode);
    if (!disabled) {
        painter.setPen(fontColor());
        painter.drawText(r, flags, text());
    } else {
        // Embossed, as disabled captions are drawn: a light copy under a grey one.
        painter.setPen(pal.color(QPalette::Disabled, QPalette::Light));
        painter.drawText(r.translated(1, 1), flags, text());
        painter.setPen(pal.color(QPalette::Disabled, QPalette::Dark));
        painter.drawText(r, flags, text());
    }
    painter.restore();

    if (isSignalConnected(QMetaMethod::fromSignal(&TColorButton::OnDrawButton))) {
        painter.save();
        try {
            emit OnDrawButton(this, &painter, r, state);
        } catch (...) {
            // Painting must not throw into the event loop: report once painting is over.
            if (!m_errorPending) {
                m_errorPending = true;
                const QString message = HandlerGuard::messageOf(std::current_exception());
                QTimer::singleShot(0, this, [this, message] {
                    Dialogs::current().error(message);
                    m_errorPending = false;
                });
            }
        }
        painter.restore();
    }

    if (m_active && focused) {
        // The dotted focus rectangle stays in place while the button is pressed.
        painter.save();
        painter.setPen(QPen(windowFrame, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.setBackground(buttonFace);
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.drawRect(full.adjusted(FocusInset, FocusInset, -FocusInset - 1, -FocusInset - 1));
        painter.restore();
    }
}
