// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/listing/listing_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/engine_error.h"
#include "engine/text_lines.h"
#include "engine/workspace.h"
#include "ui/common/dialogs.h"
#include "ui/common/keyboard.h"
#include "ui/common/main_window_access.h"
#include "ui/common/maximise.h"
#include "ui/common/window_style.h"
#include "ui/listing/listing_printer.h"
#include "ui/listing/listing_sink.h"
#include "ui/listing/listing_text.h"

namespace backprop {

namespace {

// Hidden controls keep their place, so the rest of the panel never shifts.
void KeepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

}  // namespace

ListingWindow::ListingWindow(Workspace& ws, MainWindowAccess& main, Dialogs& dialogs,
                             QWidget* parent)
    : QMainWindow(parent), ws_(ws), main_(main), dialogs_(dialogs) {
  NameSecondaryWindow(*this, "Form4", "Net Data");

  // The preview area lies over the choosing panel and covers it when shown.
  QWidget* panel = BuildChoosingPanel();
  BuildPreviewArea();
  auto* central = new QWidget;
  auto* stack = new QGridLayout(central);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->addWidget(panel, 0, 0);
  stack->addWidget(previewArea_, 0, 0);
  setCentralWidget(central);
  BuildMenuBar();

  connect(printButton_, &QPushButton::clicked, this, &ListingWindow::Command1_Click);
  connect(previewButton_, &QPushButton::clicked, this, &ListingWindow::Command3_Click);
}

// Buttons and wait notice on the left, the sections to tick on the right,
// in a font a quarter larger than the window's.
QWidget* ListingWindow::BuildChoosingPanel() {
  auto* panel = new QWidget;
  QFont panelFont = panel->font();
  panelFont.setPointSizeF(panelFont.pointSizeF() * 1.25);
  panel->setFont(panelFont);

  previewButton_ = new QPushButton("Preview");
  printButton_ = new QPushButton("Print");
  waitNotice_ = new QLabel("Please Wait!!");
  for (auto [widget, name] : {std::pair<QWidget*, const char*>{printButton_, "Command1"},
                              {previewButton_, "Command3"},
                              {waitNotice_, "Text2"}}) {
    widget->setObjectName(name);
    KeepPlaceWhenHidden(widget);
  }
  printButton_->setMinimumWidth(130);
  previewButton_->setMinimumWidth(130);
  waitNotice_->setAlignment(Qt::AlignCenter);
  QFont waitFont = waitNotice_->font();
  waitFont.setBold(true);
  waitNotice_->setFont(waitFont);
  waitNotice_->setStyleSheet(QString("color: %1;").arg(kDrawingForeground.name()));
  waitNotice_->hide();

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(previewButton_);
  buttons->addSpacing(12);
  buttons->addWidget(waitNotice_);
  buttons->addSpacing(12);
  buttons->addWidget(printButton_);

  // One check box per section, top to bottom in the order of the listing.
  auto* sections = new QVBoxLayout;
  sections->setSpacing(10);
  for (std::size_t i = 0; i < sectionChecks_.size(); ++i) {
    const ListingSectionRow& row = ListingSections()[i];
    sectionChecks_[i] = new QCheckBox(row.caption);
    sectionChecks_[i]->setObjectName(QString("Check%1").arg(row.check));
    KeepPlaceWhenHidden(sectionChecks_[i]);
    sections->addWidget(sectionChecks_[i]);
  }

  // Tab goes down the sections, then to "Preview" and "Print"; Enter or
  // Space presses the button that has the focus.
  for (std::size_t i = 1; i < sectionChecks_.size(); ++i) {
    QWidget::setTabOrder(sectionChecks_[i - 1], sectionChecks_[i]);
  }
  QWidget::setTabOrder(sectionChecks_.back(), previewButton_);
  QWidget::setTabOrder(previewButton_, printButton_);
  for (QPushButton* button : {previewButton_, printButton_}) button->setAutoDefault(true);
  previewButton_->setAccessibleDescription("List the ticked sections here");
  printButton_->setAccessibleDescription("Print the ticked sections");

  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addLayout(buttons);
  row->setAlignment(buttons, Qt::AlignVCenter);
  row->addSpacing(48);
  row->addLayout(sections);
  row->addStretch();
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->addStretch(1);
  panelLayout->addLayout(row);
  panelLayout->addStretch(2);
  return panel;
}

// Read-only, fixed-width, unwrapped; typed characters are filtered out.
void ListingWindow::BuildPreviewArea() {
  previewArea_ = new QPlainTextEdit;
  previewArea_->setObjectName("Text1");
  previewArea_->setAccessibleName("Listing");
  previewArea_->setReadOnly(true);
  previewArea_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  previewArea_->setLineWrapMode(QPlainTextEdit::NoWrap);
  previewArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  previewArea_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  previewArea_->installEventFilter(this);
  previewArea_->hide();
}

void ListingWindow::BuildMenuBar() {
  QAction* end = menuBar()->addAction("&END");
  end->setObjectName("ed");
  connect(end, &QAction::triggered, this, &ListingWindow::ed_Click);
  AddMenuBarKey(*this);
  LeaveWithEscape(*this, [this] { ed_Click(); });
}

void ListingWindow::PresetChoices() {
  for (std::size_t i = 0; i < sectionChecks_.size(); ++i) {
    const ListingSection section = ListingSections()[i].section;
    if (section != ListingSection::TestData1) {
      sectionChecks_[i]->setChecked(section == ListingSection::Weights);
    }
  }
}

void ListingWindow::ShowForListing() {
  previewArea_->hide();
  waitNotice_->hide();
  ShowChoosing(true);
  ShowMaximised(this);
  raise();
  activateWindow();
}

void ListingWindow::Command1_Click() {
  ws_.ListDestination = kListToPrinter;
  // A print job can take a while too; the notice says so.
  ShowWaitNotice();
  MakeListing();
}

void ListingWindow::Command3_Click() {
  ws_.ListDestination = kListToPreview;
  ShowWaitNotice();
  MakeListing();
}

void ListingWindow::ed_Click() {
  hide();
  main_.ShowMainWindow();
  previewArea_->hide();
  ShowChoosing(true);
}

void ListingWindow::Form_Unload() { ed_Click(); }

void ListingWindow::MakeListing() {
  const ListingChoice choice = Choice();
  previewArea_->clear();
  ShowChoosing(false);
  const bool toPrinter = ws_.ListDestination == kListToPrinter;
  bool failed = false;
  try {
    if (toPrinter) {
      Print(choice);
    } else {
      Preview(choice);
    }
  } catch (const EngineError&) {
    // Only a net beyond the table bounds gets here; the user learns so and
    // is taken back instead of being left with an empty window.
    failed = true;
    waitNotice_->hide();
    dialogs_.Warning(this, kMessageBoxTitle, "UNABLE TO LIST THE NET DATA");
  }
  waitNotice_->hide();
  if (toPrinter || failed) ed_Click();
}

void ListingWindow::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

bool ListingWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == previewArea_ && event->type() == QEvent::KeyPress) {
    return Text1_KeyPress(static_cast<const QKeyEvent*>(event));
  }
  return QMainWindow::eventFilter(watched, event);
}

bool ListingWindow::Text1_KeyPress(const QKeyEvent* event) const {
  // Copying and selecting all still work; keys without a character scroll.
  if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) return false;
  return !event->text().isEmpty();
}

ListingChoice ListingWindow::Choice() const {
  ListingChoice choice;
  for (std::size_t i = 0; i < sectionChecks_.size(); ++i) {
    choice[ListingSections()[i].section] = sectionChecks_[i]->isChecked();
  }
  return choice;
}

void ListingWindow::ShowChoosing(bool shown) {
  for (QPushButton* button : {printButton_, previewButton_}) {
    button->setEnabled(shown);
    button->setVisible(shown);
  }
  for (QCheckBox* check : sectionChecks_) check->setVisible(shown);
}

void ListingWindow::ShowWaitNotice() {
  waitNotice_->show();
  // Paint it now: the listing is built without returning to the event loop.
  QApplication::processEvents();
}

void ListingWindow::Print(const ListingChoice& choice) {
  PageSink pages;
  WriteListing(ws_, choice, pages);
  const PrintOutcome outcome = PrintToDefaultPrinter(pages.Pages(), QDir::current());
  waitNotice_->hide();
  if (!outcome.error.isEmpty()) {
    dialogs_.Warning(this, kMessageBoxTitle, "UNABLE TO PRINT\n" + outcome.error);
  } else if (!outcome.pdfFile.isEmpty()) {
    dialogs_.Information(this, "Net Data",
                         "No printer is set up on this system.\nThe listing was saved as " +
                             QDir::toNativeSeparators(outcome.pdfFile));
  }
}

void ListingWindow::Preview(const ListingChoice& choice) {
  previewArea_->setEnabled(true);
  PreviewSink text;
  WriteListing(ws_, choice, text);
  previewArea_->setPlainText(QString::fromStdString(WithLineEnds(text.Text(), "\n")));
  previewArea_->show();
  previewArea_->setFocus();
}

}  // namespace backprop
