#include "EngineController.h"

namespace {

constexpr TextKey<EngineTexts> EngineTextKeys[] = {
    {"Hloubka", &EngineTexts::Hloubka},
    {"MatBily", &EngineTexts::MatBily},
    {"MatCerny", &EngineTexts::MatCerny},
    {"BilyDostalMat", &EngineTexts::BilyDostalMat},
    {"CernyDostalMat", &EngineTexts::CernyDostalMat},
    {"KonecPartie", &EngineTexts::KonecPartie},
    {"Spoustim", &EngineTexts::Spoustim},
    {"NeniProgram", &EngineTexts::NeniProgram},
    {"NelzeSpustit", &EngineTexts::NelzeSpustit},
    {"Neodpovida", &EngineTexts::Neodpovida},
    {"Spadl", &EngineTexts::Spadl},
    {"Zasekl", &EngineTexts::Zasekl},
    {"HodinyBezi", &EngineTexts::HodinyBezi},
    {"PrubehRozboru", &EngineTexts::PrubehRozboru},
    {"Zrusit", &EngineTexts::Zrusit},
    {"UlozitRozbor", &EngineTexts::UlozitRozbor},
    {"Nepresnost", &EngineTexts::Nepresnost},
    {"Chyba", &EngineTexts::Chyba},
    {"HrubaChyba", &EngineTexts::HrubaChyba},
    {"LepsiBylo", &EngineTexts::LepsiBylo},
    {"VyberProgram", &EngineTexts::VyberProgram},
};

}  // namespace

EngineTexts EngineTexts::Load(const LanguageFile& file)
{
    return LoadTexts(file, "Rozbor", EngineTextKeys);
}
