#pragma once

#include <QString>
#include <cstdint>

namespace pb {

// A common dialog keeps its values between showings, as the windows rely on:
// the file chosen last, the colour and font held, and whether a cancel raises
// error 32755 (CancelError).
class CommonDialog {
public:
    QString FileName;
    QString FileTitle;
    QString Filter; // "desc|pattern|desc|pattern"
    int FilterIndex = 1;
    QString DefaultExt;
    QString DialogTitle;
    QString InitDir;
    int Flags = 0;
    bool CancelError = false;
    int32_t Color = 0;
    QString FontName;
    double FontSize = 8.25;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;

    // Whether the last showing was accepted (a cancel with CancelError off raises nothing).
    bool Accepted = false;

    void ShowOpen();
    void ShowSave();
    // Asks for a file to write: the name starts empty, and replacing an existing file is confirmed.
    void ShowSaveAs(const QString& title, const QString& defaultExt, const QString& filter);
    void ShowColor();
    void ShowFont();
    void ShowPrinter();

    // The filter in the form Qt's file dialogs take.
    static QString qtFilter(const QString& filter);
    // The filter picked by FilterIndex (1-based), in Qt's form.
    QString qtSelectedFilter() const;

private:
    void show(int kind);
};

} // namespace pb
