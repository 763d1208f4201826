// The three shipped language files and the reader the program uses for them.

#include "Language.h"
#include "ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString LanguageDir = QStringLiteral(LANGUAGE_DIR);
// The folder above the language files stands for the program's folder.
const QString ProgramDir = QStringLiteral(LANGUAGE_DIR "/../");
const QStringList FileNames = {QStringLiteral("czech"), QStringLiteral("deutch"), QStringLiteral("english")};

struct Entry {
    const char* key;
    const char* czech;  // the built-in text; for the tables the window's tests compare whole, none
};

QList<Entry> Keys(std::initializer_list<const char*> keys)
{
    QList<Entry> entries;
    for (const char* key : keys)
        entries.push_back({key, nullptr});
    return entries;
}

// Every key the program reads, section by section, with its Czech text.
const QList<QPair<const char*, QList<Entry>>>& ExpectedSections()
{
    static const QList<QPair<const char*, QList<Entry>>> sections = {
        {"Form1",
         {
             {"Form1", "Bodlany šachy"},
             {"Soubor1", "Hra"},
             {"Novpartie1", "Nová partie"},
             {"N6", "-"},
             {"Vrtittah1", "&Vrátit tah"},
             {"Znovu1", "&Znovu"},
             {"N10", "-"},
             {"Nazatek1", "&Na začátek"},
             {"Otahzpt1", "O &tah zpět"},
             {"Otahvped1", "O tah vpř&ed"},
             {"Nakonec1", "Na kone&c"},
             {"N12", "-"},
             {"Podatoremzu1", "Požádat o &remízu"},
             {"Komentktahu1", "Ko&mentář k tahu…"},
             {"dajeopartii1", "Ú&daje o partii…"},
             {"N7", "-"},
             {"Otevtpartii1", "&Otevřít partii…"},
             {"Uloitpartii1", "&Uložit partii…"},
             {"Pokraovatvrozehranpartii1", "&Pokračovat v rozehrané partii"},
             {"N8", "-"},
             {"KoprovatpoziciFEN1", "Kopírovat pozici (&FEN)"},
             {"KoprovatpartiiPGN1", "Kopírovat partii (P&GN)"},
             {"Vloitpartiinebopozici1", "Vlož&it partii nebo pozici"},
             {"N18", "-"},
             {"Postavitpozici1", "Po&stavit pozici…"},
             {"N13", "-"},
             {"Zadattah1", "Zadat tah"},
             {"N17", "-"},
             {"Casovakontrola1", "Časová kontro&la…"},
             {"Spustithodiny1", "Spustit hodin&y"},
             {"Pozastavithodiny1", "Pozastavit &hodiny"},
             {"Vzdatpartii1", "Vzdát p&artii"},
             {"Nabidnoutremizu1", "Na&bídnout remízu"},
             {"N2", "-"},
             {"Konec1", "&Konec"},
             {"Nastaven1", "Nastavení"},
             {"esky1", "česky"},
             {"nmecky1", "německy"},
             {"anglicky1", "anglicky"},
             {"achovnice2", "Hrací plocha"},
             {"Klasickkameny1", "Klasické kameny"},
             {"Klubovky1", "Klubovky"},
             {"Umleckkameny1", "Umělecké kameny"},
             {"N4", "-"},
             {"N11", "Šachovnice 1"},
             {"N21", "Šachovnice 2"},
             {"N31", "Šachovnice 3"},
             {"N41", "Šachovnice 4"},
             {"N51", "Šachovnice 5"},
             {"N3", "-"},
             {"Popisky1", "Popisky"},
             {"N5", "-"},
             {"bldole1", "bílý dole"},
             {"erndole1", "černý dole"},
             {"N9", "-"},
             {"Zpispartie1", "&Zápis partie"},
             {"Oznaitposledntah1", "Označit &poslední tah"},
             {"Otetachovnicikhrinatahu1", "&Otáčet šachovnici k hráči na tahu"},
             {"Npovda1", "Nápověda "},
             {"Autor1", "Autor"},
             {"N20", "-"},
             {"Rozborpozice1", "Rozbor pozice"},
             {"Rozborcelpartie1", "Rozbor celé partie"},
             {"N22", "-"},
             {"achovprogram1", "Šachový program…"},
         }},
        {"Texty",
         {
             {"TextNovaPartie", "Opravdu chcete začít hrát novou partii?"},
             {"TextOpravduKonec", "Opravdu ukončit program?"},
             {"TextSach", "        ŠACH!        "},
             {"TextPAT", "    PAT!    "},
             {"TextMATBilyVyhral", "MAT!   Bílý vyhrál!"},
             {"TextMATCernyVyhral", "MAT!   Černý vyhrál!"},
             {"TextNelze", "Tah není možné provést."},
             {"TextRemizaMrtvaPozice", "Remíza: ani jedna strana už nemůže dát mat."},
             {"TextRemizaPateOpakovani", "Remíza: stejná pozice nastala popáté."},
             {"TextRemiza75Tahu", "Remíza: 75 tahů bez braní a bez tahu pěšcem."},
             {"TextRemizaTretiOpakovani", "Stejná pozice nastala potřetí. Chcete remízu?"},
             {"TextRemiza50Tahu", "50 tahů bez braní a bez tahu pěšcem. Chcete remízu?"},
             {"TextKonecRemizou", "Partie skončila remízou."},
             {"TextKonecPartie", "Partie skončila."},
             {"TextRemizaCtvrteOpakovani", "Stejná pozice nastala počtvrté. Chcete remízu?"},
             {"TextZrusitTahy", "Tah smaže ze zápisu pozdější tahy (%1). Pokračovat?"},
             {"PismenoKral", "K"},
             {"PismenoDama", "D"},
             {"PismenoVez", "V"},
             {"PismenoStrelec", "S"},
             {"PismenoJezdec", "J"},
         }},
        {"NovaFigurka",
         {
             {"Button1", "OK"},
             {"myLabel3d1", "Jakou figurku chcete postavit  do hry?"},
             {"RadioGroup1", "Nová figurka"},
             {"RadioGroup1.Items[0]", "dáma"},
             {"RadioGroup1.Items[1]", "věž"},
             {"RadioGroup1.Items[2]", "střelec"},
             {"RadioGroup1.Items[3]", "jezdec"},
         }},
        {"Autor",
         {
             {"Button1", "Pošli informace"},
             {"OKButton", "Zavřít"},
             {"Label3", "E-mailová adresa autora:"},
             {"Label5", "Internetová adresa:"},
             {"Label6", "Telefon:"},
             {"Label2", "Tato verze spatřila světlo světa:"},
             {"Autor", "Autor programu"},
             {"myLabel3d1", "Bodlany šachy verze 1.0 beta"},
             {"myLabel3d2", "freeware"},
             {"Label1", "Autor, %1, napsal tento program pro vlastní potřebu a všem zájemcům ho nabízí zdarma."},
             {"Label4",
              "Klasické a umělecké kameny nakreslili Colin M. L. Burnett a Maurizio Monge (převzato z projektu "
              "pychess); srdečně jim děkuji. Klubovky, šachovnice i obrázek v pozadí jsou kresby programu."},
             {"Label8", "Pokud mi zašlete informaci o tom, že používáte tento program, budu Vám zasílat na Váš e-mail "
                        "krátkou zprávu vždy, když bude hotová další verze programu."},
             {"myLabel3d3.Hint", "Spustí Váš internetový prohlížeč a najde mé stránky"},
             {"myLabel3d4.Hint", "Spustí Váš poštovní program, abyste mi mohli napsat"},
             {"TextChyba", "Chyba"},
             {"TextNemohuProhlizec", "Nemohu spustit webový prohlížeč."},
             {"TextNemohuPostu", "Nemohu spustit poštovní program."},
             {"TextPosliteUdaje", "Nemohu spustit poštovní program. Pošlete, prosím, následující údaje na adresu %1"},
         }},
        {"Zapis",
         {
             {"OtevritPartii", "Otevřít partii"},
             {"UlozitPartii", "Uložit partii"},
             {"VyberPartie", "Vyberte partii"},
             {"Cislo", "Č."},
             {"Bily", "Bílý"},
             {"Cerny", "Černý"},
             {"Vysledek", "Výsledek"},
             {"Tahy", "Tahy"},
             {"Storno", "Storno"},
             {"NelzeCist", "Soubor %1 nelze přečíst."},
             {"ZadnaPartie", "V souboru %1 není žádná partie."},
             {"ChybnaPartie", "Partii nelze otevřít; na šachovnici zůstává dosavadní hra."},
             {"NelzeUlozit", "Partii nelze uložit do souboru %1."},
             {"PrazdnaSchranka", "Ve schránce není partie ani pozice."},
             {"ChybnaPozice", "Pozici nelze vložit; na šachovnici zůstává dosavadní hra."},
             {"NelzeUkladat", "Rozehranou partii nelze průběžně ukládat do souboru %1."},
             {"RozehranePartie", "Rozehrané partie"},
             {"Ulozeno", "Uloženo"},
             {"PosledniTah", "Poslední tah"},
             {"NaTahuBily", "Na tahu je bílý."},
             {"NaTahuCerny", "Na tahu je černý."},
             {"KonecMat", "mat"},
             {"KonecPat", "pat"},
             {"KonecMrtvaPozice", "nikdo nemůže dát mat"},
             {"KonecPateOpakovani", "pětkrát stejná pozice"},
             {"Konec75Tahu", "75 tahů bez braní a tahu pěšcem"},
             {"KonecTretiOpakovani", "remíza na žádost: opakování pozice"},
             {"Konec50Tahu", "remíza na žádost: 50 tahů bez braní a tahu pěšcem"},
             {"KonecPodleZapisu", "podle zápisu"},
             {"KonecCas", "čas vypršel"},
             {"KonecVzdalBily", "bílý se vzdal"},
             {"KonecVzdalCerny", "černý se vzdal"},
             {"KonecDohodou", "remíza dohodou"},
             {"ChybaTahu", "hra %1, tah %2 \"%3\": %4"},
             {"ChybaFen", "hra %1, FEN \"%2\": %3"},
             {"TahNecitelny", "to není zápis tahu"},
             {"TahNejednoznacny", "tak může táhnout víc kamenů"},
             {"TahNepripustny", "pravidla ho nepřipouštějí"},
             {"ChybnaFen", "taková pozice není možná"},
             {"KomentarKTahu", "Komentář k tahu %1"},
             {"UdajeOPartii", "Údaje o partii"},
             {"Turnaj", "Turnaj"},
             {"Misto", "Místo"},
             {"Datum", "Datum"},
             {"Kolo", "Kolo"},
             {"DatumVzor", "RRRR.MM.DD"},
         }},
        {"Pozice", Keys({"Guma",
                         "PrazdnaSachovnice",
                         "ZakladniPostaveni",
                         "ProhoditBarvy",
                         "VlozitFen",
                         "NaTahu",
                         "Bily",
                         "Cerny",
                         "Rosada",
                         "Mimochodem",
                         "CisloTahu",
                         "Hrat",
                         "Zrusit",
                         "PismenoPesec",
                         "ChybnaFen",
                         "ProblemKral",
                         "ProblemPesecNaKraji",
                         "ProblemKamenu",
                         "ProblemPescu",
                         "ProblemPromenenych",
                         "ProblemRosada",
                         "ProblemMimochodem",
                         "ProblemSach",
                         "ProblemKralove"})},
        {"Rozbor",
         Keys({"Hloubka",    "MatBily",       "MatCerny",     "BilyDostalMat", "CernyDostalMat", "KonecPartie",
               "Spoustim",   "NeniProgram",   "NelzeSpustit", "Neodpovida",    "Spadl",          "Zasekl",
               "HodinyBezi", "PrubehRozboru", "Zrusit",       "UlozitRozbor",  "Nepresnost",     "Chyba",
               "HrubaChyba", "LepsiBylo",     "VyberProgram"})},
        {"Pristupnost",
         Keys({"Pole",       "Odpoved",     "Panel",         "Sachovnice",     "ZapisPartie", "Kral",
               "Dama",       "Vez",         "Strelec",       "Jezdec",         "Pesec",       "BilyKral",
               "BilaDama",   "BilaVez",     "BilyStrelec",   "BilyJezdec",     "BilyPesec",   "CernyKral",
               "CernaDama",  "CernaVez",    "CernyStrelec",  "CernyJezdec",    "CernyPesec",  "Prazdne",
               "NazevPole",  "Tah",         "Bere",          "BereMimochodem", "MalaRosada",  "VelkaRosada",
               "Promena",    "NaDamu",      "NaVez",         "NaStrelce",      "NaJezdce",    "Sach",
               "MatBily",    "MatCerny",    "Pat",           "Konec",          "NovaPartie",  "Vraceno",
               "Znovu",      "PoTahu",      "Vychozi",       "Otevreno",       "ZadnyTah",    "PosledniTah",
               "NaTahuBily", "NaTahuCerny", "Kameny",        "Zadny",          "Sloupec",     "Rada",
               "Bily",       "Cerny",       "Nejednoznacny", "Nebo",           "Nepripustny", "Necitelny"})},
        {"Hodiny", Keys({"CasovaKontrola", "BezHodin",        "Vlastni",        "Predvolba",      "Bily",
                         "Cerny",          "CernyJinak",      "Rezim",          "RezimNaDohrani", "RezimPridavek",
                         "RezimBronstein", "RezimProdleva",   "RezimPresypaci", "Minuty",         "Sekundy",
                         "Pridavek",       "TahuDoKontroly",  "DruhaPerioda",   "Storno",         "CasBilyVyhral",
                         "CasCernyVyhral", "CasRemiza",       "VzdatBily",      "VzdatCerny",     "BilyVzdal",
                         "CernyVzdal",     "NabidkaBily",     "NabidkaCerny",   "RemizaDohodou",  "Pozastaveno",
                         "Perioda",        "PeriodaPosledni", "HodinyBily",     "HodinyCerny"})},
    };
    return sections;
}

const QStringList Separators = {
    QStringLiteral("N2"),  QStringLiteral("N3"),  QStringLiteral("N4"),  QStringLiteral("N5"),  QStringLiteral("N6"),
    QStringLiteral("N7"),  QStringLiteral("N8"),  QStringLiteral("N9"),  QStringLiteral("N10"), QStringLiteral("N12"),
    QStringLiteral("N13"), QStringLiteral("N17"), QStringLiteral("N18"), QStringLiteral("N20"), QStringLiteral("N22")};

// The items that share one menu, and so must not share an access key.
const QList<QStringList> Menus = {
    {"Soubor1", "Nastaven1", "achovnice2", "Npovda1"},
    {"Novpartie1",
     "Vrtittah1",
     "Znovu1",
     "Nazatek1",
     "Otahzpt1",
     "Otahvped1",
     "Nakonec1",
     "Podatoremzu1",
     "Komentktahu1",
     "dajeopartii1",
     "Otevtpartii1",
     "Uloitpartii1",
     "Pokraovatvrozehranpartii1",
     "KoprovatpoziciFEN1",
     "KoprovatpartiiPGN1",
     "Vloitpartiinebopozici1",
     "Postavitpozici1",
     "Rozborpozice1",
     "Rozborcelpartie1",
     "Zadattah1",
     "Casovakontrola1",
     "Spustithodiny1",
     "Pozastavithodiny1",
     "Vzdatpartii1",
     "Nabidnoutremizu1",
     "Konec1"},
    {"esky1", "nmecky1", "anglicky1", "achovprogram1"},
    {"Klasickkameny1", "Klubovky1", "Umleckkameny1", "N11", "N21", "N31", "N41", "N51", "Popisky1", "bldole1",
     "erndole1", "Zpispartie1", "Oznaitposledntah1", "Otetachovnicikhrinatahu1"},
    {"Autor1"},
};

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString ShippedPath(const QString& name)
{
    return LanguageDir + QLatin1Char('/') + name;
}

// The file as a translator wrote it, line by line, without the profile
// reader's forgiveness: what it would silently skip or trim shows up here.
struct RawFile {
    struct Line {
        int number;
        QString section, key, value;  // value exactly as written after '='
    };
    QList<Line> entries;
    QStringList sections;  // in file order
    QStringList problems;
};

RawFile ScanRaw(const QByteArray& bytes)
{
    RawFile raw;
    QString section;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            if (!trimmed.endsWith(QLatin1Char(']')) || line != trimmed)
                raw.problems << where + QStringLiteral("malformed section header ") + line;
            section = trimmed.mid(1, trimmed.size() - 2);
            if (raw.sections.contains(section, Qt::CaseInsensitive))
                raw.problems << where + QStringLiteral("section repeated: ") + section;
            raw.sections << section;
            continue;
        }
        const auto eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || section.isEmpty()) {
            raw.problems << where + QStringLiteral("neither a section nor an entry: ") + line;
            continue;
        }
        raw.entries.append({i + 1, section, line.left(eq), line.mid(eq + 1)});
    }
    return raw;
}

MessageTexts DefaultTexts()
{
    return MessageTexts();
}

QStringList MessageTextsAsList(const MessageTexts& t)
{
    return {t.TextNovaPartie,
            t.TextOpravduKonec,
            t.TextSach,
            t.TextPAT,
            t.TextMATBilyVyhral,
            t.TextMATCernyVyhral,
            t.TextNelze,
            t.TextRemizaMrtvaPozice,
            t.TextRemizaPateOpakovani,
            t.TextRemiza75Tahu,
            t.TextRemizaTretiOpakovani,
            t.TextRemiza50Tahu,
            t.TextKonecRemizou,
            t.TextKonecPartie,
            t.TextRemizaCtvrteOpakovani,
            t.TextZrusitTahy,
            t.PismenoKral,
            t.PismenoDama,
            t.PismenoVez,
            t.PismenoStrelec,
            t.PismenoJezdec};
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

int LeadingBlanks(const QString& s)
{
    int n = 0;
    while (n < s.size() && s[n] == QLatin1Char(' '))
        ++n;
    return n;
}

int TrailingBlanks(const QString& s)
{
    int n = 0;
    while (n < s.size() && s[s.size() - 1 - n] == QLatin1Char(' '))
        ++n;
    return n;
}

}  // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private slots:
    void shippedFile_data();
    void shippedFile();
    void filesDefineTheSameKeys();
    void czechFileRepeatsTheBuiltInTexts();
    void paddingSurvivesInEveryLanguage_data();
    void paddingSurvivesInEveryLanguage();
    void accessKeysDifferWithinAMenu_data();
    void accessKeysDifferWithinAMenu();

    void rawText_data();
    void rawText();
    void codePage1250ReadsLikeUtf8();
    void overlongValueIsCut();
    void missingFileGivesTheDefaults();
    void installedProgramFindsItsSharedFolder();
};

void TestLanguage::shippedFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pieceLetters");  // king, queen, rook, bishop, knight
    QTest::newRow("czech") << "czech"
                           << "KDVSJ";
    QTest::newRow("deutch") << "deutch"
                            << "KDTLS";
    QTest::newRow("english") << "english"
                             << "KQRBN";
}

// One file on its own: readable, clean, and holding exactly the keys the
// program reads, each spelt as the program spells it.
void TestLanguage::shippedFile()
{
    QFETCH(QString, name);
    const QByteArray bytes = ReadBytes(ShippedPath(name));
    QVERIFY2(!bytes.isEmpty(), qPrintable(ShippedPath(name) + QStringLiteral(" is missing or empty")));

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(bytes);
    QVERIFY2(!utf8.hasError(), "not valid UTF-8");
    QVERIFY2(!bytes.startsWith("\xEF\xBB\xBF"), "starts with a byte order mark, which the reader would take as text");
    QVERIFY2(decoded.trimmed().startsWith(QLatin1Char(';')), "the first line should say what the file is");

    const RawFile raw = ScanRaw(bytes);
    QVERIFY2(raw.problems.isEmpty(), qPrintable(raw.problems.join(QLatin1Char('\n'))));

    QStringList expectedSections;
    for (const auto& [section, entries] : ExpectedSections())
        expectedSections << QString::fromLatin1(section);
    QCOMPARE(raw.sections, expectedSections);

    for (const auto& [section, entries] : ExpectedSections()) {
        QStringList expected, found;
        for (const Entry& e : entries)
            expected << QString::fromLatin1(e.key);
        for (const RawFile::Line& line : raw.entries)
            if (line.section == QLatin1String(section))
                found << line.key;
        // Same order as well, so the three files can be read side by side.
        QCOMPARE(found, expected);
    }

    const chess::ProfileFile file = chess::ProfileFile::Load(QFile::encodeName(ShippedPath(name)).toStdString());
    for (const RawFile::Line& line : raw.entries) {
        const QString where = QStringLiteral("[%1] %2 (line %3)").arg(line.section, line.key).arg(line.number);
        // The reader drops unquoted blanks without a word; a translator who
        // wants them must see them in quotes.
        QVERIFY2(line.value == line.value.trimmed(), qPrintable(where + QStringLiteral(": blanks outside quotes")));
        const bool quoted = line.value.startsWith(QLatin1Char('"'));
        QVERIFY2(!quoted || (line.value.size() >= 2 && line.value.endsWith(QLatin1Char('"'))),
                 qPrintable(where + QStringLiteral(": unbalanced quote")));
        const auto value = file.Read(line.section.toStdString(), line.key.toStdString());
        QVERIFY2(value.has_value(), qPrintable(where + QStringLiteral(": not found by the profile reader")));
        const QString text = QString::fromStdString(*value);
        QVERIFY2(!text.isEmpty(), qPrintable(where + QStringLiteral(": empty text")));
        QVERIFY2(quoted == (text != text.trimmed()),
                 qPrintable(where + QStringLiteral(": only values with surrounding blanks are quoted")));
        QVERIFY2(text.size() < 200, qPrintable(where + QStringLiteral(": far too long for any place it is shown")));
        if (line.section == QLatin1String("Form1") && !Separators.contains(line.key))
            QVERIFY2(text != QLatin1String("-") && text != QLatin1String("..."),
                     qPrintable(where + QStringLiteral(": a menu item that would not show its caption")));
    }
    for (const QString& separator : Separators)
        QCOMPARE(QString::fromStdString(file.ReadString("Form1", separator.toStdString(), "")), QStringLiteral("-"));
    // The program's name is not translated.
    QCOMPARE(QString::fromStdString(file.ReadString("Form1", "Form1", "")), DefaultTitle);

    QFETCH(QString, pieceLetters);
    const auto letters = MessageTexts::Load(LanguageFile(ShippedPath(name))).PieceLetters().letters;
    QCOMPARE(QString::fromStdString(letters[0] + letters[1] + letters[2] + letters[3] + letters[4]), pieceLetters);
}

void TestLanguage::filesDefineTheSameKeys()
{
    QMap<QString, QSet<QString>> reference;
    for (const QString& name : FileNames) {
        QMap<QString, QSet<QString>> keys;
        for (const RawFile::Line& line : ScanRaw(ReadBytes(ShippedPath(name))).entries) {
            QVERIFY2(!keys[line.section].contains(line.key),
                     qPrintable(QStringLiteral("%1: [%2] %3 twice").arg(name, line.section, line.key)));
            keys[line.section].insert(line.key);
        }
        if (name == FileNames.first())
            reference = keys;
        else
            QVERIFY2(keys == reference, qPrintable(name + QStringLiteral(" differs from ") + FileNames.first()));
    }
}

void TestLanguage::czechFileRepeatsTheBuiltInTexts()
{
    const LanguageFile czech(LanguageFilePath(ProgramDir, LanguageFileName(LanguageId::Czech)));
    for (const auto& [section, entries] : ExpectedSections()) {
        for (const Entry& e : entries) {
            const QString marker = QStringLiteral("<missing>");
            if (e.czech)
                QCOMPARE(czech.Text(section, QString::fromLatin1(e.key), marker), QString::fromUtf8(e.czech));
        }
    }
    // The texts the game itself keeps, as the game reads them.
    QCOMPARE(MessageTextsAsList(MessageTexts::Load(czech)), MessageTextsAsList(DefaultTexts()));
    QCOMPARE(czech.Text("Form1", QStringLiteral("Form1"), QString()), DefaultTitle);
}

void TestLanguage::paddingSurvivesInEveryLanguage_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : FileNames)
        QTest::newRow(qPrintable(name)) << name;
}

// The announcement box centres its text with these blanks.
void TestLanguage::paddingSurvivesInEveryLanguage()
{
    QFETCH(QString, name);
    const MessageTexts builtIn;
    const MessageTexts texts = MessageTexts::Load(LanguageFile(ShippedPath(name)));
    for (const auto& [text, reference] :
         {qMakePair(texts.TextSach, builtIn.TextSach), qMakePair(texts.TextPAT, builtIn.TextPAT)}) {
        QCOMPARE(LeadingBlanks(text), LeadingBlanks(reference));
        QCOMPARE(TrailingBlanks(text), TrailingBlanks(reference));
        QVERIFY(!text.trimmed().isEmpty());
    }
    // A file that was not read at all would pass the checks above.
    if (name != QLatin1String("czech"))
        QVERIFY(texts.TextSach != builtIn.TextSach);
}

void TestLanguage::accessKeysDifferWithinAMenu_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : FileNames)
        QTest::newRow(qPrintable(name)) << name;
}

void TestLanguage::accessKeysDifferWithinAMenu()
{
    QFETCH(QString, name);
    const LanguageFile file(ShippedPath(name));
    for (const QStringList& menu : Menus) {
        QMap<QChar, QString> taken;
        for (const QString& item : menu) {
            const QString caption = file.Text("Form1", item, QString());
            int at = caption.indexOf(QLatin1Char('&'));
            while (at >= 0 && caption.mid(at + 1, 1) == QLatin1String("&"))
                at = caption.indexOf(QLatin1Char('&'), at + 2);
            if (at < 0)
                continue;
            QVERIFY2(at + 1 < caption.size(), qPrintable(item + QStringLiteral(": '&' with no letter after it")));
            const QChar key = caption[at + 1].toLower();
            QVERIFY2(!taken.contains(key),
                     qPrintable(QStringLiteral("%1 and %2 share the access key %3").arg(taken[key], item, key)));
            taken[key] = item;
        }
    }
}

void TestLanguage::rawText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    const QString builtIn = MessageTexts().TextSach;
    QTest::newRow("quoted keeps blanks") << QByteArray("[Texty]\r\nTextSach=\"   Check!   \"\r\n")
                                         << QStringLiteral("   Check!   ");
    QTest::newRow("unquoted loses blanks")
        << QByteArray("[Texty]\r\nTextSach=   Check!   \r\n") << QStringLiteral("Check!");
    QTest::newRow("blanks around the equals sign")
        << QByteArray("[Texty]\nTextSach  =  Check!\n") << QStringLiteral("Check!");
    QTest::newRow("single quotes count too")
        << QByteArray("[Texty]\nTextSach='  Check!  '\n") << QStringLiteral("  Check!  ");
    QTest::newRow("one quote is kept") << QByteArray("[Texty]\nTextSach=\"Check!\n") << QStringLiteral("\"Check!");
    QTest::newRow("names in any case") << QByteArray("[TEXTY]\ntextsach=Check!\n") << QStringLiteral("Check!");
    QTest::newRow("LF only, no final break") << QByteArray("[Texty]\nTextSach=Check!") << QStringLiteral("Check!");
    QTest::newRow("empty value is a text") << QByteArray("[Texty]\nTextSach=\n") << QString();
    QTest::newRow("first of two wins") << QByteArray("[Texty]\nTextSach=one\nTextSach=two\n") << QStringLiteral("one");
    QTest::newRow("key missing") << QByteArray("[Texty]\nTextPAT=Patt!\n") << builtIn;
    QTest::newRow("key in another section") << QByteArray("[Form1]\nTextSach=Check!\n[Texty]\n") << builtIn;
    QTest::newRow("commented out") << QByteArray("[Texty]\n;TextSach=Check!\n") << builtIn;
    QTest::newRow("no sections at all") << QByteArray("TextSach=Check!\n") << builtIn;
    QTest::newRow("binary junk") << QByteArray("\x00\xFF\xFE[\x01\n=\n[", 8) << builtIn;
    QTest::newRow("empty file") << QByteArray() << builtIn;
}

// Text as a translator might type it, read the way the game reads its texts.
void TestLanguage::rawText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("english"));
    WriteFile(path, bytes);
    QCOMPARE(MessageTexts::Load(LanguageFile(path)).TextSach, expected);
}

void TestLanguage::codePage1250ReadsLikeUtf8()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Files of the Windows era were saved in code page 1250.
    WriteFile(dir.filePath(QStringLiteral("cp1250")), "; star\xFD soubor\r\n[Form1]\r\nForm1=Bodlany \x9A"
                                                      "achy\r\nKonec1=&Konec\r\n"
                                                      "[Texty]\r\nTextMATCernyVyhral=MAT!   \xC8"
                                                      "ern\xFD vyhr\xE1l!\r\n"
                                                      "[NovaFigurka]\r\nRadioGroup1.Items[1]=v\xEC\x9E\r\n");
    WriteFile(dir.filePath(QStringLiteral("utf8")),
              QStringLiteral("; starý soubor\n[Form1]\nForm1=Bodlany šachy\nKonec1=&Konec\n"
                             "[Texty]\nTextMATCernyVyhral=MAT!   Černý vyhrál!\n"
                             "[NovaFigurka]\nRadioGroup1.Items[1]=věž\n")
                  .toUtf8());
    const LanguageFile old(dir.filePath(QStringLiteral("cp1250")));
    const LanguageFile current(dir.filePath(QStringLiteral("utf8")));
    const QString missing = QStringLiteral("<missing>");
    const QList<QPair<const char*, QString>> keys = {
        {"Form1", QStringLiteral("Form1")},
        {"Form1", QStringLiteral("Konec1")},
        {"Texty", QStringLiteral("TextMATCernyVyhral")},
        {"NovaFigurka", QStringLiteral("RadioGroup1.Items[1]")},
    };
    for (const auto& [section, key] : keys)
        QCOMPARE(old.Text(section, key, missing), current.Text(section, key, missing));
    QCOMPARE(old.Text("Texty", QStringLiteral("TextMATCernyVyhral"), missing), QStringLiteral("MAT!   Černý vyhrál!"));
    QCOMPARE(old.Text("Form1", QStringLiteral("Form1"), missing), DefaultTitle);
    QCOMPARE(old.Text("NovaFigurka", QStringLiteral("RadioGroup1.Items[1]"), missing), QStringLiteral("věž"));
}

void TestLanguage::overlongValueIsCut()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("deutch"));
    const QByteArray longAscii(5000, 'x');
    const QString longCzech = QString(3000, QChar(0x10D));  // 'č', two bytes in UTF-8
    WriteFile(path, "[Texty]\nTextSach=" + longAscii + "\nTextPAT=" + longCzech.toUtf8() + "\nTextNelze=after\n");
    const MessageTexts texts = MessageTexts::Load(LanguageFile(path));

    QCOMPARE(texts.TextSach.size(), qsizetype(chess::ProfileFile::MaxValueLength));
    QVERIFY(QString::fromLatin1(longAscii).startsWith(texts.TextSach));
    // Cut on a whole character, never in the middle of one.
    QVERIFY(!texts.TextPAT.isEmpty());
    QVERIFY(longCzech.startsWith(texts.TextPAT));
    QCOMPARE(texts.TextPAT.size(), qsizetype(chess::ProfileFile::MaxValueLength));
    // The long lines do not swallow what follows them.
    QCOMPARE(texts.TextNelze, QStringLiteral("after"));
}

void TestLanguage::missingFileGivesTheDefaults()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString programDir = dir.path() + QLatin1Char('/');
    QVERIFY(QDir(programDir).mkdir(QStringLiteral("Language")));
    // A file that is not there, and the name that is still empty before the
    // first load, which names the folder itself.
    for (const QString& name : {QStringLiteral("english"), QString()}) {
        const LanguageFile file(LanguageFilePath(programDir, name));
        QCOMPARE(MessageTextsAsList(MessageTexts::Load(file)), MessageTextsAsList(DefaultTexts()));
        QCOMPARE(file.Text("Form1", QStringLiteral("Form1"), DefaultTitle), DefaultTitle);
        QCOMPARE(file.Text("Form1", QStringLiteral("Konec1"), QStringLiteral("...")), QStringLiteral("..."));
    }
}

// Installed, the program stands in games/ and its language files in
// share/games/bodlany-sachy/Language/; a Language folder beside the program
// (the build tree, a copied folder) comes first.
void TestLanguage::installedProgramFindsItsSharedFolder()
{
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    const QString programDir = prefix.path() + QStringLiteral("/games/");
    const QString shared = prefix.path() + QStringLiteral("/share/games/bodlany-sachy/Language/");
    QVERIFY(QDir().mkpath(programDir));
    QCOMPARE(LanguageFilePath(programDir, QStringLiteral("deutch")), programDir + QStringLiteral("Language/deutch"));

    QVERIFY(QDir().mkpath(shared));
    QVERIFY(QFile::copy(LanguageDir + QStringLiteral("/deutch"), shared + QStringLiteral("deutch")));
    const LanguageFile german(LanguageFilePath(programDir, QStringLiteral("deutch")));
    QCOMPARE(german.Text("Form1", QStringLiteral("Konec1"), QString()), QStringLiteral("&Beenden"));
    QCOMPARE(LanguageFilePath(programDir, QString()), shared);

    QVERIFY(QDir().mkpath(programDir + QStringLiteral("Language")));
    QCOMPARE(LanguageFilePath(programDir, QStringLiteral("deutch")), programDir + QStringLiteral("Language/deutch"));
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
