#pragma once

#include <QColor>
#include <QWidget>

#include "widgets/TRealTrackButton.h"

// A self-painted slider: groove and its thumb (TRealTrackButton), to which it forwards the value
// and the thumb's looks. Clicking the groove sends the thumb there; dragging the thumb moves it;
// with the focus, the arrow, Page, Home and End keys move it too. Refused settings throw AppError
// and change nothing.
class TRealTrackbar : public QWidget {
    Q_OBJECT
  public:
    explicit TRealTrackbar(QWidget* parent = nullptr);

    TRealTrackButton& thumb() { return *thumb_; }

    int Value() const { return thumb_->Value(); }
    void setValue(int v) { thumb_->setValue(v); }
    int MaxValue() const { return thumb_->MaxValue(); }
    void setMaxValue(int v) { thumb_->setMaxValue(v); }
    int MinValue() const { return thumb_->MinValue(); }
    void setMinValue(int v) { thumb_->setMinValue(v); }
    bool Vertical() const { return vertical_; }
    void setVertical(bool v);
    TTrackButtonStyle TrackStyle() const { return thumb_->Style(); }
    void setTrackStyle(TTrackButtonStyle s) { thumb_->setStyle(s); }
    QColor BarColor = TRealTrackButton::fromWindows(0);

    // A move made as a user makes one (keys, assistive technology): the value changes and the
    // change is reported even when the thumb's pixel lands on the same value.
    void moveTo(int v);

  signals:
    // OnChange: the thumb reported a change; Value() already holds the new value.
    void changed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void layoutThumb();

    TRealTrackButton* thumb_;
    bool vertical_ = false;
};

// The slider on the accessibility bus: a slider role and a value interface (current, minimum
// and maximum; setting it moves the slider as a user would).
void installTrackbarAccessibility();
