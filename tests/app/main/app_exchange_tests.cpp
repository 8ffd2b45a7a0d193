// The program's exchange with others, from outside as a user works it:
// "Esporta" writing the task table as CSV and the project as Microsoft
// Project XML beside the picture, and a Microsoft Project XML file
// imported as a new, unsaved project.
#include "Driver.h"
#include "tests/app/ProgramFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using apptest::kSiteProject;  // three tasks of 26 days in March 2024

// A file of another planner: a summary task, a link, a milestone and a
// week of five days that has Epiphany in it.
const char* const kPlannerFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<Project xmlns=\"http://schemas.microsoft.com/project\"><Title>Villetta</Title>"
    "<StartDate>2027-01-04T08:00:00</StartDate><FinishDate>2027-02-26T17:00:00</FinishDate><Tasks>"
    "<Task><UID>1</UID><Name>Struttura</Name><Summary>1</Summary><OutlineLevel>1</OutlineLevel>"
    "<Start>2027-01-04T08:00:00</Start><Finish>2027-01-29T17:00:00</Finish></Task>"
    "<Task><UID>2</UID><Name>Fondazioni</Name><OutlineLevel>2</OutlineLevel>"
    "<Start>2027-01-04T08:00:00</Start><Finish>2027-01-15T17:00:00</Finish></Task>"
    "<Task><UID>3</UID><Name>Collaudo</Name><Milestone>1</Milestone><Duration>PT0H0M0S</Duration>"
    "<Start>2027-02-26T17:00:00</Start><Finish>2027-02-26T17:00:00</Finish>"
    "<PredecessorLink><PredecessorUID>2</PredecessorUID></PredecessorLink></Task>"
    "<Task><UID>4</UID><Name>Tracciamento</Name><Start>2027-01-04T08:00:00</Start><Finish>2027-01-08T17:00:00</Finish>"
    "<Duration>PT40H0M0S</Duration></Task></Tasks>"
    "<Resources><Resource><UID>1</UID><Name>Muratore</Name><StandardRate>20</StandardRate></Resource></Resources>"
    "<Assignments><Assignment><TaskUID>2</TaskUID><ResourceUID>1</ResourceUID><Units>2</Units></Assignment>"
    "</Assignments></Project>";

class ExchangeTest : public apptest::ProgramFixture {
protected:
    // "Esporta come immagine..." with the type list at `filter` and `path` typed.
    void ExportAs(const std::wstring& path, int filter) {
        const auto [dialog, types] = ExportDialog();
        ASSERT_NE(types, nullptr) << drv::LastErrorUtf8();
        PickFileType(dialog, types, filter);
        ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", path).ok) << drv::LastErrorUtf8();
    }

    // "&Importa da XML di Microsoft Project...", the save question answered
    // No when the project has unsaved changes, and `path` typed.
    void Import(const std::wstring& path, bool unsaved) {
        ASSERT_TRUE(drv::Activate(main));
        ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'I')) << drv::LastErrorUtf8();
        if (unsaved) {
            std::wstring question;
            ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Salva", IDNO, &question)) << drv::LastErrorUtf8();
            EXPECT_EQ(question, L"Si desidera salvare le modifiche del file?");
        }
        ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Importa", path).ok) << drv::LastErrorUtf8();
    }
};

TEST_F(ExchangeTest, TheTableAndTheProjectGoOutThroughEsporta) {
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"cantiere.vmo"), kSiteProject));
    Open(Path(L"cantiere.vmo"));
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"cantiere.vmo")));

    // The CSV filter and a name without extension: the table, with ".csv".
    ExportAs(Path(L"tabella"), 2);
    EXPECT_EQ(AnswerError(L"Esporta"), L"Esportazione effettuata correttamente.");
    const std::string table = drv::ReadFileBytes(Path(L"tabella.csv"));
    EXPECT_EQ(table.substr(0, 3), "\xEF\xBB\xBF");
    // The days as the regional settings write them: d/M/yyyy under Wine's Italian settings.
    EXPECT_NE(table.find("\r\nPonteggio;5/3/2024;8/3/2024;4;2;150,5;1204\r\n"), std::string::npos) << table;
    EXPECT_NE(table.find("\r\nTotale;;;;;;6304\r\n"), std::string::npos) << table;

    // The XML filter; then a name ending in ".xml" under the bitmap filter.
    ExportAs(Path(L"progetto"), 3);
    EXPECT_EQ(AnswerError(L"Esporta"), L"Esportazione effettuata correttamente.");
    const std::string project = drv::ReadFileBytes(Path(L"progetto.xml"));
    EXPECT_EQ(project.rfind("<?xml", 0), 0u);
    EXPECT_NE(project.find("<Name>Ponteggio</Name>"), std::string::npos);
    ExportAs(Path(L"copia.xml"), 0);
    EXPECT_EQ(AnswerError(L"Esporta"), L"Esportazione effettuata correttamente.");
    EXPECT_EQ(drv::ReadFileBytes(Path(L"copia.xml")), project);

    // A file that cannot be replaced keeps its content, and the message names the table.
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"fisso.csv"), "altro"));
    ASSERT_TRUE(SetFileAttributesW(Path(L"fisso.csv").c_str(), FILE_ATTRIBUTE_READONLY));
    ExportAs(Path(L"fisso.csv"), 2);
    EXPECT_EQ(AnswerError(), L"Errore durante la scrittura del file CSV.");
    EXPECT_EQ(drv::ReadFileBytes(Path(L"fisso.csv")), "altro");
    SetFileAttributesW(Path(L"fisso.csv").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ExchangeTest, AProjectComesInFromMicrosoftProjectXml) {
    const std::wstring title = apptest::kTitle;
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"cantiere.vmo"), kSiteProject));
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"villetta.xml"), kPlannerFile));
    const std::string broken = std::string(kPlannerFile).substr(0, 400);
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"rotto.xml"), broken));
    Open(Path(L"cantiere.vmo"));
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"cantiere.vmo")));
    // An unsaved change first: the import asks about it, as "&Apri" does.
    ASSERT_TRUE(drv::Activate(main));
    drv::Press(VK_DOWN);
    drv::Press(VK_DELETE);
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Cancellazione", IDYES)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(main) == title + L" - cantiere.vmo *"; }));
    const std::wstring lock = Path(L"~$cantiere.vmo.lock");
    EXPECT_NE(GetFileAttributesW(lock.c_str()), INVALID_FILE_ATTRIBUTES) << "the open project is locked";

    Import(Path(L"villetta.xml"), true);
    ASSERT_NE(drv::WaitMessageBox(app.Id(), L"Importa"), nullptr) << drv::LastErrorUtf8();
    apptest::Shot(L"importa_messaggio");
    std::wstring told;
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Importa", IDOK, &told)) << drv::LastErrorUtf8();
    EXPECT_EQ(told, L"Alcuni elementi del file non possono essere rappresentati nel progetto e non sono stati "
                    L"importati:\n1 collegamento tra task\n1 task di riepilogo\n1 milestone di durata zero\n\n"
                    L"Alcuni task sono stati importati diversamente dal file:\n1 task con giorni lavorativi diversi dal file");
    apptest::Shot(L"importato");
    // A new project, never saved, with no change before it to take back.
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::Text(main) == title + L" - Senza nome *"; })) << drv::Utf8(drv::Text(main));
    EXPECT_EQ(drv::StatusBarText(status), L"");
    // The project left behind is no longer held.
    EXPECT_EQ(GetFileAttributesW(lock.c_str()), INVALID_FILE_ATTRIBUTES) << "the lock of the project left behind";
    ASSERT_TRUE(drv::Activate(main));
    drv::Press('Z', drv::kCtrl);
    ExportAs(Path(L"importato.csv"), 2);
    EXPECT_EQ(AnswerError(L"Esporta"), L"Esportazione effettuata correttamente.");
    const std::string table = drv::ReadFileBytes(Path(L"importato.csv"));
    // Fondazioni: 9 working days (Epiphany off), two masons at 20 an hour for 8 hours.
    EXPECT_NE(table.find("\r\nFondazioni;4/1/2027;15/1/2027;9;2;160;2880\r\n"), std::string::npos) << table;
    EXPECT_EQ(table.find("Struttura"), std::string::npos);

    // A cut file: the format error, and the imported project stays.
    Import(Path(L"rotto.xml"), true);
    EXPECT_EQ(AnswerError(), L"Formato non valido.");
    EXPECT_EQ(drv::Text(main), title + L" - Senza nome *");
    ExportAs(Path(L"ancora.csv"), 2);
    EXPECT_EQ(AnswerError(L"Esporta"), L"Esportazione effettuata correttamente.");
    EXPECT_EQ(drv::ReadFileBytes(Path(L"ancora.csv")), table);
}

}  // namespace
