#pragma once
// How the main window's menus look: the textures' menu pictures, the style
// that puts the help menu at the right end of the bar and draws the option
// items as radio items, and captions cut to fit.

#include <QIcon>
#include <QProxyStyle>
#include <QString>

class QAction;

// The menu picture of texture `n` (1..5), with a check mark of its own for
// the ticked state: styles show the tick of an item that has a picture only
// as a faint frame around it.
QIcon TextureMenuIcon(int n);

// The menu bar and the language menu in the desktop's own style, with two
// changes: items after a separator on the menu bar sit at its right end, where
// the help menu belongs; and the checkable items of a menu drawn with this
// style show as radio items, while their ticks stay independent so that a
// hand-edited settings file keeps whatever ticks it holds.
class MenuStyle final : public QProxyStyle {
public:
    MenuStyle();
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

// `caption` as `item` can show it: hostile or careless language files may
// hold captions of 2,047 characters, and longer ones are cut with an
// ellipsis, so that all four menus keep their place on the menu bar and no
// menu grows wider than a screen.
QString FittedCaption(const QAction* item, const QString& caption);
