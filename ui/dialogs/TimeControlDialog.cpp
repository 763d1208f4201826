#include "TimeControlDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int NoneRow = 0;

QSpinBox* Spin(int most)
{
    auto* spin = new QSpinBox;
    spin->setRange(0, most);
    return spin;
}

}  // namespace

TTimeControlDialog::TTimeControlDialog(const chess::TimeControl& current, const TimeControlTexts& texts,
                                       QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(texts.title);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    presets_ = new QComboBox;
    presets_->setObjectName(QStringLiteral("presets"));
    presets_->addItem(texts.none);
    for (std::string_view preset : chess::TimeControlPresets)
        presets_->addItem(QString::fromLatin1(preset.data(), qsizetype(preset.size())));
    presets_->addItem(texts.custom);
    top->addRow(texts.preset, presets_);
    layout->addLayout(top);
    auto* sides = new QHBoxLayout;
    white_ = MakeSide(texts.white, texts);
    black_ = MakeSide(texts.black, texts);
    sides->addWidget(white_.box);
    sides->addWidget(black_.box);
    layout->addLayout(sides);
    apart_ = new QCheckBox(texts.blackApart);
    layout->addWidget(apart_);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(texts.ok, QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(texts.cancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    Show(current);
    connect(presets_, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (row == presets_->count() - 1)
            return;  // "custom" keeps the fields as they are
        Show(row == NoneRow ? chess::TimeControl{}
                            : chess::ParseTimeControl(chess::TimeControlPresets[std::size_t(row - 1)]).value());
    });
    connect(apart_, &QCheckBox::toggled, this, [this] { FollowFields(); });
    for (const SideFields* fields : {&white_, &black_}) {
        connect(fields->mode, &QComboBox::currentIndexChanged, this, [this] { FollowFields(); });
        for (QSpinBox* spin : {fields->minutes, fields->seconds, fields->bonus, fields->moves, fields->second})
            connect(spin, &QSpinBox::valueChanged, this, [this] { FollowFields(); });
    }
}

TTimeControlDialog::SideFields TTimeControlDialog::MakeSide(const QString& title, const TimeControlTexts& texts)
{
    SideFields f;
    f.box = new QGroupBox(title);
    auto* form = new QFormLayout(f.box);
    f.mode = new QComboBox;
    f.mode->addItems(texts.modes);
    f.minutes = Spin(24 * 60);
    f.seconds = Spin(59);
    f.bonus = Spin(600);
    f.moves = Spin(500);
    f.second = Spin(24 * 60);
    form->addRow(texts.mode, f.mode);
    form->addRow(texts.minutes, f.minutes);
    form->addRow(texts.seconds, f.seconds);
    form->addRow(texts.bonus, f.bonus);
    form->addRow(texts.moves, f.moves);
    form->addRow(texts.second, f.second);
    return f;
}

void TTimeControlDialog::ShowSide(const SideFields& f, const chess::SideControl& side)
{
    const std::int64_t start = side.StartMs();
    f.mode->setCurrentIndex(int(side.mode));
    f.minutes->setValue(int(start / 60'000));
    f.seconds->setValue(int(start % 60'000 / 1000));
    f.bonus->setValue(int(side.bonusMs / 1000));
    f.moves->setValue(side.periods.empty() ? 0 : side.periods.front().moves);
    f.second->setValue(side.periods.size() > 1 ? int(side.periods[1].ms / 60'000) : 0);
}

void TTimeControlDialog::Show(const chess::TimeControl& control)
{
    showing_ = true;
    ShowSide(white_, control.white);
    ShowSide(black_, control.black);
    apart_->setChecked(!control.None() && control.white != control.black);
    showing_ = false;
    FollowFields();
    // The list shows the control when it is one of its own.
    const std::string text = chess::TimeControlText(control);
    int row = presets_->count() - 1;
    if (control.None())
        row = NoneRow;
    for (std::size_t i = 0; i < std::size(chess::TimeControlPresets); ++i)
        if (chess::TimeControlPresets[i] == text)
            row = int(i) + 1;
    const bool blocked = presets_->blockSignals(true);
    presets_->setCurrentIndex(row);
    presets_->blockSignals(blocked);
}

chess::SideControl TTimeControlDialog::SideOf(const SideFields& f)
{
    chess::SideControl side;
    side.mode = chess::ClockMode(f.mode->currentIndex());
    const std::int64_t start = f.minutes->value() * 60'000LL + f.seconds->value() * 1000LL;
    if (start <= 0)
        return {};
    const bool hourglass = side.mode == chess::ClockMode::Hourglass;
    side.bonusMs = hourglass || side.mode == chess::ClockMode::SuddenDeath ? 0 : f.bonus->value() * 1000LL;
    if (side.mode == chess::ClockMode::Increment && side.bonusMs == 0)
        side.mode = chess::ClockMode::SuddenDeath;
    const int moves = hourglass ? 0 : f.moves->value();
    side.periods.push_back({moves, start});
    if (moves > 0 && f.second->value() > 0)
        side.periods.push_back({0, f.second->value() * 60'000LL});
    return side;
}

void TTimeControlDialog::FollowFields()
{
    if (showing_)
        return;
    for (const SideFields* f : {&white_, &black_}) {
        const auto mode = chess::ClockMode(f->mode->currentIndex());
        f->bonus->setEnabled(mode != chess::ClockMode::SuddenDeath && mode != chess::ClockMode::Hourglass);
        f->moves->setEnabled(mode != chess::ClockMode::Hourglass);
        f->second->setEnabled(mode != chess::ClockMode::Hourglass && f->moves->value() > 0);
    }
    black_.box->setEnabled(apart_->isChecked());
    // A field changed by hand makes the control one's own.
    if (presets_ && sender() != presets_) {
        const bool blocked = presets_->blockSignals(true);
        const std::string text = chess::TimeControlText(Control());
        int row = Control().None() ? NoneRow : presets_->count() - 1;
        for (std::size_t i = 0; i < std::size(chess::TimeControlPresets); ++i)
            if (chess::TimeControlPresets[i] == text)
                row = int(i) + 1;
        presets_->setCurrentIndex(row);
        presets_->blockSignals(blocked);
    }
}

chess::TimeControl TTimeControlDialog::Control() const
{
    chess::TimeControl control;
    control.white = SideOf(white_);
    control.black = apart_->isChecked() ? SideOf(black_) : control.white;
    // An hourglass needs both sides in it.
    if ((control.white.mode == chess::ClockMode::Hourglass) != (control.black.mode == chess::ClockMode::Hourglass))
        control.black = control.white;
    if (control.None())
        return {};
    return control;
}
