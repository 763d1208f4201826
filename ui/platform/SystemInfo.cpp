#include "SystemInfo.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QSysInfo>
#include <QWidget>

#include <chrono>
#include <limits>
#include <thread>

#if defined(Q_OS_UNIX)
#include <pthread.h>
#include <sched.h>
#include <unistd.h>
#endif

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#define BODLANY_HAVE_RDTSC 1
#endif

QString MemoryText(quint64 bytes)
{
    // Grouped by threes whatever the locale's own grouping rule, and no
    // digit at all for zero, as the "#,###" picture has always printed it.
    const quint64 units = bytes / 1024000;
    QString digits = units == 0 ? QString() : QString::number(units);
    const QString separator = QLocale::system().groupSeparator();
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, separator);
    return QStringLiteral("RAM:") + digits + QStringLiteral("MB ");
}

QString CpuText(double mhz)
{
    QString number = QString::number(mhz, 'f', 2);
    number.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
    return QStringLiteral("CPU:") + number + QStringLiteral("MHz ");
}

QString ColorDepthText(int bitsPerPixel, int planes)
{
    if (bitsPerPixel < 0 || bitsPerPixel > 62 || planes <= 0)
        return QStringLiteral("není");
    const quint64 single = quint64(1) << bitsPerPixel;
    if (single > std::numeric_limits<quint64>::max() / quint64(planes))
        return QStringLiteral("není");
    switch (single * quint64(planes)) {
    case 16:
        return QStringLiteral("16 barev");
    case 256:
        return QStringLiteral("256 barev");
    case 65536:
        return QStringLiteral("16 bitů");
    case 16777216:
        return QStringLiteral("24 bitů");
    case 4294967296:
        return QStringLiteral("32 bitů");
    default:
        return QStringLiteral("není");
    }
}

QString InformationText(const SystemFacts& facts)
{
    const QString blank = QStringLiteral(" ");
    QString text = facts.osText + blank;
    text += MemoryText(facts.totalMemoryBytes);
    text += CpuText(facts.cpuMHz);
    text += QStringLiteral("Obrazovka:") + QString::number(facts.screenWidth) + QStringLiteral("x")
          + QString::number(facts.screenHeight) + blank + ColorDepthText(facts.bitsPerPixel, facts.planes)
          + QStringLiteral(" DPI:") + QString::number(facts.dpi) + blank;
    text += QStringLiteral("Cesta:") + facts.programDir + QStringLiteral(" Čas:")
          + QLocale::system().toString(facts.programModified, QLocale::ShortFormat) + blank;
    return text;
}

QString OperatingSystemText()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("WindowsNT ") + QSysInfo::kernelVersion();
#else
    QString kernel = QSysInfo::kernelType();
    if (!kernel.isEmpty())
        kernel[0] = kernel[0].toUpper();
    return kernel + QStringLiteral(" ") + QSysInfo::kernelVersion();
#endif
}

quint64 TotalMemoryBytes()
{
#if defined(Q_OS_UNIX)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return quint64(pages) * quint64(pageSize);
#endif
    return 0;
}

namespace {

// What the kernel says the clock is, for processors without a readable
// cycle counter: the "cpu MHz" line of /proc/cpuinfo, else the top
// frequency cpufreq knows. 0 when neither is there.
[[maybe_unused]] double ReportedCpuMHz()
{
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        static const QRegularExpression line(QStringLiteral("^cpu MHz\\s*:\\s*([0-9.]+)"),
                                             QRegularExpression::MultilineOption);
        const auto match = line.match(QString::fromLatin1(cpuinfo.readAll()));
        if (match.hasMatch())
            return match.captured(1).toDouble();
    }
    QFile maxFreq(QStringLiteral("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"));
    if (maxFreq.open(QIODevice::ReadOnly | QIODevice::Text))
        return maxFreq.readAll().trimmed().toDouble() / 1000.0;  // kHz
    return 0;
}

#if defined(BODLANY_HAVE_RDTSC)
// Runs the calling thread at the highest real-time priority while it lives,
// if the system lets this process do so; otherwise changes nothing. The
// sleeps then end on time, which keeps the measured interval honest.
class RealTimePriority {
public:
    RealTimePriority()
    {
#if defined(Q_OS_UNIX)
        const pthread_t self = pthread_self();
        if (pthread_getschedparam(self, &savedPolicy_, &savedParam_) != 0)
            return;
        sched_param top{};
        top.sched_priority = sched_get_priority_max(SCHED_FIFO);
        raised_ = pthread_setschedparam(self, SCHED_FIFO, &top) == 0;
#endif
    }
    ~RealTimePriority()
    {
#if defined(Q_OS_UNIX)
        if (raised_)
            pthread_setschedparam(pthread_self(), savedPolicy_, &savedParam_);
#endif
    }
    RealTimePriority(const RealTimePriority&) = delete;
    RealTimePriority& operator=(const RealTimePriority&) = delete;

private:
#if defined(Q_OS_UNIX)
    int savedPolicy_ = SCHED_OTHER;
    sched_param savedParam_{};
#endif
    bool raised_ = false;
};
#endif

}  // namespace

double MeasureCpuMHz()
{
#if defined(BODLANY_HAVE_RDTSC)
    using namespace std::chrono_literals;
    quint64 cycles = 0;
    {
        const RealTimePriority priority;
        std::this_thread::sleep_for(10ms);
        const quint64 start = __rdtsc();
        std::this_thread::sleep_for(500ms);
        cycles = __rdtsc() - start;
    }
    // Only the low 32 bits count: a clock above about 8.6 GHz wraps round,
    // as it always has in this figure.
    return double(quint32(cycles)) / 500000.0;
#else
    return ReportedCpuMHz();
#endif
}

SystemFacts GatherSystemFacts(QWidget* window, const QString& programDir, const QString& executablePath)
{
    SystemFacts facts;
    facts.osText = OperatingSystemText();
    facts.totalMemoryBytes = TotalMemoryBytes();
    facts.cpuMHz = MeasureCpuMHz();

    const QStyle* style = window ? window->style() : QApplication::style();
    const int captionHeight = style ? style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) : 0;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // The client area of a full-screen window: the work area without one
        // caption; the caption is then added back, as the figure has always
        // been reported.
        const QRect workArea = screen->availableGeometry();
        const int fullScreenClientHeight = workArea.height() - captionHeight;
        facts.screenWidth = workArea.width();
        facts.screenHeight = fullScreenClientHeight + captionHeight;
        facts.bitsPerPixel = screen->depth();
        facts.dpi = window ? window->logicalDpiX() : qRound(screen->logicalDotsPerInch());
    }
    facts.planes = 1;
    facts.programDir = programDir;
    facts.programModified = QFileInfo(executablePath).lastModified();
    return facts;
}
