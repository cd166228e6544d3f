#include "MenuPage.h"

#include "Dataset.h"
#include "FormData.h"
#include "PageWidgets.h"
#include "TForm1.h"

MenuPage::MenuPage(TForm1 &form, QWidget *parent)
    : QWidget(parent)
    , m_form(form) {
    setFixedSize(PageWidgets::PageSize);
}

void MenuPage::enter() {
    // Not guarded here: a failure to open reaches the standard error box.
    Dataset &menu = *m_form.data().ADODataSet1;
    if (!menu.isActive()) menu.open();
}
