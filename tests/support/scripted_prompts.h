#pragma once

#include "platform/common_dialog.h"
#include "platform/prompts.h"

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace pbtest {

// Answers the program's questions in place of a person. Each expected prompt is
// queued with its answer; a prompt nobody expected fails the test at once and
// is answered with the box's last button, so nothing hangs.
class ScriptedPrompts : public pb::Prompts {
public:
    using Kind = pb::Prompts::DialogKind;
    struct Box {
        QString prompt;
        int style;
        QString title;
        QString defaultText = {};
    };
    struct Expected {
        QString prompt; // empty: any prompt
        int style;      // -1: any style
        QString title;  // empty: any title
        int answer;
    };

    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Message boxes.
    void expect(const QString& prompt, int style, const QString& title, int answer);
    void expectAny(int answer) { expect({}, -1, {}, answer); }
    // Input boxes: the text typed ("" for a cancel).
    void expectInput(const QString& prompt, const QString& title, const QString& text);
    void expectInputCancel(const QString& prompt, const QString& title);
    // Common dialogs: a function that fills the dialog and returns true, or returns false for a cancel.
    void expectDialog(Kind kind, std::function<bool(pb::CommonDialog&)> answer);
    void expectFileDialog(const QString& fileName) {
        expectDialog(Kind::Open, [fileName](pb::CommonDialog& d) {
            d.FileName = fileName;
            return true;
        });
    }
    void expectCancel(Kind kind) {
        expectDialog(kind, [](pb::CommonDialog&) { return false; });
    }

    // Everything that was shown, in order.
    std::vector<Box> shown;
    std::vector<Box> inputs;
    bool allAnswered() const { return m_boxes.empty() && m_inputs.empty() && m_dialogs.empty(); }

    int msgBox(const QString& prompt, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    bool commonDialog(pb::CommonDialog& dialog, DialogKind kind) override;
    // A modal window runs this in place of its event loop (a test lets a timer fire here).
    std::function<void(QDialog&)> onModal;
    void showModal(QDialog& dialog) override;

private:
    std::deque<Expected> m_boxes;
    std::deque<std::pair<Expected, std::optional<QString>>> m_inputs;
    std::deque<std::pair<Kind, std::function<bool(pb::CommonDialog&)>>> m_dialogs;
};

} // namespace pbtest
