#include "export/data_report.h"

#include "builders/db_file.h"
#include "data/file_copy.h"
#include "data/module_phonebook.h"
#include "platform/common_dialog.h"
#include "platform/print_output.h"
#include "platform/printer.h"
#include "platform/prompts.h"
#include "platform/vb_error.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QVBoxLayout>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace pb {

namespace report {

namespace {
const QString kConnection = QStringLiteral("Connection1");
constexpr double kMargin = 720; // half an inch round the printable area, in twips
constexpr int kGap = 12;        // pixels between pages on the screen
} // namespace

bool connectionOpen() {
    return QSqlDatabase::contains(kConnection) && QSqlDatabase::database(kConnection, false).isOpen();
}

void openConnection(const QString& file) {
    QSqlDatabase db = QSqlDatabase::contains(kConnection)
                          ? QSqlDatabase::database(kConnection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    db.setDatabaseName(file);
    // Read-only: a missing file is an error, not a new empty database.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open()) throw dbfile::failure(db.lastError());
}

void closeConnection() {
    if (!QSqlDatabase::contains(kConnection)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnection);
}

QSqlDatabase connection() {
    return QSqlDatabase::database(kConnection, false);
}

} // namespace report

namespace {

using report::kGap;
using report::kMargin;

// A value as its box shows it: the padding the file keeps is not drawn.
QString shown(const QString& value) {
    qsizetype end = value.size();
    while (end > 0 && (value[end - 1] == QLatin1Char(' ') || value[end - 1] == QChar(0)))
        --end;
    return value.left(end);
}

} // namespace

ReportView::ReportView(QWidget* parent) : QAbstractScrollArea(parent) {
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(40);
}

void ReportView::setReport(const report::RowTable* rows, QSizeF pageTwips, QRectF printableTwips) {
    m_rows = rows;
    m_page = pageTwips;
    m_printable = printableTwips;
    updateScrollBars();
    viewport()->update();
}

void ReportView::setZoom(double zoom) {
    const double top =
        pageStride() > 0 ? static_cast<double>(verticalScrollBar()->value()) / pageStride() : 0;
    m_zoom = zoom;
    updateScrollBars();
    verticalScrollBar()->setValue(static_cast<int>(top * pageStride()));
    viewport()->update();
}

int ReportView::pageCount() const {
    if (!m_rows) return 0;
    return report::Pages(static_cast<int>(m_printable.height()), static_cast<int>(m_rows->size())).count();
}

int ReportView::currentPage() const {
    return pageStride() > 0 ? verticalScrollBar()->value() / pageStride() : 0;
}

double ReportView::pixelsPerTwip() const {
    return logicalDpiX() / 1440.0 * m_zoom;
}

int ReportView::pageStride() const {
    return static_cast<int>(std::ceil(m_page.height() * pixelsPerTwip())) + kGap;
}

void ReportView::updateScrollBars() {
    const int pageWidth = static_cast<int>(std::ceil(m_page.width() * pixelsPerTwip())) + 2 * kGap;
    const int total = pageCount() * pageStride() + kGap;
    verticalScrollBar()->setRange(0, std::max(0, total - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    horizontalScrollBar()->setRange(0, std::max(0, pageWidth - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void ReportView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ReportView::paintEvent(QPaintEvent* event) {
    if (!m_rows) return;
    QPainter p(viewport());
    const double scale = pixelsPerTwip();
    const int stride = pageStride();
    const int top = verticalScrollBar()->value();
    const int left = kGap - horizontalScrollBar()->value();
    const report::Pages pages(static_cast<int>(m_printable.height()), static_cast<int>(m_rows->size()));
    // Only the pages in sight are drawn: the largest book has thousands.
    const int first = std::max(0, (top + event->rect().top()) / stride);
    const int last = std::min(pages.count() - 1, (top + event->rect().bottom()) / stride);
    for (int page = first; page <= last; ++page) {
        const QRectF sheet(left, kGap + page * stride - top, m_page.width() * scale, m_page.height() * scale);
        p.fillRect(sheet, Qt::white);
        p.save();
        p.setRenderHint(QPainter::TextAntialiasing);
        p.translate(sheet.topLeft());
        p.scale(scale, scale);
        p.translate(m_printable.topLeft());
        report::paintPage(p, pages, *m_rows, page);
        p.restore();
    }
}

DataReport::DataReport() {
    setObjectName(QStringLiteral("DataReport"));
    setWindowTitle(QStringLiteral("Dorvane Report"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto* print = new QPushButton(QStringLiteral("&Print..."), this);
    print->setObjectName(QStringLiteral("cmdPrint"));
    auto* pdf = new QPushButton(QStringLiteral("Print to P&DF..."), this);
    pdf->setObjectName(QStringLiteral("cmdPdf"));
    cboZoom = new QComboBox(this);
    cboZoom->setObjectName(QStringLiteral("cboZoom"));
    for (int percent : {50, 75, 100, 125, 150, 200, 300})
        cboZoom->addItem(QStringLiteral("%1%").arg(percent), percent / 100.0);
    cboZoom->setCurrentIndex(2);
    lblPage = new QLabel(this);
    bar->addWidget(print);
    bar->addWidget(pdf);
    auto* zoomLabel = new QLabel(QStringLiteral("&Zoom:"), this);
    zoomLabel->setBuddy(cboZoom);
    bar->addWidget(zoomLabel);
    bar->addWidget(cboZoom);
    bar->addStretch(1);
    bar->addWidget(lblPage);
    layout->addLayout(bar);
    m_view = new ReportView(this);
    layout->addWidget(m_view, 1);
    connect(print, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(pdf, &QPushButton::clicked, this, [this] { cmdPdf_Click(); });
    connect(cboZoom, &QComboBox::activated, this, [this](int i) { cboZoom_Click(i); });
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        lblPage->setText(QStringLiteral("Page %1 of %2").arg(m_view->currentPage() + 1).arg(pageCount()));
    });
    resize(1000, 760);
    layoutFromPrinter();
}

void DataReport::layoutFromPrinter() {
    const QPageLayout page = programPrinter().pageLayout();
    const QSizeF points = page.fullRect(QPageLayout::Point).size();
    m_pageTwips = points * 20;
    m_printableTwips =
        QRectF(kMargin, kMargin, m_pageTwips.width() - 2 * kMargin, m_pageTwips.height() - 2 * kMargin);
}

void DataReport::Refresh() {
    report::RowTable rows;
    QSqlDatabase db = report::connection();
    dbfile::readColumns(db, report::boundColumns(), [&](std::vector<QString>& values) {
        report::Row row;
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = shown(values[i]);
        rows.add(row);
    });
    rows.squeeze();
    m_rows = std::move(rows);
    layoutFromPrinter();
    m_view->setReport(&m_rows, m_pageTwips, m_printableTwips);
    lblPage->setText(QStringLiteral("Page %1 of %2").arg(m_view->currentPage() + 1).arg(pageCount()));
}

void DataReport::renderPage(QPainter& p, int page, double dotsPerInch) const {
    const report::Pages pages(static_cast<int>(m_printableTwips.height()), static_cast<int>(m_rows.size()));
    p.save();
    p.scale(dotsPerInch / 1440.0, dotsPerInch / 1440.0);
    p.translate(m_printableTwips.topLeft());
    report::paintPage(p, pages, m_rows, page);
    p.restore();
}

void DataReport::paintPages(QPagedPaintDevice& device, int from, int to, double dotsPerInch) const {
    // The largest book gives thousands of pages: a second or two of work.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const int count = pageCount();
    const int first = from > 0 ? std::min(from, count) : 1;
    const int last = to > 0 ? std::min(to, count) : count;
    QPainter p;
    if (!p.begin(&device)) throw VbError(482, QStringLiteral("The printer could not be started"));
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            p.end();
            throw VbError(482, QStringLiteral("The printer refused a new page"));
        }
        renderPage(p, page - 1, dotsPerInch);
    }
    if (!p.end()) throw VbError(482, QStringLiteral("The printer could not finish the report"));
}

void DataReport::printTo(QPrinter& printer, int from, int to) const {
    const bool fullPage = printer.fullPage();
    // The report keeps its own margins, measured from the paper's edge.
    printer.setFullPage(true);
    const auto restore = qScopeGuard([&] { printer.setFullPage(fullPage); });
    paintPages(printer, from, to, printer.resolution());
    checkPrinterOutput(printer);
}

namespace {

// The bytes of a PDF on their way into a file: a write the disk refuses is kept by its
// cause, which the PDF writer itself does not tell.
class PdfFile : public QIODevice {
public:
    explicit PdfFile(const QString& path) : m_path(path) {
        m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (m_fd < 0) throw fileErrorFromErrno(path, errno);
        QIODevice::open(QIODevice::WriteOnly);
    }
    ~PdfFile() override {
        if (m_fd >= 0) ::close(m_fd);
    }
    bool isSequential() const override { return true; }
    // Raises the error of the first write that failed, or of putting the file on the disk: it
    // is on the disk before it takes the target's name.
    void finish() {
        const int fd = std::exchange(m_fd, -1);
        if (m_errno == 0 && ::fdatasync(fd) != 0 && errno != EINVAL) m_errno = errno;
        if (::close(fd) != 0 && m_errno == 0) m_errno = errno;
        if (m_errno != 0) throw fileErrorFromErrno(m_path, m_errno);
    }
    bool failed() const { return m_errno != 0; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        qint64 done = 0;
        while (m_errno == 0 && done < length) {
            const ssize_t n = ::write(m_fd, data + done, static_cast<std::size_t>(length - done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0)
                m_errno = errno;
            else
                done += n;
        }
        return m_errno == 0 ? done : -1;
    }

private:
    QString m_path;
    int m_fd = -1;
    int m_errno = 0;
};

} // namespace

void DataReport::printToPdf(const QString& file) const {
    PdfFile out(file);
    {
        QPdfWriter pdf(&out);
        pdf.setResolution(1200);
        const QPageLayout page = programPrinter().pageLayout();
        // The report keeps its own margins, measured from the paper's edge.
        pdf.setPageLayout(QPageLayout(page.pageSize(), page.orientation(), QMarginsF()));
        try {
            paintPages(pdf, 0, 0, pdf.resolution());
        } catch (const VbError&) {
            // A page refused because the disk was full is told as the full disk.
            if (!out.failed()) throw;
        }
    }
    out.finish();
}

void DataReport::cmdPrint_Click() {
    QPrinter& printer = programPrinter();
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, std::max(1, pageCount()));
    prompts().showModal(dialog);
    if (dialog.result() != QDialog::Accepted) return;
    if (printsToRefusedFile(printer, dialog.windowTitle())) return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    Steps(OnError::Standard)(
        [&] { printTo(printer, range ? printer.fromPage() : 0, range ? printer.toPage() : 0); });
}

void DataReport::cmdPdf_Click() {
    static CommonDialog dialog;
    Steps step(OnError::StandardCancelRule);
    QString target;
    const bool chosen = step([&] {
        for (;;) {
            dialog.FilterIndex = 1;
            dialog.CancelError = true;
            dialog.ShowSaveAs(QStringLiteral("Print to PDF"), QStringLiteral("pdf"),
                              QStringLiteral("PDF document (.pdf) |*.pdf| All files | *.*"));
            target = dialog.FileName;
            if (!refusedTarget(target, dialog.DialogTitle)) return;
        }
    });
    if (!chosen) return;
    step([&] {
        // Written beside its place under another name, and renamed over it when whole.
        files::writeThrough(target, [this](const QString& staged) { printToPdf(staged); });
    });
}

void DataReport::closeEvent(QCloseEvent* event) {
    event->accept();
    Forms::unload(this);
}

void DataReport::cboZoom_Click(int index) {
    m_view->setZoom(cboZoom->itemData(index).toDouble());
}

PB_REGISTER_WINDOW("DataReport", DataReport)

} // namespace pb
