#include "widgets/TRealTrackbar.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QTest>

#include "core/AppError.h"

namespace {

// The main window's slider: vertical, 16 by 94, square thumb (15 pixels), shown so that it is
// laid out as on screen.
struct AccessibilityFirst {
    AccessibilityFirst() { installTrackbarAccessibility(); }  // as the program does at start
};

struct TrackbarTest : ::testing::Test, AccessibilityFirst {
    TRealTrackbar bar;
    int events = 0;
    std::vector<int> seen;  // Value() at each change event
    TrackbarTest() {
        bar.setVertical(true);
        bar.resize(16, 94);
        bar.setTrackStyle(tbsSquareNess);
        bar.show();
        QObject::connect(&bar, &TRealTrackbar::changed, [this] {
            ++events;
            seen.push_back(bar.Value());
        });
        events = 0;
        seen.clear();
    }
    TRealTrackButton& thumb() { return bar.thumb(); }
};

TEST_F(TrackbarTest, LayoutOfTheMainWindowsSlider) {
    EXPECT_EQ(thumb().MinPos(), 2);
    EXPECT_EQ(thumb().MaxPos(), 92);
    EXPECT_EQ(thumb().travel(), 75);
    bar.setValue(0);
    EXPECT_EQ(thumb().y(), 94 - 0 - 2 - 15);  // at the bottom
    bar.setValue(100);
    EXPECT_EQ(thumb().y(), 94 - 75 - 2 - 15);  // at the top
}

TEST_F(TrackbarTest, ValuesClampAndConvertWithTiesToEven) {
    const struct {
        int set;
        std::vector<int> events;  // Value() seen at each change event
        int after;
        int pixel;
    } cases[] = {
        // 50: percent 50 gives pixel round(37.5) = 38, which reads back as round(50.67) = 51.
        {50, {51}, 50, 38},    {50, {51}, 50, 38},  // and again: the stored offset was 50
        {51, {51}, 51, 38},    {51, {}, 51, 38},    // no change
        {150, {100}, 100, 75}, {-5, {0}, 0, 0},    {0, {}, 0, 0},
    };
    bar.setValue(0);
    seen.clear();
    for (const auto& c : cases) {
        seen.clear();
        bar.setValue(c.set);
        EXPECT_EQ(seen, c.events) << "set " << c.set;
        EXPECT_EQ(bar.Value(), c.after) << "set " << c.set;
        EXPECT_EQ(thumb().pixelOffset(), c.pixel) << "set " << c.set;
    }
}

TEST_F(TrackbarTest, RefusedSettingsKeepTheValuesAndSayWhy) {
    const auto text = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const AppError& e) {
            return e.text();
        }
        return QString();
    };
    EXPECT_EQ(text([&] { bar.setMaxValue(0); }),
              "ErrorCode:MaxValue <= MinValue\r最大值不应该小于或等于最小值.");
    EXPECT_EQ(text([&] { bar.setMinValue(100); }),
              "ErrorCode: MinValue >= MaxValue\r最小值不应该大于或等于最大值.");
    EXPECT_EQ(text([&] { thumb().setMaxPos(2); }),
              "Error Code: FMaxPos <= FMinPos,最大距离的值不应该小于或等于最小距离的值");
    EXPECT_EQ(text([&] { thumb().setMinPos(92); }),
              "Error Code: FMinPos >= FMaxPos,最小距离的值不应该大于或等于最大距离的值");
    EXPECT_EQ(bar.MaxValue(), 100);
    EXPECT_EQ(bar.MinValue(), 0);
}

TEST_F(TrackbarTest, AThumbAsLongAsTheTrackKeepsItsValue) {
    TRealTrackbar tiny;
    tiny.setVertical(true);
    tiny.resize(16, 19);  // travel 19 - 2 - 2 - 15 = 0
    tiny.show();
    tiny.setValue(80);
    EXPECT_EQ(tiny.Value(), 80);
    EXPECT_EQ(tiny.thumb().pixelOffset(), 0);
}

TEST_F(TrackbarTest, GrooveClicksAndDragsWithTheMouse) {
    bar.setValue(50);
    events = 0;
    // A click in the first MinPos pixels counts as 0: the top of the range on a vertical slider.
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(8, 1));
    EXPECT_EQ(bar.Value(), 100);
    // A click near the bottom of the groove.
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(8, 90));
    EXPECT_LE(bar.Value(), 5);
    // Dragging the thumb up: events on the way, and once more on release.
    bar.setValue(0);
    seen.clear();
    TRealTrackButton& t = thumb();
    const QPoint grip(7, 7);
    QTest::mousePress(&t, Qt::LeftButton, {}, grip);
    for (int step = 1; step <= 3; ++step) {
        QMouseEvent move(QEvent::MouseMove, QPointF(grip.x(), grip.y() - 10),
                         t.mapToGlobal(QPointF(grip.x(), grip.y() - 10)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&t, &move);
    }
    ASSERT_GE(seen.size(), 3u);
    EXPECT_GT(bar.Value(), 30);
    const int beforeRelease = static_cast<int>(seen.size());
    QTest::mouseRelease(&t, Qt::LeftButton, {}, grip);
    EXPECT_EQ(static_cast<int>(seen.size()),
              beforeRelease + 1);  // even though the value did not change
    EXPECT_EQ(seen.back(), bar.Value());
}

TEST_F(TrackbarTest, KeysAndAssistiveTechnologyMoveItAsAUserWould) {
    bar.setAccessibleName("音量");
    bar.setFocusPolicy(Qt::StrongFocus);
    bar.setValue(50);
    seen.clear();
    bar.setFocus();
    QTest::keyClick(&bar, Qt::Key_Up);
    EXPECT_EQ(bar.Value(), 51);
    QTest::keyClick(&bar, Qt::Key_PageDown);
    EXPECT_EQ(bar.Value(), 41);
    QTest::keyClick(&bar, Qt::Key_End);
    EXPECT_EQ(bar.Value(), 100);
    EXPECT_EQ(seen.size(), 3u);

    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), "音量");
    QAccessibleValueInterface* v = a->valueInterface();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->maximumValue().toInt(), 100);
    EXPECT_EQ(v->minimumValue().toInt(), 0);
    v->setCurrentValue(55);
    EXPECT_EQ(v->currentValue().toInt(), 55);
    EXPECT_EQ(seen.back(), 55);
}

}  // namespace
