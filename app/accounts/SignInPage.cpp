#include "SignInPage.h"

#include "AccountStatements.h"
#include "Dataset.h"
#include "DbErrorLog.h"
#include "Dialogs.h"
#include "HandlerGuard.h"
#include "PageWidgets.h"
#include "UiLog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>

SignInPage::SignInPage(const Data &data, QWidget *parent)
    : QWidget(parent)
    , m_data(data) {
    setFixedSize(PageWidgets::PageSize);

    // The picture lies under everything else at its natural size; the page cuts it off.
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    const QPixmap picture(QStringLiteral(":/app/signin.jpg"));
    m_image->setPixmap(picture);
    m_image->setGeometry(0, 0, picture.width(), picture.height());
    m_image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image->setAccessibleName(tr("Sign-in picture"));

    PageWidgets::label(this, "Label1", QStringLiteral("輸入帳號"), {56, 64, 80, 21});
    PageWidgets::label(this, "Label2", QStringLiteral("輸入密碼"), {56, 96, 80, 21});
    m_account = PageWidgets::edit(this, "Edit1", QStringLiteral("輸入帳號"), {136, 64, 121, 21});
    m_password = PageWidgets::edit(this, "Edit2", QStringLiteral("輸入密碼"), {136, 96, 121, 21});
    PageWidgets::maskWithStars(m_password);
    m_signIn = PageWidgets::button(this, "BitBtn1", QStringLiteral("登入系統"), {72, 144, 73, 25},
                                   PageWidgets::WindowTextPixels);
    m_apply = PageWidgets::button(this, "BitBtn2", QStringLiteral("申請帳號"), {184, 144, 75, 25},
                                  PageWidgets::WindowTextPixels);

    setTabOrder(m_account, m_password);
    setTabOrder(m_password, m_signIn);
    setTabOrder(m_signIn, m_apply);

    connect(m_signIn, &QPushButton::clicked, this, HandlerGuard::wrap([this] { BitBtn1Click(); }));
    connect(m_apply, &QPushButton::clicked, this, HandlerGuard::wrap([this] { BitBtn2Click(); }));
}

void SignInPage::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // Not when the window itself comes back (restored from the task bar): the focus stays where
    // the user left it.
    if (!event->spontaneous()) m_account->setFocus(Qt::OtherFocusReason);
}

void SignInPage::BitBtn1Click() {
    // Engine failures are swallowed: the user stays signed out.
    try {
        const std::optional<AccountStatements::SignedInAccount> account =
            AccountStatements::findAccount(m_data.reads, m_account->text(), m_password->text());
        if (!account) {
            Dialogs::current().message(QStringLiteral("帳號密碼錯誤"));
            return;
        }
        emit signedIn(account->name, account->level);
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "sign-in failed", e);
    }
}

void SignInPage::BitBtn2Click() {
    emit applyRequested();
}
