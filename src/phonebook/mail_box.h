#pragma once

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

namespace pb {

// One box of the phone book window's mail panel: a single line, or for the
// message a page of many lines with no length limit (a whole book fits).
class MailBox : public QWidget {
    Q_OBJECT
public:
    MailBox(bool multiLine, QWidget* parent);

    QString text() const;
    void setText(const QString& text);
    void clear();
    bool isMultiLine() const { return m_page != nullptr; }
    // The box that takes the typing (fonts and colours set on this widget reach it).
    QWidget* editor() const;

private:
    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_page = nullptr;
};

} // namespace pb
