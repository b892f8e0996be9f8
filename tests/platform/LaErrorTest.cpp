#include "platform/LaError.h"

#include "support/RecordingPrompt.h"
#include "support/TestFiles.h"

#include <stdexcept>

TEST(LaError, LocationsChainOutermostFirst)
{
    const LaError e = raisedBy([] {
        try {
            try {
                throw LaError(13, QStringLiteral("clsADOConnect.getRecordset"), QStringLiteral("Typen unverträglich"));
            } catch (...) {
                raiseError(QStringLiteral("frmMain.crtXMLData"));
            }
        } catch (...) {
            raiseError(QStringLiteral("frmMain.runSalaryReport"));
        }
    });
    EXPECT_EQ(e.number(), 13);
    EXPECT_EQ(e.source(),
              QStringLiteral("frmMain.runSalaryReport\r\nfrmMain.crtXMLData\r\nclsADOConnect.getRecordset"));
    EXPECT_EQ(e.description(), QStringLiteral("Typen unverträglich"));
}

TEST(LaError, BoxTextWithSourceExtraAndSignPosition)
{
    const LaError e(10000, QStringLiteral("frmMain"), QStringLiteral("Pfad für 'x' nicht gefunden."));
    EXPECT_EQ(errorBoxText(e, {}),
              QStringLiteral("Fehlernummer:  10000\r\nfrmMain\r\n\r\nPfad für 'x' nicht gefunden."));
    EXPECT_EQ(errorBoxText(e, QStringLiteral("mehr")),
              QStringLiteral("Fehlernummer:  10000\r\nfrmMain\r\n\r\n(mehr)\r\n\r\nPfad für 'x' nicht gefunden."));
    const LaError negative(-2147217865, {}, QStringLiteral("Tabelle fehlt"));
    EXPECT_EQ(errorBoxText(negative, {}), QStringLiteral("Fehlernummer: -2147217865\r\nTabelle fehlt"));

    // showError turns a foreign exception into its number and German text and shows exactly one box.
    RecordingPrompt p;
    ScopedPrompt installed(p);
    try {
        throw std::overflow_error("x");
    } catch (...) {
        showError(16, QStringLiteral("frmMain.cmdRun_Click"));
    }
    ASSERT_EQ(p.boxes.size(), 1);
    EXPECT_EQ(p.boxes[0].style, 16);
    EXPECT_EQ(p.boxes[0].title, QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : frmMain.cmdRun_Click"));
    EXPECT_EQ(p.boxes[0].text, QStringLiteral("Fehlernummer:  6\r\nÜberlauf"));
}
