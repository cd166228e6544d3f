#include "NavButtonDefaults.h"

namespace {

struct Entry {
    const char *name;
    const char *caption;
    const char *hint;
    const char *glyph;
};

// Captions and hints as the users know them; nbRW and nbFF say 50 whatever the jump is.
constexpr Entry entries[NavButtonCount] = {
    {"nbFirst", "首筆", "Ctrl+Home 首筆", "FIRST"},
    {"nbRW", "前50", "跳前 50 筆資料", "RW"},
    {"nbPrior", "上筆", "PgUp 上筆", "PRIOR"},
    {"nbNext", "下筆", "PgDn 下筆", "NEXT"},
    {"nbFF", "後50", "跳後 50 筆資料", "FF"},
    {"nbLast", "末筆", "Ctrl+End 末筆", "LAST"},
    {"nbInsert", "新增", "F2 新增", "INSERT"},
    {"nbDelete", "刪除", "F3 刪除", "DELETE"},
    {"nbEdit", "修改", "F4 修改", "EDIT"},
    {"nbPost", "寫入", "F5 寫入", "POST"},
    {"nbCancel", "取消", "Esc 取消", "CANCEL"},
    {"nbRefresh", "更新", "資料更新", "REFRESH"},
    {"nbMark", "書籤", "資料書籤", "MARK"},
    {"nbGoto", "跳至", "跳至", "GOTO"},
    {"nbPreview", "預視", "F6 預覽", "PREVIEW"},
    {"nbPrint", "列印", "F7 列印", "PRINT"},
    {"nbTools", "功能", "F8 功能", "TOOLS"},
    {"nbExecute", "執行", "F9 執行", "EXECUTE"},
    {"nbSearch", "搜尋", "F10 搜尋", "SEARCH"},
    {"nbExit", "離開", "F11 離開", "EXIT"},
    {"nbQuery", "重組", "F12 重組查詢條件", "QUERY"},
    {"nbCopy", "複製", "Ctrl+C 複製", "COPY"},
    {"nbPaste", "貼上", "Ctrl+V 貼上", "PASTE"},
};

const Entry &entry(TNavigateBtnX button) {
    return entries[int(button)];
}

} // namespace

QString NavButtonDefaults::caption(TNavigateBtnX button) {
    return QString::fromUtf8(entry(button).caption);
}

QString NavButtonDefaults::hint(TNavigateBtnX button) {
    return QString::fromUtf8(entry(button).hint);
}

QString NavButtonDefaults::glyphName(TNavigateBtnX button) {
    return QString::fromLatin1(entry(button).glyph);
}

QString NavButtonDefaults::name(TNavigateBtnX button) {
    return QString::fromLatin1(entry(button).name);
}

QStringList NavButtonDefaults::captions() {
    QStringList list;
    for (int i = 0; i < NavButtonCount; ++i)
        list << caption(TNavigateBtnX(i));
    return list;
}

QStringList NavButtonDefaults::hints() {
    QStringList list;
    for (int i = 0; i < NavButtonCount; ++i)
        list << hint(TNavigateBtnX(i));
    return list;
}

QString NavButtonDefaults::deleteQuestion() {
    return QStringLiteral("是否刪除本筆資料");
}
