#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace pb {

// Sound effect ids of the program's resources.
namespace sound {
constexpr int Navigate = 101;
constexpr int OpenWindow = 102;
constexpr int TabChange = 104;
constexpr int Lock = 106;
constexpr int Alarm = 107;
constexpr int Refused = 108;
constexpr int ListPick = 109;
constexpr int ToolbarClick = 113;
constexpr int SearchOption = 114;
constexpr int AlarmSet = 115;
} // namespace sound

// Help files, sound effects and the explanatory texts of run-time errors.
class HelpClass {
public:
    // Opens a help file; "file>pane" when a pane is named. Any failure is error 70000.
    void Show(const QString& NewFile, const QString& WindowPane = {}, std::optional<int> ContextID = {});
    // Plays a sound effect when PlayIt is set; a missing sound plays nothing, silently.
    void PlaySoundNumber(int SoundNumber, bool PlayIt = false);
    static QString DescribeError(long ErrorNum);

    const QByteArray& lastSound() const { return m_sound; }

private:
    QByteArray m_sound;
};

} // namespace pb
