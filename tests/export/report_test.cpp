#include "export_fixture.h"
#include "file_size_limit.h"

#include <QDir>
#include <QImage>
#include <QPainter>

using namespace pb;
using namespace pbtest;
using report::Pages;

TEST(ReportPages, RowsFallOnPagesInOrderEachOnce) {
    // Eleven inches less half an inch at top and bottom: nine records under the title, ten after.
    const Pages letter(14400, 25);
    EXPECT_EQ(letter.rowsOnFirst(), 9);
    EXPECT_EQ(letter.rowsPerPage(), 10);
    EXPECT_EQ(letter.count(), 3);
    EXPECT_EQ(letter.rowsOf(1), std::make_pair(9, 10));
    EXPECT_EQ(letter.rowsOf(3).second, 0);
    EXPECT_EQ(Pages::detailTop(4), 570);   // later pages start below their own header
    EXPECT_EQ(Pages(14400, 0).count(), 1); // the headers alone
    EXPECT_EQ(Pages(14400, 10).count(), 2);

    for (int height : {500, 3000, 14400, 16000})
        for (int rows : {0, 1, 9, 10, 11, 57}) {
            const Pages p(height, rows);
            int next = 0;
            for (int page = 0; page < p.count(); ++page) {
                const auto [first, count] = p.rowsOf(page);
                EXPECT_EQ(first, next);
                EXPECT_GE(count, page == 0 ? 0 : 1); // no blank page after the first
                // What a page holds fits between its headers and its footer (a too-short page still shows
                // one).
                if (count > 1)
                    EXPECT_LE(Pages::detailTop(page) + count * report::kDetail + report::kPageFooter, height);
                next += count;
            }
            EXPECT_EQ(next, rows) << height << " " << rows;
        }
    for (const auto& b : report::detailBoxes())
        EXPECT_LE(b.twips.bottom(), report::kDetail) << b.column.toStdString();
}

class ReportTest : public ExportFixture {
protected:
    DataReport* report() {
        d->mnuReport_Click();
        return Forms::find<DataReport>();
    }
};

TEST_F(ReportTest, EachReportShowsTheBookAsItIsNow) {
    open({{"Ann", "Lee", "555", "ann@x.org", "Firm", "1 Road", "pic.jpg", "note"}, {"Bob", "Ray"}});
    DataReport* r = report();
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->rows().size(), 2u);
    EXPECT_EQ(r->rows()[0], (report::Row{"Ann", "Lee", "555", "Firm", "1 Road", "note", "ann@x.org"}));
    EXPECT_EQ(r->rows()[1][1], QStringLiteral("Ray"));
    EXPECT_EQ(r->pageCount(), 1);

    // An edit, then the report again: the rebuilt file is the one read.
    show(1);
    d->txtInfo[1]->setText(QStringLiteral("Changed"));
    ASSERT_TRUE(d->AddIt());
    EXPECT_EQ(report(), r);
    EXPECT_EQ(r->rows()[0][1], QStringLiteral("Changed"));

    // A renamed caption renames its column: the box bound to the old name is empty.
    m().Label[1] = QStringLiteral("Surname");
    report();
    EXPECT_EQ(r->rows()[0], (report::Row{"Ann", "", "555", "Firm", "1 Road", "note", "ann@x.org"}));

    // Closing the report unloads it; the connection stays for the next report until the
    // phone book window's unload lets the file go.
    r->close();
    EXPECT_EQ(Forms::find<DataReport>(), nullptr);
    EXPECT_TRUE(report::connectionOpen());
    Forms::unload(d);
    EXPECT_FALSE(report::connectionOpen());
}

TEST_F(ReportTest, PagesArePaintedAndPrintedToPdf) {
    open(std::vector<Rec>(30, Rec{"Name", "Family", "555", "a@b.c", "Firm", "Street", "", "Words"}));
    DataReport* r = report();
    ASSERT_NE(r, nullptr);
    ASSERT_GE(r->pageCount(), 3);

    // A page as a printer at 96 dots an inch gets it: ink under the title and in the first record.
    const auto inkIn = [](const QImage& img, QRect area) {
        int ink = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                ink += qGray(img.pixel(x, y)) < 128;
        return ink;
    };
    const auto page = [&](int n) {
        QImage img(816, 1056, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        r->renderPage(p, n, 96);
        return img;
    };
    const QImage first = page(0);
    // Between the page header and the first box of a later page, across the title's middle on the first.
    const QRect title(58, 48 + 540 / 15, 340, 10);
    const QRect firstRecord(48, 48 + (1035 + 570 + 144) / 15, 300, 16); // names of the first record
    EXPECT_GT(inkIn(first, title), 50);
    EXPECT_GT(inkIn(first, firstRecord), 10);
    EXPECT_EQ(inkIn(page(1), title), 0); // the title is on the first page only

    const QString pdf = tmp.filePath(QStringLiteral("out/report.pdf"));
    QDir().mkpath(tmp.filePath(QStringLiteral("out")));
    chooseSave(pdf);
    r->cmdPdf_Click();
    EXPECT_EQ(readFile(pdf).count("/Type /Page\n"), r->pageCount());
    EXPECT_EQ(QDir(tmp.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{"report.pdf"});

    // A full disk is told as such; the older file stays and nothing is left beside it.
    writeFile(pdf, "older");
    chooseSave(pdf);
    prompts->expect(QStringLiteral("Disk is full"), 18, QStringLiteral("ERROR61 Disk full"), mb::Abort);
    {
        FileSizeLimit limit(4096);
        r->cmdPdf_Click();
    }
    EXPECT_EQ(readFile(pdf), "older");
    EXPECT_EQ(QDir(tmp.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{"report.pdf"});

    // The open book is no place for a PDF.
    chooseSave(book());
    prompts->expectAny(mb::OK);
    prompts->expectCancel(ScriptedPrompts::Kind::Save);
    const QByteArray before = file();
    r->cmdPdf_Click();
    EXPECT_EQ(file(), before);
}
