// SPDX-License-Identifier: GPL-3.0-or-later
// File Control's arrangement. The twips below place every control as on a
// 640 x 480 screen, and Qt layouts reproduce that arrangement in a window of
// that size. A larger window's room goes to the file list, the folder list
// (both also grow downwards) and the row boxes; the box layout widens the
// narrowest of them first, so the lists gain first and all three end up
// equally wide on the largest screens. At 640 x 480, where the rows would
// run past the right edge, the row boxes give up width instead. Buttons,
// check boxes, the label and the name box keep their twip sizes, grown only
// where their font needs more room.
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "files/directory_list.h"
#include "files/load_save_dialog.h"
#include "ui/common/twips.h"

namespace backprop {

namespace {

constexpr TwipsRect kFileList{360, 120, 1335, 3735};
constexpr TwipsRect kDriveList{1920, 120, 1335, 315};
constexpr TwipsRect kDirectoryList{1920, 600, 1335, 3255};
// The rows of the set: check boxes, and the boxes with the file names.
constexpr TwipsRect kRowCheck{3360, 360, 255, 255};
constexpr std::array<int, kFileSetRows> kRowCheckTops{360, 840, 1320, 1800, 2400, 2880};
constexpr TwipsRect kRowBox{3840, 360, 6975, 375};
constexpr std::array<int, kFileSetRows> kRowBoxTops{360, 840, 1320, 1800, 2400, 3000};
// Load, Save and Exit.
constexpr std::array<TwipsRect, 3> kButtons{
    {{3600, 3600, 615, 495}, {4560, 3600, 615, 495}, {5520, 3600, 615, 495}}};
constexpr TwipsRect kNameLabel{360, 4560, 975, 255};
constexpr TwipsRect kNameBox{1440, 4560, 3735, 375};
// The client area of a maximised window on a 640 x 480 screen is this tall:
// the lists grow downwards only in a taller window.
constexpr int kClientHeightAt640 = 6900;

// Items at twip places along a row or down a column, whatever their sizes:
// each item starts at its place, or right after the item before it when
// that one reaches further. Items that grow do so from their places.
class TwipsLine {
 public:
  TwipsLine(const TwipsScale& twips, Qt::Orientation orientation, int start)
      : twips_(twips),
        across_(orientation == Qt::Horizontal),
        line_(new QBoxLayout(across_ ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom)),
        reached_(Pixels(start)) {
    line_->setSpacing(0);
  }
  // The layout goes to whoever adds it; a copy would hand it out twice.
  TwipsLine(const TwipsLine&) = delete;
  TwipsLine& operator=(const TwipsLine&) = delete;

  void Add(QWidget* control, int place, Qt::Alignment alignment = {}) {
    MoveTo(place);
    line_->addWidget(control, 0, alignment);
    reached_ += Length(control->minimumSize());
  }
  void Add(QLayout* part, int place) {
    MoveTo(place);
    line_->addLayout(part);
    reached_ += Length(part->minimumSize());
  }
  // Leaves the room up to a twip place empty.
  void MoveTo(int place) {
    const int at = Pixels(place);
    line_->addSpacing(std::max(0, at - reached_));
    reached_ = std::max(at, reached_);
  }
  QBoxLayout* Layout() const { return line_; }

 private:
  int Pixels(int twips) const { return across_ ? twips_.X(twips) : twips_.Y(twips); }
  int Length(QSize size) const { return across_ ? size.width() : size.height(); }

  const TwipsScale& twips_;
  bool across_;
  QBoxLayout* line_;
  int reached_;
};

// The size a control keeps: its twips, grown where its font needs more.
void KeepSize(QWidget* control, QSize twipsSize) {
  control->setFixedSize(twipsSize.expandedTo(control->minimumSizeHint()));
}

// A button's caption needs its text and an average character of margin.
void KeepButtonSize(QPushButton* button, QSize twipsSize) {
  const QFontMetrics metrics(button->font());
  const QSize caption(metrics.horizontalAdvance(button->text()) + metrics.averageCharWidth(),
                      metrics.height() + metrics.averageCharWidth());
  button->setFixedSize(twipsSize.expandedTo(caption));
}

}  // namespace

void LoadSaveDialog::PlaceControls() {
  const TwipsScale twips(*this);
  SizeControls(twips);

  TwipsLine lists(twips, Qt::Horizontal, kFileList.left);
  lists.Add(FileColumn(twips), kFileList.left);
  lists.Add(DirectoryColumn(twips), kDirectoryList.left);
  lists.Add(RowsAndButtons(twips), kRowCheck.left);

  TwipsLine nameRow(twips, Qt::Horizontal, kNameLabel.left);
  nameRow.Add(nameLabel_, kNameLabel.left, Qt::AlignTop);
  nameRow.Add(nameBox_, kNameBox.left);
  nameRow.Layout()->addStretch(1);

  TwipsLine page(twips, Qt::Vertical, 0);
  page.Add(lists.Layout(), kFileList.top);
  page.Add(nameRow.Layout(), kNameBox.top);
  // Blank below the name row as far as a 640 x 480 screen reaches; in a
  // smaller window this band goes first.
  page.Layout()->addSpacerItem(new QSpacerItem(0, twips.Y(kClientHeightAt640 - kNameBox.Bottom()),
                                               QSizePolicy::Minimum, QSizePolicy::Maximum));
  page.Layout()->setContentsMargins(twips.X(kFileList.left), 0, twips.X(kFileList.left), 0);
  page_->setLayout(page.Layout());

  // In a window smaller than the arrangement, scroll bars reach the rest.
  auto* scroll = new QScrollArea;
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setFocusPolicy(Qt::NoFocus);
  scroll->setWidgetResizable(true);
  scroll->setWidget(page_);
  auto* window = new QVBoxLayout(this);
  window->setContentsMargins(0, 0, 0, 0);
  window->addWidget(scroll);
}

void LoadSaveDialog::SizeControls(const TwipsScale& twips) {
  // The lists prefer their twip sizes (see their sizeHint) and grow both ways.
  fileList_->setMinimumSize(twips.Size(kFileList));
  directoryList_->setMinimumSize(twips.Size(kDirectoryList));
  for (QWidget* list : {static_cast<QWidget*>(fileList_), static_cast<QWidget*>(directoryList_)}) {
    list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }
  // The drive list keeps its height and spans the folder list's width.
  driveList_->setMinimumWidth(twips.X(kDriveList.width));
  driveList_->setFixedHeight(
      std::max(twips.Y(kDriveList.height), driveList_->minimumSizeHint().height()));
  driveList_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  // A row box shows at least its longest label with the default name.
  const QFontMetrics metrics(rowFileBoxes_[0]->font());
  int rowText = 0;
  for (int row = 0; row < kFileSetRows; ++row) {
    for (const char* label : {kLoadRowLabels[row], kSaveRowLabels[row]}) {
      const QString text = label + QString(kDefaultBaseName) + kFileSetExtensions[row];
      rowText = std::max(rowText, metrics.horizontalAdvance(text));
    }
  }
  for (int row = 0; row < kFileSetRows; ++row) {
    KeepSize(rowChecks_[row], twips.Size(kRowCheck));
    QLineEdit* box = rowFileBoxes_[row];
    box->setMinimumWidth(rowText + 2 * metrics.averageCharWidth());
    box->setFixedHeight(std::max(twips.Y(kRowBox.height), box->minimumSizeHint().height()));
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
  KeepButtonSize(loadButton_, twips.Size(kButtons[0]));
  KeepButtonSize(saveButton_, twips.Size(kButtons[1]));
  KeepButtonSize(exitButton_, twips.Size(kButtons[2]));
  KeepSize(nameLabel_, twips.Size(kNameLabel));
  KeepSize(nameBox_, twips.Size(kNameBox));
}

// The file list; its column reaches down to the buttons' lower edge, as the
// folder list's does, so that the name row keeps its place below both.
QLayout* LoadSaveDialog::FileColumn(const TwipsScale& twips) {
  TwipsLine column(twips, Qt::Vertical, kFileList.top);
  column.Add(fileList_, kFileList.top);
  column.MoveTo(kButtons[0].Bottom());
  return column.Layout();
}

// The drive list, and below it the folder list.
QLayout* LoadSaveDialog::DirectoryColumn(const TwipsScale& twips) {
  TwipsLine column(twips, Qt::Vertical, kDriveList.top);
  column.Add(driveList_, kDriveList.top);
  column.Add(directoryList_, kDirectoryList.top);
  column.MoveTo(kButtons[0].Bottom());
  return column.Layout();
}

// The check boxes, the row boxes beside them, and the buttons below.
QLayout* LoadSaveDialog::RowsAndButtons(const TwipsScale& twips) {
  TwipsLine checks(twips, Qt::Vertical, kRowCheck.top);
  TwipsLine boxes(twips, Qt::Vertical, kRowBox.top);
  for (int row = 0; row < kFileSetRows; ++row) {
    checks.Add(rowChecks_[row], kRowCheckTops[row]);
    boxes.Add(rowFileBoxes_[row], kRowBoxTops[row]);
  }
  checks.Layout()->addStretch(1);
  boxes.Layout()->addStretch(1);
  // The boxes prefer their twip width, and give it up in a narrow window.
  boxes.Layout()->addSpacerItem(
      new QSpacerItem(twips.X(kRowBox.width), 0, QSizePolicy::Expanding, QSizePolicy::Fixed));
  TwipsLine rows(twips, Qt::Horizontal, kRowCheck.left);
  rows.Add(checks.Layout(), kRowCheck.left);
  rows.Add(boxes.Layout(), kRowBox.left);

  TwipsLine buttons(twips, Qt::Horizontal, kRowCheck.left);
  buttons.Add(loadButton_, kButtons[0].left);
  buttons.Add(saveButton_, kButtons[1].left);
  buttons.Add(exitButton_, kButtons[2].left);
  buttons.Layout()->addStretch(1);

  TwipsLine column(twips, Qt::Vertical, kFileList.top);
  column.Add(rows.Layout(), kRowCheck.top);
  column.Add(buttons.Layout(), kButtons[0].top);
  column.Layout()->addStretch(1);
  return column.Layout();
}

}  // namespace backprop
