#include "phonebook/field_box.h"

#include <algorithm>

namespace pb {

FieldBox::FieldBox(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, &FieldBox::onEdited);
    // A user edit is told (textEdited) before the change itself (textChanged), so
    // m_shown still holds the text from before the edit when onEdited runs.
    connect(this, &QLineEdit::textChanged, this, [this] { m_shown = text(); });
}

void FieldBox::onEdited(const QString& text) {
    const QString old = m_shown;
    const qsizetype allowed = std::max<qsizetype>(m_limit, old.size());
    if (text.size() <= allowed) return;
    // Keep as much of what was just typed or pasted as fits, like a length-limited box.
    qsizetype prefix = 0;
    while (prefix < old.size() && prefix < text.size() && old[prefix] == text[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < old.size() - prefix && suffix < text.size() - prefix &&
           old[old.size() - 1 - suffix] == text[text.size() - 1 - suffix])
        ++suffix;
    const qsizetype inserted = text.size() - prefix - suffix;
    const qsizetype keep = std::max<qsizetype>(0, inserted - (text.size() - allowed));
    const QString fixed = text.left(prefix + keep) + text.right(suffix);
    setText(fixed);
    setCursorPosition(static_cast<int>(prefix + keep));
}

} // namespace pb
