#include "app/strings.h"
#include "res/resource.h"
#include "app/state.h"

struct Fallback {
    UINT id;
    const wchar_t* text;
};

// English texts for a string table that cannot be read.
static const Fallback kFallbacks[] = {
    {IDS_TERMINATE, L"&Terminate"},
    {IDS_COLUMN_TITLE, L"Title"},
    {IDS_COLUMN_CONTENTS, L"Contents"},
    {IDS_DOCUMENT_NAME, L"Document name"},
    {IDS_USER_NAME, L"User name"},
    {IDS_COMPUTER_NAME, L"Computer name"},
    {IDS_TIME_LEFT, L"Estimated time left"},
    {IDS_TIME_FINISHED, L"Estimated time finished"},
    {IDS_COLUMN_STATUS, L"Status"},
    {IDS_COLUMN_OWNER, L"Owner"},
    {IDS_COLUMN_PAGES, L"Pages"},
    {IDS_COLUMN_STARTED, L"Started At"},
    {IDS_COLUMN_PRINTED_AT, L"Printed At"},
    {IDS_PAGE_DETAIL, L"Printing Job"},
    {IDS_PAGE_LOG, L"Printed Job"},
    {IDS_PAGE_WAITING, L"Waiting Job"},
    {IDS_JOB_PAUSED, L"Paused"},
    {IDS_JOB_ERROR, L"Error"},
    {IDS_JOB_DELETING, L"Deleting"},
    {IDS_JOB_SPOOLING, L"Spooling"},
    {IDS_JOB_PRINTING, L"Printing"},
    {IDS_JOB_OFFLINE, L"Offline"},
    {IDS_JOB_PAPER_OUT, L"PaperOut"},
    {IDS_JOB_PRINTED, L"Printed"},
    {IDS_JOB_WAITING, L"Waiting"},
    {IDS_RESULT_CANCELLED, L"Cancel"},
    {IDS_RESULT_DONE, L"Done"},
    {IDS_WINDOW_TITLE, L"Printer Status Window"},
    {IDS_PORT_BUSY, L"Port Setting cannot be executed while printing"},
    {IDS_COLUMN_RESULT, L"Status"},
    {IDS_PROGRESS_NAME, L"Print progress"},
    {IDS_MESSAGE_NAME, L"Status message"},
    {IDS_TOOLBAR_NAME, L"Job control"},
};

int LoadText(UINT id, wchar_t* buffer, int chars)
{
    if (chars <= 0)
        return 0;
    int length = LoadStringW(g_state.instance, id, buffer, chars);
    if (length > 0)
        return length;
    buffer[0] = 0;
    for (size_t i = 0; i < ARRAYSIZE(kFallbacks); ++i) {
        if (kFallbacks[i].id == id) {
            lstrcpynW(buffer, kFallbacks[i].text, chars);
            return lstrlenW(buffer);
        }
    }
    return 0;
}
