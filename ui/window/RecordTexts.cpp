#include "RecordController.h"

namespace {

constexpr TextKey<RecordTexts> RecordTextKeys[] = {
    {"OtevritPartii", &RecordTexts::OtevritPartii},
    {"UlozitPartii", &RecordTexts::UlozitPartii},
    {"VyberPartie", &RecordTexts::VyberPartie},
    {"Cislo", &RecordTexts::Cislo},
    {"Bily", &RecordTexts::Bily},
    {"Cerny", &RecordTexts::Cerny},
    {"Vysledek", &RecordTexts::Vysledek},
    {"Tahy", &RecordTexts::Tahy},
    {"Storno", &RecordTexts::Storno},
    {"NelzeCist", &RecordTexts::NelzeCist},
    {"ZadnaPartie", &RecordTexts::ZadnaPartie},
    {"ChybnaPartie", &RecordTexts::ChybnaPartie},
    {"NelzeUlozit", &RecordTexts::NelzeUlozit},
    {"PrazdnaSchranka", &RecordTexts::PrazdnaSchranka},
    {"ChybnaPozice", &RecordTexts::ChybnaPozice},
    {"NelzeUkladat", &RecordTexts::NelzeUkladat},
    {"RozehranePartie", &RecordTexts::RozehranePartie},
    {"Ulozeno", &RecordTexts::Ulozeno},
    {"PosledniTah", &RecordTexts::PosledniTah},
    {"NaTahuBily", &RecordTexts::NaTahuBily},
    {"NaTahuCerny", &RecordTexts::NaTahuCerny},
    {"KonecMat", &RecordTexts::KonecMat},
    {"KonecPat", &RecordTexts::KonecPat},
    {"KonecMrtvaPozice", &RecordTexts::KonecMrtvaPozice},
    {"KonecPateOpakovani", &RecordTexts::KonecPateOpakovani},
    {"Konec75Tahu", &RecordTexts::Konec75Tahu},
    {"KonecTretiOpakovani", &RecordTexts::KonecTretiOpakovani},
    {"Konec50Tahu", &RecordTexts::Konec50Tahu},
    {"KonecPodleZapisu", &RecordTexts::KonecPodleZapisu},
    {"KonecCas", &RecordTexts::KonecCas},
    {"KonecVzdalBily", &RecordTexts::KonecVzdalBily},
    {"KonecVzdalCerny", &RecordTexts::KonecVzdalCerny},
    {"KonecDohodou", &RecordTexts::KonecDohodou},
    {"ChybaTahu", &RecordTexts::ChybaTahu},
    {"ChybaFen", &RecordTexts::ChybaFen},
    {"TahNecitelny", &RecordTexts::TahNecitelny},
    {"TahNejednoznacny", &RecordTexts::TahNejednoznacny},
    {"TahNepripustny", &RecordTexts::TahNepripustny},
    {"ChybnaFen", &RecordTexts::ChybnaFen},
    {"KomentarKTahu", &RecordTexts::KomentarKTahu},
    {"UdajeOPartii", &RecordTexts::UdajeOPartii},
    {"Turnaj", &RecordTexts::Turnaj},
    {"Misto", &RecordTexts::Misto},
    {"Datum", &RecordTexts::Datum},
    {"Kolo", &RecordTexts::Kolo},
    {"DatumVzor", &RecordTexts::DatumVzor},
};

}  // namespace

RecordTexts RecordTexts::Load(const LanguageFile& file)
{
    return LoadTexts(file, "Zapis", RecordTextKeys);
}
