#include "MainWindow.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>

// Where the main window stands and how large it is: read from the settings
// file, kept on a screen, and written back.

namespace {

// The stored Width and Height are outer sizes as the program has always
// written them: the client area plus a 10-pixel frame across and 47 pixels of
// caption, menu bar and frame down. Reading and writing them against these
// fixed amounts, not against whatever frame the platform draws, keeps the
// board area the same from one start to the next on every platform.
constexpr int StoredFrameWidth = 10;
constexpr int StoredFrameHeight = 47;

}  // namespace

void TForm1::ApplyGeometry(const chess::Settings& stored)
{
    // A hand-edited file may hold any int at all: the sums below are taken in
    // 64 bits so that no edge of the window overflows.
    const chess::Settings defaults;
    // Never smaller than the whole board under the menu bar.
    qint64 width = std::max<qint64>(stored.Width, 612 + StoredFrameWidth);
    qint64 height = std::max<qint64>(stored.Height, 612 + StoredFrameHeight);
    const auto screens = QGuiApplication::screens();
    // A window larger than every screen's work area would cost memory and
    // time to draw and still could not be seen whole.
    const bool fits = std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
        const QRect area = screen->availableGeometry();
        return width <= area.width() && height <= area.height();
    });
    if (!fits) {
        width = std::max(defaults.Width, 612 + StoredFrameWidth);
        height = std::max(defaults.Height, 612 + StoredFrameHeight);
    }
    qint64 left = stored.Left, top = stored.Top;
    const bool onScreen = std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
        const QRect g = screen->geometry();
        return left < qint64(g.x()) + g.width() && left + width > g.x() && top < qint64(g.y()) + g.height()
            && top + height > g.y();
    });
    // A window lost off every screen starts afresh where a first start puts it.
    if (!onScreen) {
        left = defaults.Left;
        top = defaults.Top;
        width = std::max(defaults.Width, 612 + StoredFrameWidth);
        height = std::max(defaults.Height, 612 + StoredFrameHeight);
    }
    // The stored width includes the panels that were shown.
    clientWidth_ = std::max(612, int(width) - StoredFrameWidth - SidePanelsWidth());
    boardAreaHeight_ = int(height) - StoredFrameHeight;
    setFixedSize(clientWidth_ + SidePanelsWidth(),
                 menuBar()->sizeHint().height() + boardAreaHeight_ + BottomPanelsHeight());
    move(int(left), int(top));
}

int TForm1::SidePanelsWidth() const
{
    int sum = 0;
    for (const auto& [panel, width] : sidePanels_)
        sum += width;
    return sum;
}

void TForm1::SetSidePanelWidth(const void* panel, int width)
{
    if (width > 0)
        sidePanels_[panel] = width;
    else
        sidePanels_.erase(panel);
    setFixedSize(clientWidth_ + SidePanelsWidth(), height());
    KeepRightEdgeOnScreen();
}

int TForm1::BottomPanelsHeight() const
{
    int sum = 0;
    for (const auto& [panel, height] : bottomPanels_)
        sum += height;
    return sum;
}

// The stored height never counts these panels: they are opened when wanted.
void TForm1::SetBottomPanelHeight(const void* panel, int height)
{
    if (height > 0)
        bottomPanels_[panel] = height;
    else
        bottomPanels_.erase(panel);
    setFixedSize(width(), menuBar()->sizeHint().height() + boardAreaHeight_ + BottomPanelsHeight());
}

// A window widened near the right edge of its screen would hang over it:
// it moves left as far as it must, but never past the work area's left edge.
void TForm1::KeepRightEdgeOnScreen()
{
    const QScreen* shownOn = screen();
    if (!shownOn)
        return;
    const QRect area = shownOn->availableGeometry();
    const QRect frame = frameGeometry();
    if (frame.right() <= area.right())
        return;
    move(std::max(area.left(), area.right() + 1 - frame.width()), pos().y());
}

chess::Settings TForm1::CurrentSettings() const
{
    chess::Settings s;
    s.Left = pos().x();
    s.Top = pos().y();
    s.Width = clientWidth_ + SidePanelsWidth() + StoredFrameWidth;
    // The set-up panel is gone at the next start.
    s.Width -= setupUi_->PanelWidthShown();
    s.Height = boardAreaHeight_ + StoredFrameHeight;
    s.SachovyProgram = engineUi_->ProgramSetting();
    // The analysis is never open at the start, so its panel is not kept in
    // the width either.
    s.Width -= engineUi_->PanelWidth();
    for (const auto& key : chess::SettingsBoolKeys)
        s.*key.field = Item(QString::fromLatin1(key.item.data(), qsizetype(key.item.size())))->isChecked();
    for (const auto& key : chess::SettingsLaterBoolKeys)
        s.*key.field = Item(QString::fromLatin1(key.item.data(), qsizetype(key.item.size())))->isChecked();
    s.CasovaKontrola = clockUi_->ControlText().toStdString();
    return s;
}
