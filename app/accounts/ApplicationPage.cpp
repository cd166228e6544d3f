#include "ApplicationPage.h"

#include "Dataset.h"
#include "Dialogs.h"
#include "FormData.h"
#include "HandlerGuard.h"
#include "PageWidgets.h"
#include "TForm1.h"

#include <QLineEdit>
#include <QPushButton>

ApplicationPage::ApplicationPage(TForm1 &form, QWidget *parent)
    : QWidget(parent)
    , m_form(form) {
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
    Dataset &query = *m_form.data().ADOQuery_SET;
    try {
        // The typed texts go in exactly as typed; the engine converts them to their columns'
        // types and refuses what a column cannot hold.
        query.close();
        Statement &s = query.statement();
        s.clear();
        s.add(QStringLiteral("INSERT INTO customer "));
        s.add(QStringLiteral("(cus_number , cus_name , cus_password , cus_group , cus_leve ) "));
        s.add(QStringLiteral("VALUES ("));
        s.add(QStringLiteral(" ? ,"));
        s.bindFor(QStringLiteral("cus_number"), m_account->text());
        s.add(QStringLiteral(" ? ,"));
        s.bindFor(QStringLiteral("cus_name"), m_name->text());
        s.add(QStringLiteral(" ? ,"));
        s.bindFor(QStringLiteral("cus_password"), m_password->text());
        s.add(QStringLiteral(" ? ,"));
        s.bindFor(QStringLiteral("cus_group"), m_group->text());
        s.add(QStringLiteral(" '0' )"));
        query.execSql();
        query.close();

        Dialogs::current().message(QStringLiteral("帳號已新增"));
        Button1Click();
    } catch (const std::exception &) {
        Dialogs::current().message(QStringLiteral("錯誤請找管理人"));
    }
}

void ApplicationPage::Button1Click() {
    m_form.setTabShown(TForm1::SignIn, true);
    m_form.setTabShown(TForm1::Application, false);
}
