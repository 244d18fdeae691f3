#include "lookfixture.h"

#include "xplook/systemcolors.h"
#include "xplook/xplook.h"

#include <QApplication>
#include <QPalette>

void pinClassicSystemColors()
{
    QPalette palette = QApplication::palette();
    const auto set = [&](QPalette::ColorRole role, int r, int g, int b) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, role, QColor(r, g, b));
    };
    set(QPalette::Button, 212, 208, 200);
    set(QPalette::Window, 212, 208, 200);
    set(QPalette::Highlight, 10, 36, 106);
    set(QPalette::Dark, 128, 128, 128);
    set(QPalette::Mid, 128, 128, 128);
    set(QPalette::Base, 255, 255, 255);
    set(QPalette::WindowText, 0, 0, 0);
    set(QPalette::ButtonText, 0, 0, 0);
    QApplication::setPalette(palette);
}

LookFixture::LookFixture()
{
    pinClassicSystemColors();
    m_look = std::make_unique<TXPLook>(&m_owner);
    applyStoredLookSettings(*m_look);
}

LookFixture::~LookFixture() = default;

QImage blankImage(int w, int h, XP::TColor fill)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(XP::red(fill), XP::green(fill), XP::blue(fill)));
    return image;
}

XP::TColor at(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return XP::RGB(c.red(), c.green(), c.blue());
}

int countColor(const QImage& image, const QRect& area, XP::TColor color)
{
    int count = 0;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (at(image, x, y) == color)
                ++count;
    return count;
}

QString colorName(XP::TColor color)
{
    return QStringLiteral("RGB(%1,%2,%3)").arg(XP::red(color)).arg(XP::green(color)).arg(XP::blue(color));
}

XP::TColor rgb(XP::TColor color)
{
    return XP::resolveColor(color);
}
