#include "platform/common_dialog.h"

#include "platform/prompts.h"
#include "platform/vb_error.h"

#include <QFileInfo>
#include <QStringList>

namespace pb {

void CommonDialog::show(int kind) {
    const bool accepted = prompts().commonDialog(*this, static_cast<Prompts::DialogKind>(kind));
    Accepted = accepted;
    if (accepted) {
        if (!FileName.isEmpty()) FileTitle = QFileInfo(FileName).fileName();
        return;
    }
    if (CancelError) throw VbError(err::Cancelled);
}

void CommonDialog::ShowOpen() {
    show(static_cast<int>(Prompts::DialogKind::Open));
}
void CommonDialog::ShowSave() {
    show(static_cast<int>(Prompts::DialogKind::Save));
}
void CommonDialog::ShowSaveAs(const QString& title, const QString& defaultExt, const QString& filter) {
    DialogTitle = title;
    DefaultExt = defaultExt;
    FileName.clear();
    Flags = 2;
    Filter = filter;
    ShowSave();
}
void CommonDialog::ShowColor() {
    show(static_cast<int>(Prompts::DialogKind::Color));
}
void CommonDialog::ShowPrinter() {
    show(static_cast<int>(Prompts::DialogKind::Print));
}
void CommonDialog::ShowFont() {
    show(static_cast<int>(Prompts::DialogKind::Font));
}

namespace {

QStringList filterPairs(const QString& filter) {
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString t = p.trimmed();
            if (!t.isEmpty()) patterns << t;
        }
        const QString desc = parts[i].trimmed();
        out << (patterns.isEmpty()
                    ? desc
                    : desc + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return out;
}

} // namespace

QString CommonDialog::qtFilter(const QString& filter) {
    return filterPairs(filter).join(QStringLiteral(";;"));
}

QString CommonDialog::qtSelectedFilter() const {
    const QStringList pairs = filterPairs(Filter);
    if (pairs.isEmpty()) return {};
    const int i = FilterIndex >= 1 && FilterIndex <= pairs.size() ? FilterIndex - 1 : 0;
    return pairs[i];
}

} // namespace pb
