// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/listing/listing_printer.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

namespace backprop {

namespace {

constexpr double kLargestPointSize = 10.0;
constexpr double kSmallestPointSize = 6.0;
constexpr double kMarginMm = 15.0;

// Tabs become blanks up to the next multiple of eight, so that a text laid
// out with tabs keeps its columns on paper.
QString ExpandTabs(const QString& line) {
  if (!line.contains('\t')) return line;
  QString out;
  for (const QChar c : line) {
    if (c == '\t') {
      out += QString(8 - out.size() % 8, ' ');
    } else {
      out += c;
    }
  }
  return out;
}

QFont ListingFont(double pointSize) {
  QFont font("Monospace");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSizeF(pointSize);
  return font;
}

// The largest size up to 10 points at which the longest line fits the width.
QFont FittingFont(int longestLine, double width, QPrinter& printer) {
  const QFont font = ListingFont(kLargestPointSize);
  const double lineWidth =
      QFontMetricsF(font, &printer).horizontalAdvance(QString(std::max(longestLine, 1), 'M'));
  if (lineWidth <= width) return font;
  const double fitting = std::floor(kLargestPointSize * width / lineWidth * 4.0) / 4.0;
  return ListingFont(std::max(fitting, kSmallestPointSize));
}

}  // namespace

QString PrintPages(const std::vector<ListingPage>& pages, QPrinter& printer) {
  std::vector<std::vector<QString>> lines;
  int longest = 0;
  for (const ListingPage& page : pages) {
    auto& converted = lines.emplace_back();
    for (const std::string& line : page) {
      converted.push_back(ExpandTabs(QString::fromStdString(line)));
      longest = std::max(longest, static_cast<int>(converted.back().size()));
    }
  }

  printer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                         QPageLayout::Millimeter);
  QPainter painter;
  if (!painter.begin(&printer)) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
      return "The file " + QDir::toNativeSeparators(printer.outputFileName()) +
             " could not be written.";
    }
    return "The printer " + printer.printerName() + " could not be opened.";
  }
  const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
  const QFont font = FittingFont(longest, area.width(), printer);
  painter.setFont(font);
  const QFontMetricsF metrics(font, &printer);
  const double lineHeight = metrics.lineSpacing();

  double y = 0;
  bool pageUsed = false;
  bool firstPage = true;
  auto startPage = [&]() {
    y = 0;
    pageUsed = false;
    return printer.newPage();
  };
  for (const auto& page : lines) {
    if (!firstPage && !startPage()) return "The printer could not start a new page.";
    firstPage = false;
    for (const QString& line : page) {
      if (pageUsed && y + lineHeight > area.height() && !startPage()) {
        return "The printer could not start a new page.";
      }
      painter.drawText(QPointF(0, y + metrics.ascent()), line);
      y += lineHeight;
      pageUsed = true;
    }
  }
  if (!painter.end() || printer.printerState() == QPrinter::Error) {
    return "The printer reported an error.";
  }
  return {};
}

QString FreeFileName(const QDir& folder, const QString& base, const QString& extension) {
  QString name = base + "." + extension;
  for (int n = 2; folder.exists(name); ++n) {
    name = QString("%1-%2.%3").arg(base).arg(n).arg(extension);
  }
  return QFileInfo(folder, name).absoluteFilePath();
}

PrintOutcome PrintToDefaultPrinter(const std::vector<ListingPage>& pages, const QDir& folder) {
  PrintOutcome outcome;
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  QPrinter printer(QPrinter::HighResolution);
  if (!info.isNull()) {
    printer.setPrinterName(info.printerName());
  } else {
    printer.setOutputFormat(QPrinter::PdfFormat);
    outcome.pdfFile = FreeFileName(folder, "NetData", "pdf");
    printer.setOutputFileName(outcome.pdfFile);
  }
  printer.setDocName("Net Data");
  outcome.error = PrintPages(pages, printer);
  if (!outcome.error.isEmpty()) outcome.pdfFile.clear();
  return outcome;
}

}  // namespace backprop
