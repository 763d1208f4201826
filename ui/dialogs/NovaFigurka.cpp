#include "NovaFigurka.h"

#include "Mylabel.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char* const Section = "NovaFigurka";

// In the order the choices are offered, which PromotePawn's index follows.
struct Choice {
    const char* key;
    const char* czech;
};
constexpr Choice Choices[] = {
    {"RadioGroup1.Items[0]", "dáma"},
    {"RadioGroup1.Items[1]", "věž"},
    {"RadioGroup1.Items[2]", "střelec"},
    {"RadioGroup1.Items[3]", "jezdec"},
};

QString Read(const LanguageFile& language, const char* key, const char* czech)
{
    return language.Text(Section, QString::fromLatin1(key), QString::fromUtf8(czech));
}

}  // namespace

TNasadit::TNasadit(chess::GameState& state, chess::SquareListener& board, const LanguageFile& language, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), state_(state), board_(board)
{
    setObjectName(QStringLiteral("Nasadit"));
    setWindowTitle(language.Text("Form1", QStringLiteral("Form1"), DefaultTitle));
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    setFixedSize(242, 121);

    question_ = new TmyLabel3d(Read(language, "myLabel3d1", "Jakou figurku chcete postavit  do hry?"), this);
    question_->setObjectName(QStringLiteral("myLabel3d1"));
    question_->setAStyle3D(TmyLabel3d::Raised3d);
    question_->setTransparent(true);
    QFont questionFont(QStringLiteral("MS Sans Serif"));
    questionFont.setPixelSize(21);
    question_->setFont(questionFont);
    question_->setGeometry(8, 8, 145, 81);
    // The label reaches a few pixels into the group of choices; a long line
    // of the question is drawn over the group's frame rather than under it,
    // and clicks there still reach the choices.
    question_->setAttribute(Qt::WA_TransparentForMouseEvents);

    ok_ = new QPushButton(Read(language, "Button1", "OK"), this);
    ok_->setObjectName(QStringLiteral("Button1"));
    ok_->setGeometry(8, 88, 129, 25);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &TNasadit::accept);

    group_ = new QGroupBox(Read(language, "RadioGroup1", "Nová figurka"), this);
    group_->setObjectName(QStringLiteral("RadioGroup1"));
    group_->setGeometry(144, 8, 89, 105);
    auto* column = new QVBoxLayout(group_);
    column->setContentsMargins(8, 2, 4, 4);
    column->setSpacing(0);
    choices_ = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto* item = new QRadioButton(Read(language, Choices[i].key, Choices[i].czech), group_);
        item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        choices_->addButton(item, i);
        column->addWidget(item);
    }
    choices_->button(chess::PromoteQueen)->setChecked(true);
    question_->raise();

    // The choice first, then OK: arrow keys pick a piece and Enter confirms.
    setTabOrder(choices_->button(chess::PromoteQueen), ok_);
    choices_->button(chess::PromoteQueen)->setFocus();
}

int TNasadit::ChosenIndex() const
{
    return choices_->checkedId();
}

void TNasadit::accept()
{
    if (!promoted_) {
        promoted_ = true;
        const int rank = chess::PromotePawn(state_, ChosenIndex());
        board_.DrawSquare(state_.ToFile, rank);
    }
    QDialog::accept();
}

void TNasadit::reject() {}

void TNasadit::closeEvent(QCloseEvent* event)
{
    // The close box, Alt+F4 and the window manager all end here; only the
    // OK button may end the dialog.
    if (promoted_)
        QDialog::closeEvent(event);
    else
        event->ignore();
}
