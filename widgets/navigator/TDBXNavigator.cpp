#include "TDBXNavigator.h"

#include "DataSource.h"
#include "Dataset.h"
#include "DbError.h"
#include "Dialogs.h"
#include "NavButtonDefaults.h"
#include "TNavButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>

// The glyphs live in a static library's resources, which must be registered by hand.
static void initNavigatorResources() {
    Q_INIT_RESOURCE(navigator);
}

namespace {
// The bar a new navigator starts with: the moves, the edits, preview, print, search, exit.
constexpr TButtonSet InitialButtons{nbFirst, nbPrior,  nbNext,    nbLast,    nbInsert, nbDelete, nbEdit,
                                    nbPost,  nbCancel, nbRefresh, nbPreview, nbPrint,  nbSearch, nbExit};
constexpr int InitialWidth = 241;
constexpr int InitialHeight = 25;
} // namespace

TDBXNavigator::TDBXNavigator(QWidget *parent)
    : QFrame(parent)
    , m_link(this)
    , m_visibleButtons(InitialButtons) {
    initNavigatorResources();
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    m_defaultCaptions = NavButtonDefaults::captions();
    m_defaultHints = NavButtonDefaults::hints();
    buildButtons();
    reloadHints();
    reloadCaptions();
    const QFont font = m_buttons[nbFirst]->font();
    m_fontSize = font.pointSize() > 0 ? font.pointSize() : qMax(1, font.pixelSize() * 72 / 96);
    updateMinimumSize();
    setBounds(QRect(0, 0, InitialWidth, InitialHeight));
    activeChanged();
}

TDBXNavigator::~TDBXNavigator() {
    m_link.detach();
}

void TDBXNavigator::buildButtons() {
    int x = 0;
    for (int i = 0; i < NavButtonCount; ++i) {
        const auto value = TNavigateBtnX(i);
        auto *b = new TNavButton(value, this);
        b->setObjectName(NavButtonDefaults::name(value));
        b->setFlat(m_flat);
        b->setHidden(!m_visibleButtons.contains(value));
        b->setGeometry(x, 0, MinButtonWidth, MinButtonHeight);
        b->loadGlyph(QStringLiteral(":/navigator/%1.bmp")
                         .arg(QStringLiteral("dbx_%1").arg(NavButtonDefaults::glyphName(value)).toUpper()));
        b->setCaption(m_defaultCaptions.at(i));
        b->setGlyphLayout(blGlyphTop);
        connect(b, &TNavButton::navClick, this, &TDBXNavigator::userClick);
        connect(b, &QAbstractButton::pressed, this, [this, value] { buttonPressed(value); });
        m_buttons[size_t(i)] = b;
        x += MinButtonWidth;
    }
    m_buttons[nbPrior]->setAutoRepeatClicks(true);
    m_buttons[nbNext]->setAutoRepeatClicks(true);
}

// --- data source -------------------------------------------------------------------------

void TDBXNavigator::setDataSource(DataSource *source) {
    if (m_source) disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_link.setDataSource(source);
    if (m_loading) return;
    if (source)
        connect(source, &QObject::destroyed, this, [this] {
            m_source = nullptr;
            activeChanged();
        });
    activeChanged();
}

Dataset *TDBXNavigator::dataset() const {
    return m_source ? m_source->dataset() : nullptr;
}

// --- properties --------------------------------------------------------------------------

void TDBXNavigator::setVisibleButtons(TButtonSet buttons) {
    m_visibleButtons = buttons;
    for (int i = 0; i < NavButtonCount; ++i)
        m_buttons[size_t(i)]->setHidden(!buttons.contains(TNavigateBtnX(i)));
    if (m_loading) return;
    relayout();
    update();
}

void TDBXNavigator::relayout() {
    updateMinimumSize();
    if (m_showType == stWidth) {
        const QSize laid = layoutSideBySide(size());
        if (laid != size()) resize(laid);
    } else {
        const QSize s = minimumSizeFor(size());
        if (s != size()) resize(s);
        layoutStacked(size());
    }
}

void TDBXNavigator::setFlat(bool flat) {
    m_flat = flat;
    for (TNavButton *b : m_buttons)
        b->setFlat(flat);
}

void TDBXNavigator::setButtonLayout(TButtonLayout layout) {
    m_buttonLayout = layout;
    for (TNavButton *b : m_buttons)
        b->setGlyphLayout(layout);
    update();
}

void TDBXNavigator::setFontSize(int size) {
    if (size <= 0) return;
    m_fontSize = size;
    for (TNavButton *b : m_buttons) {
        QFont f = b->font();
        f.setPointSize(size);
        b->setFont(f);
    }
}

void TDBXNavigator::setShowType(TNavShowTypeName type) {
    m_showType = type;
    if (m_loading) return;
    updateMinimumSize();
    if (type == stWidth)
        setBounds(geometry());
    else
        layoutStacked(size());
}

void TDBXNavigator::setTabStop(bool on) {
    m_tabStop = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

void TDBXNavigator::setShowHint(bool on) {
    m_showHint = on;
    for (TNavButton *b : m_buttons)
        b->setHintShown(on);
}

void TDBXNavigator::reloadCaptions() {
    for (int i = 0; i < NavButtonCount; ++i)
        m_buttons[size_t(i)]->setCaption(m_defaultCaptions.at(i));
    for (int i = 0; i < m_captions.size() && i < NavButtonCount; ++i)
        if (!m_captions.at(i).isEmpty()) m_buttons[size_t(i)]->setCaption(m_captions.at(i));
}

void TDBXNavigator::setCaptions(const QStringList &captions) {
    m_captions = captions;
    reloadCaptions();
    // An explicit assignment also gives empty lines to their buttons.
    for (int i = 0; i < NavButtonCount; ++i)
        m_buttons[size_t(i)]->setCaption(i < captions.size() ? captions.at(i) : m_defaultCaptions.at(i));
    update();
}

void TDBXNavigator::reloadHints() {
    for (int i = 0; i < NavButtonCount; ++i)
        m_buttons[size_t(i)]->setHint(m_defaultHints.at(i));
    for (int i = 0; i < m_hints.size() && i < NavButtonCount; ++i)
        if (!m_hints.at(i).isEmpty()) m_buttons[size_t(i)]->setHint(m_hints.at(i));
}

void TDBXNavigator::setHints(const QStringList &hints) {
    // Lines equal to the defaults are not kept as the user's own.
    if (hints.join(QLatin1Char('\n')) == m_defaultHints.join(QLatin1Char('\n')))
        m_hints.clear();
    else
        m_hints = hints;
    reloadHints();
}

bool TDBXNavigator::isButtonActive(TNavigateBtnX button) const {
    return m_visibleButtons.contains(button) && m_buttons[size_t(button)]->isEnabledTo(this);
}

// --- sizing and layout -------------------------------------------------------------------

bool TDBXNavigator::isAligned() const {
    // A bar managed by a layout takes the size it is given, like an aligned control.
    const QWidget *parent = parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(const_cast<TDBXNavigator *>(this)) >= 0;
}

QSize TDBXNavigator::minimumSizeFor(const QSize &proposed) const {
    const int n = qMax(1, m_visibleButtons.count());
    int w = proposed.width();
    int h = proposed.height();
    if (m_showType == stWidth) {
        w = qMax(w, MinButtonWidth * n);
        h = qMax(h, MinButtonHeight);
        if (!isAligned()) w = w / n * n;
    } else {
        h = qMax(h, MinButtonWidth * n);
        w = qMax(w, MinButtonHeight);
    }
    return {w, h};
}

void TDBXNavigator::updateMinimumSize() {
    const int n = qMax(1, m_visibleButtons.count());
    if (m_showType == stWidth)
        setMinimumSize(MinButtonWidth * n, MinButtonHeight);
    else
        setMinimumSize(MinButtonHeight, MinButtonWidth * n);
}

QSize TDBXNavigator::layoutSideBySide(const QSize &proposed) {
    const QSize s = minimumSizeFor(proposed);
    const int n = qMax(1, m_visibleButtons.count());
    const int b = s.width() / n;
    const int width = isAligned() ? s.width() : b * n;
    const int gap = width - b * n;
    // The gap pixels go one each to buttons spread evenly along the bar.
    int space = n / 2;
    int x = 0;
    for (int i = 0; i < NavButtonCount; ++i) {
        TNavButton *button = m_buttons[size_t(i)];
        if (m_visibleButtons.contains(TNavigateBtnX(i))) {
            int extra = 0;
            if (gap != 0) {
                space -= gap;
                if (space < 0) {
                    space += n;
                    extra = 1;
                }
            }
            button->setGeometry(x, 0, b + extra, s.height());
            x += b + extra;
        } else {
            button->setGeometry(width + 1, 0, b, s.height()); // parked beyond the bar
        }
    }
    m_buttonWidth = b;
    return {width, s.height()};
}

void TDBXNavigator::layoutStacked(const QSize &size) {
    const int n = qMax(1, m_visibleButtons.count());
    const int h = size.height() / n;
    int y = 0;
    for (int i = 0; i < NavButtonCount; ++i) {
        TNavButton *button = m_buttons[size_t(i)];
        if (m_visibleButtons.contains(TNavigateBtnX(i))) {
            button->setGeometry(0, y, size.width(), h);
            y += h;
        } else {
            button->setGeometry(0, height() + 1, size.width(), size.height());
        }
    }
}

void TDBXNavigator::setBounds(const QRect &bounds) {
    if (m_loading) {
        setGeometry(bounds);
        return;
    }
    const QSize s = m_showType == stWidth ? layoutSideBySide(bounds.size()) : minimumSizeFor(bounds.size());
    setGeometry(QRect(bounds.topLeft(), s));
    if (m_showType == stHeight) layoutStacked(s);
}

void TDBXNavigator::resizeEvent(QResizeEvent *event) {
    QFrame::resizeEvent(event);
    if (m_loading) return;
    const QSize allowed = minimumSizeFor(size());
    if (allowed != size()) {
        resize(allowed); // comes back here with the allowed size
        return;
    }
    if (m_showType == stWidth)
        layoutSideBySide(size());
    else
        layoutStacked(size());
}

void TDBXNavigator::beginLoad() {
    m_loading = true;
    setMinimumSize(0, 0); // the stored size is taken as it is until loading ends
}

void TDBXNavigator::endLoad() {
    m_loading = false;
    relayout();
    reloadHints();
    reloadCaptions();
    activeChanged();
}
