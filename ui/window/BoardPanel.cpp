#include "BoardPanel.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QStyle>

QDockWidget* MakeBoardPanel(QMainWindow* window, const char* name, QWidget* content, Qt::DockWidgetArea area, int size)
{
    auto* dock = new QDockWidget(window);
    dock->setObjectName(QLatin1String(name));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setWidget(content);
    const bool below = area == Qt::BottomDockWidgetArea || area == Qt::TopDockWidgetArea;
    if (below)
        dock->setFixedHeight(size);
    else
        dock->setFixedWidth(size);
    window->addDockWidget(area, dock, Qt::Horizontal);
    return dock;
}

int BoardPanelExtent(QMainWindow* window, int size)
{
    return size + window->style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, window);
}
