#pragma once
// Texts from modules and games (unit, player, deck, value and hex names,
// card texts, comments, notes) are shown as they are: a QLabel, a message
// box or a tool tip never takes a text that merely looks like a tag for
// markup (an <img> would load a file, a <a> offer a link). Both programs
// call keepTextPlain() once; a label of the program's own that is meant as
// markup says so with markupAllowed().

class QLabel;
class QPlainTextEdit;
class QString;

namespace qmx {

void keepTextPlain();
void markupAllowed(QLabel* label);
// Puts `text` into the field with the cursor at `cursor` (kept within the
// text): a field whose edit was cut to its limit shows what it kept.
void showTextAt(QPlainTextEdit* edit, const QString& text, int cursor);

}  // namespace qmx
