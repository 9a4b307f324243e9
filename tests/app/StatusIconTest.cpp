// The tray icon drawings and the symbol table.
#include <gtest/gtest.h>

#include "ui/StatusIconPainter.h"
#include "ui/SymbolImages.h"

namespace quorix::ui {
namespace {

// The pixel at (x, y) in points, origin at the lower left as the recipes say.
QColor pixelAt(const QImage& image, qreal x, qreal y, qreal scale) {
    return image.pixelColor(qRound(x * scale), qRound((18.0 - y) * scale));
}

TEST(StatusIconPainter, BadgeColourAndGlyphFollowTheState) {
    const qreal scale = 4.0;
    const struct {
        TrayLook look;
        QColor badge;
    } cases[] = {
        {{false, true, IconStyle::keyboard}, QColor::fromRgbF(1.0f, 0.584f, 0.0f)},
        {{true, true, IconStyle::keyboard}, QColor::fromRgbF(0.06f, 0.72f, 0.51f)},
        {{true, false, IconStyle::wand}, QColor::fromRgbF(0.92f, 0.26f, 0.26f)},
    };
    for (const auto& c : cases) {
        const QImage image = StatusIconPainter::paint(c.look, scale, Qt::black);
        // Inside the badge, away from the glyph strokes.
        const QColor fill = pixelAt(image, 14.2, 5.5, scale);
        EXPECT_NEAR(fill.redF(), c.badge.redF(), 0.02);
        EXPECT_NEAR(fill.greenF(), c.badge.greenF(), 0.02);
        EXPECT_NEAR(fill.blueF(), c.badge.blueF(), 0.02);
    }
    // The glyphs differ: the centre of the badge is white only for the "!".
    const auto centre = [&](TrayLook look) {
        return pixelAt(StatusIconPainter::paint(look, scale, Qt::black), 17.25, 5.5, scale);
    };
    EXPECT_EQ(centre({false, true, IconStyle::textAbc}), QColor(Qt::white));
    EXPECT_NE(centre({true, false, IconStyle::textAbc}), QColor(Qt::white));
}

TEST(StatusIconPainter, BrandMarkDimsWhenPausedAndKeepsItsBadgeClear) {
    const qreal scale = 4.0;
    const QImage active =
        StatusIconPainter::paint({true, true, IconStyle::quorix}, scale, Qt::black);
    const QImage paused =
        StatusIconPainter::paint({true, false, IconStyle::quorix}, scale, Qt::black);
    // The bar at (11.9, 9.0)-(14.1, 15.2).
    EXPECT_NEAR(pixelAt(active, 13.0, 12.0, scale).alphaF(), 1.0, 0.02);
    EXPECT_NEAR(pixelAt(paused, 13.0, 12.0, scale).alphaF(), 0.38, 0.02);
    // The cleared badge corner holds only the check mark.
    EXPECT_EQ(pixelAt(active, 19.0, 1.0, scale).alpha(), 0);
    // The same mark whatever the trust: the brand has no state badge colours.
    EXPECT_EQ(StatusIconPainter::paint({false, true, IconStyle::quorix}, scale, Qt::black), active);
}

TEST(SymbolImages, EveryIconStyleSymbolIsInTheTableWithItsLicence) {
    for (IconStyle style : allCases<IconStyle>()) {
        if (style == IconStyle::quorix) {
            continue;
        }
        const auto info = SymbolImages::find(rawValue(style));
        ASSERT_TRUE(info) << rawValue(style);
        EXPECT_FALSE(info->licence.empty());
        QImage image(34, 30, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        EXPECT_TRUE(SymbolImages::draw(p, info->name, QRectF(0, 0, 34, 30), Qt::black));
        p.end();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                inked += image.pixelColor(x, y).alpha() > 0;
            }
        }
        EXPECT_GT(inked, 40) << info->name;
    }
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    EXPECT_FALSE(SymbolImages::draw(p, "no.such.symbol", QRectF(0, 0, 10, 10), Qt::black));
}

}  // namespace
}  // namespace quorix::ui
