#include "PermissionPage.h"

#include "PageWidgets.h"

PermissionPage::PermissionPage(TForm1 &form, QWidget *parent)
    : QWidget(parent)
    , m_form(form) {
    setFixedSize(PageWidgets::PageSize);
    Q_UNUSED(m_form);
}
