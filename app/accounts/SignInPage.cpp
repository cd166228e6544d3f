#include "SignInPage.h"

#include "CatalogPage.h"
#include "Dataset.h"
#include "DbError.h"
#include "Dialogs.h"
#include "FormData.h"
#include "HandlerGuard.h"
#include "InputMethod.h"
#include "PageWidgets.h"
#include "StatusBar.h"
#include "TForm1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <climits>

SignInPage::SignInPage(TForm1 &form, QWidget *parent)
    : QWidget(parent)
    , m_form(form) {
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

QString SignInPage::prepared(const QString &typed) {
    qsizetype begin = 0;
    qsizetype end = typed.size();
    while (begin < end && typed.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && typed.at(end - 1).unicode() <= 32)
        --end;
    QString out = typed.mid(begin, end - begin);
    for (QChar &c : out) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + ('a' - 'A'));
    }
    return out;
}

void SignInPage::BitBtn1Click() {
    FormData &d = m_form.data();
    Dataset &query = *d.ADOQuery_GET;
    // Engine failures are swallowed: the user stays signed out.
    try {
        const QString account = prepared(m_account->text());
        const QString password = prepared(m_password->text());

        query.close();
        query.statement().clear();
        query.statement().add(QStringLiteral("Select * From customer Where "));
        query.statement().add(QStringLiteral("cus_number = ? COLLATE KTEXT "));
        query.statement().bind(account);
        query.statement().add(QStringLiteral("and cus_password = ? COLLATE KTEXT "));
        query.statement().bind(password);
        query.open();

        if (query.bof() == query.eof() || query.recordCount() > 1) {
            Dialogs::current().message(QStringLiteral("帳號密碼錯誤"));
        } else {
            const Field *nameField = query.field(2);
            const Field *levelField = query.field(5);
            if (!nameField || !levelField)
                throw DbError(QStringLiteral("The customer table lacks the name or level column."));
            const QString name = nameField->asString();
            // A level beyond the integer range must not wrap round to a manager's level.
            const int level = int(qBound(qint64(INT_MIN), levelField->asInteger(), qint64(INT_MAX)));
            m_form.setSignedInUser(name, level);
            m_form.statusPanels()->setPanelText(0, QStringLiteral("使用者：") + name);

            m_form.setTabShown(TForm1::SignIn, false);
            m_form.setTabShown(TForm1::Catalog, true);
            m_form.setTabShown(TForm1::Summary, true);
            m_form.setTabShown(TForm1::Menu, true);
            if (level == 3) m_form.setTabShown(TForm1::Permission, true);

            m_form.catalogPage()->clearShopList();
            m_form.Get_CB1_Text();
        }
        query.close();
    } catch (const std::exception &) {
    }
}

void SignInPage::BitBtn2Click() {
    m_form.setTabShown(TForm1::Application, true);
    m_form.setTabShown(TForm1::SignIn, false);
}
