#include "views.h"
#include <commctrl.h>
#include "../app/state.h"
#include "../app/strings.h"
#include "../res/resource.h"

#define HEADER_TEXT_CHARS 64

static void InsertColumns(HWND list, const UINT* texts, const SHORT* widths, int count)
{
    for (int i = 0; i < count; ++i) {
        wchar_t text[HEADER_TEXT_CHARS];
        LoadText(texts[i], text, ARRAYSIZE(text));
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = widths[i];
        column.pszText = text;
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void InitListColumns(void)
{
    const PswLayoutInfo& layout = g_state.layout;
    const MainWindowChildren& c = g_state.children;

    static const UINT kDetailColumns[] = {IDS_COLUMN_TITLE, IDS_COLUMN_CONTENTS};
    static const UINT kDetailRows[DETAIL_ROWS] = {IDS_DOCUMENT_NAME, IDS_USER_NAME, IDS_COMPUTER_NAME,
                                                  IDS_TIME_LEFT, IDS_TIME_FINISHED};
    SendMessageW(c.detailList, LVM_DELETEALLITEMS, 0, 0);
    InsertColumns(c.detailList, kDetailColumns, layout.detailColumns, ARRAYSIZE(kDetailColumns));
    for (int row = 0; row < DETAIL_ROWS; ++row) {
        wchar_t text[HEADER_TEXT_CHARS];
        LoadText(kDetailRows[row], text, ARRAYSIZE(text));
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = text;
        SendMessageW(c.detailList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }

    static const UINT kLogColumns[] = {IDS_DOCUMENT_NAME, IDS_COLUMN_RESULT, IDS_COLUMN_OWNER, IDS_COLUMN_PAGES,
                                       IDS_COLUMN_PRINTED_AT};
    InsertColumns(c.logList, kLogColumns, layout.logColumns, ARRAYSIZE(kLogColumns));

    static const UINT kWaitingColumns[] = {IDS_DOCUMENT_NAME, IDS_COLUMN_STATUS, IDS_COLUMN_OWNER,
                                           IDS_COLUMN_STARTED};
    const SHORT waitingWidths[] = {layout.waitingColumns[0], layout.waitingColumns[1], layout.waitingColumns[2],
                                   layout.waitingColumn4};
    InsertColumns(c.waitingList, kWaitingColumns, waitingWidths, ARRAYSIZE(kWaitingColumns));
}
