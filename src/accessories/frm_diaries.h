#pragma once

#include "accessories/child_window.h"
#include "accessories/diary_book.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolBar;

namespace pb {

// Numbered note pages: a date line and up to 960 characters of text each.
class frmDiaries : public ChildWindow {
    Q_OBJECT
public:
    frmDiaries();
    void Form_Load() override;
    void Form_Unload() override;

    void NextPage();
    void PreviousPage();
    void SavePage();
    void Toolbar_ButtonClick(const QString& key);
    void txtDate_LostFocus();
    // The date box lost the focus to `to` for `reason`: the note is for a user's move inside this window.
    void dateFocusLeft(Qt::FocusReason reason, QWidget* to);
    // The phone book window's background, and its first field's font and colour for the text.
    void applyPhoneBookLook();

    int PageNumber = 1;
    DiaryBook& book() { return m_book; }

    QLabel* Label1 = nullptr;
    QLineEdit* txtDate = nullptr;
    QPlainTextEdit* txtDiaries = nullptr;
    QToolBar* Toolbar = nullptr;

private:
    void showPage(int page);
    void keepTextInBounds();
    bool eventFilter(QObject* watched, QEvent* event) override;
    Qt::FocusReason m_dateLeftFor = Qt::OtherFocusReason;
    bool m_unloading = false;
    DiaryBook m_book;
};

} // namespace pb
