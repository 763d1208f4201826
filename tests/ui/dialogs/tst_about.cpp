// The About dialog as a user meets it (texts, layout, keys, links, the
// information e-mail), the text it mails, and the JPEG decoder behind its
// picture.

#include "About.h"
#include "Artwork.h"
#include "AuthorInfo.h"
#include "JpegImage.h"
#include "Mylabel.h"
#include "SystemInfo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>

#include <cstdio>  // before jpeglib.h, which uses FILE
#include <cstdlib>
#include <jpeglib.h>

namespace {

const QString LanguageParentDir = QStringLiteral(LANGUAGE_PARENT_DIR);
const QString Prefix = QStringLiteral("Tato verze spatřila světlo světa:");

QString Group()
{
    return QLocale::system().groupSeparator();
}
QString Point()
{
    return QLocale::system().decimalPoint();
}

QByteArray Background()
{
    InitArtwork();
    QFile file(QStringLiteral(":/about/background.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A picture of w x h whose top half has one colour and bottom half another,
// written by libjpeg itself so that every colour model can be made.
enum class Model { Grey, Rgb, Cmyk };

QByteArray EncodeJpeg(Model model, bool progressive, const QList<int>& top, const QList<int>& bottom, int w = 32,
                      int h = 32)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = int(top.size());
    info.in_color_space = model == Model::Grey ? JCS_GRAYSCALE : model == Model::Rgb ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    QByteArray row(w * info.input_components, '\0');
    while (info.next_scanline < info.image_height) {
        const QList<int>& colour = int(info.next_scanline) < h / 2 ? top : bottom;
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < info.input_components; ++c)
                row[x * info.input_components + c] = char(colour[c]);
        JSAMPROW rows[] = {reinterpret_cast<JSAMPROW>(row.data())};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

bool Near(QRgb pixel, int r, int g, int b)
{
    return qAbs(qRed(pixel) - r) <= 6 && qAbs(qGreen(pixel) - g) <= 6 && qAbs(qBlue(pixel) - b) <= 6;
}

// Answers every message box that comes up modally, the way a user presses
// its OK button, and remembers what each one said.
class BoxAnswerer : public QObject {
public:
    struct Box {
        QMessageBox::Icon icon;
        QString text;
        QString title;
    };
    QList<Box> boxes;

    BoxAnswerer()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            boxes.append({box->icon(), box->text(), box->windowTitle()});
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start(20);
    }

private:
    QTimer timer_;
};

// A program file whose date is known.
struct ProgramFile {
    QTemporaryDir dir;
    QString path;
    QDate date{2024, 3, 5};

    ProgramFile()
    {
        path = dir.filePath(QStringLiteral("bodlany-sachy"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("program");
            file.flush();  // or closing would stamp the file anew
            file.setFileTime(QDateTime(date, QTime(10, 30)), QFileDevice::FileModificationTime);
        }
    }
    QString programDir() const { return dir.path() + QLatin1Char('/'); }
};

SystemFacts FixedFacts(const QString& programDir)
{
    SystemFacts facts;
    facts.osText = QStringLiteral("Linux 6.1.0-18-amd64");
    facts.totalMemoryBytes = 8ull * 1024 * 1024 * 1024;
    facts.cpuMHz = 2394.456;
    facts.screenWidth = 1920;
    facts.screenHeight = 1104;
    facts.bitsPerPixel = 24;
    facts.planes = 1;
    facts.dpi = 96;
    facts.programDir = programDir;
    facts.programModified = QDateTime(QDate(2024, 3, 5), QTime(10, 30));
    return facts;
}

template <typename T>
T* Child(const QWidget& dialog, const char* name)
{
    T* child = dialog.findChild<T*>(QLatin1String(name));
    if (!child)
        qWarning("no child %s", name);
    return child;
}

bool ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    // --- the information text ---
    void memoryText_data();
    void memoryText();
    void cpuText_data();
    void cpuText();
    void colorDepthText_data();
    void colorDepthText();
    void informationTextOrder();
    void mailLinkSurvivesAwkwardPaths();
    void gathererDescribesThisComputer();

    // --- JPEG ---
    void decodesTheBackground();
    void decodesEveryColourModel_data();
    void decodesEveryColourModel();
    void truncatedFileGivesNullImage_data();
    void truncatedFileGivesNullImage();
    void damagedHeaderGivesNullImage_data();
    void damagedHeaderGivesNullImage();
    void randomDamageNeverCrashes();

    // --- the dialog ---
    void textsComeFromTheLanguageFile();
    void missingLanguageFileLeavesCzech();
    void layoutKeepsEveryTextWhole();
    void noCzechInAnotherLanguage_data();
    void noCzechInAnotherLanguage();
    void centredOverTheMainWindow();
    void looksAsDescribed();
    void pictureDrawnUnscaledFromTopLeft();
    void dateAddedOnceOnActivation();
    void keysClose_data();
    void keysClose();
    void linkFailureShowsError_data();
    void linkFailureShowsError();
    void linkSuccessShowsNothing();
    void sendInformationOpensEncodedLink();
    void sendInformationFailureShowsAddressThenText();
    void screenshots();
};

void TestAbout::memoryText_data()
{
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("512 MiB") << quint64(536870912) << QStringLiteral("RAM:524MB ");
    QTest::newRow("just under one unit prints no digit") << quint64(1023999) << QStringLiteral("RAM:MB ");
    QTest::newRow("nothing") << quint64(0) << QStringLiteral("RAM:MB ");
    QTest::newRow("exactly one unit") << quint64(1024000) << QStringLiteral("RAM:1MB ");
    QTest::newRow("four digits are grouped")
        << quint64(2048000000) << QStringLiteral("RAM:2") + Group() + QStringLiteral("000MB ");
    QTest::newRow("seven digits") << quint64(1024000) * 1234567
                                  << QStringLiteral("RAM:1") + Group() + QStringLiteral("234") + Group()
                                         + QStringLiteral("567MB ");
}

void TestAbout::memoryText()
{
    QFETCH(quint64, bytes);
    QFETCH(QString, expected);
    QCOMPARE(MemoryText(bytes), expected);
}

void TestAbout::cpuText_data()
{
    QTest::addColumn<double>("mhz");
    QTest::addColumn<QString>("expected");
    QTest::newRow("rounded to two decimals")
        << 2394.456 << QStringLiteral("CPU:2394") + Point() + QStringLiteral("46MHz ");
    QTest::newRow("never grouped") << 12345.0 << QStringLiteral("CPU:12345") + Point() + QStringLiteral("00MHz ");
    QTest::newRow("zero") << 0.0 << QStringLiteral("CPU:0") + Point() + QStringLiteral("00MHz ");
}

void TestAbout::cpuText()
{
    QFETCH(double, mhz);
    QFETCH(QString, expected);
    QCOMPARE(CpuText(mhz), expected);
}

void TestAbout::colorDepthText_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("planes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("16 colours") << 4 << 1 << QStringLiteral("16 barev");
    QTest::newRow("256 colours") << 8 << 1 << QStringLiteral("256 barev");
    QTest::newRow("high colour") << 16 << 1 << QStringLiteral("16 bitů");
    QTest::newRow("true colour") << 24 << 1 << QStringLiteral("24 bitů");
    QTest::newRow("32 bits") << 32 << 1 << QStringLiteral("32 bitů");
    QTest::newRow("planes multiply: 4 x 4 bits") << 2 << 4 << QStringLiteral("16 barev");
    QTest::newRow("2^31 x 2 planes needs 64 bits") << 31 << 2 << QStringLiteral("32 bitů");
    QTest::newRow("monochrome") << 1 << 1 << QStringLiteral("není");
    QTest::newRow("15 bits") << 15 << 1 << QStringLiteral("není");
    QTest::newRow("256 x 2 planes") << 8 << 2 << QStringLiteral("není");
    QTest::newRow("no planes") << 24 << 0 << QStringLiteral("není");
    QTest::newRow("negative depth") << -1 << 1 << QStringLiteral("není");
    QTest::newRow("beyond 64 bits") << 64 << 1 << QStringLiteral("není");
    QTest::newRow("overflowing product") << 62 << 8 << QStringLiteral("není");
}

void TestAbout::colorDepthText()
{
    QFETCH(int, bits);
    QFETCH(int, planes);
    QFETCH(QString, expected);
    QCOMPARE(ColorDepthText(bits, planes), expected);
}

void TestAbout::informationTextOrder()
{
    const SystemFacts facts = FixedFacts(QStringLiteral("/opt/bodlany/"));
    const QString time = QLocale::system().toString(facts.programModified, QLocale::ShortFormat);
    QCOMPARE(InformationText(facts),
             QStringLiteral("Linux 6.1.0-18-amd64 RAM:8") + Group() + QStringLiteral("388MB CPU:2394") + Point()
                 + QStringLiteral("46MHz Obrazovka:1920x1104 24 bitů DPI:96 Cesta:/opt/bodlany/ Čas:") + time
                 + QStringLiteral(" "));
}

void TestAbout::mailLinkSurvivesAwkwardPaths()
{
    const QString dir = QStringLiteral("/home/jan/R&D #2?/ša chy+%20/");
    const QString text = InformationText(FixedFacts(dir));
    const QUrl link = InformationMailLink(QStringLiteral("author@example.org"),
                                          QStringLiteral("Bodlany šachy verze 1.0 beta"), text);

    QVERIFY(link.isValid());
    QCOMPARE(link.scheme(), QStringLiteral("mailto"));
    QCOMPARE(link.path(), QStringLiteral("author@example.org"));
    QVERIFY(!link.hasFragment());
    const QString encoded = QString::fromLatin1(link.toEncoded());
    QVERIFY2(!encoded.contains(QLatin1Char(' ')) && !encoded.contains(QLatin1Char('#')), qPrintable(encoded));

    const QUrlQuery query(link);
    QCOMPARE(query.queryItems(QUrl::FullyDecoded).size(), 2);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("Informace o programu Bodlany šachy verze 1.0 beta"));
    QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), text);
    QVERIFY(text.contains(dir));
}

// The one test that takes the half-second processor measurement.
void TestAbout::gathererDescribesThisComputer()
{
    ProgramFile program;
    QWidget window;
    const SystemFacts facts = GatherSystemFacts(&window, program.programDir(), program.path);

    QString kernel = QSysInfo::kernelType();
    kernel[0] = kernel[0].toUpper();
    QCOMPARE(facts.osText, kernel + QLatin1Char(' ') + QSysInfo::kernelVersion());
    QVERIFY(facts.totalMemoryBytes > 0);
#if defined(__x86_64__) || defined(__i386__)
    QVERIFY2(facts.cpuMHz > 100 && facts.cpuMHz < 10000, qPrintable(QString::number(facts.cpuMHz)));
#endif
    // A full-screen window's client area plus its caption: the work area.
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(facts.screenWidth, workArea.width());
    QCOMPARE(facts.screenHeight, workArea.height());
    QCOMPARE(facts.bitsPerPixel, QGuiApplication::primaryScreen()->depth());
    QCOMPARE(facts.planes, 1);
    QCOMPARE(facts.dpi, window.logicalDpiX());
    QCOMPARE(facts.programDir, program.programDir());
    QCOMPARE(facts.programModified.date(), program.date);
    QVERIFY(InformationText(facts).startsWith(facts.osText + QStringLiteral(" RAM:")));
}

void TestAbout::decodesTheBackground()
{
    const QByteArray bytes = Background();
    QVERIFY(!bytes.isEmpty());
    const QImage image = DecodeJpeg(bytes);
    QCOMPARE(image.size(), QSize(447, 310));
    // Against Qt's own reader, where it has one: the same picture within
    // the rounding of two IDCT implementations.
    const QImage reference = QImage::fromData(bytes, "JPG").convertToFormat(QImage::Format_RGB32);
    if (reference.isNull())
        return;
    for (int y = 0; y < image.height(); y += 17)
        for (int x = 0; x < image.width(); x += 13) {
            const QRgb p = reference.pixel(x, y);
            QVERIFY2(Near(image.pixel(x, y), qRed(p), qGreen(p), qBlue(p)),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
}

void TestAbout::decodesEveryColourModel_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("progressive");
    QTest::addColumn<QList<int>>("top");
    QTest::addColumn<QList<int>>("bottom");
    QTest::addColumn<QList<int>>("topRgb");
    QTest::addColumn<QList<int>>("bottomRgb");
    QTest::newRow("greyscale") << int(Model::Grey) << false << QList<int>{200} << QList<int>{40}
                               << QList<int>{200, 200, 200} << QList<int>{40, 40, 40};
    QTest::newRow("colour") << int(Model::Rgb) << false << QList<int>{200, 30, 30} << QList<int>{20, 40, 220}
                            << QList<int>{200, 30, 30} << QList<int>{20, 40, 220};
    QTest::newRow("progressive colour") << int(Model::Rgb) << true << QList<int>{30, 200, 30}
                                        << QList<int>{250, 250, 250} << QList<int>{30, 200, 30}
                                        << QList<int>{250, 250, 250};
    // Adobe's inverted CMYK: 255 is no ink. Red is full magenta and yellow.
    QTest::newRow("CMYK") << int(Model::Cmyk) << false << QList<int>{255, 0, 0, 255} << QList<int>{255, 255, 255, 128}
                          << QList<int>{255, 0, 0} << QList<int>{128, 128, 128};
}

void TestAbout::decodesEveryColourModel()
{
    QFETCH(int, model);
    QFETCH(bool, progressive);
    QFETCH(QList<int>, top);
    QFETCH(QList<int>, bottom);
    QFETCH(QList<int>, topRgb);
    QFETCH(QList<int>, bottomRgb);
    const QImage image = DecodeJpeg(EncodeJpeg(Model(model), progressive, top, bottom, 48, 32));
    QCOMPARE(image.size(), QSize(48, 32));
    QVERIFY(Near(image.pixel(20, 4), topRgb[0], topRgb[1], topRgb[2]));
    QVERIFY(Near(image.pixel(20, 28), bottomRgb[0], bottomRgb[1], bottomRgb[2]));
}

void TestAbout::truncatedFileGivesNullImage_data()
{
    QTest::addColumn<int>("keep");  // bytes kept; negative counts from the end
    QTest::newRow("empty") << 0;
    QTest::newRow("one byte") << 1;
    QTest::newRow("start of image only") << 2;
    QTest::newRow("inside the first marker") << 5;
    QTest::newRow("headers only") << 600;
    QTest::newRow("a few rows of picture data") << 3000;
    QTest::newRow("half the picture data") << -2000;
    QTest::newRow("last 100 bytes missing") << -100;
    QTest::newRow("end-of-image marker missing") << -2;
}

void TestAbout::truncatedFileGivesNullImage()
{
    QFETCH(int, keep);
    const QByteArray bytes = Background();
    const QByteArray cut = keep >= 0 ? bytes.left(keep) : bytes.left(bytes.size() + keep);
    QVERIFY(DecodeJpeg(cut).isNull());
}

void TestAbout::damagedHeaderGivesNullImage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = Background();
    const qsizetype sof = good.indexOf(QByteArray("\xFF\xC0", 2));
    QVERIFY(sof > 0);

    QByteArray notJpeg = good;
    notJpeg[1] = '\x00';
    QTest::newRow("no start-of-image marker") << notJpeg;

    QByteArray empty = good;
    empty[sof + 5] = empty[sof + 6] = '\0';
    QTest::newRow("zero height") << empty;

    // 60000 x 60000 would need 14 GB; it must be refused, not allocated.
    QByteArray huge = good;
    huge[sof + 5] = huge[sof + 7] = char(0xEA);
    huge[sof + 6] = huge[sof + 8] = char(0x60);
    QTest::newRow("gigapixel header") << huge;

    QByteArray noise(4096, '\0');
    QRandomGenerator random(7);
    for (char& c : noise)
        c = char(random.bounded(256));
    noise[0] = char(0xFF);
    noise[1] = char(0xD8);
    QTest::newRow("noise after start-of-image") << noise;
    QTest::newRow("text") << QByteArray("this is not a picture");
}

void TestAbout::damagedHeaderGivesNullImage()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(DecodeJpeg(bytes).isNull());
}

void TestAbout::randomDamageNeverCrashes()
{
    // Damage inside the picture data may or may not be noticed; either a
    // whole picture or none comes back, and nothing crashes.
    const QByteArray good = Background();
    QRandomGenerator random(2024);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = good;
        const int hits = 1 + int(random.bounded(4));
        for (int i = 0; i < hits; ++i)
            bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
        const QImage image = DecodeJpeg(bytes);
        QVERIFY(image.isNull() || image.size() == QSize(447, 310));
    }
}

void TestAbout::textsComeFromTheLanguageFile()
{
    ProgramFile program;
    QVERIFY(QDir(program.dir.path()).mkdir(QStringLiteral("Language")));
    QFile file(program.dir.filePath(QStringLiteral("Language/deutch")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Form1]\nForm1=Bodlany šachy\n\n"
               "[Autor]\n"
               "Button1=Info senden\n"
               "OKButton=Schließen\n"
               "Label3=E-Mail des Autors:\n"
               "Label5=Internetadresse:\n"
               "Label6=Telefon:\n"
               "Label2=Diese Version erblickte das Licht der Welt am\n");
    file.close();

    TAutor dialog(program.programDir(), QStringLiteral("deutch"), program.path, nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Autor programu"));
    QCOMPARE(Child<QPushButton>(dialog, "Button1")->text(), QStringLiteral("Info senden"));
    QCOMPARE(Child<QPushButton>(dialog, "OKButton")->text(), QStringLiteral("Schließen"));
    QCOMPARE(Child<QLabel>(dialog, "Label3")->text(), QStringLiteral("E-Mail des Autors:"));
    QCOMPARE(Child<QLabel>(dialog, "Label5")->text(), QStringLiteral("Internetadresse:"));
    QCOMPARE(Child<QLabel>(dialog, "Label6")->text(), QStringLiteral("Telefon:"));
    QCOMPARE(Child<QLabel>(dialog, "Label2")->text(), QStringLiteral("Diese Version erblickte das Licht der Welt am"));
    // Never translated.
    QCOMPARE(Child<TmyLabel3d>(dialog, "myLabel3d1")->text(), QStringLiteral("Bodlany šachy verze 1.0 beta"));
    QVERIFY(Child<QLabel>(dialog, "Label8")->text().startsWith(QStringLiteral("Pokud mi zašlete")));

    // Each label was sized for its translated text.
    for (const char* name : {"Label2", "Label3", "Label5", "Label6"}) {
        const QLabel* label = Child<QLabel>(dialog, name);
        QVERIFY2(label->width() >= label->sizeHint().width(), name);
    }
}

void TestAbout::missingLanguageFileLeavesCzech()
{
    ProgramFile program;
    TAutor dialog(program.programDir(), QStringLiteral("deutch"), program.path, nullptr);
    QCOMPARE(Child<QPushButton>(dialog, "Button1")->text(), QStringLiteral("Pošli informace"));
    QCOMPARE(Child<QPushButton>(dialog, "OKButton")->text(), QStringLiteral("Zavřít"));
    QCOMPARE(Child<QLabel>(dialog, "Label3")->text(), QStringLiteral("E-mailová adresa autora:"));
    QCOMPARE(Child<QLabel>(dialog, "Label5")->text(), QStringLiteral("Internetová adresa:"));
    QCOMPARE(Child<QLabel>(dialog, "Label6")->text(), QStringLiteral("Telefon:"));
    QCOMPARE(Child<QLabel>(dialog, "Label2")->text(), Prefix);
}

void TestAbout::layoutKeepsEveryTextWhole()
{
    // The longest translation of each caption, so that nothing is cut off
    // in any language the program ships.
    for (const QString& language : {QStringLiteral("czech"), QStringLiteral("deutch"), QStringLiteral("english")}) {
        ProgramFile program;
        TAutor dialog(LanguageParentDir, language, program.path, nullptr);
        QVERIFY(ShowActive(dialog));
        const QRect client = dialog.rect();
        QCOMPARE(client.size(), QSize(447, 307));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());

        for (const QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QVERIFY2(client.contains(child->geometry()), qPrintable(language + QLatin1Char(' ') + child->objectName()));
            if (auto* label = qobject_cast<const QLabel*>(child)) {
                if (label->wordWrap())
                    QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(label->objectName()));
                else
                    QVERIFY2(label->sizeHint().width() <= label->width(),
                             qPrintable(language + QLatin1Char(' ') + label->objectName()));
            }
        }
        // Rows and columns do not run into each other.
        const auto g = [&dialog](const char* name) { return Child<QWidget>(dialog, name)->geometry(); };
        QVERIFY(g("myLabel3d1").right() < g("myLabel3d2").left());
        QVERIFY(g("Label1").bottom() < g("Label4").top());
        QVERIFY(g("Label4").bottom() < g("Label8").top());
        QVERIFY(g("Label8").bottom() < g("Label2").top());
        QVERIFY(g("Label5").right() < g("Label3").left());
        QVERIFY(g("Label3").right() < g("Label6").left());
        QVERIFY(g("myLabel3d3").right() < g("myLabel3d4").left());
        QVERIFY(g("myLabel3d4").right() < g("myLabel3d5").left());
        for (const char* name : {"Button1", "OKButton"}) {
            const auto* button = Child<QPushButton>(dialog, name);
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width() - 4,
                     qPrintable(language + QLatin1Char(' ') + button->text()));
        }
    }
}

void TestAbout::noCzechInAnotherLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("deutch") << QStringLiteral("deutch");
    QTest::newRow("english") << QStringLiteral("english");
}

// Every text a German or English user meets in the dialog, its error boxes
// included, comes from the language file; only the program's name, the
// author's and the computer's description for the author stay Czech.
void TestAbout::noCzechInAnotherLanguage()
{
    QFETCH(QString, language);
    ProgramFile program;
    TAutor dialog(LanguageParentDir, language, program.path, nullptr);
    const SystemFacts facts = FixedFacts(program.programDir());
    dialog.setFactsSource([&facts] { return facts; });
    dialog.setUrlOpener([](const QUrl&) { return false; });
    QVERIFY(ShowActive(dialog));
    BoxAnswerer answerer;
    for (const char* name : {"myLabel3d3", "myLabel3d4", "Button1"})
        QTest::mouseClick(Child<QWidget>(dialog, name), Qt::LeftButton);
    QCOMPARE(answerer.boxes.size(), 4);
    QCOMPARE(answerer.boxes.takeLast().text, InformationText(facts));

    QStringList shown = {dialog.windowTitle()};
    for (const BoxAnswerer::Box& box : answerer.boxes)
        shown << box.title << box.text;
    for (const QWidget* child : dialog.findChildren<QWidget*>()) {
        shown << child->whatsThis();
        if (auto* label = qobject_cast<const QLabel*>(child))
            shown << label->text();
        else if (auto* label3d = qobject_cast<const TmyLabel3d*>(child))
            shown << label3d->text();
        else if (auto* button = qobject_cast<const QPushButton*>(child))
            shown << button->text();
    }
    static const QRegularExpression czech(QStringLiteral("[ěščřžýáíéůúťďňĚŠČŘŽÝÁÍÉŮÚŤĎŇ]"));
    for (QString text : shown) {
        text.remove(QStringLiteral("Bodlany šachy")).remove(QString::fromUtf8(author::Name));
        QVERIFY2(!text.contains(czech), qPrintable(language + QStringLiteral(": ") + text));
    }
    QVERIFY(Child<QLabel>(dialog, "Label1")->text().contains(QString::fromUtf8(author::Name)));
}

// Centred over the main window, frame over frame.
void TestAbout::centredOverTheMainWindow()
{
    ProgramFile program;
    QWidget owner;
    owner.setGeometry(140, 90, 612, 637);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    TAutor dialog(program.programDir(), QStringLiteral("czech"), program.path, &owner);
    QVERIFY(ShowActive(dialog));
    const QPoint offset = dialog.frameGeometry().center() - owner.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 1, qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
}

void TestAbout::looksAsDescribed()
{
    ProgramFile program;
    TAutor dialog(program.programDir(), QStringLiteral("czech"), program.path, nullptr);
    // The details set at build time are the ones shown. A long web address
    // may lose its "https://" and shrink, within reason, but stays whole.
    const auto* web = Child<TmyLabel3d>(dialog, "myLabel3d3");
    QVERIFY(!web->text().isEmpty() && QString::fromUtf8(author::Web).endsWith(web->text()));
    QVERIFY(web->font().pixelSize() >= 10);
    QCOMPARE(Child<TmyLabel3d>(dialog, "myLabel3d4")->text(), QString::fromUtf8(author::Email));
    QCOMPARE(Child<TmyLabel3d>(dialog, "myLabel3d5")->text(), QString::fromUtf8(author::Phone));
    QVERIFY(Child<QLabel>(dialog, "Label1")->text().contains(QString::fromUtf8(author::Name)));
    // Every outside source of the artwork is named, and the rest is ours.
    for (const char* credit : {"Colin M. L. Burnett", "Maurizio Monge", "pychess", "Klubovky", "šachovnice", "obrázek"})
        QVERIFY2(Child<QLabel>(dialog, "Label4")->text().contains(QString::fromUtf8(credit)), credit);

    // Links show a hand, the telephone an arrow; hints only in the long form.
    QCOMPARE(web->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(Child<QWidget>(dialog, "myLabel3d4")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(Child<QWidget>(dialog, "myLabel3d5")->cursor().shape(), Qt::ArrowCursor);
    const QString mailHint = QStringLiteral("Spustí Váš poštovní program, abyste mi mohli napsat");
    QCOMPARE(web->whatsThis(), QStringLiteral("Spustí Váš internetový prohlížeč a najde mé stránky"));
    QCOMPARE(Child<QWidget>(dialog, "myLabel3d4")->statusTip(), mailHint);
    QCOMPARE(Child<QWidget>(dialog, "myLabel3d5")->whatsThis(), mailHint);
    for (const QWidget* child : dialog.findChildren<QWidget*>())
        QVERIFY2(child->toolTip().isEmpty(), qPrintable(child->objectName()));
}

void TestAbout::pictureDrawnUnscaledFromTopLeft()
{
    ProgramFile program;
    TAutor dialog(program.programDir(), QStringLiteral("czech"), program.path, nullptr);
    const QImage shown = dialog.grab().toImage();
    const QImage picture = DecodeJpeg(Background());
    // Spots that no control covers, including the last row the dialog shows.
    for (const QPoint p :
         {QPoint(0, 0), QPoint(444, 2), QPoint(3, 260), QPoint(200, 255), QPoint(446, 306), QPoint(60, 306)})
        QCOMPARE(shown.pixel(p), picture.pixel(p));
}

void TestAbout::dateAddedOnceOnActivation()
{
    ProgramFile program;
    TAutor dialog(program.programDir(), QStringLiteral("czech"), program.path, nullptr);
    auto* label = Child<QLabel>(dialog, "Label2");
    QCOMPARE(label->text(), Prefix);

    const QString expected = Prefix + QLatin1Char(' ') + QLocale::system().toString(program.date, QLocale::ShortFormat);
    QVERIFY(ShowActive(dialog));
    QCOMPARE(label->text(), expected);
    QVERIFY(label->width() >= label->sizeHint().width());

    {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Zpráva"), QStringLiteral("nad dialogem"),
                        QMessageBox::Ok, &dialog);
        QVERIFY(ShowActive(box));
        QTRY_VERIFY(!dialog.isActiveWindow());
        box.close();
    }
    QVERIFY(ShowActive(dialog));
    QCOMPARE(label->text(), expected);
}

void TestAbout::keysClose_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Enter on the keypad") << int(Qt::Key_Enter);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void TestAbout::keysClose()
{
    QFETCH(int, key);
    ProgramFile program;
    TAutor dialog(program.programDir(), QStringLiteral("czech"), program.path, nullptr);
    int opened = 0;
    dialog.setUrlOpener([&opened](const QUrl&) {
        ++opened;
        return true;
    });
    dialog.open();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key(key));
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(opened, 0);  // not "Pošli informace"
}

void TestAbout::linkFailureShowsError_data()
{
    QTest::addColumn<QByteArray>("label");
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QString>("message");
    QTest::newRow("web") << QByteArray("myLabel3d3") << QUrl(QString::fromUtf8(author::Web))
                         << QStringLiteral("Nemohu spustit webový prohlížeč.");
    QTest::newRow("e-mail") << QByteArray("myLabel3d4")
                            << QUrl(QStringLiteral("mailto:") + QString::fromUtf8(author::Email))
                            << QStringLiteral("Nemohu spustit poštovní program.");
}

void TestAbout::linkFailureShowsError()
{
    QFETCH(QByteArray, label);
    QFETCH(QUrl, url);
    QFETCH(QString, message);
    ProgramFile program;
    TAutor dialog(program.programDir(), QStringLiteral("czech"), program.path, nullptr);
    QList<QUrl> opened;
    dialog.setUrlOpener([&opened](const QUrl& u) {
        opened.append(u);
        return false;
    });
    QVERIFY(ShowActive(dialog));

    BoxAnswerer answerer;
    QTest::mouseClick(Child<QWidget>(dialog, label.constData()), Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{url});
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.boxes[0].text, message);
    QVERIFY(dialog.isVisible());  // the dialog stays open
}

void TestAbout::linkSuccessShowsNothing()
{
    ProgramFile program;
    TAutor dialog(program.programDir(), QStringLiteral("czech"), program.path, nullptr);
    QList<QUrl> opened;
    dialog.setUrlOpener([&opened](const QUrl& u) {
        opened.append(u);
        return true;
    });
    QVERIFY(ShowActive(dialog));

    BoxAnswerer answerer;
    for (const char* name : {"myLabel3d3", "myLabel3d4", "myLabel3d5", "myLabel3d1"})
        QTest::mouseClick(Child<QWidget>(dialog, name), Qt::LeftButton);
    // The telephone and the title are not links.
    QCOMPARE(opened.size(), 2);
    QVERIFY(answerer.boxes.isEmpty());
}

void TestAbout::sendInformationOpensEncodedLink()
{
    ProgramFile program;
    TAutor dialog(program.programDir(), QStringLiteral("czech"), program.path, nullptr);
    const SystemFacts facts = FixedFacts(QStringLiteral("/tmp/a&b #c?d/"));
    dialog.setFactsSource([&facts] { return facts; });
    QList<QUrl> opened;
    dialog.setUrlOpener([&opened](const QUrl& u) {
        opened.append(u);
        return true;
    });
    QVERIFY(ShowActive(dialog));

    BoxAnswerer answerer;
    QTest::mouseClick(Child<QWidget>(dialog, "Button1"), Qt::LeftButton);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened[0].scheme(), QStringLiteral("mailto"));
    QCOMPARE(opened[0].path(), QString::fromUtf8(author::Email));
    const QUrlQuery query(opened[0]);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("Informace o programu Bodlany šachy verze 1.0 beta"));
    QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), InformationText(facts));
    QVERIFY(answerer.boxes.isEmpty());
}

void TestAbout::sendInformationFailureShowsAddressThenText()
{
    ProgramFile program;
    TAutor dialog(program.programDir(), QStringLiteral("czech"), program.path, nullptr);
    const SystemFacts facts = FixedFacts(program.programDir());
    dialog.setFactsSource([&facts] { return facts; });
    dialog.setUrlOpener([](const QUrl&) { return false; });
    QVERIFY(ShowActive(dialog));

    BoxAnswerer answerer;
    QTest::mouseClick(Child<QWidget>(dialog, "Button1"), Qt::LeftButton);
    QCOMPARE(answerer.boxes.size(), 2);
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.boxes[0].text,
             QStringLiteral("Nemohu spustit poštovní program. Pošlete, prosím, následující údaje na adresu ")
                 + QString::fromUtf8(author::Email2));
    QCOMPARE(answerer.boxes[0].title, QStringLiteral("Chyba"));
    QCOMPARE(answerer.boxes[1].icon, QMessageBox::NoIcon);
    QCOMPARE(answerer.boxes[1].text, InformationText(facts));
    QCOMPARE(answerer.boxes[1].title, QStringLiteral("Bodlany šachy"));
    QVERIFY(dialog.isVisible());
}

// Pictures for a person to look at: set ABOUT_SCREENSHOT_DIR to get them.
void TestAbout::screenshots()
{
    const QString dir = qEnvironmentVariable("ABOUT_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("ABOUT_SCREENSHOT_DIR not set");
    for (const QString& language : {QStringLiteral("czech"), QStringLiteral("english"), QStringLiteral("deutch")}) {
        ProgramFile program;
        TAutor dialog(LanguageParentDir, language, program.path, nullptr);
        QVERIFY(ShowActive(dialog));
        QVERIFY(dialog.grab().save(dir + QStringLiteral("/about-") + language + QStringLiteral(".png")));
    }
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
