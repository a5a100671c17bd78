#include "run/editor_text.h"

#include "common/bounded_text.h"
#include "plugin/host_entries.h"
#include "run_reports/held_reports.h"

static const char TOO_LONG[] = "The editor text is too long to run: at most 102398 bytes.\n";

static_assert(LONGEST_WHOLE_TEXT == 102398, "the too-long message names the longest text");

bool TakeEditorText(size_t* length)
{
    GetEditorEntry getEditor = HostGetEditor(HostRecord);
    if (getEditor)
        getEditor(&EditorId);
    // A host that gives no text must not make the last run's text run again.
    TextBuffer[0] = '\0';
    HostGetEditorText(HostRecord)(EditorId, TextBuffer, TEXT_BUFFER_SIZE);
    // A host that fills the whole buffer leaves no NUL of its own; this one
    // keeps every later read inside the buffer.
    TextBuffer[TEXT_BUFFER_SIZE] = '\0';
    *length = FieldLength(TextBuffer, sizeof TextBuffer);
    // The host may have cut the text at the buffer's end, and half a
    // statement is a different statement: a full buffer never runs.
    if (*length <= LONGEST_WHOLE_TEXT)
        return true;
    ReportRunError(TOO_LONG);
    return false;
}

void HandTextToEditor(void)
{
    SetEditorTextEntry setText = HostSetEditorText(HostRecord);
    if (setText)
        setText(EditorId, TextBuffer);
}
