#pragma once

#include <QColor>
#include <QFlags>
#include <QPushButton>

//! What a paint request reports about the button being drawn.
enum class TOwnerDrawStateFlag {
    odSelected = 0x1, //!< pressed
    odDisabled = 0x4,
    odFocused = 0x10,
    odDefault = 0x20, //!< the button that Enter would press
    odHotLight = 0x40,
};
Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOwnerDrawState)

class QPainter;

//! A push button that paints its face in a colour of its own and its caption in its font
//! colour (the palette's button text), so that an action button stands out. Otherwise it is
//! an ordinary push button: it takes the focus, is pressed by mouse, Space or Enter, and
//! fires `clicked` (its OnClick).
class TColorButton : public QPushButton {
    Q_OBJECT
public:
    //! The face colour a new button starts with (aqua), and its caption colour (blue).
    static constexpr QColor DefaultColor{0, 255, 255};
    static constexpr QColor DefaultFontColor{0, 0, 255};

    explicit TColorButton(QWidget *parent = nullptr);
    explicit TColorButton(const QString &caption, QWidget *parent = nullptr);

    //! The face colour.
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    //! The caption colour.
    QColor fontColor() const;
    void setFontColor(const QColor &color);
    //! Is this the button that the Enter key would press?
    bool isActiveButton() const { return m_active; }

signals:
    //! Lets the owner draw over the face after the button has painted it; `rect` is the face
    //! rectangle the caption was centred in. The painter's state is restored afterwards.
    void OnDrawButton(TColorButton *control, QPainter *painter, const QRect &rect, TOwnerDrawState state);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void setActiveButton(bool active);
    void focusMoved(QWidget *now);
    void drawButton(QPainter &painter, TOwnerDrawState state);

    QColor m_color = DefaultColor;
    bool m_active = false;
    bool m_errorPending = false;
};
