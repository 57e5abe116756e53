// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

#include "ui/listing/listing_sink.h"

class QDir;
class QPrinter;

namespace backprop {

// Prints pages of listing lines in a fixed-width font so that columns line
// up, with margins of 15 mm. The font shrinks from 10 to no less than 6 points until the longest
// line fits the paper width; a line longer still runs off the right edge
// rather than wrapping. A page that fills up continues on the next. Returns
// an empty text on success, otherwise the reason the printer gave up.
QString PrintPages(const std::vector<ListingPage>& pages, QPrinter& printer);

// The first of "base.ext", "base-2.ext", "base-3.ext", ... that does not yet
// exist in the folder, as an absolute path.
QString FreeFileName(const QDir& folder, const QString& base, const QString& extension);

// What became of a print job.
struct PrintOutcome {
  QString error;    // empty when the job went through
  QString pdfFile;  // the file written when the system has no printer
};

// Sends the pages to the system's default printer; without one, writes them
// as a PDF file with a free name in the given folder.
PrintOutcome PrintToDefaultPrinter(const std::vector<ListingPage>& pages, const QDir& folder);

}  // namespace backprop
