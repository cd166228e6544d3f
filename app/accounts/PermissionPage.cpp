#include "PermissionPage.h"

#include "DataSource.h"
#include "FramedBox.h"
#include "InputMethod.h"
#include "PageWidgets.h"
#include "TDBEdit.h"
#include "TDBRadioGroup.h"
#include "TDBXNavigator.h"
#include "TSMDBGrid.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

PermissionPage::PermissionPage(const Data &data, QWidget *parent)
    : QWidget(parent)
    , m_data(data) {
    setFixedSize(PageWidgets::PageSize);

    const char *const captions[] = {"編號", "帳號", "姓名", "密碼", "部門", "權限"};
    for (int i = 0; i < 6; ++i)
        PageWidgets::label(this, qPrintable(QStringLiteral("Label%1").arg(15 + i)),
                           QString::fromUtf8(captions[i]), {16, 16 + 40 * i, 50, 21});

    auto *grid = TSMDBGrid::place(QStringLiteral("SMDBGrid5"), &m_data.accounts, this);
    grid->setGeometry(248, 48, 377, 241);

    auto *navigator = new TDBXNavigator(this);
    navigator->setObjectName(QStringLiteral("DBXNavigator3"));
    navigator->beginLoad();
    navigator->setDataSource(&m_data.accounts);
    // The same eight buttons whatever the level: accounts are created only by application.
    navigator->setVisibleButtons({nbFirst, nbPrior, nbNext, nbLast, nbDelete, nbPost, nbCancel, nbRefresh});
    navigator->setFontSize(8);
    navigator->setBounds({248, 0, 344, 49});
    navigator->endLoad();

    TDBEdit *id = boundEdit("DBEdit1", "cus_id", QStringLiteral("編號"), 16);
    // The key is shown only: it can be neither focused nor changed.
    id->setEnabled(false);
    TDBEdit *number = boundEdit("DBEdit2", "cus_number", QStringLiteral("帳號"), 56);
    TDBEdit *name = boundEdit("DBEdit3", "cus_name", QStringLiteral("姓名"), 96);
    TDBEdit *password = boundEdit("DBEdit4", "cus_password", QStringLiteral("密碼"), 136);
    PageWidgets::maskWithStars(password);
    TDBEdit *group = boundEdit("DBEdit5", "cus_group", QStringLiteral("部門"), 176);

    auto *level = new TDBRadioGroup(this);
    level->setObjectName(QStringLiteral("DBRadioGroup1"));
    level->setAccessibleName(QStringLiteral("權限"));
    level->setGeometry(56, 204, 129, 85);
    level->setItems(
        {QStringLiteral("一般使用者"), QStringLiteral("刪除管理者"), QStringLiteral("系統管理者")});
    level->setValues({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("3")});
    level->setDataSource(&m_data.accounts);
    level->setDataField(QStringLiteral("cus_leve"));

    auto *box = new FramedBox(QStringLiteral("注意事項"), this);
    box->setObjectName(QStringLiteral("GroupBox2"));
    box->setGeometry(0, 288, 625, 113);
    auto *memo = new QPlainTextEdit(box);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setAccessibleName(box->title());
    memo->setReadOnly(true);
    memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setPlainText(noticeText());
    InputMethod::attach(memo);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(memo);

    setTabOrder(grid, navigator);
    setTabOrder(navigator, number);
    setTabOrder(number, name);
    setTabOrder(name, password);
    setTabOrder(password, group);
    setTabOrder(group, level);
    setTabOrder(level, memo);
}

TDBEdit *PermissionPage::boundEdit(const char *name, const char *field, const QString &caption, int top) {
    auto *edit = new TDBEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(caption);
    edit->setGeometry(56, top, 130, 21);
    edit->setDataSource(&m_data.accounts);
    edit->setDataField(QString::fromLatin1(field));
    InputMethod::attach(edit);
    return edit;
}

QString PermissionPage::noticeText() {
    return QStringLiteral(
        "本頁列出所有帳號，可修改帳號、姓名、密碼、部門與權限。\n"
        "修改後按上方的「寫入」，或直接移到其他帳號，修改即存入資料庫；按「取消」則放棄尚未存入的修改。"
        "按「刪除」並確認後，該帳號立即從資料庫刪除；按「更新」可看到其他人新申請的帳號。\n"
        "權限的變更在該使用者下次登入時才生效；目前已登入的使用者，權限維持到關閉程式為止。\n"
        "請至少保留一位系統管理者：若刪除了所有系統管理者，將再也沒有人能進入本頁管理帳號。");
}
