#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

enum TTrackButtonStyle { tbsRoundNess, tbsSquareNess };

// The thumb of TRealTrackbar: paints itself, follows the mouse while dragged and converts between
// pixel positions and values. Rounding is to the nearest integer, ties to the even one. A travel
// of no pixels (a thumb as long as the track) keeps the value and puts the thumb at MinPos.
class TRealTrackButton : public QWidget {
    Q_OBJECT
  public:
    explicit TRealTrackButton(QWidget* parent);

    // A Windows colour value (blue in the high byte) as a colour.
    static QColor fromWindows(quint32 bgr);

    int MaxPos() const { return maxPos_; }
    void setMaxPos(int v);
    int MinPos() const { return minPos_; }
    void setMinPos(int v);
    int MaxValue() const { return maxValue_; }
    void setMaxValue(int v);
    int MinValue() const { return minValue_; }
    void setMinValue(int v);
    int Value() const { return value_; }
    void setValue(int v);
    int Percent() const { return percent_; }
    bool Vertical() const { return vertical_; }
    void setVertical(bool v) { vertical_ = v; }
    TTrackButtonStyle Style() const { return style_; }
    void setStyle(TTrackButtonStyle s);
    bool ShowFlag() const { return showFlag_; }
    void setShowFlag(bool v);
    QColor Color, ActiveColor, FlagColor, ActiveFlagColor, BorderColor;
    QPointer<QWidget> ParentName;

    // Place by percent (0..100) and at a pixel coordinate, as the slider's clicks do.
    void placeByPercent(int p);
    void placeAtPixel(int q);
    int pixelOffset() const { return pixelOffset_; }
    // The thumb's length along the travel.
    int length() const { return vertical_ ? height() : width(); }
    // MaxPos - MinPos - length: the pixels the thumb can travel.
    int travel() const { return maxPos_ - minPos_ - length(); }

  signals:
    void changed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    // Sets a position or value limit unless `refused` (then throws `refusal`), and places the
    // present value again.
    void setLimit(int& limit, int v, bool refused, const QString& refusal);
    int range() const { return std::max(1, maxValue_ - minValue_); }

    int maxPos_;
    int minPos_ = 1;
    int maxValue_ = 100;
    int minValue_ = 0;
    int value_ = 50;
    int percent_ = 50;
    int valueOffset_ = 50;
    int pixelOffset_ = 0;
    bool vertical_ = false;
    bool showFlag_ = true;
    TTrackButtonStyle style_ = tbsRoundNess;
    bool dragging_ = false;
    bool hover_ = false;
    int pressX_ = 0;
    int pressY_ = 0;
};

// Lightens a colour by p percent towards white (p at most 100), each channel rounded.
QColor lighten(const QColor& c, int p);
