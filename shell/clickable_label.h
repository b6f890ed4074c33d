#pragma once

#include <QLabel>

namespace ak {

// A label used as a link: a click with the left button reports clicked().
class ClickableLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 Q_SIGNALS:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace ak
