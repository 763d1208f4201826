#pragma once
// The one-line description of the user's computer that "Pošli informace"
// mails to the author. The formatting functions are pure; only
// GatherSystemFacts() asks the system, and it takes about half a second.

#include <QDateTime>
#include <QString>

class QWidget;

struct SystemFacts {
    QString osText;                // e.g. "Linux 6.1.0-18-amd64"
    quint64 totalMemoryBytes = 0;  // physical memory
    double cpuMHz = 0;             // measured clock
    int screenWidth = 0;
    int screenHeight = 0;  // a full-screen window's client area plus its caption
    int bitsPerPixel = 0;
    int planes = 1;
    int dpi = 0;
    QString programDir;         // with its trailing separator
    QDateTime programModified;  // last change of the program file
};

// "RAM:" + whole units of 1,024,000 bytes grouped by thousands with the
// system's separator + "MB ". A count of 0 prints no digit: "RAM:MB ".
QString MemoryText(quint64 bytes);

// "CPU:" + the clock with two decimals and the system's decimal separator
// (never grouped) + "MHz ".
QString CpuText(double mhz);

// The number of colours, 2^bitsPerPixel * planes, named: "16 barev",
// "256 barev", "16 bitů", "24 bitů", "32 bitů"; any other count "není".
QString ColorDepthText(int bitsPerPixel, int planes);

// All pieces in their fixed order, each ending in a blank:
// "<os> RAM:...MB CPU:...MHz Obrazovka:WxH <depth> DPI:n Cesta:<dir> Čas:<time> ".
QString InformationText(const SystemFacts& facts);

// Asks the system. `window` supplies the DPI and the caption height (it may
// be null); the program file's time comes from `executablePath`. Blocks the
// calling thread for about 510 ms to time the processor.
SystemFacts GatherSystemFacts(QWidget* window, const QString& programDir, const QString& executablePath);

// The parts of GatherSystemFacts() that need no window.
QString OperatingSystemText();
quint64 TotalMemoryBytes();
double MeasureCpuMHz();
