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
#include "engine/workspace.h"
#include "ui/common/dialogs.h"
#include "ui/common/main_window_access.h"
#include "ui/common/maximise.h"
#include "ui/common/window_style.h"
#include "ui/listing/listing_printer.h"
#include "ui/listing/listing_sink.h"
#include "ui/listing/listing_text.h"

namespace backprop {

namespace {

// Captions of Check1..Check8; the blank after "Node Values" is the program's own.
constexpr std::array<const char*, 8> kCheckCaptions = {
    "Program S1", "Program S2", "Train Data 1", "Train Data 2",
    "Weights",    "Node Values ", "Structure",  "Test Data 1",
};
// Check boxes (0-based) top to bottom: the order of the sections in the listing.
constexpr std::array<int, 8> kColumnOrder = {0, 1, 2, 3, 7, 4, 5, 6};

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
  setObjectName("Form4");
  setWindowTitle("Net Data");
  setAttribute(Qt::WA_DeleteOnClose);

  // The choosing panel: buttons and wait notice on the left, sections on the right.
  auto* panel = new QWidget;
  QFont panelFont = panel->font();
  panelFont.setPointSizeF(panelFont.pointSizeF() * 1.25);
  panel->setFont(panelFont);

  command3_ = new QPushButton("Preview");
  command1_ = new QPushButton("Print");
  text2_ = new QLabel("Please Wait!!");
  for (auto [widget, name] : {std::pair<QWidget*, const char*>{command1_, "Command1"},
                              {command3_, "Command3"},
                              {text2_, "Text2"}}) {
    widget->setObjectName(name);
    KeepPlaceWhenHidden(widget);
  }
  command1_->setMinimumWidth(130);
  command3_->setMinimumWidth(130);
  text2_->setAlignment(Qt::AlignCenter);
  QFont waitFont = text2_->font();
  waitFont.setBold(true);
  text2_->setFont(waitFont);
  text2_->setStyleSheet("color: rgb(0, 0, 128);");
  text2_->hide();

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(command3_);
  buttons->addSpacing(12);
  buttons->addWidget(text2_);
  buttons->addSpacing(12);
  buttons->addWidget(command1_);

  auto* sections = new QVBoxLayout;
  sections->setSpacing(10);
  for (int i = 0; i < 8; ++i) {
    checks_[i] = new QCheckBox(kCheckCaptions[i]);
    checks_[i]->setObjectName(QString("Check%1").arg(i + 1));
    KeepPlaceWhenHidden(checks_[i]);
  }
  for (const int i : kColumnOrder) sections->addWidget(checks_[i]);

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

  // The preview area lies over the panel and covers it when shown.
  text1_ = new QPlainTextEdit;
  text1_->setObjectName("Text1");
  text1_->setReadOnly(true);
  text1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text1_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text1_->installEventFilter(this);
  text1_->hide();

  auto* central = new QWidget;
  auto* stack = new QGridLayout(central);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->addWidget(panel, 0, 0);
  stack->addWidget(text1_, 0, 0);
  setCentralWidget(central);

  QAction* end = menuBar()->addAction("END");
  end->setObjectName("ed");

  connect(command1_, &QPushButton::clicked, this, &ListingWindow::Command1_Click);
  connect(command3_, &QPushButton::clicked, this, &ListingWindow::Command3_Click);
  connect(end, &QAction::triggered, this, &ListingWindow::ed_Click);
}

void ListingWindow::PresetChoices() {
  for (int i = 0; i < 7; ++i) checks_[i]->setChecked(i == 4);
}

void ListingWindow::ShowForListing() {
  text1_->hide();
  text2_->hide();
  ShowChoosing(true);
  ShowMaximised(this);
  raise();
  activateWindow();
}

void ListingWindow::Command1_Click() {
  ws_.ListDestination = 0;
  // A print job can take a while too; the notice says so.
  ShowWaitNotice();
  MakeListing();
}

void ListingWindow::Command3_Click() {
  ws_.ListDestination = 1;
  ShowWaitNotice();
  MakeListing();
}

void ListingWindow::ed_Click() {
  hide();
  main_.ShowMainWindow();
  text1_->hide();
  ShowChoosing(true);
}

void ListingWindow::Form_Unload() { ed_Click(); }

void ListingWindow::MakeListing() {
  const ListingChoice choice = Choice();
  text1_->clear();
  ShowChoosing(false);
  const bool toPrinter = ws_.ListDestination == 0;
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
    text2_->hide();
    dialogs_.Warning(this, kMessageBoxTitle, "UNABLE TO LIST THE NET DATA");
  }
  text2_->hide();
  if (toPrinter || failed) ed_Click();
}

void ListingWindow::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

bool ListingWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text1_ && event->type() == QEvent::KeyPress) {
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
  choice.ProgramS1 = checks_[0]->isChecked();
  choice.ProgramS2 = checks_[1]->isChecked();
  choice.TrainData1 = checks_[2]->isChecked();
  choice.TrainData2 = checks_[3]->isChecked();
  choice.Weights = checks_[4]->isChecked();
  choice.NodeValues = checks_[5]->isChecked();
  choice.Structure = checks_[6]->isChecked();
  choice.TestData1 = checks_[7]->isChecked();
  return choice;
}

void ListingWindow::ShowChoosing(bool shown) {
  for (QPushButton* button : {command1_, command3_}) {
    button->setEnabled(shown);
    button->setVisible(shown);
  }
  for (QCheckBox* check : checks_) check->setVisible(shown);
}

void ListingWindow::ShowWaitNotice() {
  text2_->show();
  // Paint it now: the listing is built without returning to the event loop.
  QApplication::processEvents();
}

void ListingWindow::Print(const ListingChoice& choice) {
  PageSink pages;
  WriteListing(ws_, choice, pages);
  const PrintOutcome outcome = PrintToDefaultPrinter(pages.Pages(), QDir::current());
  text2_->hide();
  if (!outcome.error.isEmpty()) {
    dialogs_.Warning(this, kMessageBoxTitle, "UNABLE TO PRINT\n" + outcome.error);
  } else if (!outcome.pdfFile.isEmpty()) {
    dialogs_.Information(this, "Net Data",
                         "No printer is set up on this system.\nThe listing was saved as " +
                             QDir::toNativeSeparators(outcome.pdfFile));
  }
}

void ListingWindow::Preview(const ListingChoice& choice) {
  text1_->setEnabled(true);
  PreviewSink text;
  WriteListing(ws_, choice, text);
  text1_->setPlainText(QString::fromStdString(PlainLines(text.Text())));
  text1_->show();
  text1_->setFocus();
}

}  // namespace backprop
