// TDBXNavigator: the buttons' actions, the enabling rules and the keyboard.
#include "TDBXNavigator.h"

#include "DataSource.h"
#include "Dataset.h"
#include "Dialogs.h"
#include "HandlerGuard.h"
#include "NavButtonDefaults.h"
#include "TNavButton.h"

#include <QApplication>
#include <QKeyEvent>

// --- clicks ------------------------------------------------------------------------------

void TDBXNavigator::ClickButton(TNavigateBtnX button) {
    const bool activeAtClick = isButtonActive(button);
    QPointer<TDBXNavigator> self(this);
    Dataset *data = dataset();
    if (data && data->state() != DatasetState::Inactive && m_source->isEnabled()) {
        emit BeforeAction(this, button);
        if (!self) return;
        // The handler may have hidden or disabled the button to stop the action.
        if (isButtonActive(button)) performAction(button, data);
    }
    if (self && activeAtClick) emit OnClick(this, button);
    if (button == nbExit)
        if (QWidget *window = QApplication::activeWindow()) window->close();
}

void TDBXNavigator::performAction(TNavigateBtnX button, Dataset *data) {
    switch (button) {
    case nbFirst:
        data->first();
        break;
    case nbRW:
        data->moveBy(-m_jump);
        break;
    case nbPrior:
        data->prior();
        break;
    case nbNext:
        data->next();
        break;
    case nbFF:
        data->moveBy(m_jump);
        break;
    case nbLast:
        data->last();
        break;
    case nbInsert:
        data->insert();
        break;
    case nbDelete:
        if (!m_confirmDelete ||
            Dialogs::current().confirm(NavButtonDefaults::deleteQuestion(), QStringLiteral("Confirm")))
            data->deleteRecord();
        break;
    case nbEdit:
        data->edit();
        break;
    case nbPost:
        data->post();
        break;
    case nbCancel:
        data->cancel();
        break;
    case nbRefresh:
        data->requery();
        break;
    case nbMark:
        m_bookmark = data->bookmark();
        m_hasBookmark = true;
        setButtonEnabled(nbGoto, true);
        break;
    case nbGoto:
        // A mark taken on an empty dataset points nowhere: nothing to go to.
        if (m_hasBookmark && !m_bookmark.isEmpty()) data->gotoBookmark(m_bookmark);
        break;
    case nbPreview:
    case nbPrint:
        emit OnPrintClick(this, button);
        break;
    case nbTools:
        emit OnToolsClick(this, button);
        break;
    case nbExecute:
        emit OnExecuteClick(this, button);
        break;
    case nbSearch:
        emit OnSearchClick(this, button);
        break;
    case nbExit:
        break;
    case nbQuery:
        emit OnQueryClick(this, button);
        break;
    case nbCopy:
        emit OnCopyClick(this, button);
        break;
    case nbPaste:
        emit OnPasteClick(this, button);
        break;
    }
}

void TDBXNavigator::userClick(TNavigateBtnX button) {
    QPointer<TNavButton> source(m_buttons[size_t(button)]);
    std::exception_ptr error;
    try {
        ClickButton(button);
    } catch (...) {
        error = std::current_exception();
    }
    if (!error) return;
    // Stop repeating first: the error box runs its own event loop, where the timer would go on.
    if (source) source->stopRepeat();
    Dialogs::current().error(HandlerGuard::messageOf(error));
}

// --- enabling rules ----------------------------------------------------------------------

bool TDBXNavigator::isLive() const {
    return isEnabled() && m_link.active();
}

void TDBXNavigator::setButtonEnabled(TNavigateBtnX button, bool on) {
    m_buttons[size_t(button)]->setEnabled(on);
}

void TDBXNavigator::dataChanged() {
    if (m_loading) return;
    const bool live = isLive();
    Dataset *data = dataset();
    const bool upEnabled = live && !data->bof();
    const bool downEnabled = live && !data->eof();
    setButtonEnabled(nbFirst, upEnabled);
    setButtonEnabled(nbPrior, upEnabled);
    setButtonEnabled(nbNext, downEnabled);
    setButtonEnabled(nbLast, downEnabled);
    setButtonEnabled(nbDelete, live && data->canModify() && !(data->bof() && data->eof()));
    setButtonEnabled(nbFF, downEnabled);
    setButtonEnabled(nbRW, upEnabled);
    const bool browse = live && data->state() == DatasetState::Browse;
    for (TNavigateBtnX b :
         {nbMark, nbGoto, nbPrint, nbPreview, nbTools, nbSearch, nbCopy, nbExecute, nbPaste})
        setButtonEnabled(b, browse);
    if (!m_hasBookmark) setButtonEnabled(nbGoto, false);
}

void TDBXNavigator::editingChanged() {
    if (m_loading) return;
    const bool live = isLive();
    Dataset *data = dataset();
    const bool modifiable = live && data->canModify();
    const bool editing = live && m_link.editing();
    setButtonEnabled(nbInsert, modifiable);
    setButtonEnabled(nbEdit, modifiable && !editing);
    setButtonEnabled(nbPost, modifiable && editing);
    setButtonEnabled(nbCancel, modifiable && editing);
    setButtonEnabled(nbRefresh, modifiable);
    const bool browse = live && data->state() == DatasetState::Browse;
    for (TNavigateBtnX b : {nbMark, nbGoto, nbPrint, nbPreview, nbSearch})
        setButtonEnabled(b, browse);
    if (!m_hasBookmark) setButtonEnabled(nbGoto, false);
}

void TDBXNavigator::activeChanged() {
    if (m_loading) return;
    if (!isLive()) {
        for (TNavButton *b : m_buttons)
            b->setEnabled(false);
        setButtonEnabled(nbExit, true);
        return;
    }
    dataChanged();
    editingChanged();
    setButtonEnabled(nbQuery, true);
}

void TDBXNavigator::changeEvent(QEvent *event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && m_buttons[0] && !m_loading) // not while building
        activeChanged();
}

// --- keyboard and focus ------------------------------------------------------------------

void TDBXNavigator::keyPressEvent(QKeyEvent *event) {
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QFrame::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Right:
        for (int i = m_focusedButton + 1; i < NavButtonCount; ++i)
            if (m_visibleButtons.contains(TNavigateBtnX(i))) {
                setFocusedButton(TNavigateBtnX(i));
                break;
            }
        break;
    case Qt::Key_Left:
        for (int i = m_focusedButton - 1; i >= 0; --i)
            if (m_visibleButtons.contains(TNavigateBtnX(i))) {
                setFocusedButton(TNavigateBtnX(i));
                break;
            }
        break;
    case Qt::Key_Space:
        if (m_buttons[size_t(m_focusedButton)]->isEnabled()) userClick(m_focusedButton);
        break;
    default:
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TDBXNavigator::buttonPressed(TNavigateBtnX button) {
    const TNavigateBtnX old = m_focusedButton;
    m_focusedButton = button;
    if (m_tabStop && !hasFocus() && isEnabled() && isVisible())
        setFocus(Qt::MouseFocusReason);
    else if (old != button)
        updateFocusMarks();
}

void TDBXNavigator::setFocusedButton(TNavigateBtnX button) {
    if (button == m_focusedButton) return;
    m_focusedButton = button;
    updateFocusMarks();
}

void TDBXNavigator::updateFocusMarks() {
    for (int i = 0; i < NavButtonCount; ++i)
        m_buttons[size_t(i)]->setShowFocus(hasFocus() && i == m_focusedButton);
}

void TDBXNavigator::focusInEvent(QFocusEvent *event) {
    QFrame::focusInEvent(event);
    updateFocusMarks();
}

void TDBXNavigator::focusOutEvent(QFocusEvent *event) {
    QFrame::focusOutEvent(event);
    updateFocusMarks();
}
