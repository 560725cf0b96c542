#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>
#include <array>
#include <utility>
#include <vector>

class QPainter;

// The phone book report's fixed layout in twips (1/1440 inch) and its pages:
// a report header on the first page, a page header on every page, one detail
// section per record, an empty page footer.
namespace pb::report {

struct Label {
    QString text;
    QRect twips; // left, top, width, height within its section
};
struct Box {
    QString column; // the column whose value it shows
    QRect twips;
};

inline constexpr int kReportHeader = 1035;
inline constexpr int kPageHeader = 570;
inline constexpr int kDetail = 1305;
inline constexpr int kPageFooter = 360;

const Label& titleLabel();
const std::array<Label, 6>& pageHeaderLabels();
// The detail boxes: first name, last name, phone, company, address, comments, e-mail.
const std::array<Box, 7>& detailBoxes();
// The boxes' column names, in the boxes' order.
std::vector<QString> boundColumns();

// One record as its boxes show it (values without their padding).
using Row = std::array<QString, 7>;

// The rows of a report, their values one after another as UTF-8: the largest book's
// 229,000 values would otherwise be as many strings of their own.
class RowTable {
public:
    void add(const Row& row);
    std::size_t size() const { return m_ends.size() / 7; }
    Row operator[](std::size_t row) const;
    // Gives back the room reserved for rows that did not come.
    void squeeze();

private:
    QString value(std::size_t row, std::size_t box) const;
    QByteArray m_text;
    std::vector<quint32> m_ends; // where each value ends in m_text, seven to a row
};

// How the rows fall on pages of a given printable height.
class Pages {
public:
    Pages(int printableHeight, int rowCount);
    int count() const { return m_pages; }
    int rowsOnFirst() const { return m_first; }
    int rowsPerPage() const { return m_perPage; }
    // The first row (0-based) and the number of rows on page `page` (0-based).
    std::pair<int, int> rowsOf(int page) const;
    // Top of the page's first detail section.
    static int detailTop(int page) { return (page == 0 ? kReportHeader : 0) + kPageHeader; }

private:
    int m_rows;
    int m_first;
    int m_perPage;
    int m_pages;
};

// Paints page `page` with the painter's units in twips, origin at the printable area's corner.
void paintPage(QPainter& p, const Pages& pages, const RowTable& rows, int page);

} // namespace pb::report
