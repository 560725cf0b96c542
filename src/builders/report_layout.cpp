#include "builders/report_layout.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

namespace pb::report {

namespace {

// Fonts sized in twips, as the painter's units are (20 twips a point).
QFont arial(int points, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(points * 20);
    f.setBold(bold);
    return f;
}

} // namespace

const Label& titleLabel() {
    static const Label title{QStringLiteral("Dorvane Report"), QRect(144, 144, 5616, 720)};
    return title;
}

const std::array<Label, 6>& pageHeaderLabels() {
    static const std::array<Label, 6> labels = {{
        {QStringLiteral("> name:"), QRect(0, 0, 1152, 240)},
        {QStringLiteral("> Phone:"), QRect(1584, 0, 870, 240)},
        {QStringLiteral("> E-mail:"), QRect(0, 288, 1305, 240)},
        {QStringLiteral("> Address:"), QRect(4608, 0, 1305, 240)},
        {QStringLiteral("> Company:"), QRect(2880, 0, 1305, 240)},
        {QStringLiteral("> Comments:"), QRect(6912, 0, 1290, 240)},
    }};
    return labels;
}

const std::array<Box, 7>& detailBoxes() {
    static const std::array<Box, 7> boxes = {{
        {QStringLiteral("> First name"), QRect(0, 144, 576, 240)},
        {QStringLiteral("> Last name"), QRect(576, 144, 864, 240)},
        {QStringLiteral("> Phone"), QRect(1584, 144, 1296, 240)},
        {QStringLiteral("> Company"), QRect(2880, 144, 1584, 240)},
        {QStringLiteral("> Address"), QRect(4608, 144, 2016, 1005)},
        {QStringLiteral("> Comments"), QRect(6912, 144, 2304, 1005)},
        {QStringLiteral("> E-mail"), QRect(0, 432, 2016, 240)},
    }};
    return boxes;
}

std::vector<QString> boundColumns() {
    std::vector<QString> out;
    for (const Box& b : detailBoxes())
        out.push_back(b.column);
    return out;
}

Pages::Pages(int printableHeight, int rowCount) : m_rows(std::max(0, rowCount)) {
    const int body = printableHeight - kPageHeader - kPageFooter;
    // A page too short for one record still takes one, so the report always ends.
    m_first = std::max(1, (body - kReportHeader) / kDetail);
    m_perPage = std::max(1, body / kDetail);
    m_pages = m_rows <= m_first ? 1 : 1 + (m_rows - m_first + m_perPage - 1) / m_perPage;
}

std::pair<int, int> Pages::rowsOf(int page) const {
    if (page < 0 || page >= m_pages) return {m_rows, 0};
    const int first = page == 0 ? 0 : m_first + (page - 1) * m_perPage;
    const int size = page == 0 ? m_first : m_perPage;
    return {first, std::clamp(m_rows - first, 0, size)};
}

void RowTable::add(const Row& row) {
    for (const QString& value : row) {
        m_text += value.toUtf8();
        m_ends.push_back(static_cast<quint32>(m_text.size()));
    }
}

QString RowTable::value(std::size_t row, std::size_t box) const {
    const std::size_t at = row * 7 + box;
    const quint32 begin = at == 0 ? 0 : m_ends[at - 1];
    return QString::fromUtf8(m_text.constData() + begin, m_ends[at] - begin);
}

Row RowTable::operator[](std::size_t row) const {
    Row out;
    for (std::size_t b = 0; b < out.size(); ++b)
        out[b] = value(row, b);
    return out;
}

void RowTable::squeeze() {
    m_text.squeeze();
    m_ends.shrink_to_fit();
}

void paintPage(QPainter& p, const Pages& pages, const RowTable& rows, int page) {
    p.save();
    p.setPen(Qt::black);
    int top = 0;
    if (page == 0) {
        p.setFont(arial(24, true));
        p.drawText(titleLabel().twips, Qt::AlignLeft | Qt::AlignVCenter, titleLabel().text);
        top = kReportHeader;
    }
    p.setFont(arial(8, true));
    for (const Label& l : pageHeaderLabels())
        p.drawText(l.twips.translated(0, top), Qt::AlignLeft | Qt::AlignTop, l.text);
    p.setFont(arial(8, false));
    const auto [first, count] = pages.rowsOf(page);
    top = Pages::detailTop(page);
    for (int r = first; r < first + count; ++r, top += kDetail) {
        const Row row = rows[static_cast<std::size_t>(r)];
        for (std::size_t b = 0; b < row.size(); ++b) {
            const QRect box = detailBoxes()[b].twips.translated(0, top);
            // The tall boxes wrap their text; the one-line boxes cut it at their edge.
            const int flags =
                Qt::AlignLeft | Qt::AlignTop | (box.height() > 240 ? Qt::TextWordWrap : Qt::TextSingleLine);
            p.drawText(box, flags, row[b]);
        }
    }
    p.restore();
}

} // namespace pb::report
