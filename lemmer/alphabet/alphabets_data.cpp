// Letters of the alphabets. Letters are listed in both cases; the builder derives the variants
// (the parts of each letter's decomposition) itself.
#include "lemmer/alphabet/alphabets_data.h"

#include "util/system/singleton.h"

namespace NLemmer::NDetail {
namespace {

#define RUSSIAN_VOWELS u"АЕИОУЫЭЮЯЁаеиоуыэюяё"
#define RUSSIAN_BASIC_CONSONANTS u"БВГДЖЗЙКЛМНПРСТФХЦЧШЩЪЬбвгджзйклмнпрстфхцчшщъь"
#define LATIN_VOWELS u"AEIOUaeiou"
#define LATIN_CONSONANTS u"BCDFGHJKLMNPQRSTVWXYZbcdfghjklmnpqrstvwxyz"
#define WORD_SIGNS u"'\u2019-"

constexpr TAlphabetLetters RUSSIAN = {RUSSIAN_VOWELS, RUSSIAN_BASIC_CONSONANTS u"ІіѢѣѲѳѴѵ", u"Ii",
                                      u"\u0301", WORD_SIGNS};
constexpr TAlphabetLetters BASIC_RUSSIAN = {RUSSIAN_VOWELS, RUSSIAN_BASIC_CONSONANTS, u"Ii",
                                            u"\u0301", WORD_SIGNS};
constexpr TAlphabetLetters UKRAINIAN = {u"АЕИОУЮЯЄІЇаеиоуюяєії",
                                        u"БВГДЖЗЙКЛМНПРСТФХЦЧШЩЬҐбвгджзйклмнпрстфхцчшщьґ", u"IiЁё",
                                        u"\u0301", WORD_SIGNS};
constexpr TAlphabetLetters BELARUSIAN = {u"АЕОУЫЭЮЯЁІаеоуыэюяёі",
                                         u"БВГДЖЗЙКЛМНПРСТФХЦЧШЬЎҐбвгджзйклмнпрстфхцчшьўґ", u"Ii",
                                         u"\u0301", WORD_SIGNS};
constexpr TAlphabetLetters TATAR = {RUSSIAN_VOWELS, RUSSIAN_BASIC_CONSONANTS u"ӨөҢңҺһҮүҖҗӘә", u"Ii",
                                    u"\u0301", WORD_SIGNS};
constexpr TAlphabetLetters KAZAKH = {RUSSIAN_VOWELS, RUSSIAN_BASIC_CONSONANTS u"ҒғҰұӨөҢңҚқҺһҮүІіӘә",
                                     u"Ii", u"\u0301", WORD_SIGNS};
constexpr TAlphabetLetters BULGARIAN = {u"АЕИОУЪЮЯаеиоуъюя",
                                        u"БВГДЖЗЙКЛМНПРСТФХЦЧШЩЬбвгджзйклмнпрстфхцчшщь", u"Ii",
                                        u"\u0300", WORD_SIGNS};
constexpr TAlphabetLetters CHURCH_SLAVONIC = {u"АЕИОУЫЭЮЯЁаеиоуыэюяёЄєІіѠѡѢѣѴѵѸѹѺѻѼѽ",
                                              RUSSIAN_BASIC_CONSONANTS u"ЅѕѮѯѰѱѲѳѾѿ", nullptr,
                                              u"\u0300\u0301\u0302\u030F\u0311\u0483", WORD_SIGNS};
constexpr TAlphabetLetters ENGLISH = {LATIN_VOWELS, LATIN_CONSONANTS, nullptr, u"\u0301",
                                      WORD_SIGNS};
constexpr TAlphabetLetters GERMAN = {LATIN_VOWELS u"ÄäÖöÜü", LATIN_CONSONANTS u"ß", nullptr,
                                     nullptr, WORD_SIGNS};
constexpr TAlphabetLetters FRENCH = {LATIN_VOWELS u"ÀàÂâÈèÉéÊêËëÎîÏïÔôÙùÛûÜüŸÿÆæŒœ",
                                     LATIN_CONSONANTS u"Çç", nullptr, nullptr, WORD_SIGNS};
constexpr TAlphabetLetters SPANISH = {LATIN_VOWELS u"ÁáÉéÍíÓóÚúÜü", LATIN_CONSONANTS u"Ññ", nullptr,
                                      nullptr, WORD_SIGNS};
constexpr TAlphabetLetters PORTUGUESE = {LATIN_VOWELS u"ÀàÁáÂâÃãÉéÊêÍíÓóÔôÕõÚú",
                                         LATIN_CONSONANTS u"Çç", nullptr, nullptr, WORD_SIGNS};
constexpr TAlphabetLetters ITALIAN = {LATIN_VOWELS u"ÀàÁáÈèÉéÌìÍíÒòÓóÙùÚú", LATIN_CONSONANTS,
                                      nullptr, u"\u0302", WORD_SIGNS};
constexpr TAlphabetLetters POLISH = {LATIN_VOWELS u"ĄąĘęÓó", LATIN_CONSONANTS u"ĆćŁłŃńŚśŹźŻż",
                                     nullptr, u"\u0301", WORD_SIGNS};
constexpr TAlphabetLetters CZECH = {LATIN_VOWELS u"ÁáÉéĚěÍíÓóÚúŮůÝýRrŘř",
                                    LATIN_CONSONANTS u"ČčĎďŇňŠšŤťŽž", nullptr, nullptr, WORD_SIGNS};
constexpr TAlphabetLetters ROMANIAN = {LATIN_VOWELS u"ĂăÂâÎî", LATIN_CONSONANTS u"ȘșŞşȚțŢţ",
                                       nullptr, u"\u0301", WORD_SIGNS};
constexpr TAlphabetLetters TURKISH = {LATIN_VOWELS u"ÂâİıÎîÖöÛûÜü", LATIN_CONSONANTS u"ÇçĞğŞş",
                                      nullptr, nullptr, WORD_SIGNS};
// The consonant string holds every capital U+0531 to U+0556 and small letter U+0561 to U+0587,
// vowels included.
constexpr TAlphabetLetters ARMENIAN = {u"ԱԵԷԸԻՈՕաեէըիոօ",
                                       u"ԱԲԳԴԵԶԷԸԹԺԻԼԽԾԿՀՁՂՃՄՅՆՇՈՉՊՋՌՍՎՏՐՑՒՓՔՕՖ"
                                       u"աբգդեզէըթժիլխծկհձղճմյնշոչպջռսվտրցւփքօֆև",
                                       nullptr, nullptr, u"'\u2019-\u0559\u055A\u055B"};

#undef RUSSIAN_VOWELS
#undef RUSSIAN_BASIC_CONSONANTS
#undef LATIN_VOWELS
#undef LATIN_CONSONANTS
#undef WORD_SIGNS

template <const TAlphabetLetters& Letters>
struct TBuiltAlphabet : TAlphabet {
    TBuiltAlphabet() {
        BuildAlphabet(*this, Letters.Vowels, Letters.Consonants, Letters.ExtraLetters,
                      Letters.IgnorableMarks, Letters.WordSigns);
    }
};

}  // namespace

#define LEMMER_ALPHABET_DATA(Name, Data)          \
    const TAlphabetLetters& Name::Letters() {     \
        return Data;                              \
    }                                             \
    const TAlphabet* Name::Alphabet() {           \
        return Singleton<TBuiltAlphabet<Data>>(); \
    }

LEMMER_ALPHABET_DATA(TAlphaRussian, RUSSIAN)
LEMMER_ALPHABET_DATA(TAlphaBasicRussian, BASIC_RUSSIAN)
LEMMER_ALPHABET_DATA(TAlphaUkrainian, UKRAINIAN)
LEMMER_ALPHABET_DATA(TAlphaBelarusian, BELARUSIAN)
LEMMER_ALPHABET_DATA(TAlphaTatar, TATAR)
LEMMER_ALPHABET_DATA(TAlphaKazakh, KAZAKH)
LEMMER_ALPHABET_DATA(TAlphaBulgarian, BULGARIAN)
LEMMER_ALPHABET_DATA(TAlphaChurchSlavonic, CHURCH_SLAVONIC)
LEMMER_ALPHABET_DATA(TAlphaEnglish, ENGLISH)
LEMMER_ALPHABET_DATA(TAlphaGerman, GERMAN)
LEMMER_ALPHABET_DATA(TAlphaFrench, FRENCH)
LEMMER_ALPHABET_DATA(TAlphaSpanish, SPANISH)
LEMMER_ALPHABET_DATA(TAlphaPortuguese, PORTUGUESE)
LEMMER_ALPHABET_DATA(TAlphaItalian, ITALIAN)
LEMMER_ALPHABET_DATA(TAlphaPolish, POLISH)
LEMMER_ALPHABET_DATA(TAlphaCzech, CZECH)
LEMMER_ALPHABET_DATA(TAlphaRomanian, ROMANIAN)
LEMMER_ALPHABET_DATA(TAlphaTurkish, TURKISH)
LEMMER_ALPHABET_DATA(TAlphaArmenian, ARMENIAN)

#undef LEMMER_ALPHABET_DATA

}  // namespace NLemmer::NDetail
