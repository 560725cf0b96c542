#pragma once

#include <QString>
#include <optional>

class QDialog;

namespace pb {

class CommonDialog;

// Message box styles and answers, by their classic numbers.
namespace mb {
constexpr int OKOnly = 0;
constexpr int OKCancel = 1;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;

constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace mb

// Everything that asks the user something goes through one object, so that
// tests can answer in place of a person.
class Prompts {
public:
    enum class DialogKind { Open, Save, Color, Font, Print };

    virtual ~Prompts() = default;
    virtual int msgBox(const QString& prompt, int style, const QString& title) = 0;
    // The typed text (possibly empty), or nothing when the user cancels.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // Shows a common dialog on the dialog's state; true when the user accepted
    // (the dialog's values are then updated), false when cancelled.
    virtual bool commonDialog(CommonDialog& dialog, DialogKind kind) = 0;
    // Shows a window modally and returns when it has closed.
    virtual void showModal(QDialog& dialog);
    // An information box that does not take the keyboard: it comes up over the work, typing goes
    // on where it was, and the box stays until its OK. Tests answer it like a message box.
    virtual void notice(const QString& prompt, int style, const QString& title);
};

Prompts& prompts();
// Installs another implementation (tests); nullptr restores the real one.
void setPrompts(Prompts* replacement);

// The program's default title for message boxes.
inline const QString kProgramTitle = QStringLiteral("Dorvane");

inline int MsgBox(const QString& prompt, int style = mb::OKOnly, const QString& title = kProgramTitle) {
    return prompts().msgBox(prompt, style, title);
}
// The typed text; a cancel answers "" like an empty box.
inline QString InputBox(const QString& prompt, const QString& title = kProgramTitle,
                        const QString& def = {}) {
    return prompts().inputBox(prompt, title, def).value_or(QString());
}
// For callers that must tell a cancel from an empty answer.
inline std::optional<QString> InputBoxOrCancel(const QString& prompt, const QString& title = kProgramTitle,
                                               const QString& def = {}) {
    return prompts().inputBox(prompt, title, def);
}

} // namespace pb
