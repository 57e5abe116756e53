// SPDX-License-Identifier: GPL-3.0-or-later
// The printed listing, through a PDF printer read back with pdftotext.
#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/workspace.h"
#include "tests/support/qt_test_main.h"
#include "tests/ui/listing/pdf_text.h"
#include "tests/ui/listing/sample_net.h"
#include "ui/listing/listing_printer.h"
#include "ui/listing/listing_sink.h"
#include "ui/listing/listing_text.h"

using namespace backprop;

namespace {

// Prints pages into a PDF file and reads them back, line by line.
QList<QStringList> PrintAndRead(const std::vector<ListingPage>& pages, const QString& file) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  const QString error = PrintPages(pages, printer);
  if (!error.isEmpty()) {
    QTest::qFail(qPrintable(error), __FILE__, __LINE__);
    return {};
  }
  return PdfPages(file, printer.pageLayout().paintRect(QPageLayout::Point).topLeft());
}

// What a page of lines looks like on paper: no blanks at a line's end and
// no empty lines at the page's end.
QList<QStringList> AsOnPaper(const std::vector<std::vector<std::string>>& pages) {
  QList<QStringList> paper;
  for (const auto& page : pages) {
    QStringList lines;
    for (const std::string& line : page) {
      QString text = QString::fromStdString(line);
      while (text.endsWith(' ')) text.chop(1);
      lines.append(text);
    }
    while (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    paper.append(lines);
  }
  return paper;
}

}  // namespace

class ListingPrinterTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir folder_;

 private slots:
  void listingsPrintLineForLineAndPageForPage_data() {
    QTest::addColumn<int>("layerCount");
    QTest::addColumn<bool>("testSet");
    QTest::newRow("3 layers, test set: two pages") << 3 << true;
    QTest::newRow("3 layers, no test set: one page") << 3 << false;
    QTest::newRow("1 layer") << 1 << true;
    QTest::newRow("no layers") << 0 << false;
  }

  void listingsPrintLineForLineAndPageForPage() {
    QFETCH(int, layerCount);
    QFETCH(bool, testSet);
    Workspace ws;
    FillSampleNet(ws);
    ws.LayerCount = layerCount;
    ws.ListDestination = 0;
    ListingChoice choice = EverySection();
    choice[ListingSection::TestData1] = testSet;
    PageSink sink;
    WriteListing(ws, choice, sink);
    const auto pages = sink.Pages();
    QCOMPARE(pages.size(), testSet ? 2u : 1u);
    QCOMPARE(PrintAndRead(pages, folder_.filePath("listing.pdf")), AsOnPaper(pages));
  }

  void fullPagesContinueAndWideRowsFit() {
    ListingPage lines;
    for (int n = 1; n <= 150; ++n) lines.push_back("line " + std::to_string(n));
    // The widest row a net can have: ten weights.
    std::string wide = "INPUT NODE # 10 ";
    for (int n = 0; n < 9; ++n) wide += "  12.34 ";
    wide += " -98.76  ";
    lines.push_back(wide);
    lines.push_back("last");
    const QList<QStringList> paper = PrintAndRead({lines}, folder_.filePath("long.pdf"));
    QVERIFY(paper.size() >= 2);
    QStringList all;
    for (const QStringList& page : paper) {
      QVERIFY(!page.isEmpty() && !page.first().isEmpty());  // no page left blank
      all += page;
    }
    QCOMPARE(all, AsOnPaper({lines}).first());
  }

  void tabsKeepTheirColumns() {
    const QList<QStringList> paper =
        PrintAndRead({{"a\tb", "abcdefgh\tc"}}, folder_.filePath("tab.pdf"));
    QCOMPARE(paper, (QList<QStringList>{{"a       b", "abcdefgh        c"}}));
  }

  void unwritableOutputIsAnError() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder_.filePath("missing/folder/x.pdf"));
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    const QString error = PrintPages({{"text"}}, printer);
    QVERIFY(error.contains("x.pdf"));
  }

  void freeFileNameNeverOverwrites() {
    QTemporaryDir dir;
    const QDir folder(dir.path());
    QCOMPARE(FreeFileName(folder, "NetData", "pdf"), folder.filePath("NetData.pdf"));
    for (const char* taken : {"NetData.pdf", "NetData-2.pdf"}) {
      QFile file(folder.filePath(taken));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(FreeFileName(folder, "NetData", "pdf"), folder.filePath("NetData-3.pdf"));
  }
};

BACKPROP_QT_TEST(ListingPrinterTest);
#include "test_listing_printer.moc"
