#include "engine/gui/languagetable.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tsv {

namespace {

constexpr const char* kNames[kLanguageCount] = {"English", "Deutsch", "Francais", "Espanol",   "Italiano",
                                                "Portugues", "Nederlands", "Polish", "Russian", "Ukrainian",
                                                "Svenska", "Korean", "Japan", "Chinese"};

struct LocaleLanguage {
    uint32_t localeId;
    LanguageId language;
};

// Every identifier that selects a language other than English.
constexpr LocaleLanguage kLocaleLanguages[] = {
    {0x0407, 1}, {0x042E, 1}, {0x0807, 1}, {0x0C07, 1}, {0x1007, 1}, {0x1407, 1},
    {0x040C, 2}, {0x0482, 2}, {0x0484, 2}, {0x080C, 2}, {0x0C0C, 2}, {0x100C, 2}, {0x140C, 2}, {0x180C, 2},
    {0x040A, 3}, {0x080A, 3}, {0x0C0A, 3}, {0x100A, 3}, {0x140A, 3}, {0x180A, 3}, {0x1C0A, 3}, {0x200A, 3},
    {0x240A, 3}, {0x280A, 3}, {0x2C0A, 3}, {0x300A, 3}, {0x340A, 3}, {0x380A, 3}, {0x3C0A, 3}, {0x400A, 3},
    {0x440A, 3}, {0x480A, 3}, {0x4C0A, 3}, {0x500A, 3}, {0x540A, 3},
    {0x0410, 4}, {0x0810, 4},
    {0x0416, 5}, {0x0816, 5},
    {0x0413, 6}, {0x0462, 6},
    {0x0415, 7},
    {0x0419, 8}, {0x0423, 8}, {0x043F, 8}, {0x0440, 8}, {0x0442, 8}, {0x0443, 8}, {0x0444, 8}, {0x046D, 8},
    {0x0485, 8}, {0x0843, 8},
    {0x0422, 9},
    {0x041D, 10}, {0x081D, 10}, {0x083B, 10}, {0x143B, 10}, {0x1C3B, 10},
    {0x0412, 11}, {0x0812, 11},
    {0x0411, 12},
    {0x0404, 13}, {0x0804, 13}, {0x0C04, 13}, {0x1004, 13}, {0x1404, 13},
};

// POSIX language_TERRITORY (with an optional @modifier or codeset) and the
// Windows identifier for the same language and region. A language without a
// territory stands for its main region.
struct PosixLocale {
    const char* name;
    uint32_t localeId;
};

constexpr PosixLocale kPosixLocales[] = {
    {"de_DE", 0x0407}, {"de", 0x0407}, {"hsb_DE", 0x042E}, {"hsb", 0x042E}, {"de_CH", 0x0807}, {"de_AT", 0x0C07},
    {"de_LU", 0x1007}, {"de_LI", 0x1407}, {"de_BE", 0x0407}, {"de_IT", 0x0407},
    {"fr_FR", 0x040C}, {"fr", 0x040C}, {"oc_FR", 0x0482}, {"oc", 0x0482}, {"gsw_FR", 0x0484},
    {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr_LU", 0x140C}, {"fr_MC", 0x180C},
    {"es_ES@traditional", 0x040A}, {"es_ES", 0x0C0A}, {"es", 0x0C0A}, {"es_MX", 0x080A}, {"es_GT", 0x100A},
    {"es_CR", 0x140A}, {"es_PA", 0x180A}, {"es_DO", 0x1C0A}, {"es_VE", 0x200A}, {"es_CO", 0x240A},
    {"es_PE", 0x280A}, {"es_AR", 0x2C0A}, {"es_EC", 0x300A}, {"es_CL", 0x340A}, {"es_UY", 0x380A},
    {"es_PY", 0x3C0A}, {"es_BO", 0x400A}, {"es_SV", 0x440A}, {"es_HN", 0x480A}, {"es_NI", 0x4C0A},
    {"es_PR", 0x500A}, {"es_US", 0x540A},
    {"it_IT", 0x0410}, {"it", 0x0410}, {"it_CH", 0x0810},
    {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"pt", 0x0816},
    {"nl_NL", 0x0413}, {"nl", 0x0413}, {"fy_NL", 0x0462}, {"fy", 0x0462}, {"nl_BE", 0x0813},
    {"pl_PL", 0x0415}, {"pl", 0x0415},
    {"ru_RU", 0x0419}, {"ru", 0x0419}, {"ru_UA", 0x0419}, {"be_BY", 0x0423}, {"be", 0x0423},
    {"kk_KZ", 0x043F}, {"kk", 0x043F}, {"ky_KG", 0x0440}, {"ky", 0x0440}, {"tk_TM", 0x0442}, {"tk", 0x0442},
    {"uz_UZ@cyrillic", 0x0843}, {"uz_UZ", 0x0443}, {"uz", 0x0443}, {"tt_RU", 0x0444}, {"tt", 0x0444},
    {"ba_RU", 0x046D}, {"ba", 0x046D}, {"sah_RU", 0x0485}, {"sah", 0x0485},
    {"uk_UA", 0x0422}, {"uk", 0x0422},
    {"sv_SE", 0x041D}, {"sv", 0x041D}, {"sv_FI", 0x081D}, {"se_SE", 0x083B}, {"smj_SE", 0x143B},
    {"sma_SE", 0x1C3B}, {"se_NO", 0x043B}, {"se_FI", 0x0C3B},
    {"ko_KR.johab", 0x0812}, {"ko_KR", 0x0412}, {"ko", 0x0412},
    {"ja_JP", 0x0411}, {"ja", 0x0411},
    {"zh_TW", 0x0404}, {"zh_CN", 0x0804}, {"zh", 0x0804}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004},
    {"zh_MO", 0x1404},
    {"en_US", 0x0409}, {"en", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009},
    {"en_NZ", 0x1409}, {"en_IE", 0x1809},
};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

const char* LanguageName(LanguageId id) { return id >= 0 && id < kLanguageCount ? kNames[id] : ""; }

LanguageId LanguageFromName(const std::string& name)
{
    const std::string given = Lower(name);
    for (LanguageId id = 0; id < kLanguageCount; ++id) {
        if (given.find(Lower(kNames[id])) != std::string::npos) {
            return id;
        }
    }
    return kNoLanguage;
}

LanguageId LanguageFromLocaleId(uint32_t localeId)
{
    for (const LocaleLanguage& entry : kLocaleLanguages) {
        if (entry.localeId == localeId) {
            return entry.language;
        }
    }
    return kEnglish;
}

uint32_t LocaleIdFromPosixName(const std::string& name)
{
    // language[_TERRITORY][.codeset][@modifier]
    const size_t at = name.find('@');
    const std::string modifier = at == std::string::npos ? "" : Lower(name.substr(at + 1));
    std::string base = name.substr(0, at);
    const size_t dot = base.find('.');
    const std::string codeset = dot == std::string::npos ? "" : Lower(base.substr(dot + 1));
    base = base.substr(0, dot);
    if (base.empty() || base == "C" || base == "POSIX") {
        return 0;
    }
    const std::string candidates[] = {modifier.empty() ? "" : base + "@" + modifier,
                                      codeset.empty() ? "" : base + "." + codeset, base};
    for (const std::string& candidate : candidates) {
        if (candidate.empty()) {
            continue;
        }
        for (const PosixLocale& entry : kPosixLocales) {
            if (candidate == entry.name) {
                return entry.localeId;
            }
        }
    }
    // A territory the table does not list still keeps its language when the
    // language alone is listed.
    const size_t underscore = base.find('_');
    if (underscore != std::string::npos) {
        return LocaleIdFromPosixName(base.substr(0, underscore));
    }
    return 0;
}

std::vector<std::string> KnownPosixLocales()
{
    std::vector<std::string> names;
    for (const PosixLocale& entry : kPosixLocales) {
        names.emplace_back(entry.name);
    }
    return names;
}

uint32_t SystemLocaleId()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            return LocaleIdFromPosixName(value);
        }
    }
    return 0;
}

} // namespace tsv
