// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointF>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QtTest>

#include <algorithm>
#include <cmath>

// Runs pdftotext (poppler-utils) with the given options on a PDF file.
inline QString RunPdfToText(const QStringList& options, const QString& pdfFile) {
  const QString tool = QStandardPaths::findExecutable("pdftotext");
  if (tool.isEmpty()) {
    QTest::qFail("pdftotext (poppler-utils) is not installed", __FILE__, __LINE__);
    return {};
  }
  QProcess process;
  process.start(tool, options + QStringList{pdfFile, "-"});
  if (!process.waitForFinished(30000) || process.exitCode() != 0) {
    QTest::qFail(qPrintable("pdftotext failed: " + process.readAllStandardError()), __FILE__,
                 __LINE__);
    return {};
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of a PDF file in reading order, pages separated by form feeds.
inline QString PdfText(const QString& pdfFile) { return RunPdfToText({"-layout"}, pdfFile); }

// The pages of a PDF printed in a fixed-width font, rebuilt from the word
// positions pdftotext reports: every word at its line and column, counted
// from the top left of the printable area (given in points). Blanks at the
// end of a line and empty lines at the end of a page leave no trace in a
// PDF, so they are dropped.
inline QList<QStringList> PdfPages(const QString& pdfFile, QPointF areaTopLeft) {
  const QString html = RunPdfToText({"-bbox"}, pdfFile);
  struct Word {
    double x, y, width, height;
    QString text;
  };
  QList<QList<Word>> pages;
  static const QRegularExpression tag(
      R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  for (auto match = tag.globalMatch(html); match.hasNext();) {
    const QRegularExpressionMatch m = match.next();
    if (m.captured(0) == "<page ") {
      pages.append(QList<Word>());
      continue;
    }
    QString text = m.captured(5);
    text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
    const double x = m.captured(1).toDouble();
    const double y = m.captured(2).toDouble();
    pages.back().append({x, y, m.captured(3).toDouble() - x, m.captured(4).toDouble() - y, text});
  }

  QList<QStringList> result;
  for (const QList<Word>& words : pages) {
    QStringList lines;
    if (!words.isEmpty()) {
      // The widest word gives the character width; the closest two
      // distinct baselines the line height (one line: the word height).
      double charWidth = 0;
      double lineHeight = words.front().height;
      for (const Word& a : words) {
        charWidth = std::max(charWidth, a.width / a.text.size());
        for (const Word& b : words) {
          const double dy = std::fabs(a.y - b.y);
          if (dy > 1.0) lineHeight = std::min(lineHeight, dy);
        }
      }
      for (const Word& word : words) {
        const int line = static_cast<int>(std::lround((word.y - areaTopLeft.y()) / lineHeight));
        const int column = static_cast<int>(std::lround((word.x - areaTopLeft.x()) / charWidth));
        while (lines.size() <= line) lines.append(QString());
        QString& text = lines[line];
        if (text.size() < column) text += QString(column - text.size(), ' ');
        text.replace(column, word.text.size(), word.text);
      }
    }
    result.append(lines);
  }
  return result;
}
