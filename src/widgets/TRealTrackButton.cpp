#include "widgets/TRealTrackButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "core/AppError.h"

namespace {

// Nearest integer, ties to the even one.
int roundEven(double x) {
    return static_cast<int>(std::nearbyint(x));
}

}  // namespace

QColor TRealTrackButton::fromWindows(quint32 bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QColor lighten(const QColor& c, int p) {
    p = std::min(p, 100);
    const auto up = [p](int v) { return v + roundEven((255 - v) * p / 100.0); };
    return QColor(up(c.red()), up(c.green()), up(c.blue()));
}

TRealTrackButton::TRealTrackButton(QWidget* parent)
    : QWidget(parent),
      Color(fromWindows(14671839)),
      ActiveColor(fromWindows(2611363)),
      FlagColor(fromWindows(9411196)),
      ActiveFlagColor(fromWindows(30812)),
      BorderColor(fromWindows(8421504)),
      ParentName(parent),
      maxPos_(parent != nullptr ? parent->width() - 2 : 0) {
    setGeometry(2, 2, 15, 15);
    setAttribute(Qt::WA_Hover);
}

void TRealTrackButton::setLimit(int& limit, int v, bool refused, const QString& refusal) {
    if (v == limit) {
        return;
    }
    if (refused) {
        throw AppError(refusal);
    }
    limit = v;
    setValue(value_);  // the present value again, within the new limits
    update();
}

void TRealTrackButton::setMaxPos(int v) {
    setLimit(maxPos_, v, v <= minPos_,
             QStringLiteral("Error Code: FMaxPos <= FMinPos,最大距离的值不应该小于或"
                            "等于最小距离的值"));
}

void TRealTrackButton::setMinPos(int v) {
    setLimit(minPos_, v, v >= maxPos_,
             QStringLiteral("Error Code: FMinPos >= FMaxPos,最小距离的值不应该大于或"
                            "等于最大距离的值"));
}

void TRealTrackButton::setMaxValue(int v) {
    setLimit(maxValue_, v, v <= minValue_,
             QStringLiteral("ErrorCode:MaxValue <= MinValue\r最大值不应该小于或等于最小值."));
}

void TRealTrackButton::setMinValue(int v) {
    setLimit(minValue_, v, v >= maxValue_,
             QStringLiteral("ErrorCode: MinValue >= MaxValue\r最小值不应该大于或等于最大值."));
}

void TRealTrackButton::setStyle(TTrackButtonStyle s) {
    style_ = s;
    update();
}

void TRealTrackButton::setShowFlag(bool v) {
    showFlag_ = v;
    update();
}

void TRealTrackButton::setValue(int v) {
    v = std::clamp(v, minValue_, maxValue_);
    const int offset = v - minValue_;
    placeByPercent(roundEven(static_cast<double>(offset) / range() * 100));
    valueOffset_ = offset;  // the exact value asked for, without an event
    value_ = v;
}

void TRealTrackButton::placeByPercent(int p) {
    p = std::clamp(p, 0, 100);
    const int t = std::max(travel(), 0);
    placeAtPixel(minPos_ + roundEven(t * p / 100.0));
    percent_ = p;
}

void TRealTrackButton::placeAtPixel(int q) {
    q = std::max(std::min(q, maxPos_ - length()), minPos_);
    const int t = travel();
    if (t > 0) {
        const int offset = roundEven(static_cast<double>(range()) * (q - minPos_) / t);
        if (offset != valueOffset_) {
            valueOffset_ = offset;
            value_ = minValue_ + offset;
            emit changed();
        }
    }
    // With no travel the value stays and the thumb sits at MinPos.
    const int d =
        t > 0 ? std::clamp(roundEven(static_cast<double>(valueOffset_) / range() * t), 0, maxPos_)
              : 0;
    const int parentLength = parentWidget() != nullptr ? parentWidget()->height() : 0;
    if (vertical_) {
        move(x(), parentLength - d - minPos_ - height());
    } else {
        move(d + minPos_, y());
    }
    pixelOffset_ = d;
    percent_ = roundEven(static_cast<double>(valueOffset_) / range() * 100);
}

void TRealTrackButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    dragging_ = true;
    pressX_ = static_cast<int>(event->position().x()) - minPos_;
    pressY_ = static_cast<int>(event->position().y()) + minPos_;
    if (parentWidget() != nullptr) {
        parentWidget()->setFocus(Qt::MouseFocusReason);
    }
    update();
}

void TRealTrackButton::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        return;
    }
    if (vertical_) {
        placeAtPixel(pressY_ + pixelOffset_ - static_cast<int>(event->position().y()));
    } else {
        placeAtPixel(static_cast<int>(event->position().x()) - pressX_ + pixelOffset_);
    }
}

void TRealTrackButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) {
        return;
    }
    dragging_ = false;
    emit changed();  // once more on release, with the final value
    update();
}

void TRealTrackButton::enterEvent(QEnterEvent*) {
    hover_ = true;
    update();
}

void TRealTrackButton::leaveEvent(QEvent*) {
    hover_ = false;
    update();
}

void TRealTrackButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor fill = dragging_ ? ActiveColor : Color;
    const QColor light = lighten(fill, 5);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (style_ == tbsSquareNess) {
        p.setPen(BorderColor);
        p.setBrush(fill);
        p.drawRoundedRect(r, 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(light);
        p.drawRoundedRect(r.adjusted(width() / 5, height() / 5, -width() / 5, -height() / 5), 2, 2);
        p.setBrush(lighten(light, 5));
        p.drawRoundedRect(r.adjusted(width() / 3, height() / 3, -width() / 3, -height() / 3), 1, 1);
    } else {
        const double d = std::min(width(), height()) - 1;
        const QRectF circle(QPointF((width() - d) / 2, (height() - d) / 2), QSizeF(d, d));
        p.setPen(BorderColor);
        p.setBrush(fill);
        p.drawEllipse(circle);
        p.setPen(Qt::NoPen);
        const int more[] = {3, 6, 10, 13, 15};
        for (int i = 0; i < 5; ++i) {  // a highlight towards the upper left
            const double s = d * (0.8 - 0.13 * i);
            p.setBrush(lighten(light, more[i]));
            p.drawEllipse(
                QRectF(circle.topLeft() + QPointF(d * 0.08 * (i + 1) / 2, d * 0.08 * (i + 1) / 2),
                       QSizeF(s, s)));
        }
    }
    if (showFlag_ && (hover_ || dragging_)) {
        p.setPen(QPen(dragging_ ? ActiveFlagColor : FlagColor, 1));
        if (vertical_) {
            const int yMid = height() / 2;
            p.drawLine(width() / 4, yMid, width() / 4 + width() / 2, yMid);
        } else {
            const int xMid = width() / 2;
            p.drawLine(xMid, height() / 4, xMid, height() / 4 + height() / 2);
        }
    }
}
