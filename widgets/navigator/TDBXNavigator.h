#pragma once

#include "DataSource.h"
#include "TButtonSet.h"
#include "TNavDataLink.h"
#include "TNavigateBtnX.h"

#include <QByteArray>
#include <QFrame>
#include <QPointer>
#include <QStringList>
#include <array>

class Dataset;
class TNavButton;

//! A bar of up to 23 buttons that moves through and edits the records of the dataset behind
//! a data source, and enables its buttons by itself from the dataset's state.
//!
//! Events are Qt signals named after the events: each carries the navigator and the button.
//! Connect them with direct connections: `BeforeAction` may disable or hide the button to
//! stop its action, and exceptions thrown by a handler end the click.
class TDBXNavigator : public QFrame {
    Q_OBJECT
public:
    //! The smallest size of one button.
    static constexpr int MinButtonWidth = 20;
    static constexpr int MinButtonHeight = 18;

    explicit TDBXNavigator(QWidget *parent = nullptr);
    ~TDBXNavigator() override;

    DataSource *dataSource() const { return m_source; }
    //! Re-runs the enabling rules; the reference clears itself when the source is destroyed.
    void setDataSource(DataSource *source);
    //! The dataset of the data source; null when there is none.
    Dataset *dataset() const;

    TButtonSet visibleButtons() const { return m_visibleButtons; }
    //! Shows and hides buttons and relays the bar (the width is only ever rounded down).
    void setVisibleButtons(TButtonSet buttons);
    //! Records that nbRW and nbFF move.
    int jump() const { return m_jump; }
    void setJump(int jump) { m_jump = jump; }
    bool confirmDelete() const { return m_confirmDelete; }
    void setConfirmDelete(bool on) { m_confirmDelete = on; }
    bool isFlat() const { return m_flat; }
    void setFlat(bool flat);
    //! Where the glyphs stand relative to the captions, for all buttons.
    TButtonLayout buttonLayout() const { return m_buttonLayout; }
    void setButtonLayout(TButtonLayout layout);
    //! Caption font size in points; 0 or less is ignored.
    int fontSize() const { return m_fontSize; }
    void setFontSize(int size);
    TNavShowTypeName showType() const { return m_showType; }
    void setShowType(TNavShowTypeName type);
    //! The navigator takes part in tabbing and takes the focus when a button is pressed.
    bool tabStop() const { return m_tabStop; }
    void setTabStop(bool on);
    //! Show the buttons' hints as tool tips.
    bool showHint() const { return m_showHint; }
    void setShowHint(bool on);

    //! User captions: line i, when not empty, replaces button i's caption on reload.
    const QStringList &captions() const { return m_captions; }
    //! Takes the lines; button i gets line i even when empty, later buttons their defaults.
    void setCaptions(const QStringList &captions);
    //! Defaults first, then every non-empty user line.
    void reloadCaptions();
    const QStringList &hints() const { return m_hints; }
    //! Takes the lines; lines equal to the default hints leave the user list empty.
    void setHints(const QStringList &hints);
    void reloadHints();

    //! Applies the minimum-size rule and lays the buttons out on the given bounds. Outside
    //! loading, set the visible buttons first: the width is only ever rounded down.
    void setBounds(const QRect &bounds);
    //! Starts applying stored settings: no layout and no enabling rule runs until endLoad().
    void beginLoad();
    //! Relays the bar on its size, reloads hints and captions and runs the enabling rules.
    void endLoad();
    bool isLoading() const { return m_loading; }
    //! The size the bar takes for a proposed size: at least one minimum button per visible
    //! button, and, unless a layout manages the bar, a width divisible by their number.
    QSize minimumSizeFor(const QSize &proposed) const;
    //! Width of one button in the side-by-side layout, as last computed.
    int buttonWidth() const { return m_buttonWidth; }

    TNavButton *button(TNavigateBtnX button) const { return m_buttons[size_t(button)]; }
    //! Visible and enabled (as far as the navigator is concerned).
    bool isButtonActive(TNavigateBtnX button) const;
    //! The button the keyboard acts on.
    TNavigateBtnX focusedButton() const { return m_focusedButton; }
    bool hasBookmark() const { return m_hasBookmark; }

    //! Performs the button's action and fires the events. Errors of the dataset propagate.
    virtual void ClickButton(TNavigateBtnX button);

signals:
    void BeforeAction(TDBXNavigator *sender, TNavigateBtnX button);
    void OnClick(TDBXNavigator *sender, TNavigateBtnX button);
    void OnPrintClick(TDBXNavigator *sender, TNavigateBtnX button);
    void OnToolsClick(TDBXNavigator *sender, TNavigateBtnX button);
    void OnExecuteClick(TDBXNavigator *sender, TNavigateBtnX button);
    void OnSearchClick(TDBXNavigator *sender, TNavigateBtnX button);
    void OnQueryClick(TDBXNavigator *sender, TNavigateBtnX button);
    void OnCopyClick(TDBXNavigator *sender, TNavigateBtnX button);
    void OnPasteClick(TDBXNavigator *sender, TNavigateBtnX button);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class TNavDataLink;
    // Enabling rules, run on the link's notifications.
    void activeChanged();
    void dataChanged();
    void editingChanged();

    void buildButtons();
    void performAction(TNavigateBtnX button, Dataset *dataset);
    //! A click from the user (mouse, Space, repeat): dataset errors go to the error box.
    void userClick(TNavigateBtnX button);
    void buttonPressed(TNavigateBtnX button);
    void setFocusedButton(TNavigateBtnX button);
    void updateFocusMarks();
    bool isLive() const;
    bool isAligned() const;
    void updateMinimumSize();
    //! Recomputes the minimum size and lays the bar out again for its show type.
    void relayout();
    QSize layoutSideBySide(const QSize &proposed);
    void layoutStacked(const QSize &size);
    void setButtonEnabled(TNavigateBtnX button, bool on);

    TNavDataLink m_link;
    QPointer<DataSource> m_source;
    std::array<TNavButton *, NavButtonCount> m_buttons{};
    TButtonSet m_visibleButtons;
    int m_jump = 0;
    bool m_confirmDelete = true;
    bool m_flat = false;
    TButtonLayout m_buttonLayout = blGlyphTop;
    int m_fontSize = 0;
    TNavShowTypeName m_showType = stWidth;
    bool m_tabStop = false;
    bool m_showHint = false;
    QStringList m_captions;
    QStringList m_hints;
    QStringList m_defaultCaptions;
    QStringList m_defaultHints;
    int m_buttonWidth = 0;
    TNavigateBtnX m_focusedButton = nbFirst;
    QByteArray m_bookmark;
    bool m_hasBookmark = false;
    bool m_loading = false;
};
