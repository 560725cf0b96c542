#include "platform/font_dialog.h"

#include "platform/common_dialog.h"
#include "platform/prompts.h"
#include "platform/units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

namespace pb {

namespace {
QIcon swatch(int32_t stored) {
    QPixmap p(16, 16);
    p.fill(colourFromStored(stored));
    QPainter painter(&p);
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, 15, 15);
    return QIcon(p);
}
constexpr int kOther = -1;
} // namespace

const std::array<FontColorDialog::Named, 16>& FontColorDialog::basicColours() {
    static const std::array<Named, 16> colours = {{{"Black", 0x000000},
                                                   {"Maroon", 0x000080},
                                                   {"Green", 0x008000},
                                                   {"Olive", 0x008080},
                                                   {"Navy", 0x800000},
                                                   {"Purple", 0x800080},
                                                   {"Teal", 0x808000},
                                                   {"Gray", 0x808080},
                                                   {"Silver", 0xC0C0C0},
                                                   {"Red", 0x0000FF},
                                                   {"Lime", 0x00FF00},
                                                   {"Yellow", 0x00FFFF},
                                                   {"Blue", 0xFF0000},
                                                   {"Fuchsia", 0xFF00FF},
                                                   {"Aqua", 0xFFFF00},
                                                   {"White", 0xFFFFFF}}};
    return colours;
}

FontColorDialog::FontColorDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FontColorDialog"));
    setWindowTitle(QStringLiteral("Font"));
    m_chooser = new QFontDialog(this);
    m_chooser->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_chooser->setWindowFlags(Qt::Widget);
    m_chooser->setSizeGripEnabled(false);
    // Escape in the embedded chooser would only hide it inside a dialog left open: it cancels the whole.
    connect(m_chooser, &QDialog::rejected, this, [this] {
        m_chooser->show();
        reject();
    });
    connect(m_chooser, &QDialog::accepted, this, [this] {
        m_chooser->show();
        accept();
    });

    m_colours = new QComboBox(this);
    m_colours->setObjectName(QStringLiteral("cboColor"));
    auto* colourRow = new QHBoxLayout;
    m_colourLabel = new QLabel(QStringLiteral("&Color:"), this);
    m_colourLabel->setBuddy(m_colours);
    colourRow->addWidget(m_colourLabel);
    colourRow->addWidget(m_colours, 1);
    colourRow->addStretch(2);
    fillColours();
    connect(m_colours, qOverload<int>(&QComboBox::activated), this, &FontColorDialog::colourPicked);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chooser, 1);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
}

void FontColorDialog::fillColours() {
    m_colours->clear();
    bool listed = false;
    for (const Named& c : basicColours()) {
        m_colours->addItem(swatch(c.value), QString::fromLatin1(c.name), c.value);
        listed = listed || c.value == m_color;
    }
    // A colour of the user's own stays in the list, after the basic ones.
    if (!listed) m_colours->addItem(swatch(m_color), QStringLiteral("Custom"), m_color);
    m_colours->addItem(QStringLiteral("Other..."), kOther);
    m_colours->setCurrentIndex(m_colours->findData(m_color));
    paintSample();
}

void FontColorDialog::paintSample() {
    // The chooser's sample text shows the colour too.
    for (QGroupBox* box : m_chooser->findChildren<QGroupBox*>())
        for (QLineEdit* sample : box->findChildren<QLineEdit*>()) {
            QPalette p = sample->palette();
            p.setColor(QPalette::Text, colourFromStored(m_color));
            sample->setPalette(p);
        }
}

void FontColorDialog::setColor(int32_t stored) {
    m_color = stored;
    fillColours();
}

void FontColorDialog::colourPicked(int index) {
    const int32_t value = m_colours->itemData(index).toInt();
    if (value != kOther) {
        m_color = value;
        paintSample();
        return;
    }
    CommonDialog colour;
    colour.Flags = 1;
    colour.Color = m_color;
    // A cancel keeps the colour held before.
    if (prompts().commonDialog(colour, Prompts::DialogKind::Color)) m_color = colour.Color;
    fillColours();
}

void FontColorDialog::setFrom(const CommonDialog& d) {
    if (!d.DialogTitle.isEmpty()) setWindowTitle(d.DialogTitle);
    // A size no font takes (from a damaged setting) opens on the toolkit's usual size.
    m_effects = (d.Flags & kEffects) != 0;
    QFont f(d.FontName);
    f.setPointSizeF(d.FontSize > 0 && d.FontSize <= 1638 ? d.FontSize : 8.25);
    f.setBold(d.FontBold);
    f.setItalic(d.FontItalic);
    f.setUnderline(d.FontUnderline);
    f.setStrikeOut(d.FontStrikethru);
    m_chooser->setCurrentFont(f);
    m_requested = f;
    m_requested.setFamily(d.FontName);
    m_shown = m_chooser->currentFont();
    setColor(d.Color);
    // Without effects only name, style and size are offered.
    for (QGroupBox* box : m_chooser->findChildren<QGroupBox*>())
        if (!box->findChildren<QCheckBox*>().isEmpty()) box->setVisible(m_effects);
    m_colours->setVisible(m_effects);
    m_colourLabel->setVisible(m_effects);
}

void FontColorDialog::storeInto(CommonDialog& d) const {
    const QFont f = m_chooser->currentFont();
    // The chooser shows a stand-in for a font the desktop lacks: whatever the user
    // left as shown keeps the requested value.
    const auto pick = [](auto chosen, auto shown, auto requested) {
        return chosen == shown ? requested : chosen;
    };
    d.FontName = pick(f.family(), m_shown.family(), m_requested.family());
    d.FontSize = pick(f.pointSizeF(), m_shown.pointSizeF(), m_requested.pointSizeF());
    d.FontBold = pick(f.bold(), m_shown.bold(), m_requested.bold());
    d.FontItalic = pick(f.italic(), m_shown.italic(), m_requested.italic());
    if (!m_effects) return;
    d.FontUnderline = pick(f.underline(), m_shown.underline(), m_requested.underline());
    d.FontStrikethru = pick(f.strikeOut(), m_shown.strikeOut(), m_requested.strikeOut());
    d.Color = m_color;
}

} // namespace pb
