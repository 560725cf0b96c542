#pragma once

#include "builders/report_layout.h"
#include "workspace/forms.h"

#include <QAbstractScrollArea>
#include <QWidget>

class QComboBox;
class QLabel;
class QPagedPaintDevice;
class QPrinter;
class QSqlDatabase;

namespace pb {

// The report's data connection to the database file: opened by the first report
// of a run, closed before every rebuild and when the phone book window unloads.
namespace report {
bool connectionOpen();
void openConnection(const QString& file);
void closeConnection();
QSqlDatabase connection();
} // namespace report

// The pages of the report, drawn only where they are seen.
class ReportView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ReportView(QWidget* parent = nullptr);
    void setReport(const report::RowTable* rows, QSizeF pageTwips, QRectF printableTwips);
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }
    int pageCount() const;
    // The page at the top of the view (0-based).
    int currentPage() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double pixelsPerTwip() const;
    int pageStride() const;
    void updateScrollBars();

    const report::RowTable* m_rows = nullptr;
    QSizeF m_page;
    QRectF m_printable;
    double m_zoom = 1.0;
};

// The phone book report: every record of the database file in the report's
// layout, page after page, with zoom, print and print to PDF.
class DataReport : public QWidget, public Form {
    Q_OBJECT
public:
    DataReport();
    QWidget* widget() override { return this; }

    // Reads the rows again through the report's connection.
    void Refresh();
    const report::RowTable& rows() const { return m_rows; }
    int pageCount() const { return m_view->pageCount(); }
    // Paints pages `from` to `to` (1-based, 0: all) on a printer, one page each.
    void printTo(QPrinter& printer, int from = 0, int to = 0) const;
    // Writes every page into the PDF file `file`; a write the disk refuses raises its own error.
    void printToPdf(const QString& file) const;
    // Paints one page onto an image at `dpi` (what a printer would get).
    void renderPage(QPainter& p, int page, double dotsPerInch) const;

    void cmdPrint_Click();
    void cmdPdf_Click();
    void cboZoom_Click(int index);

    ReportView* m_view = nullptr;
    QComboBox* cboZoom = nullptr;
    QLabel* lblPage = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void layoutFromPrinter();
    void paintPages(QPagedPaintDevice& device, int from, int to, double dotsPerInch) const;
    report::RowTable m_rows;
    QSizeF m_pageTwips;
    QRectF m_printableTwips;
};

} // namespace pb
