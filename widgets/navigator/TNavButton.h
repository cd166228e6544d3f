#pragma once

#include "TNavigateBtnX.h"

#include <QPixmap>
#include <QToolButton>

class QTimer;

//! One button of the record navigator: a non-focusable push button that shows a glyph (an
//! enabled and a disabled frame) with a caption, and repeats while held if asked to.
class TNavButton : public QToolButton {
    Q_OBJECT
public:
    //! Pause before the first repeat, and between later repeats, in milliseconds.
    static constexpr int InitRepeatPause = 400;
    static constexpr int RepeatPause = 100;

    explicit TNavButton(TNavigateBtnX index, QWidget *parent = nullptr);

    TNavigateBtnX index() const { return m_index; }

    //! Loads the two-frame glyph bitmap; the colour of its bottom-left pixel is transparent.
    bool loadGlyph(const QString &resourcePath);
    const QPixmap &enabledGlyph() const { return m_glyph; }
    const QPixmap &disabledGlyph() const { return m_disabledGlyph; }

    //! Clicks at the press, once more after InitRepeatPause and then every RepeatPause.
    void setAutoRepeatClicks(bool on) { m_repeat = on; }
    bool autoRepeatClicks() const { return m_repeat; }
    //! The repeat timer; null until the first press of a repeating button.
    QTimer *repeatTimer() const { return m_timer; }
    //! Ends the hold as a lost mouse capture does (a click that failed, a modal box): the
    //! button comes up and clicks no more until the next press.
    void stopRepeat();

    void setFlat(bool flat);
    bool isFlat() const { return m_flat; }
    void setGlyphLayout(TButtonLayout layout);
    TButtonLayout glyphLayout() const { return m_layout; }
    //! Draw the keyboard focus rectangle (the navigator holds the focus on this button).
    void setShowFocus(bool show);
    bool showFocus() const { return m_showFocus; }
    //! The hint text; shown as a tool tip only when hints are switched on.
    void setHint(const QString &hint);
    QString hint() const { return m_hint; }
    void setHintShown(bool shown);

    //! Sets the caption and the accessible name with it.
    void setCaption(const QString &caption);

signals:
    //! The button asks its navigator to perform its action (click, press of a repeating
    //! button, or a repeat).
    void navClick(TNavigateBtnX index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void repeatTick();
    //! A modal window other than our own is up, so the hold has lost the mouse capture.
    bool blockedByModal() const;
    void paintContent(QPainter &painter, const QRect &area, bool shifted);

    TNavigateBtnX m_index;
    QPixmap m_glyph;
    QPixmap m_disabledGlyph;
    QTimer *m_timer = nullptr;
    QString m_hint;
    TButtonLayout m_layout = blGlyphTop;
    bool m_repeat = false;
    //! A repeating press holds the mouse capture until release or until something takes it.
    bool m_holding = false;
    bool m_flat = false;
    bool m_hover = false;
    bool m_showFocus = false;
    bool m_hintShown = false;
};
