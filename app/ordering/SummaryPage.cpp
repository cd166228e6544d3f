#include "SummaryPage.h"

#include "PageWidgets.h"

SummaryPage::SummaryPage(TForm1 &form, QWidget *parent)
    : QWidget(parent)
    , m_form(form) {
    setFixedSize(PageWidgets::PageSize);
}

void SummaryPage::enter() {
    // Today's listing and total come with the page's order grid.
    Q_UNUSED(m_form);
}
