#include "ApplicationPage.h"

#include "AccountNameRule.h"
#include "AccountStatements.h"
#include "Dataset.h"
#include "DbError.h"
#include "DbErrorLog.h"
#include "Dialogs.h"
#include "HandlerGuard.h"
#include "PageWidgets.h"
#include "UiLog.h"

#include <QLineEdit>
#include <QPushButton>

ApplicationPage::ApplicationPage(const Data &data, QWidget *parent)
    : QWidget(parent)
    , m_data(data) {
    setFixedSize(PageWidgets::PageSize);

    PageWidgets::label(this, "Label3", QStringLiteral("帳號"), {16, 16, 50, 23});
    PageWidgets::label(this, "Label4", QStringLiteral("姓名"), {16, 56, 50, 23});
    PageWidgets::label(this, "Label5", QStringLiteral("密碼"), {16, 96, 50, 23});
    PageWidgets::label(this, "Label6", QStringLiteral("部門"), {16, 136, 50, 23});
    m_account = PageWidgets::edit(this, "Edit3", QStringLiteral("帳號"), {64, 16, 150, 21});
    m_name = PageWidgets::edit(this, "Edit4", QStringLiteral("姓名"), {64, 56, 150, 21});
    m_password = PageWidgets::edit(this, "Edit5", QStringLiteral("密碼"), {64, 96, 150, 21});
    PageWidgets::maskWithStars(m_password);
    m_group = PageWidgets::edit(this, "Edit6", QStringLiteral("部門"), {64, 136, 150, 21});
    auto *apply = PageWidgets::button(this, "BitBtn3", QStringLiteral("確定申請"), {16, 176, 100, 33},
                                      PageWidgets::PageTextPixels);
    auto *back = PageWidgets::button(this, "Button1", QStringLiteral("回登入畫面"), {136, 176, 100, 33},
                                     PageWidgets::PageTextPixels);

    setTabOrder(m_account, m_name);
    setTabOrder(m_name, m_password);
    setTabOrder(m_password, m_group);
    setTabOrder(m_group, apply);
    setTabOrder(apply, back);

    connect(apply, &QPushButton::clicked, this, HandlerGuard::wrap([this] { BitBtn3Click(); }));
    connect(back, &QPushButton::clicked, this, HandlerGuard::wrap([this] { Button1Click(); }));
}

void ApplicationPage::BitBtn3Click() {
    // An account that sign-in could never match, or would take for another, is refused with its
    // reason; any other failure is one for the manager.
    if (!AccountNameRule::signInCanMatch(m_account->text())) {
        Dialogs::current().message(AccountNameRule::untrimmedMessage());
        return;
    }
    try {
        AccountStatements::apply(m_data.inserts,
                                 {m_account->text(), m_name->text(), m_password->text(), m_group->text()});
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "account application refused", e);
        const auto *refusal = dynamic_cast<const DbError *>(&e);
        Dialogs::current().message(refusal && refusal->category() == DbError::Category::Duplicate
                                       ? AccountNameRule::takenReason()
                                       : QStringLiteral("錯誤請找管理人"));
        return;
    }
    Dialogs::current().message(QStringLiteral("帳號已新增"));
    emit applied();
}

void ApplicationPage::Button1Click() {
    emit backRequested();
}
