// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

#include <vector>

class QDockWidget;
class QMainWindow;
class QWidget;

namespace backprop {

// Keeps the docks beside the main window's drawing usable at every window
// size and scale: whenever a dock opens or docks, and whenever the window
// changes size, the docks of a side that cannot stand one above the other
// share one place as tabs, the docks of the left side join those of the
// right when both sides together would crush the drawing, and the bottom
// dock joins them when it would. The drawing keeps at least kDrawingShare
// of the width and of the height; each dock at least a part of its
// content, the rest of which it scrolls to, so none shrinks to its title.
// Floating docks stay where the user put them. The places and sizes are
// kept between runs in the settings, and "Reset Layout" puts every dock
// back where it starts.
class DockLayout : public QObject {
  Q_OBJECT

 public:
  // The least share of the window's width and height the drawing keeps.
  static constexpr double kDrawingShare = 0.45;

  explicit DockLayout(QMainWindow& window);

  // Puts a view into a new dock of the window, scrolled when its place is
  // smaller than the view, in the area it starts in; the dock starts closed.
  QDockWidget* AddDock(QWidget* view, const QString& title, const char* name, int homeArea);
  // Keeps a dock made elsewhere, with the area it starts in.
  void Manage(QDockWidget* dock, int homeArea);

  // Every dock back in its own area, docked, untabbed, at its own size;
  // open docks stay open.
  void Reset();
  // The places, sizes and open docks kept by Save in the user's settings
  // of the program; false when there were none (the layout then stays).
  bool Restore();
  void Save() const;

  // Rearranges the docks now when the room is short.
  void Fit();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Managed {
    QDockWidget* dock;
    int home;
    QSize least;  // its content's least size when last seen
  };
  // Asks for Fit once the events pending now have run.
  void RequestFit();
  // The size the window was given (its screen's, when maximised).
  QSize GivenSize() const;
  // The room the docks and the drawing share.
  QSize Room() const;
  // The docks now docked in an area, open ones only.
  std::vector<QDockWidget*> DockedIn(int area) const;
  // The smallest size a dock shows all its content in.
  static QSize ContentMinimum(const QDockWidget* dock);
  // The docks in groups that share one place as tabs.
  std::vector<std::vector<QDockWidget*>> Places(const std::vector<QDockWidget*>& docks) const;
  // The size the docks of an area need, across and down, counting the
  // docks that share a place as tabs once.
  QSize AreaMinimum(const std::vector<QDockWidget*>& docks, bool sideBySide) const;
  // Makes `docks` tabs of the place `host` stands in.
  void JoinAsTabs(QDockWidget* host, const std::vector<QDockWidget*>& docks);
  // Lets each dock shrink to the room there is, and no further.
  void BoundSizes(QSize room);

  QMainWindow& window_;
  std::vector<Managed> docks_;
  QPointer<QDockWidget> lastOpened_;  // by its View entry
  QSize intended_;                    // the window's size but for growth to its docks' least size
  bool fitPending_ = false;
  bool fitting_ = false;
};

}  // namespace backprop
