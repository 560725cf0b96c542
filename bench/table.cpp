#include "table.h"

#include <cstdio>

namespace pbbench {

namespace {

// Figures under a millisecond keep a third decimal, so that they are more than a rounded zero.
QString ms(double value) {
    return QString::number(value, 'f', value < 1 ? 3 : 2);
}

} // namespace

Table timeTable(const Work& base, const std::vector<Case>& cases, int rounds) {
    std::vector<Work> works;
    for (const Case& c : cases)
        works.push_back(c.work);
    const Turns turns = byTurns(base, works, rounds);
    Table table{turns.base, {}, rounds};
    for (std::size_t i = 0; i < cases.size(); ++i)
        table.rows.push_back({cases[i].what, turns.ops[i], cases[i].target});
    return table;
}

bool printTable(const Table& table, const QString& baseRow, const QString& against) {
    std::printf("| Operation | Time (ms) | Ratio to %s | Target |\n|---|---:|---:|---:|\n",
                qPrintable(against));
    std::printf("| %s | %s | 1.00 | |\n", qPrintable(baseRow), qPrintable(ms(table.base)));
    bool ok = true;
    for (const Row& r : table.rows) {
        const double ratio = r.ms / table.base;
        const QString target = r.target > 0 ? QStringLiteral("≤ %1×").arg(r.target) : QString();
        std::printf("| %s | %s | %.2f | %s |\n", qPrintable(r.what), qPrintable(ms(r.ms)), ratio,
                    qPrintable(target));
        if (r.target > 0 && ratio > r.target) ok = false;
    }
    return ok;
}

} // namespace pbbench
