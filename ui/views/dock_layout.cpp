// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/views/dock_layout.h"

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <array>

namespace backprop {

namespace {

// Where the layout is kept: the user's settings of the program, under this
// key, with the version of the state kept there.
constexpr const char* kOrganisation = "backpropagation";
constexpr const char* kApplication = "backpropagation";
constexpr const char* kStateKey = "layout/docks";
constexpr int kStateVersion = 1;

// The least of a dock's content it keeps in sight, however short the room.
constexpr QSize kLeastContent(120, 80);

// The areas, those above and below the drawing first.
constexpr std::array<Qt::DockWidgetArea, 4> kAreas{Qt::TopDockWidgetArea, Qt::BottomDockWidgetArea,
                                                   Qt::LeftDockWidgetArea, Qt::RightDockWidgetArea};

bool SideBySide(Qt::DockWidgetArea area) {
  return area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
}

// The smallest size a layout gives a widget: its own minimum where one is
// set, else the minimum its contents ask for.
QSize LeastSize(const QWidget* widget) {
  const QSize set = widget->minimumSize();
  const QSize hint = widget->minimumSizeHint();
  return {set.width() > 0 ? set.width() : hint.width(),
          set.height() > 0 ? set.height() : hint.height()};
}

QScrollArea* ScrollOf(const QDockWidget* dock) {
  return qobject_cast<QScrollArea*>(dock->widget());
}

// The dock's title bar and frame around its content.
QSize Frame(const QDockWidget* dock) {
  return (dock->minimumSizeHint() - LeastSize(dock->widget())).expandedTo(QSize(0, 0));
}

// The height of the tabs of docks that share a place.
int TabsHeight(const QWidget* window) { return window->fontMetrics().height() + 12; }

// The width of the separators between the docks and the drawing.
int Separator(const QWidget& window) {
  return window.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, &window);
}

}  // namespace

DockLayout::DockLayout(QMainWindow& window) : QObject(&window), window_(window) {
  window_.installEventFilter(this);
}

QDockWidget* DockLayout::AddDock(QWidget* view, const QString& title, const char* name,
                                 int homeArea) {
  auto* dock = new QDockWidget(title, &window_);
  dock->setObjectName(name);
  dock->setWidget(view);
  dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);
  window_.addDockWidget(static_cast<Qt::DockWidgetArea>(homeArea), dock);
  dock->hide();
  Manage(dock, homeArea);
  return dock;
}

void DockLayout::Manage(QDockWidget* dock, int homeArea) {
  QWidget* view = dock->widget();
  auto* scroll = new QScrollArea;
  scroll->setObjectName(dock->objectName() + "Scroll");
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setFocusPolicy(Qt::NoFocus);
  scroll->setWidgetResizable(true);
  scroll->setWidget(view);
  dock->setWidget(scroll);
  // A dock's screen-reader name is its title; its content says the rest.
  dock->setAccessibleName(dock->windowTitle());
  docks_.push_back({dock, homeArea, LeastSize(view)});
  // A view that needs more room (a map that appears) may need new places.
  view->installEventFilter(this);
  // Opening a dock from the menu brings it forward among the tabs.
  connect(dock->toggleViewAction(), &QAction::triggered, this, [this, dock](bool open) {
    if (!open) return;
    lastOpened_ = dock;
    dock->raise();
  });
  connect(dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible) RequestFit();
  });
  connect(dock, &QDockWidget::dockLocationChanged, this, &DockLayout::RequestFit);
  connect(dock, &QDockWidget::topLevelChanged, this, &DockLayout::RequestFit);
}

void DockLayout::Reset() {
  for (const Managed& m : docks_) {
    m.dock->setFloating(false);
    // Adding a dock again takes it out of any tabs, to the end of its area.
    window_.addDockWidget(static_cast<Qt::DockWidgetArea>(m.home), m.dock);
  }
  for (const Managed& m : docks_) {
    const QSize preferred = m.dock->sizeHint();
    const bool across = SideBySide(static_cast<Qt::DockWidgetArea>(m.home));
    window_.resizeDocks({m.dock}, {across ? preferred.height() : preferred.width()},
                        across ? Qt::Vertical : Qt::Horizontal);
  }
  RequestFit();
}

bool DockLayout::Restore() {
  const QSettings settings(kOrganisation, kApplication);
  const QByteArray state = settings.value(kStateKey).toByteArray();
  if (state.isEmpty() || !window_.restoreState(state, kStateVersion)) return false;
  RequestFit();
  return true;
}

void DockLayout::Save() const {
  QSettings settings(kOrganisation, kApplication);
  settings.setValue(kStateKey, window_.saveState(kStateVersion));
}

bool DockLayout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_ && event->type() == QEvent::Resize) {
    // A window that grew to the least size of docks just opened keeps the
    // size it was given.
    const QSize now = window_.size();
    if (!intended_.isValid() ||
        (now.width() != window_.minimumWidth() && now.height() != window_.minimumHeight())) {
      intended_ = now;
    }
    RequestFit();
  }
  if (event->type() == QEvent::LayoutRequest) {
    for (Managed& m : docks_) {
      const QScrollArea* scroll = ScrollOf(m.dock);
      if (scroll == nullptr || scroll->widget() != watched) continue;
      // Only a new least size matters, not every new text in the view.
      const QSize least = LeastSize(scroll->widget());
      if (least != m.least) {
        m.least = least;
        RequestFit();
      }
    }
  }
  return QObject::eventFilter(watched, event);
}

void DockLayout::RequestFit() {
  if (fitPending_ || fitting_) return;
  fitPending_ = true;
  QTimer::singleShot(0, this, [this] {
    fitPending_ = false;
    Fit();
  });
}

QSize DockLayout::GivenSize() const {
  QSize given = intended_.isValid() ? intended_ : window_.size();
  // A maximised window has its screen, however large its docks asked it to be.
  if (window_.isMaximized() && window_.screen() != nullptr) {
    given = given.boundedTo(window_.screen()->availableSize());
  }
  return given;
}

QSize DockLayout::Room() const {
  const QSize room = GivenSize();
  const QWidget* bar = window_.menuWidget();
  return {room.width(), room.height() - (bar != nullptr ? bar->height() : 0)};
}

std::vector<QDockWidget*> DockLayout::DockedIn(int area) const {
  std::vector<QDockWidget*> docked;
  for (const Managed& m : docks_) {
    if (!m.dock->isHidden() && !m.dock->isFloating() &&
        window_.dockWidgetArea(m.dock) == static_cast<Qt::DockWidgetArea>(area)) {
      docked.push_back(m.dock);
    }
  }
  return docked;
}

QSize DockLayout::ContentMinimum(const QDockWidget* dock) {
  const QScrollArea* scroll = ScrollOf(dock);
  const QWidget* content = scroll != nullptr ? scroll->widget() : dock->widget();
  return LeastSize(content) + Frame(dock);
}

std::vector<std::vector<QDockWidget*>> DockLayout::Places(
    const std::vector<QDockWidget*>& docks) const {
  std::vector<std::vector<QDockWidget*>> places;
  std::vector<const QDockWidget*> placed;
  for (QDockWidget* dock : docks) {
    if (std::find(placed.begin(), placed.end(), dock) != placed.end()) continue;
    std::vector<QDockWidget*> place{dock};
    placed.push_back(dock);
    for (QDockWidget* tab : window_.tabifiedDockWidgets(dock)) {
      if (std::find(docks.begin(), docks.end(), tab) == docks.end()) continue;
      place.push_back(tab);
      placed.push_back(tab);
    }
    places.push_back(std::move(place));
  }
  return places;
}

QSize DockLayout::AreaMinimum(const std::vector<QDockWidget*>& docks, bool sideBySide) const {
  QSize total(0, 0);
  for (const std::vector<QDockWidget*>& place : Places(docks)) {
    QSize least(0, 0);
    for (const QDockWidget* dock : place) least = least.expandedTo(ContentMinimum(dock));
    if (place.size() > 1) least.rheight() += TabsHeight(&window_);
    // The separator beside each place, which the user drags.
    least += QSize(Separator(window_), Separator(window_));
    if (sideBySide) {
      total = {total.width() + least.width(), std::max(total.height(), least.height())};
    } else {
      total = {std::max(total.width(), least.width()), total.height() + least.height()};
    }
  }
  return total;
}

void DockLayout::JoinAsTabs(QDockWidget* host, const std::vector<QDockWidget*>& docks) {
  for (QDockWidget* dock : docks) {
    if (dock != host && !window_.tabifiedDockWidgets(host).contains(dock)) {
      window_.tabifyDockWidget(host, dock);
    }
  }
}

void DockLayout::Fit() {
  // A window not shown yet has no size of its own to fit into.
  const QSize room = Room();
  if (!window_.isVisible() || room.width() <= 0 || room.height() <= 0 || fitting_) return;
  fitting_ = true;
  const int spareWidth = static_cast<int>(room.width() * (1 - kDrawingShare));
  const int spareHeight = static_cast<int>(room.height() * (1 - kDrawingShare));
  bool moved = false;

  // The docks above and below the drawing join the side docks when they
  // would leave it too little height.
  std::vector<QDockWidget*> left = DockedIn(Qt::LeftDockWidgetArea);
  std::vector<QDockWidget*> right = DockedIn(Qt::RightDockWidgetArea);
  for (const Qt::DockWidgetArea area : {Qt::TopDockWidgetArea, Qt::BottomDockWidgetArea}) {
    const std::vector<QDockWidget*> across = DockedIn(area);
    if (across.empty() || AreaMinimum(across, true).height() <= spareHeight) continue;
    std::vector<QDockWidget*>& side = right.empty() && !left.empty() ? left : right;
    if (side.empty()) {
      for (QDockWidget* dock : across) window_.addDockWidget(Qt::RightDockWidgetArea, dock);
      JoinAsTabs(across.front(), across);
    } else {
      JoinAsTabs(side.front(), across);
    }
    side.insert(side.end(), across.begin(), across.end());
    moved = true;
  }
  int acrossHeight = 0;
  for (const Qt::DockWidgetArea area : {Qt::TopDockWidgetArea, Qt::BottomDockWidgetArea}) {
    acrossHeight += AreaMinimum(DockedIn(area), true).height();
  }
  // A side whose docks cannot stand one above another shows them as tabs.
  for (std::vector<QDockWidget*>* side : {&left, &right}) {
    if (side->size() < 2) continue;
    if (AreaMinimum(*side, false).height() > room.height() - acrossHeight) {
      JoinAsTabs(side->front(), *side);
      moved = true;
    }
  }
  // Both sides together must leave the drawing its width.
  if (!left.empty() && !right.empty() &&
      AreaMinimum(left, false).width() + AreaMinimum(right, false).width() > spareWidth) {
    JoinAsTabs(right.front(), left);
    moved = true;
  }
  BoundSizes(room);
  // The dock opened last stays in front of those it now shares a place with.
  if (moved && lastOpened_ != nullptr && !lastOpened_->isHidden()) lastOpened_->raise();
  fitting_ = false;
  // A rearrangement is laid out first; the next look sizes what it made.
  if (moved) RequestFit();
  // While the docks needed more room, the window grew past its size; once
  // the new least sizes are laid out, it has its size again.
  QTimer::singleShot(0, this, [this] {
    const QSize given = GivenSize();
    if (window_.width() > given.width() || window_.height() > given.height()) {
      window_.resize(window_.size().boundedTo(given));
    }
  });
}

void DockLayout::BoundSizes(QSize room) {
  int sides = 0;
  for (const Qt::DockWidgetArea area : {Qt::LeftDockWidgetArea, Qt::RightDockWidgetArea}) {
    if (!DockedIn(area).empty()) ++sides;
  }
  const int spareWidth = static_cast<int>(room.width() * (1 - kDrawingShare));
  const int spareHeight = static_cast<int>(room.height() * (1 - kDrawingShare));
  // Above and below first: the side docks stand in the height they leave.
  int acrossHeight = 0;
  for (const Qt::DockWidgetArea area : kAreas) {
    const std::vector<QDockWidget*> docks = DockedIn(area);
    if (docks.empty()) continue;
    const bool across = SideBySide(area);
    const std::vector<std::vector<QDockWidget*>> places = Places(docks);
    const int count = static_cast<int>(places.size());
    // What the tabs and the separators take, and then the room each place
    // of the area may claim at least.
    const int gap = Separator(window_);
    int tabs = 0;
    for (const auto& place : places) tabs += place.size() > 1 ? TabsHeight(&window_) : 0;
    const QSize most = across ? QSize(room.width() / count - gap, spareHeight - gap - tabs)
                              : QSize(spareWidth / std::max(1, sides) - gap,
                                      (room.height() - acrossHeight - tabs) / count - gap);
    int areaHeight = 0;
    for (QDockWidget* dock : docks) {
      const QSize least =
          ContentMinimum(dock).boundedTo(most).expandedTo(kLeastContent + Frame(dock));
      ScrollOf(dock)->setMinimumSize(least - Frame(dock));
      areaHeight = std::max(areaHeight, least.height());
    }
    if (across) acrossHeight += areaHeight + gap + tabs;
    // The area as wide (or as high) as it is, but not past its share.
    QList<QDockWidget*> shown;
    QList<int> sizes;
    for (QDockWidget* dock : docks) {
      const int now = across ? dock->height() : dock->width();
      const int limit = across ? most.height() : most.width();
      if (dock->isVisible() && now > limit) {
        shown << dock;
        sizes << limit;
      }
    }
    if (!shown.empty()) window_.resizeDocks(shown, sizes, across ? Qt::Vertical : Qt::Horizontal);
  }
  // A floating dock has all the room it needs.
  for (const Managed& m : docks_) {
    if (m.dock->isFloating()) ScrollOf(m.dock)->setMinimumSize(0, 0);
  }
}

}  // namespace backprop
