#pragma once

#include <QDialog>
#include <QFont>
#include <array>
#include <cstdint>

class QComboBox;
class QFontDialog;
class QLabel;

namespace pb {

class CommonDialog;

// The font dialog: the toolkit's font chooser with a colour list beside it, since
// the field font carries a text colour. Colour, underline and strike-through are
// offered when the dialog's flags ask for effects.
class FontColorDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kEffects = 256;

    explicit FontColorDialog(QWidget* parent = nullptr);
    // Takes font, colour and flags from the dialog state.
    void setFrom(const CommonDialog& d);
    // Writes the choice back. A family the desktop lacks is kept by its requested
    // name unless the user picked another one.
    void storeInto(CommonDialog& d) const;

    int32_t color() const { return m_color; }
    void setColor(int32_t stored);
    QFontDialog* chooser() const { return m_chooser; }
    QComboBox* colourList() const { return m_colours; }

    struct Named {
        const char* name;
        int32_t value; // 0x00BBGGRR
    };
    static const std::array<Named, 16>& basicColours();

private:
    void colourPicked(int index);
    void fillColours();
    void paintSample();

    QFontDialog* m_chooser;
    QComboBox* m_colours;
    QLabel* m_colourLabel;
    int32_t m_color = 0;
    bool m_effects = false;
    QFont m_requested; // as the dialog state asked for it
    QFont m_shown;     // as the chooser showed it at the start
};

} // namespace pb
