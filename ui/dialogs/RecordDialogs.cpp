#include "RecordDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

QDialogButtonBox* Buttons(QDialog* dialog, const QString& ok, const QString& cancel)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(ok);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// PGN keeps no longer tag value than this; neither do other programs.
constexpr int MaxTagValue = 255;

}  // namespace

TCommentDialog::TCommentDialog(const QString& title, const QString& comment, const QString& ok, const QString& cancel,
                               QWidget* parent)
    : QDialog(parent), editor_(new QPlainTextEdit(comment, this))
{
    setObjectName(QStringLiteral("CommentDialog"));
    setWindowTitle(title);
    editor_->setObjectName(QStringLiteral("Comment"));
    // Tab moves on to the buttons: a comment holds no tabs anyway.
    editor_->setTabChangesFocus(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(editor_);
    layout->addWidget(Buttons(this, ok, cancel));
    resize(420, 200);
    editor_->setFocus();
    editor_->moveCursor(QTextCursor::End);
}

QString TCommentDialog::Comment() const
{
    return editor_->toPlainText();
}

TGameTagsDialog::TGameTagsDialog(const std::vector<chess::PgnTag>& tags, const GameTagsTexts& texts, QWidget* parent)
    : QDialog(parent), tags_(tags)
{
    setObjectName(QStringLiteral("GameTagsDialog"));
    setWindowTitle(texts.title);
    auto* form = new QFormLayout;
    const std::array<std::pair<const char*, const QString*>, 6> fields{{{"White", &texts.white},
                                                                        {"Black", &texts.black},
                                                                        {"Event", &texts.event},
                                                                        {"Site", &texts.site},
                                                                        {"Date", &texts.date},
                                                                        {"Round", &texts.round}}};
    for (const auto& [tag, label] : fields) {
        auto* field = new QLineEdit(QString::fromStdString(chess::TagValue(tags, tag)), this);
        field->setObjectName(QString::fromLatin1(tag));
        field->setMaxLength(MaxTagValue);
        form->addRow(*label, field);
    }
    date_ = Field(QStringLiteral("Date"));
    givenDate_ = date_->text();
    date_->setPlaceholderText(texts.datePattern);
    // Year, month and day, each digits or question marks for what is not known.
    date_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9?]{4}\\.[0-9?]{2}\\.[0-9?]{2}")), date_));
    QDialogButtonBox* buttons = Buttons(this, texts.ok, texts.cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(date_, &QLineEdit::textChanged, this, &TGameTagsDialog::CheckDate);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

// A date half typed cannot be saved; one as another program wrote it can be
// kept as it was.
void TGameTagsDialog::CheckDate()
{
    const QString date = date_->text().trimmed();
    ok_->setEnabled(date.isEmpty() || date_->hasAcceptableInput() || date == givenDate_);
}

QLineEdit* TGameTagsDialog::Field(const QString& tag) const
{
    return findChild<QLineEdit*>(tag);
}

std::vector<chess::PgnTag> TGameTagsDialog::Tags() const
{
    std::vector<chess::PgnTag> tags = tags_;
    for (const char* name : {"White", "Black", "Event", "Site", "Date", "Round"}) {
        const std::string value = Field(QString::fromLatin1(name))->text().simplified().toStdString();
        const auto there = std::find_if(tags.begin(), tags.end(),
                                        [&](const chess::PgnTag& t) { return t.name == name; });
        if (value.empty()) {
            if (there != tags.end())
                tags.erase(there);
        } else if (there != tags.end()) {
            there->value = value;
        } else {
            tags.push_back({name, value});
        }
    }
    return tags;
}
