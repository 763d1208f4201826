#include "AccessController.h"

#include <cstdlib>

namespace {

constexpr TextKey<AccessTexts> AccessTextKeys[] = {
    {"Pole", &AccessTexts::Pole},
    {"Odpoved", &AccessTexts::Odpoved},
    {"Panel", &AccessTexts::Panel},
    {"Sachovnice", &AccessTexts::Sachovnice},
    {"ZapisPartie", &AccessTexts::ZapisPartie},
    {"Kral", &AccessTexts::Kral},
    {"Dama", &AccessTexts::Dama},
    {"Vez", &AccessTexts::Vez},
    {"Strelec", &AccessTexts::Strelec},
    {"Jezdec", &AccessTexts::Jezdec},
    {"Pesec", &AccessTexts::Pesec},
    {"BilyKral", &AccessTexts::BilyKral},
    {"BilaDama", &AccessTexts::BilaDama},
    {"BilaVez", &AccessTexts::BilaVez},
    {"BilyStrelec", &AccessTexts::BilyStrelec},
    {"BilyJezdec", &AccessTexts::BilyJezdec},
    {"BilyPesec", &AccessTexts::BilyPesec},
    {"CernyKral", &AccessTexts::CernyKral},
    {"CernaDama", &AccessTexts::CernaDama},
    {"CernaVez", &AccessTexts::CernaVez},
    {"CernyStrelec", &AccessTexts::CernyStrelec},
    {"CernyJezdec", &AccessTexts::CernyJezdec},
    {"CernyPesec", &AccessTexts::CernyPesec},
    {"Prazdne", &AccessTexts::Prazdne},
    {"NazevPole", &AccessTexts::NazevPole},
    {"Tah", &AccessTexts::Tah},
    {"Bere", &AccessTexts::Bere},
    {"BereMimochodem", &AccessTexts::BereMimochodem},
    {"MalaRosada", &AccessTexts::MalaRosada},
    {"VelkaRosada", &AccessTexts::VelkaRosada},
    {"Promena", &AccessTexts::Promena},
    {"NaDamu", &AccessTexts::NaDamu},
    {"NaVez", &AccessTexts::NaVez},
    {"NaStrelce", &AccessTexts::NaStrelce},
    {"NaJezdce", &AccessTexts::NaJezdce},
    {"Sach", &AccessTexts::Sach},
    {"MatBily", &AccessTexts::MatBily},
    {"MatCerny", &AccessTexts::MatCerny},
    {"Pat", &AccessTexts::Pat},
    {"Konec", &AccessTexts::Konec},
    {"NovaPartie", &AccessTexts::NovaPartie},
    {"Vraceno", &AccessTexts::Vraceno},
    {"Znovu", &AccessTexts::Znovu},
    {"PoTahu", &AccessTexts::PoTahu},
    {"Vychozi", &AccessTexts::Vychozi},
    {"Otevreno", &AccessTexts::Otevreno},
    {"ZadnyTah", &AccessTexts::ZadnyTah},
    {"PosledniTah", &AccessTexts::PosledniTah},
    {"NaTahuBily", &AccessTexts::NaTahuBily},
    {"NaTahuCerny", &AccessTexts::NaTahuCerny},
    {"Kameny", &AccessTexts::Kameny},
    {"Zadny", &AccessTexts::Zadny},
    {"Sloupec", &AccessTexts::Sloupec},
    {"Rada", &AccessTexts::Rada},
    {"Bily", &AccessTexts::Bily},
    {"Cerny", &AccessTexts::Cerny},
    {"Nejednoznacny", &AccessTexts::Nejednoznacny},
    {"Nebo", &AccessTexts::Nebo},
    {"Nepripustny", &AccessTexts::Nepripustny},
    {"Necitelny", &AccessTexts::Necitelny},
};

}  // namespace

AccessTexts AccessTexts::Load(const LanguageFile& file)
{
    return LoadTexts(file, "Pristupnost", AccessTextKeys);
}

const QString& AccessTexts::PieceName(int32_t piece) const
{
    const QString* white[] = {&BilyPesec, &BilaVez, &BilyJezdec, &BilyStrelec, &BilaDama, &BilyKral};
    const QString* black[] = {&CernyPesec, &CernaVez, &CernyJezdec, &CernyStrelec, &CernaDama, &CernyKral};
    const int kind = std::abs(piece);
    if (kind < chess::Pawn || kind > chess::King)
        return Prazdne;
    return *(piece > 0 ? white : black)[kind - chess::Pawn];
}

const QString& AccessTexts::Noun(int32_t piece) const
{
    const QString* nouns[] = {&Pesec, &Vez, &Jezdec, &Strelec, &Dama, &Kral};
    const int kind = std::abs(piece);
    if (kind < chess::Pawn || kind > chess::King)
        return Prazdne;
    return *nouns[kind - chess::Pawn];
}
