#include "ui/drawingpanel.h"
#include "ui/hyperlink.h"
#include "ui/tiledlabel.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QImage Solid(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(DrawingPanel, DrawsPicturesCentredAndNeverEnlarged)
{
    struct Case
    {
        QSize picture;
        QRect drawn;
    };
    const std::vector<Case> cases = {
        { { 264, 400 }, { 0, 0, 264, 400 } },
        { { 100, 50 }, { 82, 175, 100, 50 } },
        { { 528, 400 }, { 0, 100, 264, 200 } },
        { { 264, 800 }, { 66, 0, 132, 400 } },
        { { 1, 1 }, { 131, 199, 1, 1 } },
    };
    ui::DrawingPanel panel;
    panel.resize(264, 400);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.picture.width() << "x" << c.picture.height());
        panel.SetPicture(Solid(c.picture.width(), c.picture.height(), Qt::red));
        EXPECT_EQ(panel.PictureRect(), c.drawn);
        const QImage shot = panel.grab().toImage();
        ASSERT_EQ(shot.size(), QSize(264, 400));
        for (const QPoint& inside : { c.drawn.topLeft(), c.drawn.bottomRight() })
            EXPECT_EQ(shot.pixelColor(inside), QColor(Qt::red)) << inside.x() << "," << inside.y();
        for (const QPoint& outside :
            { c.drawn.topLeft() - QPoint(1, 1), c.drawn.bottomRight() + QPoint(1, 1) }) {
            if (shot.rect().contains(outside)) {
                EXPECT_EQ(shot.pixelColor(outside), QColor(Qt::white))
                    << outside.x() << "," << outside.y();
            }
        }
    }
    panel.ClearPicture();
    EXPECT_TRUE(panel.PictureRect().isEmpty());
    EXPECT_EQ(panel.grab().toImage().pixelColor(132, 200), QColor(Qt::white));
}

TEST(TiledLabel, RepeatsItsTileFromTheTopLeft)
{
    QImage tile = Solid(10, 10, Qt::blue);
    tile.setPixelColor(2, 3, Qt::yellow);
    ui::TiledLabel label;
    label.resize(25, 15);
    label.SetTile(QPixmap::fromImage(tile));
    const QImage shot = label.grab().toImage();
    for (const QPoint& at : { QPoint(2, 3), QPoint(12, 3), QPoint(22, 13) })
        EXPECT_EQ(shot.pixelColor(at), QColor(Qt::yellow)) << at.x() << "," << at.y();
    EXPECT_EQ(shot.pixelColor(24, 14), QColor(Qt::blue));
}

TEST(Hyperlink, ReportsThePressBeforeOpeningItsTarget)
{
    struct Case
    {
        const char* what;
        QString target;
        bool openerSucceeds;
        Qt::MouseButton button;
        std::vector<std::string> events;
        bool visited;
    };
    const std::vector<Case> cases = {
        { "target", "https://example.org/a", true, Qt::LeftButton, { "pressed", "open" }, true },
        { "no target", "", true, Qt::LeftButton, { "pressed" }, false },
        { "opener fails", "https://example.org/a", false, Qt::LeftButton, { "pressed", "open" },
            false },
        { "right button", "https://example.org/a", true, Qt::RightButton, {}, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui::Hyperlink link(QStringLiteral("[链接]"));
        link.resize(60, 12);
        link.setTarget(c.target);
        std::vector<std::string> events;
        link.SetOpener([&](const QUrl&) {
            events.push_back("open");
            return c.openerSucceeds;
        });
        int x = -1, y = -1, modifiers = -1;
        QObject::connect(&link, &ui::Hyperlink::pressed, [&](int px, int py, int keys) {
            events.push_back("pressed");
            x = px, y = py, modifiers = keys;
        });
        QTest::mouseClick(&link, c.button, Qt::ControlModifier | Qt::AltModifier, QPoint(5, 6));
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(link.isVisited(), c.visited);
        if (!c.events.empty()) {
            EXPECT_EQ(x, 5);
            EXPECT_EQ(y, 6);
            EXPECT_EQ(modifiers, ui::Hyperlink::Ctrl | ui::Hyperlink::Alt);
        }
    }
}

TEST(Hyperlink, EmptyTargetFailsWithoutCallingTheOpener)
{
    ui::Hyperlink link;
    bool called = false;
    link.SetOpener([&](const QUrl&) { return called = true; });
    EXPECT_FALSE(link.OpenTarget());
    EXPECT_FALSE(called);
}

} // namespace
