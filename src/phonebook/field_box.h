#pragma once

#include <QLineEdit>

namespace pb {

// A text box that limits what the user types, not what the program puts in it:
// a stored name longer than the typing limit is still shown and saved whole.
class FieldBox : public QLineEdit {
    Q_OBJECT
public:
    explicit FieldBox(QWidget* parent = nullptr);
    void setTypingLimit(int limit) { m_limit = limit; }
    int typingLimit() const { return m_limit; }

private:
    void onEdited(const QString& text);

    int m_limit = 32767;
    QString m_shown;
};

} // namespace pb
