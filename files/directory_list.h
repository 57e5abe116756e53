// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>
#include <QString>

namespace backprop {

// A directory list that fits a narrow box: the folders on the way from the
// root to the current directory, one per line and indented by depth, then
// the current directory's own folders one step further in. A click on a
// line makes that folder current.
class DirectoryList : public QListWidget {
  Q_OBJECT

 public:
  explicit DirectoryList(QWidget* parent = nullptr);

  // The size given as the minimum; a layout adds room to it.
  QSize sizeHint() const override { return minimumSize(); }

  QString Path() const { return path_; }
  // Shows `path` (made absolute and clean) as the current directory.
  void SetPath(const QString& path);
  // Reads the current directory's folders again.
  void Refresh();

 signals:
  // The user clicked a folder other than the current one.
  void PathClicked(const QString& path);

 private:
  QString path_;
};

}  // namespace backprop
