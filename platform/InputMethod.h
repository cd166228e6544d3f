#pragma once

#include <QObject>

class QWidget;

//! Text entry controls ask for the Traditional Chinese phonetic input method when they get
//! the focus. Qt offers no way to pick a system input method, so the request does nothing
//! here; the controls still make it, so a platform that offers one needs only request().
class InputMethod : public QObject {
    Q_OBJECT
public:
    //! The input method the text entry controls ask for.
    static QString preferredName();
    //! Makes `editor` request the preferred input method whenever it receives the focus.
    static void attach(QWidget *editor);
    //! Asks the platform for the preferred input method for `editor`: a no-op where the
    //! platform offers no such request.
    static void request(QWidget *editor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    InputMethod() = default;
    static InputMethod &filter();
};
