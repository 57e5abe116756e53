// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/directory_list.h"

#include <QApplication>
#include <QDir>
#include <QStyle>

namespace backprop {

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kIndentBlanks = 2;  // per level: the box is narrow
}  // namespace

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    const QString path = item->data(kPathRole).toString();
    if (path != path_) emit PathClicked(path);
  });
}

void DirectoryList::SetPath(const QString& path) {
  path_ = QDir::cleanPath(QDir(path).absolutePath());
  Refresh();
}

void DirectoryList::Refresh() {
  clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

  // The chain of folders from the root down to the current one.
  QStringList chain;
  for (QDir dir(path_);;) {
    chain.prepend(dir.absolutePath());
    if (dir.isRoot() || !dir.cdUp()) break;
  }
  qsizetype depth = 0;
  QListWidgetItem* current = nullptr;
  for (const QString& folder : chain) {
    const QString name = QDir(folder).isRoot() ? folder : QDir(folder).dirName();
    auto* item = new QListWidgetItem(open, QString(depth * kIndentBlanks, u' ') + name, this);
    item->setData(kPathRole, folder);
    item->setToolTip(folder);
    current = item;
    ++depth;
  }
  const QStringList children =
      QDir(path_).entryList(QDir::AllDirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& child : children) {
    auto* item = new QListWidgetItem(closed, QString(depth * kIndentBlanks, u' ') + child, this);
    item->setData(kPathRole, QDir(path_).filePath(child));
    item->setToolTip(item->data(kPathRole).toString());
  }
  if (current) {
    setCurrentItem(current);
    scrollToItem(current, QAbstractItemView::PositionAtTop);
  }
}

}  // namespace backprop
