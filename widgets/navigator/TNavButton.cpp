#include "TNavButton.h"

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionToolButton>
#include <QTimer>

namespace {
// Pixels between the glyph and the caption.
constexpr int GlyphSpacing = 4;
// The keyboard focus rectangle stands this far inside the button's edges.
constexpr int FocusInset = 3;
} // namespace

TNavButton::TNavButton(TNavigateBtnX index, QWidget *parent)
    : QToolButton(parent)
    , m_index(index) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    connect(this, &QAbstractButton::clicked, this, [this] { emit navClick(m_index); });
}

bool TNavButton::loadGlyph(const QString &resourcePath) {
    QImage image(resourcePath);
    if (image.isNull() || image.width() < 2) return false;
    // The bottom-left pixel names the colour that lets the face show through.
    const QRgb transparent = image.pixel(0, image.height() - 1);
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & RGB_MASK) == (transparent & RGB_MASK)) line[x] = qRgba(0, 0, 0, 0);
    }
    const int frame = image.width() / 2;
    m_glyph = QPixmap::fromImage(image.copy(0, 0, frame, image.height()));
    m_disabledGlyph = QPixmap::fromImage(image.copy(frame, 0, frame, image.height()));
    // The icon is only for accessibility tools and style queries; painting is our own.
    QIcon icon(m_glyph);
    icon.addPixmap(m_disabledGlyph, QIcon::Disabled);
    setIcon(icon);
    setIconSize(m_glyph.size());
    update();
    return true;
}

void TNavButton::stopRepeat() {
    // Like a button whose mouse capture is taken away: up, and nothing more from this press.
    m_holding = false;
    if (m_timer) m_timer->stop();
    setDown(false);
}

bool TNavButton::blockedByModal() const {
    const QWidget *modal = QApplication::activeModalWidget();
    return modal && modal != window() && !modal->isAncestorOf(this);
}

void TNavButton::setFlat(bool flat) {
    m_flat = flat;
    setAutoRaise(flat);
    update();
}

void TNavButton::setGlyphLayout(TButtonLayout layout) {
    m_layout = layout;
    update();
}

void TNavButton::setShowFocus(bool show) {
    if (show == m_showFocus) return;
    m_showFocus = show;
    update();
}

void TNavButton::setHint(const QString &hint) {
    m_hint = hint;
    setAccessibleDescription(hint);
    setToolTip(m_hintShown ? hint : QString());
}

void TNavButton::setHintShown(bool shown) {
    m_hintShown = shown;
    setToolTip(shown ? m_hint : QString());
}

void TNavButton::setCaption(const QString &caption) {
    setText(caption);
    setAccessibleName(caption);
    update();
}

void TNavButton::mousePressEvent(QMouseEvent *event) {
    QToolButton::mousePressEvent(event);
    if (!m_repeat || event->button() != Qt::LeftButton || !isDown()) return;
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setTimerType(Qt::PreciseTimer); // never early: the pauses are part of the feel
        connect(m_timer, &QTimer::timeout, this, &TNavButton::repeatTick);
    }
    m_holding = true;
    m_timer->setInterval(InitRepeatPause);
    m_timer->start();
    // A repeating button acts at once; holding it on repeats the action.
    emit navClick(m_index);
}

void TNavButton::mouseReleaseEvent(QMouseEvent *event) {
    if (m_repeat && event->button() == Qt::LeftButton) {
        // The press already clicked: let the button up without another click.
        stopRepeat();
    }
    QToolButton::mouseReleaseEvent(event);
}

void TNavButton::mouseMoveEvent(QMouseEvent *event) {
    // After the capture was lost the rest of this press is not the button's any more.
    if (m_repeat && !m_holding) {
        event->ignore();
        return;
    }
    QToolButton::mouseMoveEvent(event);
}

bool TNavButton::event(QEvent *event) {
    // A modal box takes the mouse capture, as it would from any held button.
    if (event->type() == QEvent::WindowBlocked && m_holding) stopRepeat();
    return QToolButton::event(event);
}

void TNavButton::repeatTick() {
    // Setting the interval restarts the timer, so only after the first pause.
    if (m_timer->interval() != RepeatPause) m_timer->setInterval(RepeatPause);
    // The tick may come from a modal box's own event loop, before the blocked window heard of it.
    if (!m_holding || !isEnabled() || blockedByModal()) {
        stopRepeat();
        return;
    }
    // Dragged off the button it is up and the hold goes on: back on it, repeating resumes.
    if (isDown()) emit navClick(m_index);
}

void TNavButton::enterEvent(QEnterEvent *event) {
    m_hover = true;
    if (m_flat) update();
    QToolButton::enterEvent(event);
}

void TNavButton::leaveEvent(QEvent *event) {
    m_hover = false;
    if (m_flat) update();
    QToolButton::leaveEvent(event);
}

void TNavButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const bool down = isDown();
    if (!m_flat) {
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.state &= ~QStyle::State_HasFocus;
        opt.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &painter, this);
    } else if (down || (m_hover && isEnabled())) {
        QStyleOptionToolButton opt;
        opt.initFrom(this);
        opt.state &= ~QStyle::State_HasFocus;
        opt.state |= QStyle::State_AutoRaise | (down ? QStyle::State_Sunken : QStyle::State_Raised);
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, &painter, this);
    }
    paintContent(painter, rect(), down);
    if (m_showFocus) {
        // Dotted, like the classic focus rectangle; it moves with the pressed face.
        QRect r = rect().adjusted(FocusInset, FocusInset, -FocusInset - 1, -FocusInset - 1);
        if (down) r.translate(1, 1);
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
    }
}

void TNavButton::paintContent(QPainter &painter, const QRect &area, bool shifted) {
    const QPixmap &glyph = isEnabled() ? m_glyph : m_disabledGlyph;
    const QString caption = text();
    const QFontMetrics fm(font());
    const QSize textSize = caption.isEmpty() ? QSize() : QSize(fm.horizontalAdvance(caption), fm.height());
    const QSize glyphSize = glyph.isNull() ? QSize() : glyph.size();
    const int spacing = (textSize.isEmpty() || glyphSize.isEmpty()) ? 0 : GlyphSpacing;
    const bool vertical = m_layout == blGlyphTop || m_layout == blGlyphBottom;

    // Glyph and caption are centred as one group.
    const QSize group = vertical ? QSize(qMax(glyphSize.width(), textSize.width()),
                                         glyphSize.height() + spacing + textSize.height())
                                 : QSize(glyphSize.width() + spacing + textSize.width(),
                                         qMax(glyphSize.height(), textSize.height()));
    QRect box(QPoint(area.left() + (area.width() - group.width()) / 2,
                     area.top() + (area.height() - group.height()) / 2),
              group);
    if (shifted) box.translate(1, 1);

    QRect glyphRect(QPoint(), glyphSize);
    QRect textRect(QPoint(), textSize);
    switch (m_layout) {
    case blGlyphTop:
        glyphRect.moveTopLeft({box.left() + (box.width() - glyphSize.width()) / 2, box.top()});
        textRect =
            QRect(box.left(), box.top() + glyphSize.height() + spacing, box.width(), textSize.height());
        break;
    case blGlyphBottom:
        textRect = QRect(box.left(), box.top(), box.width(), textSize.height());
        glyphRect.moveTopLeft(
            {box.left() + (box.width() - glyphSize.width()) / 2, box.top() + textSize.height() + spacing});
        break;
    case blGlyphLeft:
        glyphRect.moveTopLeft({box.left(), box.top() + (box.height() - glyphSize.height()) / 2});
        textRect = QRect(box.left() + glyphSize.width() + spacing, box.top(), textSize.width(), box.height());
        break;
    case blGlyphRight:
        textRect = QRect(box.left(), box.top(), textSize.width(), box.height());
        glyphRect.moveTopLeft(
            {box.left() + textSize.width() + spacing, box.top() + (box.height() - glyphSize.height()) / 2});
        break;
    }
    if (!glyph.isNull()) painter.drawPixmap(glyphRect.topLeft(), glyph);
    if (!caption.isEmpty())
        style()->drawItemText(&painter, textRect, Qt::AlignCenter | Qt::TextSingleLine, palette(),
                              isEnabled(), caption, QPalette::ButtonText);
}
