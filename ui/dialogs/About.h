#pragma once
// The modal "Autor programu" dialog: the program's title over a picture, a
// few lines about the author and the artwork, the date of the program file,
// and links to the author's web page and mailbox. "Pošli informace" mails
// the author a one-line description of this computer.

#include "Language.h"
#include "SystemInfo.h"

#include <QDialog>
#include <QHash>
#include <QImage>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;
class TmyLabel3d;

// "mailto:" + email + "?subject=" + "Informace o programu " + title +
// "&body=" + text, subject and body percent-encoded, so that a program
// folder holding "&", "#" or "?" cannot cut the link short.
QUrl InformationMailLink(const QString& email, const QString& title, const QString& text);

// The dialog's texts beyond the captions every language file has always
// carried, with their built-in Czech wording (section "Autor"). "%1" stands
// for the author's name in Label1 and for the second e-mail address in
// TextPosliteUdaje.
struct AboutTexts {
    QString Autor = QStringLiteral("Autor programu");
    QString myLabel3d1 = QStringLiteral("Bodlany šachy verze 1.0 beta");
    QString myLabel3d2 = QStringLiteral("freeware");
    QString Label1 = QStringLiteral(
        "Autor, %1, napsal tento program pro vlastní potřebu a všem zájemcům ho nabízí zdarma.");
    QString Label4 = QStringLiteral("Klasické a umělecké kameny nakreslili Colin M. L. Burnett a Maurizio Monge "
                                    "(převzato z projektu pychess); srdečně jim děkuji. Klubovky, šachovnice i "
                                    "obrázek v pozadí jsou kresby programu.");
    QString Label8 = QStringLiteral("Pokud mi zašlete informaci o tom, že používáte tento program, budu Vám "
                                    "zasílat na Váš e-mail krátkou zprávu vždy, když bude hotová další verze "
                                    "programu.");
    QString myLabel3d3Hint = QStringLiteral("Spustí Váš internetový prohlížeč a najde mé stránky");
    QString myLabel3d4Hint = QStringLiteral("Spustí Váš poštovní program, abyste mi mohli napsat");
    QString TextChyba = QStringLiteral("Chyba");
    QString TextNemohuProhlizec = QStringLiteral("Nemohu spustit webový prohlížeč.");
    QString TextNemohuPostu = QStringLiteral("Nemohu spustit poštovní program.");
    QString TextPosliteUdaje = QStringLiteral(
        "Nemohu spustit poštovní program. Pošlete, prosím, následující údaje na adresu %1");

    static AboutTexts Load(const LanguageFile& file);
};

class TAutor : public QDialog {
    Q_OBJECT

public:
    // Opens a link with the desktop's browser or mail program; false when
    // nothing could be started.
    using UrlOpener = std::function<bool(const QUrl&)>;
    using FactsSource = std::function<SystemFacts()>;

    // The texts come from the language file already loaded, section
    // "Autor"; the date shown is that of the file at executablePath.
    TAutor(const QString& programDir, const LanguageFile& language, const QString& executablePath, QWidget* owner);
    // The same, reading programDir + "Language/" + languageName itself.
    TAutor(const QString& programDir, const QString& languageName, const QString& executablePath, QWidget* owner);

    // Replaces QDesktopServices::openUrl.
    void setUrlOpener(UrlOpener opener);
    // Replaces GatherSystemFacts(), which blocks for half a second.
    void setFactsSource(FactsSource source);

public slots:
    void myLabel3d3Click();
    void myLabel3d4Click();
    void Button1Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate(const LanguageFile& file);
    // Fits every caption to its place once the texts are known.
    void LayOut();
    void CentreOver(const QWidget* owner);
    void FormActivate();
    void ShowError(const QString& text);

    QString programDir_;
    QString executablePath_;
    UrlOpener openUrl_;
    FactsSource facts_;
    bool dateShown_ = false;
    AboutTexts texts_;

    QImage Image1;
    TmyLabel3d* myLabel3d1;
    TmyLabel3d* myLabel3d2;
    QLabel* Label1;
    QLabel* Label4;
    QLabel* Label8;
    QLabel* Label2;
    QLabel* Label5;
    QLabel* Label3;
    QLabel* Label6;
    TmyLabel3d* myLabel3d3;
    TmyLabel3d* myLabel3d4;
    TmyLabel3d* myLabel3d5;
    QPushButton* Button1;
    QPushButton* OKButton;
};
