// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/editor/editor_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include <array>
#include <optional>

#include "engine/text_check.h"
#include "ui/common/keyboard.h"
#include "ui/common/main_window_access.h"
#include "ui/common/twips.h"
#include "ui/editor/buffer_text.h"
#include "ui/editor/pause_timer.h"

namespace backprop {

namespace {

// The text area's left edge, in twips from the client area's.
constexpr int kTextAreaLeft = 120;

// The text of the area as the user sees it: lines separated by "\n". The raw
// text is used because the plain-text form turns no-break spaces into blanks.
QString EditorText(const QPlainTextEdit& edit) {
  QString text = edit.document()->toRawText();
  text.replace(QChar::ParagraphSeparator, u'\n');
  return text;
}

// The buffer an EditorBuffer code names, if any.
std::optional<BufferId> BufferOf(double code) {
  for (int id = 1; id <= 5; ++id) {
    if (code == id) return static_cast<BufferId>(id);
  }
  return std::nullopt;
}

// The rows of the warning list shown at most before it scrolls.
constexpr int kWarningRows = 5;

}  // namespace

EditorWindow::EditorWindow(Workspace& ws, MainWindowAccess& mainWindow, QWidget* parent,
                           PauseTimer* pause)
    : QMainWindow(parent),
      ws_(ws),
      mainWindow_(mainWindow),
      textArea_(new QPlainTextEdit(this)),
      warningList_(new QListWidget(this)),
      pause_(pause ? pause : new QtPauseTimer(kCheckPauseMs)) {
  setAttribute(Qt::WA_DeleteOnClose);

  textArea_->setObjectName("Text1");
  textArea_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // Long lines wrap at the window's edge, so one vertical scroll bar serves.
  textArea_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  textArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  textArea_->installEventFilter(this);

  warningList_->setObjectName("Warnings");
  warningList_->setAccessibleName("Warnings about the text");
  const int iconSide = style()->pixelMetric(QStyle::PM_SmallIconSize);
  warningList_->setIconSize(QSize(iconSide, iconSide));
  warningList_->setMaximumHeight(warningList_->fontMetrics().lineSpacing() * (kWarningRows + 1));
  warningList_->hide();
  pause_->setParent(this);
  connect(textArea_, &QPlainTextEdit::textChanged, pause_, &PauseTimer::Restart);
  connect(pause_, &PauseTimer::Elapsed, this, &EditorWindow::CheckText);
  connect(warningList_, &QListWidget::itemClicked, this, &EditorWindow::GoToWarning);
  connect(warningList_, &QListWidget::itemActivated, this, &EditorWindow::GoToWarning);

  // The text area fills the window but for a narrow margin on its left, its
  // place on a 640 x 480 screen; a larger screen gives it all the new room.
  // The warnings, when there are any, take a strip under it.
  auto* client = new QWidget;
  auto* fill = new QVBoxLayout(client);
  fill->setContentsMargins(TwipsScale(*this).X(kTextAreaLeft), 0, 0, 0);
  fill->setSpacing(0);
  fill->addWidget(textArea_, 1);
  fill->addWidget(warningList_);
  setCentralWidget(client);

  struct MenuEntry {
    const char* name;
    const char* caption;
    void (EditorWindow::*handler)();
  };
  static constexpr std::array<MenuEntry, 6> kMenu = {{
      {"wnd", "&End", &EditorWindow::wnd_Click},
      {"am", "&Program(S1)", &EditorWindow::am_Click},
      {"pos2", "Pr&ogram(S2)", &EditorWindow::pos2_Click},
      {"ng", "&Train(D1)", &EditorWindow::ng_Click},
      {"un", "T&rain(D2)", &EditorWindow::un_Click},
      {"tq", "Te&st(T1)", &EditorWindow::tq_Click},
  }};
  for (const MenuEntry& entry : kMenu) {
    QAction* action = menuBar()->addAction(entry.caption);
    action->setObjectName(entry.name);
    connect(action, &QAction::triggered, this, entry.handler);
  }
  // Tab leaves the text for the warnings (the texts have no use for a tab);
  // Esc leaves the editor as "End" does; F10 opens the menu bar.
  textArea_->setTabChangesFocus(true);
  LeaveWithEscape(*this, [this] { wnd_Click(); });
  AddMenuBarKey(*this);

  Form_Load();
}

EditorWindow::~EditorWindow() {
  // Destroying the text area moves the focus away from it; that must not
  // reach the half-destroyed window.
  textArea_->removeEventFilter(this);
}

QString EditorWindow::TitleFor(const Workspace& ws, BufferId id) {
  switch (id) {
    case BufferId::ProgramS1:
      return "Program: " + QString::fromStdString(ws.ProgramName);
    case BufferId::ProgramS2:
      return "Program: ";
    case BufferId::TrainingDataD1:
      return "Training set: " + QString::fromStdString(ws.TrainingSetName);
    case BufferId::TrainingDataD2:
      return "Run set: " + QString::fromStdString(ws.RunSetName);
    case BufferId::TestSetT1:
      return "Test set: " + QString::fromStdString(ws.TestSetName);
  }
  return {};
}

void EditorWindow::ShowBufferText() {
  const std::string* buffer = CurrentBuffer();
  textArea_->setAccessibleName(windowTitle().isEmpty() ? QString("Text") : windowTitle());
  // setPlainText also starts a fresh undo history and marks the text unchanged.
  textArea_->setPlainText(buffer ? BufferToEditorText(*buffer) : QString());
  // A buffer just shown has its warnings at once, not after a pause.
  CheckText();
}

void EditorWindow::Form_Load() {
  // Maximised without being shown: the opening command shows the window.
  if (QScreen* s = screen()) setGeometry(s->availableGeometry());
  setWindowState(windowState() | Qt::WindowMaximized);
  // The text area covers the client area but for its blank left margin, so
  // it is all there is to clear.
  textArea_->clear();
  ShowBufferText();
}

void EditorWindow::wnd_Click() {
  StoreBack();
  mainWindow_.LeaveDesignMode();
  hide();
  mainWindow_.ShowMainWindow();
}

void EditorWindow::am_Click() { SwitchTo(BufferId::ProgramS1); }
void EditorWindow::pos2_Click() { SwitchTo(BufferId::ProgramS2); }
void EditorWindow::ng_Click() { SwitchTo(BufferId::TrainingDataD1); }
void EditorWindow::un_Click() { SwitchTo(BufferId::TrainingDataD2); }
void EditorWindow::tq_Click() { SwitchTo(BufferId::TestSetT1); }

void EditorWindow::Text1_LostFocus() { mainWindow_.LeaveDesignMode(); }

void EditorWindow::closeEvent(QCloseEvent* event) {
  // Only the user's close box counts; a hidden editor was already left.
  if (isVisible()) wnd_Click();
  event->accept();
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == textArea_ && event->type() == QEvent::FocusOut) Text1_LostFocus();
  return QMainWindow::eventFilter(watched, event);
}

std::string* EditorWindow::CurrentBuffer() {
  const std::optional<BufferId> id = BufferOf(ws_.EditorBuffer);
  return id ? &ws_.TextBuffer(*id) : nullptr;
}

void EditorWindow::StoreBack() {
  std::string* buffer = CurrentBuffer();
  if (!buffer) return;
  // An unchanged text area stores nothing, so the buffer keeps its exact
  // bytes (line ends, encoding); a text typed back to what it was counts as
  // unchanged too.
  if (!textArea_->document()->isModified()) return;
  const QString text = EditorText(*textArea_);
  if (text != BufferToEditorText(*buffer)) *buffer = EditorTextToBuffer(text, *buffer);
  // The buffer now holds what the area shows; a later store-back without
  // new edits must not overwrite a buffer changed elsewhere meanwhile.
  textArea_->document()->setModified(false);
}

void EditorWindow::SwitchTo(BufferId id) {
  StoreBack();
  setWindowTitle(TitleFor(ws_, id));
  ws_.EditorBuffer = static_cast<int>(id);
  ShowBufferText();
}

void EditorWindow::CheckText() {
  pause_->Stop();
  warningList_->clear();
  if (const std::optional<BufferId> id = BufferOf(ws_.EditorBuffer)) {
    // A data set is read as Run(S1) and then Run(S2) would read it.
    const QByteArray text = EditorText(*textArea_).toUtf8();
    const std::vector<TextWarning> warnings = CheckBuffer(
        ws_, *id, std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
        {BufferId::ProgramS1, BufferId::ProgramS2});
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const TextWarning& warning : warnings) {
      auto* item = new QListWidgetItem(
          icon, QString("Line %1: %2").arg(warning.line).arg(QString::fromStdString(warning.text)),
          warningList_);
      item->setData(Qt::UserRole, warning.line);
      item->setToolTip(QString("Click to go to line %1").arg(warning.line));
    }
  }
  warningList_->setVisible(warningList_->count() > 0);
}

void EditorWindow::GoToWarning(const QListWidgetItem* item) {
  const QTextBlock block =
      textArea_->document()->findBlockByNumber(item->data(Qt::UserRole).toInt() - 1);
  if (!block.isValid()) return;
  textArea_->setTextCursor(QTextCursor(block));
  textArea_->centerCursor();
  textArea_->setFocus();
}

}  // namespace backprop
