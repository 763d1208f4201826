#include "NovaFigurka.h"

#include "Mylabel.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char *const Section = "NovaFigurka";

// In the order the choices are offered, which PromotePawn's index follows.
struct Choice {
    const char *key;
    const char *czech;
};
constexpr Choice Choices[] = {
    {"RadioGroup1.Items[0]", "dáma"},
    {"RadioGroup1.Items[1]", "věž"},
    {"RadioGroup1.Items[2]", "střelec"},
    {"RadioGroup1.Items[3]", "jezdec"},
};

QString Read(const LanguageFile &language, const char *key, const char *czech)
{
    return language.Text(Section, QString::fromLatin1(key), QString::fromUtf8(czech));
}

}  // namespace

TNasadit::TNasadit(chess::GameState &state, chess::SquareListener &board, const LanguageFile &language,
                   QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_state(state),
      m_board(board)
{
    setObjectName(QStringLiteral("Nasadit"));
    setWindowTitle(language.Text("Form1", QStringLiteral("Form1"), DefaultTitle));
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    setFixedSize(242, 121);

    m_question = new TmyLabel3d(Read(language, "myLabel3d1", "Jakou figurku chcete postavit  do hry?"), this);
    m_question->setObjectName(QStringLiteral("myLabel3d1"));
    m_question->setAStyle3D(TmyLabel3d::Raised3d);
    m_question->setTransparent(true);
    QFont questionFont(QStringLiteral("MS Sans Serif"));
    questionFont.setPixelSize(21);
    m_question->setFont(questionFont);
    m_question->setGeometry(8, 8, 145, 81);
    // The label reaches a few pixels into the group of choices; a long line
    // of the question is drawn over the group's frame rather than under it,
    // and clicks there still reach the choices.
    m_question->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_ok = new QPushButton(Read(language, "Button1", "OK"), this);
    m_ok->setObjectName(QStringLiteral("Button1"));
    m_ok->setGeometry(8, 88, 129, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &TNasadit::accept);

    m_group = new QGroupBox(Read(language, "RadioGroup1", "Nová figurka"), this);
    m_group->setObjectName(QStringLiteral("RadioGroup1"));
    m_group->setGeometry(144, 8, 89, 105);
    auto *column = new QVBoxLayout(m_group);
    column->setContentsMargins(8, 2, 4, 4);
    column->setSpacing(0);
    m_choices = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto *item = new QRadioButton(Read(language, Choices[i].key, Choices[i].czech), m_group);
        item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        m_choices->addButton(item, i);
        column->addWidget(item);
    }
    m_choices->button(chess::PromoteQueen)->setChecked(true);
    m_question->raise();

    // The choice first, then OK: arrow keys pick a piece and Enter confirms.
    setTabOrder(m_choices->button(chess::PromoteQueen), m_ok);
    m_choices->button(chess::PromoteQueen)->setFocus();
}

int TNasadit::ChosenIndex() const
{
    return m_choices->checkedId();
}

void TNasadit::accept()
{
    if (!m_promoted) {
        m_promoted = true;
        const int rank = chess::PromotePawn(m_state, ChosenIndex());
        m_board.DrawSquare(m_state.ToFile, rank);
    }
    QDialog::accept();
}

void TNasadit::reject()
{
}

void TNasadit::closeEvent(QCloseEvent *event)
{
    // The close box, Alt+F4 and the window manager all end here; only the
    // OK button may end the dialog.
    if (m_promoted)
        QDialog::closeEvent(event);
    else
        event->ignore();
}
