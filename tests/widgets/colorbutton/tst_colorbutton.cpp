#include "ScriptedDialogs.h"
#include "TColorButton.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

const QColor Aqua(0, 255, 255);
const QColor Blue(0, 0, 255);

bool isCaptionPixel(const QColor &c) {
    return c.blue() > 150 && c.red() < 120 && c.green() < 180;
}

//! Bounding box of the caption's blue pixels.
QRect captionBox(const QImage &image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isCaptionPixel(image.pixelColor(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

//! A page like the catalog page: an edit, then the colour button.
struct Page {
    QWidget window;
    QLineEdit *edit = new QLineEdit(&window);
    TColorButton *button = new TColorButton(QStringLiteral("新增到訂單"), &window);
    TColorButton *other = new TColorButton(QStringLiteral("新增飲料項目"), &window);

    Page() {
        button->setObjectName(QStringLiteral("ColorButton1"));
        edit->setGeometry(0, 0, 100, 21);
        button->setGeometry(10, 40, 120, 33);
        other->setGeometry(10, 80, 120, 33);
        QFont font = button->font();
        font.setPixelSize(16);
        button->setFont(font);
        window.resize(200, 130);
        window.show();
        window.activateWindow();
    }
    bool ready() {
        if (!QTest::qWaitForWindowActive(&window)) return false;
        edit->setFocus();
        return QTest::qWaitFor([this] { return edit->hasFocus(); });
    }
    QColor role(QPalette::ColorRole r) const { return button->palette().color(r); }
};

} // namespace

class TestColorButton : public QObject {
    Q_OBJECT

private slots:
    void defaults() {
        TColorButton button;
        QCOMPARE(button.color(), Aqua);
        QCOMPARE(button.fontColor(), Blue);
        QVERIFY(!button.isActiveButton());
        QCOMPARE(button.focusPolicy(), Qt::StrongFocus);
    }

    void idleFace() {
        Page p;
        QVERIFY(p.ready());
        const QImage image = p.button->grab().toImage();
        const int w = image.width(), h = image.height();
        // A raised frame around an aqua face, with no outline.
        QVERIFY(image.pixelColor(0, 0).rgb() != p.role(QPalette::Shadow).rgb());
        QCOMPARE(image.pixelColor(w - 1, h - 1).rgb(), p.role(QPalette::Shadow).rgb());
        QVERIFY(image.pixelColor(1, 1) != Aqua);
        QCOMPARE(image.pixelColor(2, 2), Aqua);
        QCOMPARE(image.pixelColor(w - 3, h - 3), Aqua);
        QVERIFY(image.pixelColor(w - 2, h - 2) != Aqua);
        QCOMPARE(image.pixelColor(0, h - 1), image.pixelColor(w - 1, h - 1)); // bottom edge in shadow
        // The caption is blue, on one line, centred.
        const QRect text = captionBox(image);
        QVERIFY(text.isValid());
        QVERIFY(qAbs(text.center().x() - w / 2) <= 2);
        QVERIFY(qAbs(text.center().y() - h / 2) <= 3);
        QVERIFY(text.height() <= QFontMetrics(p.button->font()).height());
        // Another face colour is used as it is.
        p.button->setColor(QColor(255, 200, 0));
        QCOMPARE(p.button->grab().toImage().pixelColor(3, 3), QColor(255, 200, 0));
    }

    void focusedButtonHasOutlineAndFocusRectangle() {
        Page p;
        QVERIFY(p.ready());
        p.button->setFocus();
        QTRY_VERIFY(p.button->hasFocus());
        QVERIFY(p.button->isActiveButton());
        const QImage image = p.button->grab().toImage();
        const int w = image.width(), h = image.height();
        const QColor frame = p.role(QPalette::Shadow);
        for (QPoint pt :
             {QPoint(0, 0), QPoint(w / 2, 0), QPoint(w - 1, h / 2), QPoint(w / 2, h - 1), QPoint(0, h / 2)})
            QCOMPARE(image.pixelColor(pt).rgb(), frame.rgb());
        QCOMPARE(image.pixelColor(3, 3), Aqua);
        // The dotted rectangle 4 pixels in: frame-coloured dots on the button face colour.
        int dots = 0, gaps = 0;
        for (int x = 4; x < w - 4; ++x) {
            const QColor c = image.pixelColor(x, 4);
            dots += c.rgb() == frame.rgb();
            gaps += c.rgb() == p.role(QPalette::Button).rgb();
        }
        QVERIFY(dots > 10 && gaps > 10);
        QCOMPARE(dots + gaps, w - 8);
        QCOMPARE(image.pixelColor(w / 2, 5), Aqua);
    }

    void pressedFaceShiftsByOnePixel() {
        Page p;
        QVERIFY(p.ready());
        const QImage idle = p.button->grab().toImage();
        p.button->setDown(true);
        const QImage pressed = p.button->grab().toImage();
        const int w = pressed.width(), h = pressed.height();
        // A shadow line on top and left, no raised frame; the face moved right and down.
        const QColor shadow = p.role(QPalette::Dark);
        QCOMPARE(pressed.pixelColor(0, 0).rgb(), shadow.rgb());
        QCOMPARE(pressed.pixelColor(w / 2, 0).rgb(), shadow.rgb());
        QCOMPARE(pressed.pixelColor(0, h / 2).rgb(), shadow.rgb());
        QCOMPARE(pressed.pixelColor(1, 1).rgb(), p.role(QPalette::Button).rgb());
        QCOMPARE(pressed.pixelColor(2, 2), Aqua);
        QCOMPARE(pressed.pixelColor(w - 1, h - 1), Aqua);
        QCOMPARE(captionBox(pressed), captionBox(idle).translated(1, 1));

        // Focused and pressed: the outline stays, the focus rectangle does not move.
        p.button->setDown(false);
        p.button->setFocus();
        QTRY_VERIFY(p.button->hasFocus());
        const QImage focusedIdle = p.button->grab().toImage();
        p.button->setDown(true);
        const QImage focusedPressed = p.button->grab().toImage();
        QCOMPARE(focusedPressed.pixelColor(0, 0).rgb(), p.role(QPalette::Shadow).rgb());
        QCOMPARE(focusedPressed.pixelColor(1, 1).rgb(), shadow.rgb());
        for (int x = 4; x < w - 4; ++x)
            QCOMPARE(focusedPressed.pixelColor(x, 4), focusedIdle.pixelColor(x, 4));
        p.button->setDown(false);
    }

    void disabledButtonEmbossesAndIgnoresClicks() {
        Page p;
        QVERIFY(p.ready());
        const QRect enabledText = captionBox(p.button->grab().toImage());
        QSignalSpy clicked(p.button, &QAbstractButton::clicked);
        p.button->setEnabled(false);
        const QImage image = p.button->grab().toImage();
        QVERIFY(!captionBox(image).isValid()); // no blue left
        // Light and grey caption pixels where the enabled caption stood.
        const QColor light = p.button->palette().color(QPalette::Disabled, QPalette::Light);
        const QColor dark = p.button->palette().color(QPalette::Disabled, QPalette::Dark);
        QRect greyBox;
        int lights = 0;
        for (int y = 2; y < image.height() - 2; ++y)
            for (int x = 2; x < image.width() - 2; ++x) {
                const QColor c = image.pixelColor(x, y);
                lights += c.rgb() == light.rgb();
                if (c.rgb() == dark.rgb()) greyBox |= QRect(x, y, 1, 1);
            }
        QVERIFY(lights > 5);
        QVERIFY(greyBox.isValid());
        QVERIFY(qAbs(greyBox.center().x() - enabledText.center().x()) <= 1);
        QVERIFY(qAbs(greyBox.center().y() - enabledText.center().y()) <= 1);
        QTest::mouseClick(p.button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 0);
    }

    void doubleClickIsTwoClicks() {
        Page p;
        QVERIFY(p.ready());
        QSignalSpy clicked(p.button, &QAbstractButton::clicked);
        // What the window system sends for a double click: press, release, double click,
        // release.
        const QPoint at = p.button->rect().center();
        QTest::mousePress(p.button, Qt::LeftButton, {}, at);
        QTest::mouseRelease(p.button, Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, p.button->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(p.button, &dbl);
        QTest::mouseRelease(p.button, Qt::LeftButton, {}, at);
        QCOMPARE(clicked.count(), 2);
        // Keyboard presses: Space and Enter on the focused button.
        p.button->setFocus();
        QTRY_VERIFY(p.button->hasFocus());
        QTest::keyClick(p.button, Qt::Key_Space);
        QTest::keyClick(p.button, Qt::Key_Return);
        QCOMPARE(clicked.count(), 4);
    }

    void activeFlagFollowsTheFocus() {
        Page p;
        QVERIFY(p.ready());
        QVERIFY(!p.button->isActiveButton());
        p.button->setFocus();
        QTRY_VERIFY(p.button->isActiveButton());
        p.edit->setFocus();
        QTRY_VERIFY(!p.button->isActiveButton());
        // The default button is active while the focus is on something that is not a button,
        // with the outline but without the focus rectangle.
        p.button->setDefault(true);
        p.button->setFocus();
        p.edit->setFocus();
        QTRY_VERIFY(p.edit->hasFocus());
        QVERIFY(p.button->isActiveButton());
        const QImage image = p.button->grab().toImage();
        QCOMPARE(image.pixelColor(0, 0).rgb(), p.role(QPalette::Shadow).rgb());
        QCOMPARE(image.pixelColor(6, 4), Aqua);
        p.other->setFocus();
        QTRY_VERIFY(p.other->hasFocus());
        QVERIFY(!p.button->isActiveButton());
        QVERIFY(p.other->isActiveButton());
    }

    void longCaptionStaysOnOneLine() {
        Page p;
        QVERIFY(p.ready());
        p.button->setText(QStringLiteral("新增到訂單 新增到訂單 新增到訂單 新增到訂單"));
        p.button->resize(80, 33);
        const QRect text = captionBox(p.button->grab().toImage());
        QVERIFY(text.isValid());
        QVERIFY(text.height() <= QFontMetrics(p.button->font()).height());
    }

    void ownerDrawing() {
        Page p;
        QVERIFY(p.ready());
        QRect seenRect;
        TOwnerDrawState seenState;
        connect(p.button, &TColorButton::OnDrawButton, p.button,
                [&](TColorButton *control, QPainter *painter, const QRect &rect, TOwnerDrawState state) {
                    QCOMPARE(control, p.button);
                    seenRect = rect;
                    seenState = state;
                    painter->fillRect(QRect(rect.topLeft(), QSize(3, 3)), Qt::red);
                });
        p.button->setDown(true);
        const QImage image = p.button->grab().toImage();
        QCOMPARE(seenRect, QRect(2, 2, p.button->width() - 2, p.button->height() - 2));
        QVERIFY(seenState.testFlag(TOwnerDrawStateFlag::odSelected));
        QVERIFY(!seenState.testFlag(TOwnerDrawStateFlag::odDisabled));
        QCOMPARE(image.pixelColor(2, 2).rgb(), QColor(Qt::red).rgb());
        p.button->setDown(false);
    }

    void failingOwnerDrawingIsReportedAndPaintingFinishes() {
        ScriptedDialogs dialogs;
        Page p;
        QVERIFY(p.ready());
        p.button->setFocus();
        QTRY_VERIFY(p.button->hasFocus());
        const QImage before = p.button->grab().toImage();
        connect(p.button, &TColorButton::OnDrawButton, p.button,
                [](TColorButton *, QPainter *painter, const QRect &, TOwnerDrawState) {
                    painter->setPen(Qt::red);
                    painter->setBackgroundMode(Qt::TransparentMode);
                    throw std::runtime_error("drawing failed");
                });
        const QImage after = p.button->grab().toImage();
        // The painter came back as it was: the focus rectangle is drawn as before.
        QCOMPARE(after, before);
        QTRY_COMPARE(dialogs.texts(), QStringList{QStringLiteral("drawing failed")});
    }
};

QTEST_MAIN(TestColorButton)
#include "tst_colorbutton.moc"
