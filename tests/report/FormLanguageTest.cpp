#include "report/FormLanguage.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

struct LanguageCase
{
    const char* setting;
    const char* postalCode; // the employee's
    const char* lineAfterStreet;
    const char* employer; // postal code and town
    const char* expected;
};

// Names the row in the test list instead of its bytes.
void PrintTo(const LanguageCase& c, std::ostream* os)
{
    *os << c.setting << ' ' << c.postalCode << ' ' << c.lineAfterStreet << ' ' << c.employer;
}

class CertificateLanguage : public testing::TestWithParam<LanguageCase>
{
};

TEST_P(CertificateLanguage, FollowsSettingThenHomeThenEmployer)
{
    const LanguageCase& c = GetParam();
    EXPECT_EQ(languageCode(certificateLanguage(parseFormLanguageChoice(QString::fromUtf8(c.setting)),
                                               QString::fromUtf8(c.postalCode),
                                               QString::fromUtf8(c.lineAfterStreet),
                                               QString::fromUtf8(c.employer))),
              QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Table,
                         CertificateLanguage,
                         testing::Values(
                             // The language border, code by code.
                             LanguageCase{"auto", "1204", "", "8001 Zürich", "fr"}, // Genève
                             LanguageCase{"auto", "1003", "", "8001 Zürich", "fr"}, // Lausanne
                             LanguageCase{"auto", "1656", "", "1204 Genève", "de"}, // Jaun
                             LanguageCase{"auto", "1700", "", "1204 Genève", "de"}, // Fribourg, bilingual
                             LanguageCase{"auto", "1712", "", "1204 Genève", "de"}, // Tafers
                             LanguageCase{"auto", "1723", "", "8001 Zürich", "fr"}, // Marly
                             LanguageCase{"auto", "1950", "", "8001 Zürich", "fr"}, // Sion
                             LanguageCase{"auto", "2300", "", "8001 Zürich", "fr"}, // La Chaux-de-Fonds
                             LanguageCase{"auto", "2502", "", "1204 Genève", "de"}, // Biel/Bienne, bilingual
                             LanguageCase{"auto", "2520", "", "8001 Zürich", "fr"}, // La Neuveville
                             LanguageCase{"auto", "2540", "", "1204 Genève", "de"}, // Grenchen
                             LanguageCase{"auto", "2610", "", "8001 Zürich", "fr"}, // Saint-Imier
                             LanguageCase{"auto", "2999", "", "8001 Zürich", "fr"},
                             LanguageCase{"auto", "3000", "", "1204 Genève", "de"}, // Bern
                             LanguageCase{"auto", "3960", "", "8001 Zürich", "fr"}, // Sierre
                             LanguageCase{"auto", "3970", "", "1204 Genève", "de"}, // Salgesch
                             LanguageCase{"auto", "3979", "", "8001 Zürich", "fr"}, // Grône
                             LanguageCase{"auto", "6499", "", "1204 Genève", "de"},
                             LanguageCase{"auto", "6500", "", "8001 Zürich", "it"}, // Bellinzona
                             LanguageCase{"auto", "6900", "", "8001 Zürich", "it"}, // Lugano
                             LanguageCase{"auto", "7000", "", "6900 Lugano", "de"}, // Chur
                             LanguageCase{"auto", "7605", "", "8001 Zürich", "it"}, // Stampa
                             LanguageCase{"auto", "7742", "", "8001 Zürich", "it"}, // Poschiavo
                             LanguageCase{"auto", "CH-1201", "", "8001 Zürich", "fr"},
                             LanguageCase{"auto", " 6900 ", "", "8001 Zürich", "it"},
                             // A home abroad, or no usable code: the employer's place decides.
                             LanguageCase{"auto", "74100", "", "1204 Genève", "fr"},              // Annemasse
                             LanguageCase{"auto", "D-79539", "", "6900 Lugano", "it"},            // Lörrach
                             LanguageCase{"auto", "6900", "Österreich", "9000 St. Gallen", "de"}, // Bregenz, not Lugano
                             LanguageCase{"auto", "6900", "AUSTRIA", "1204 Genève", "fr"},
                             LanguageCase{"auto", "6900", "Postfach 118", "1204 Genève", "it"},
                             LanguageCase{"auto", "", "", "1204 Genève", "fr"},
                             LanguageCase{"auto", "", "", "", "de"},
                             LanguageCase{"auto", "12", "", "Genève", "de"},
                             // A fixed setting wins; anything unknown counts as auto.
                             LanguageCase{"de", "1204", "", "1204 Genève", "de"},
                             LanguageCase{" FR ", "8001", "", "8001 Zürich", "fr"},
                             LanguageCase{"it", "1204", "", "1204 Genève", "it"},
                             LanguageCase{"", "6900", "", "8001 Zürich", "it"},
                             LanguageCase{"rm", "1204", "", "8001 Zürich", "fr"}));

} // namespace
