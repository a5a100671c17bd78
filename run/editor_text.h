#ifndef TAMSIL_EDITOR_TEXT_H
#define TAMSIL_EDITOR_TEXT_H

#include <stddef.h>

#include "plugin/module_state.h"

enum
{
    // A host cuts a longer text to the buffer it is given, NUL included, so
    // a text that fills it may have been cut; only shorter texts are whole.
    LONGEST_WHOLE_TEXT = TEXT_BUFFER_SIZE - 2
};

// Takes the text of the host's current editor into TextBuffer, refreshing
// EditorId first when the host offers GetEditor, and its length into
// *length. The host must offer GetEditorText. False, after reporting it,
// when the text is longer than LONGEST_WHOLE_TEXT: the host may have cut it.
bool TakeEditorText(size_t* length);

// Hands the text in TextBuffer to the editor of EditorId, when the host
// offers SetEditorText.
void HandTextToEditor(void);

#endif
