#include "widgets/TRealTrackbar.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <cmath>

#include "core/AppError.h"

TRealTrackbar::TRealTrackbar(QWidget* parent) : QWidget(parent) {
    resize(150, 19);
    setFocusPolicy(Qt::ClickFocus);
    thumb_ = new TRealTrackButton(this);
    thumb_->setMinPos(1);
    connect(thumb_, &TRealTrackButton::changed, this, &TRealTrackbar::changed);
}

void TRealTrackbar::setVertical(bool v) {
    if (v == vertical_) {
        return;
    }
    vertical_ = v;
    resize(height(), width());
    thumb_->setVertical(v);
    layoutThumb();
    update();
}

void TRealTrackbar::layoutThumb() {
    TRealTrackButton& t = *thumb_;
    const int maxPos = (vertical_ ? height() : width()) - 2;
    // Each position setter checks the order against the other: set them in an order that holds.
    if (maxPos > t.MinPos()) {
        t.setMaxPos(maxPos);
        t.setMinPos(2);
    } else {
        t.setMinPos(2);
        t.setMaxPos(maxPos);
    }
    if (vertical_) {
        t.move(width() / 2 - t.width() / 2, t.y());
    } else {
        t.move(t.x(), height() / 2 - t.height() / 2);
    }
    t.setValue(t.Value());
}

void TRealTrackbar::resizeEvent(QResizeEvent*) {
    try {
        layoutThumb();
    } catch (const AppError& error) {
        // Too small for its thumb: the old layout stays.
        qWarning("%s", error.what());
    }
}

void TRealTrackbar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    TRealTrackButton& t = *thumb_;
    int c = static_cast<int>(vertical_ ? event->position().y() : event->position().x());
    c = t.MinPos() < c && c < t.MaxPos() + 2 ? c - t.MinPos() : 0;
    const int span = t.MaxPos() - t.MinPos() - t.length();
    if (span > 0) {
        const double e = static_cast<double>(c - t.length() / 2) / span * 100;
        const int r = static_cast<int>(std::nearbyint(e));
        t.placeByPercent(vertical_ ? 100 - r : r);
    }
    if (focusPolicy() & Qt::TabFocus) {
        setFocus(Qt::MouseFocusReason);
    }
}

void TRealTrackbar::moveTo(int v) {
    const int before = Value();
    bool reported = false;
    const QMetaObject::Connection watch =
        connect(this, &TRealTrackbar::changed, this, [&reported] { reported = true; });
    thumb_->setValue(v);
    disconnect(watch);
    if (!reported && Value() != before) {
        emit changed();
    }
}

void TRealTrackbar::keyPressEvent(QKeyEvent* event) {
    const int page = std::max(1, (MaxValue() - MinValue()) / 10);
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Right:
            moveTo(Value() + 1);
            break;
        case Qt::Key_Down:
        case Qt::Key_Left:
            moveTo(Value() - 1);
            break;
        case Qt::Key_PageUp:
            moveTo(Value() + page);
            break;
        case Qt::Key_PageDown:
            moveTo(Value() - page);
            break;
        case Qt::Key_Home:
            moveTo(MinValue());
            break;
        case Qt::Key_End:
            moveTo(MaxValue());
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    QAccessibleValueChangeEvent changed(this, Value());
    QAccessible::updateAccessibility(&changed);
}

void TRealTrackbar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const TRealTrackButton& t = *thumb_;
    const int half = (vertical_ ? width() : height()) / 2;
    const auto lengthwise = [&](int at) {
        if (vertical_) {
            p.drawLine(at, t.MinPos(), at, t.MaxPos());
        } else {
            p.drawLine(t.MinPos(), at, t.MaxPos(), at);
        }
    };
    p.setPen(lighten(BarColor, 70));
    lengthwise(half - 1);
    p.setPen(BarColor);
    lengthwise(half);
    p.setPen(lighten(BarColor, 50));
    lengthwise(half + 1);
}

namespace {

class AccessibleTrackbar : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit AccessibleTrackbar(QWidget* w) : QAccessibleWidget(w, QAccessible::Slider) {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    TRealTrackbar* bar() const { return static_cast<TRealTrackbar*>(widget()); }
    QVariant currentValue() const override { return bar()->Value(); }
    void setCurrentValue(const QVariant& value) override { bar()->moveTo(value.toInt()); }
    QVariant maximumValue() const override { return bar()->MaxValue(); }
    QVariant minimumValue() const override { return bar()->MinValue(); }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (className == QLatin1String("TRealTrackbar") && object != nullptr &&
        object->isWidgetType()) {
        return new AccessibleTrackbar(static_cast<QWidget*>(object));
    }
    return nullptr;
}

}  // namespace

void installTrackbarAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}
