#include "MenuLook.h"

#include "Presentation.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

QIcon TextureMenuIcon(int n)
{
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0}) {
        const QImage patch = LoadTextureIcon(n, dpr);
        icon.addPixmap(QPixmap::fromImage(patch), QIcon::Normal, QIcon::Off);
        QImage ticked = patch.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ticked.setDevicePixelRatio(patch.devicePixelRatio());
        QPainter p(&ticked);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath mark;
        mark.moveTo(3.5, 8.5);
        mark.lineTo(6.5, 11.5);
        mark.lineTo(12.5, 4.5);
        p.strokePath(mark, QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.strokePath(mark, QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.end();
        icon.addPixmap(QPixmap::fromImage(ticked), QIcon::Normal, QIcon::On);
        icon.addPixmap(QPixmap::fromImage(ticked), QIcon::Active, QIcon::On);
        icon.addPixmap(QPixmap::fromImage(patch), QIcon::Active, QIcon::Off);
    }
    return icon;
}

MenuStyle::MenuStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

int MenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                         QStyleHintReturn* returnData) const
{
    if (hint == SH_DrawMenuBarSeparator)
        return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void MenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const
{
    if (element == CE_MenuItem) {
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            item && item->checkType == QStyleOptionMenuItem::NonExclusive) {
            QStyleOptionMenuItem radio = *item;
            radio.checkType = QStyleOptionMenuItem::Exclusive;
            QProxyStyle::drawControl(element, &radio, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

namespace {

constexpr int MenuBarCaptionPixels = 130;
constexpr int MenuCaptionPixels = 400;

}  // namespace

QString FittedCaption(const QAction* item, const QString& caption)
{
    const QWidget* shownIn = nullptr;
    for (QObject* object : item->associatedObjects())
        if ((shownIn = qobject_cast<const QWidget*>(object)))
            break;
    const QFontMetrics metrics = shownIn ? shownIn->fontMetrics() : QFontMetrics(item->font());
    const int room = qobject_cast<const QMenuBar*>(shownIn) ? MenuBarCaptionPixels : MenuCaptionPixels;
    // A caption too short to be wider than its room, whatever its letters, is
    // let through unmeasured: measuring shapes the text of menus nobody has
    // opened yet, at every start.
    if (caption.size() * metrics.maxWidth() <= room)
        return caption;
    return metrics.elidedText(caption, Qt::ElideRight, room, Qt::TextShowMnemonic);
}
