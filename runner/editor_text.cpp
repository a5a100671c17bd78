#include "runner/editor_text.h"

#include "common/bounded_text.h"
#include "plugin/host_entries.h"

size_t TakeEditorText(void)
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
    return FieldLength(TextBuffer, sizeof TextBuffer);
}

void HandTextToEditor(void)
{
    SetEditorTextEntry setText = HostSetEditorText(HostRecord);
    if (setText)
        setText(EditorId, TextBuffer);
}
