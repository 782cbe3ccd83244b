#include "tests/remote/FakeRemoteNeighbours.h"

void FakeTextView::replaceCharactersInRangeWithString(qsizetype location, qsizetype length, const QString &with)
{
    const QString before = text;
    const qsizetype caretBefore = caret;
    text.replace(location, length, with);
    caret = location + with.size();
    undo.registerUndo(static_cast<const void *>(this), [this, before, caretBefore] {
        text = before;
        caret = caretBefore;
    });
}
