#pragma once
// The choice of the time control: the common ones in a list, or the mode,
// time, bonus and second period of one's own, for both sides or for each
// side apart.

#include "TimeControl.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QSpinBox;

struct TimeControlTexts {
    QString title, none, custom, preset, white, black, blackApart;
    QStringList modes;  // in the order of chess::ClockMode
    QString mode, minutes, seconds, bonus, moves, second;
    QString ok, cancel;
};

class TTimeControlDialog : public QDialog {
    Q_OBJECT
public:
    TTimeControlDialog(const chess::TimeControl& current, const TimeControlTexts& texts, QWidget* parent = nullptr);
    chess::TimeControl Control() const;

    // One side's control as its fields show it.
    struct SideFields {
        QGroupBox* box = nullptr;
        QComboBox* mode = nullptr;
        QSpinBox* minutes = nullptr;
        QSpinBox* seconds = nullptr;
        QSpinBox* bonus = nullptr;
        QSpinBox* moves = nullptr;   // 0: one period for the whole game
        QSpinBox* second = nullptr;  // minutes of the period after it
    };
    QComboBox* Presets() const { return presets_; }
    const SideFields& Fields(bool white) const { return white ? white_ : black_; }
    QCheckBox* BlackApart() const { return apart_; }

private:
    SideFields MakeSide(const QString& title, const TimeControlTexts& texts);
    void Show(const chess::TimeControl& control);
    static void ShowSide(const SideFields& fields, const chess::SideControl& side);
    static chess::SideControl SideOf(const SideFields& fields);
    void FollowFields();

    QComboBox* presets_ = nullptr;
    QCheckBox* apart_ = nullptr;
    SideFields white_, black_;
    bool showing_ = false;
};
