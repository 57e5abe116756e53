// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/designer_strip.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/common/twips.h"

namespace backprop {

DesignerStrip::DesignerStrip(QWidget* parent)
    : QWidget(parent),
      done_(new QPushButton("Done", this)),
      removeLayer_(new QPushButton("Remove 1 Layer", this)),
      hint_(new QPlainTextEdit(kDesignerHint, this)) {
  done_->setObjectName("Command1");
  removeLayer_->setObjectName("Command2");
  hint_->setObjectName("Text1");
  hint_->setAccessibleName("Designer hint");
  done_->setAccessibleDescription("End the design");
  removeLayer_->setAccessibleDescription("Remove the rightmost layer");
  // The hint is for reading; keys typed on the window go to the window,
  // where they stop training.
  hint_->setReadOnly(true);
  hint_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  hint_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  // The buttons keep the size they have at their twip places; the hint
  // takes one line of the strip, as wide as its text.
  const TwipsScale twips(*this);
  done_->setFixedSize(twips.Size({0, 0, 855, 495}));
  removeLayer_->setFixedSize(twips.Size({0, 0, 1815, 495}));
  const QFontMetrics metrics(hint_->font());
  hint_->setFixedHeight(twips.Y(495));
  hint_->setMinimumWidth(metrics.horizontalAdvance(kDesignerHint) + 4 * metrics.averageCharWidth());

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 2, 4, 2);
  row->addWidget(done_);
  row->addWidget(removeLayer_);
  row->addSpacing(8);
  row->addWidget(hint_);
  row->addStretch(1);

  for (QWidget* control : {static_cast<QWidget*>(done_), static_cast<QWidget*>(removeLayer_),
                           static_cast<QWidget*>(hint_)}) {
    control->setFocusPolicy(Qt::NoFocus);
    control->hide();
  }
  hide();
}

void DesignerStrip::ShowAll() {
  hint_->show();
  done_->show();
  removeLayer_->show();
  done_->setEnabled(true);
  removeLayer_->setEnabled(true);
  FollowControls();
}

void DesignerStrip::ShowDone() {
  done_->show();
  FollowControls();
}

void DesignerStrip::HideButtons() {
  removeLayer_->hide();
  done_->hide();
  FollowControls();
}

void DesignerStrip::HideHint() {
  hint_->hide();
  FollowControls();
}

void DesignerStrip::HideAll() {
  hint_->hide();
  HideButtons();
}

void DesignerStrip::Reset() {
  hint_->setPlainText(kDesignerHint);
  HideAll();
}

void DesignerStrip::FollowControls() {
  const bool any = !done_->isHidden() || !removeLayer_->isHidden() || !hint_->isHidden();
  setVisible(any);
}

}  // namespace backprop
