#include "GridPopupMenu.h"

#include "Dataset.h"
#include "DbError.h"
#include "Dialogs.h"
#include "TSMDBGrid.h"

namespace {
using GridEvent = void (TSMDBGrid::*)(TSMDBGrid *);
// The owner's commands, in menu order from "列印 ...".
const GridEvent kOwnerCommands[4] = {&TSMDBGrid::OnPrintData, &TSMDBGrid::OnExportData,
                                     &TSMDBGrid::OnFilterData, &TSMDBGrid::OnSearchData};

// Captions with the shortcut each shows after a tab; the shortcuts are labels only.
const char *const kCaptions[GridPopupMenu::EntryCount] = {
    "新增紀錄",
    "插入紀錄",
    "編輯紀錄",
    "刪除紀錄",
    "-",
    "列印 ...",
    "輸出 ...",
    "過濾 ...",
    "搜尋 ...\tCtrl+F",
    "-",
    "儲存變更",
    "取消變更",
    "更新\tF5",
    "-",
    "選取/取消選取 紀錄",
    "選取紀錄",
    "選取全部紀錄",
    "-",
    "取消選取紀錄",
    "取消選取全部紀錄",
    "-",
    "儲存欄位 layout",
    "還原欄位 layout",
    "-",
    "設定...",
};
} // namespace

GridPopupMenu::GridPopupMenu(TSMDBGrid *grid)
    : QMenu(grid)
    , m_grid(grid) {
    setObjectName(QStringLiteral("standardPopup"));
    // Separators keep their places even when the items around them are hidden.
    setSeparatorsCollapsible(false);
    m_selectionMenu = new QMenu(this);
    m_selectionMenu->setObjectName(QStringLiteral("selectionMenu"));
    m_selectionMenu->setSeparatorsCollapsible(false);
    int picture = 0;
    for (int entry = 0; entry < EntryCount; ++entry) {
        const QString text = caption(entry);
        QMenu *menu = entry >= SelectOne && entry <= UnselectAll ? m_selectionMenu : this;
        QAction *action = nullptr;
        if (text == QLatin1String("-")) {
            action = menu->addSeparator();
        } else if (entry == Selection) {
            action = addMenu(m_selectionMenu);
            action->setText(text);
            action->setData(picture++);
        } else {
            action = menu->addAction(text);
            action->setData(picture++);
            connect(action, &QAction::triggered, this, [this, entry] {
                // A failure nobody handles reaches the standard error box; the program goes on.
                try {
                    run(entry);
                } catch (const DbError &e) {
                    Dialogs::current().error(e.message());
                }
            });
        }
        action->setObjectName(QStringLiteral("popupEntry%1").arg(entry));
        m_actions.append(action);
    }
}

QString GridPopupMenu::caption(int entry) {
    return entry >= 0 && entry < EntryCount ? QString::fromUtf8(kCaptions[entry]) : QString();
}

void GridPopupMenu::prepare() {
    Dataset *ds = m_grid->dataset();
    const bool has = ds != nullptr;
    const bool open = has && ds->isActive();
    const bool browsing = open && ds->state() == DatasetState::Browse;
    const bool editing = open && (ds->state() == DatasetState::Edit || ds->state() == DatasetState::Insert);
    const bool writable = has && !m_grid->readOnly() && ds->canModify();
    const TExOptions ex = m_grid->exOptions();

    const bool canInsert = writable && !ex.testFlag(eoDisableInsert) && browsing;
    m_actions[Append]->setEnabled(canInsert);
    m_actions[Insert]->setEnabled(canInsert);
    m_actions[Edit]->setEnabled(writable && browsing);
    m_actions[Delete]->setEnabled(writable && !ex.testFlag(eoDisableDelete) && browsing);

    bool anyHook = false;
    for (int i = 0; i < 4; ++i) {
        const bool set = m_grid->isEventSet(kOwnerCommands[i]);
        anyHook = anyHook || set;
        m_actions[Print + i]->setVisible(set);
        m_actions[Print + i]->setEnabled(set && browsing);
    }
    m_actions[Sep2]->setVisible(anyHook);

    m_actions[Post]->setEnabled(writable && editing);
    m_actions[Cancel]->setEnabled(has && !m_grid->readOnly() && editing);
    m_actions[Refresh]->setEnabled(browsing);
    m_actions[Selection]->setEnabled(open && m_grid->multiSelect());

    const bool layout = ex.testFlag(eoLayout);
    for (int entry : {int(Sep4), int(SaveLayout), int(RestoreLayout)}) {
        m_actions[entry]->setVisible(layout);
        m_actions[entry]->setEnabled(layout);
    }
    const bool setup = m_grid->isEventSet(&TSMDBGrid::OnSetupGrid);
    m_actions[Setup]->setVisible(setup);
    m_actions[Setup]->setEnabled(has && setup);
    m_actions[Sep5]->setVisible(setup);
}

void GridPopupMenu::run(int entry) {
    TSMDBGrid *g = m_grid;
    Dataset *ds = g->dataset();
    auto hookOr = [g](GridEvent hook, const std::function<void()> &fallback) {
        if (g->isEventSet(hook))
            emit(g->*hook)(g);
        else
            fallback();
    };
    switch (entry) {
    case Append:
        hookOr(&TSMDBGrid::OnAppendRecord, [ds] { ds->append(); });
        break;
    case Insert:
        hookOr(&TSMDBGrid::OnInsertRecord, [ds] { ds->insert(); });
        break;
    case Edit:
        hookOr(&TSMDBGrid::OnEditRecord, [ds] { ds->edit(); });
        break;
    case Delete:
        hookOr(&TSMDBGrid::OnDeleteRecord, [g] { g->deleteData(); });
        break;
    case Print:
    case Export:
    case Filter:
    case Search: {
        emit(g->*kOwnerCommands[entry - Print])(g);
        break;
    }
    case Post:
        hookOr(&TSMDBGrid::OnPostData, [ds] { ds->post(); });
        break;
    case Cancel:
        hookOr(&TSMDBGrid::OnCancelData, [ds] { ds->cancel(); });
        break;
    case Refresh:
        hookOr(&TSMDBGrid::OnRefreshData, [g] { g->refreshData(); });
        break;
    case SelectOne:
        g->selectOneRecord();
        break;
    case SelectAll:
        g->selectAllRecords();
        break;
    case UnselectOne:
        g->unselectOneRecord();
        break;
    case UnselectAll:
        g->unselectAllRecords();
        break;
    case Setup:
        emit g->OnSetupGrid(g);
        break;
    default:
        // Column layouts are never saved in this program; the items stay hidden.
        break;
    }
}
