#include "scripted_prompts.h"

#include <QDialog>
#include <gtest/gtest.h>

namespace pbtest {

ScriptedPrompts::ScriptedPrompts() {
    pb::setPrompts(this);
}

ScriptedPrompts::~ScriptedPrompts() {
    pb::setPrompts(nullptr);
    for (const Expected& e : m_boxes)
        ADD_FAILURE() << "expected message box never came: " << e.prompt.toStdString() << " / "
                      << e.title.toStdString();
    for (const auto& [e, text] : m_inputs)
        ADD_FAILURE() << "expected input box never came: " << e.prompt.toStdString();
    if (!m_dialogs.empty()) ADD_FAILURE() << m_dialogs.size() << " expected common dialog(s) never came";
}

void ScriptedPrompts::expect(const QString& prompt, int style, const QString& title, int answer) {
    m_boxes.push_back({prompt, style, title, answer});
}

void ScriptedPrompts::expectInput(const QString& prompt, const QString& title, const QString& text) {
    m_inputs.push_back({{prompt, -1, title, 0}, text});
}

void ScriptedPrompts::expectInputCancel(const QString& prompt, const QString& title) {
    m_inputs.push_back({{prompt, -1, title, 0}, std::nullopt});
}

void ScriptedPrompts::expectDialog(Kind kind, std::function<bool(pb::CommonDialog&)> answer) {
    m_dialogs.emplace_back(kind, std::move(answer));
}

int ScriptedPrompts::msgBox(const QString& prompt, int style, const QString& title) {
    shown.push_back({prompt, style, title});
    const int lastButton = (style & 7) == pb::mb::AbortRetryIgnore ? pb::mb::Abort
                           : (style & 7) == pb::mb::YesNo          ? pb::mb::No
                                                                   : pb::mb::OK;
    if (m_boxes.empty()) {
        ADD_FAILURE() << "unexpected message box: \"" << prompt.toStdString() << "\" titled \""
                      << title.toStdString() << "\" style " << style;
        return lastButton;
    }
    const Expected e = m_boxes.front();
    m_boxes.pop_front();
    if (!e.prompt.isEmpty()) EXPECT_EQ(prompt.toStdString(), e.prompt.toStdString());
    if (e.style >= 0) EXPECT_EQ(style, e.style) << "for " << prompt.toStdString();
    if (!e.title.isEmpty()) EXPECT_EQ(title.toStdString(), e.title.toStdString());
    return e.answer;
}

std::optional<QString> ScriptedPrompts::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText) {
    inputs.push_back({prompt, 0, title, defaultText});
    if (m_inputs.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return std::nullopt;
    }
    const auto [e, text] = m_inputs.front();
    m_inputs.pop_front();
    if (!e.prompt.isEmpty()) EXPECT_EQ(prompt.toStdString(), e.prompt.toStdString());
    if (!e.title.isEmpty()) EXPECT_EQ(title.toStdString(), e.title.toStdString());
    return text;
}

void ScriptedPrompts::showModal(QDialog& dialog) {
    if (!onModal) {
        ADD_FAILURE() << "unexpected modal window: " << dialog.objectName().toStdString();
        return;
    }
    onModal(dialog);
}

bool ScriptedPrompts::commonDialog(pb::CommonDialog& dialog, DialogKind kind) {
    if (m_dialogs.empty()) {
        ADD_FAILURE() << "unexpected common dialog: " << dialog.DialogTitle.toStdString();
        return false;
    }
    auto [k, answer] = m_dialogs.front();
    m_dialogs.pop_front();
    EXPECT_EQ(static_cast<int>(k), static_cast<int>(kind));
    return answer(dialog);
}

} // namespace pbtest
