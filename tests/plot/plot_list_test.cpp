// Covers "Plotar" and "Adicionar": the parameters read from the edit boxes, the pairing of
// the listed files, every message and where it stops, and the denominator name of a
// chosen numerator file.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <utility>
#include <filesystem>
#include <string>
#include <vector>

#include "plot_fakes.h"
#include "plot_list.h"

namespace corvane {
namespace {

using test::polynomial;
using Lines = std::vector<std::string>;

struct PlotListTest : test::PlotterFixture, ::testing::Test {
    Polynomial one = polynomial({1.0});
    Polynomial lowPass = polynomial({1.0, 1.0});
};

TEST_F(PlotListTest, DefaultListPlotsNoCurves) {
    EXPECT_EQ(plot(), (Lines{"Lidas 0 funções"}));
    EXPECT_TRUE(plotter.plotReady());
    EXPECT_TRUE(plotter.curvesStale());
    EXPECT_EQ(plotter.curveCount(), 0);
    EXPECT_EQ(host.calls, (Lines{"hide", "show"}));
    const PlotParameters& p = plotter.plotParameters();
    EXPECT_EQ(p.wmin, 0.1);
    EXPECT_EQ(p.wmax, 5.0);
    EXPECT_EQ(p.gmin, -60.0);
    EXPECT_EQ(p.gmax, 20.0);
    EXPECT_EQ(p.fmin, -180.0);
    EXPECT_EQ(p.fmax, 180.0);
    EXPECT_EQ(p.amin, -10.0);
    EXPECT_EQ(p.amax, 40.0);
    EXPECT_EQ(p.segmentos, 300);
}

TEST_F(PlotListTest, ReadsPairsInListOrder) {
    addCurve("a", one, lowPass);
    addCurve("b", polynomial({2.0}, 3.0), polynomial({1.0, 2.0, 1.0}, 0.5));
    EXPECT_EQ(plot(),
              (Lines{"Lendo arquivo " + dir.file("a.n1"), "Lendo arquivo " + dir.file("a.d"),
                     "Lendo arquivo " + dir.file("b.n1"), "Lendo arquivo " + dir.file("b.d"),
                     "Lidas 2 funções"}));
    EXPECT_EQ(plotter.curveCount(), 2);
    EXPECT_TRUE(host.plotWindowVisible);
    const PlotCurve& b = plotter.curves()[2];
    EXPECT_EQ(b.numerator.degree, 0);
    EXPECT_EQ(b.numerator.constant, 3.0);
    EXPECT_EQ(b.denominator.degree, 2);
    EXPECT_EQ(b.denominator.coef[1], 2.0);
    EXPECT_EQ(b.denominator.constant, 0.5);
}

TEST_F(PlotListTest, CommentsMayStandAnywhereEvenInsideAPair) {
    const std::string n = writeFile("c.n1", one);
    const std::string d = writeFile("c.d", lowPass);
    host.memo = "* início\n" + n + "\n* entre o numerador e o denominador\n" + d + "\n*fim\n";
    EXPECT_EQ(plot(), (Lines{"Lendo arquivo " + n, "Lendo arquivo " + d, "Lidas 1 funções"}));
    EXPECT_EQ(plotter.curves()[1].denominator.degree, 1);
}

TEST_F(PlotListTest, AcceptsCarriageReturnLineEnds) {
    const std::string n = writeFile("c.n1", one);
    const std::string d = writeFile("c.d", lowPass);
    host.memo = "* lista\r\n" + n + "\r\n" + d + "\r\n";
    EXPECT_EQ(plot().back(), "Lidas 1 funções");
}

// Each case: the list text (with @ standing for the folder) and the log it gives.
struct StopCase {
    const char* name;
    std::string memo;
    Lines expected;
};

TEST_F(PlotListTest, StopsOnTheFirstLineThatCannotBeRead) {
    const std::string n = writeFile("c.n1", one);
    const std::string d = writeFile("c.d", lowPass);
    const std::string bad = dir.write("ruim.d", "1\n1.0\nabc\n1.0\n");
    const std::string shortFile = dir.write("curto.d", "2\n1.0\n2.0\n");
    const std::string missing = dir.file("falta.d");
    const std::vector<StopCase> cases{
        {"missing file",
         n + "\n" + missing,
         {"Lendo arquivo " + n, "Arquivo " + missing + " não encontrado."}},
        {"leading blank before the star",
         " * comentário?\n" + n + "\n" + d,
         {"Arquivo  * comentário? não encontrado."}},
        {"empty line between file lines",
         n + "\n\n" + d,
         {"Lendo arquivo " + n, "Arquivo  não encontrado."}},
        {"not a number",
         n + "\n" + bad,
         {"Lendo arquivo " + n, "Lendo arquivo " + bad, "Arquivo " + bad + " inválido."}},
        {"file ends early",
         n + "\n" + shortFile,
         {"Lendo arquivo " + n, "Lendo arquivo " + shortFile,
          "Arquivo " + shortFile + " inválido."}},
        {"numerator without denominator",
         n + "\n" + d + "\n" + n,
         {"Lendo arquivo " + n, "Lendo arquivo " + d, "Lendo arquivo " + n,
          "Falta o denominador do arquivo " + n}},
        {"a folder",
         n + "\n" + dir.path().string(),
         {"Lendo arquivo " + n, "Lendo arquivo " + dir.path().string(),
          "Arquivo " + dir.path().string() + " inválido."}},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.name);
        host = {};
        host.memo = c.memo;
        EXPECT_EQ(plot(), c.expected);
        EXPECT_FALSE(plotter.plotReady());
        EXPECT_TRUE(host.calls.empty());
        EXPECT_FALSE(host.plotWindowVisible);
    }
}

// A list that fails leaves the last plot shown, with its curves, files and ranges, as a
// refused box does; nothing of the failed list is mixed into it.
TEST_F(PlotListTest, AFailedListKeepsTheLastPlot) {
    addCurve("a", one, lowPass);
    addCurve("b", one, lowPass);
    plot();
    ASSERT_TRUE(plotter.plotReady());
    const std::string files = plotter.numeratorFiles()[2];
    const std::vector<test::RecordedLine> before = paint().lines;
    host.calls.clear();
    host.edits[PlotEditBox::Egmax] = "33";
    const std::vector<std::string> failing{
        dir.file("a.n1") + "\n" + dir.file("a.d") + "\n" + dir.file("b.n1") + "\n",
        dir.write("rede.net", "Filtro\nR1 a 0 1\n") + "\n" + dir.file("a.d") + "\n",
    };
    for (const std::string& memo : failing) {
        SCOPED_TRACE(memo);
        host.memo = memo;
        EXPECT_FALSE(plot().back().starts_with("Lidas"));
        EXPECT_TRUE(plotter.plotReady());
        EXPECT_TRUE(host.plotWindowVisible);
        EXPECT_TRUE(host.calls.empty());
        EXPECT_EQ(plotter.curveCount(), 2);
        EXPECT_EQ(plotter.numeratorFiles()[2], files);
        EXPECT_EQ(plotter.plotParameters().gmax, 20.0);
        EXPECT_EQ(paint().lines.size(), before.size());
    }
}

TEST_F(PlotListTest, TwentyCurvesAreReadTheTwentyFirstStops) {
    const std::string n = writeFile("c.n1", one);
    const std::string d = writeFile("c.d", lowPass);
    std::string twenty;
    for (int k = 0; k < MaxCurves; ++k)
        twenty += n + "\n" + d + "\n";
    host.memo = twenty;
    Lines log = plot();
    EXPECT_EQ(log.size(), 41u);
    EXPECT_EQ(log.back(), "Lidas 20 funções");
    EXPECT_TRUE(plotter.plotReady());

    host.memo = twenty + n + "\n" + d + "\n";
    log = plot();
    ASSERT_EQ(log.size(), 42u);
    EXPECT_EQ(log[40], "Lendo arquivo " + n);
    EXPECT_EQ(log[41], "Número excessivo de curvas");
    // The twenty curves plotted before stay.
    EXPECT_TRUE(plotter.plotReady());
    EXPECT_TRUE(host.plotWindowVisible);
}

TEST_F(PlotListTest, AnExcessiveDegreeRefusesTheFile) {
    std::string text = "1002\n";
    for (int i = 1; i <= 1004; ++i)
        text += std::to_string(i) + "\n";
    const std::string n = dir.write("grande.n1", text);
    const std::string d = writeFile("grande.d", lowPass);
    host.memo = n + "\n" + d;
    EXPECT_EQ(plot(), (Lines{"Lendo arquivo " + n, "Polinômio com grau excessivo",
                             "Arquivo " + n + " inválido."}));
    EXPECT_FALSE(plotter.plotReady());
}

TEST_F(PlotListTest, NumbersAsCLibraryWritesThemAreRead) {
    const std::string n = dir.write("um.n1", "0\n+4\n-0.5e-1\n");
    const std::string d = dir.write("um.d", "1\r\n1e0\r\n-1E+00\r\n2.5\r\n");
    host.memo = n + "\n" + d;
    EXPECT_EQ(plot().back(), "Lidas 1 funções");
    EXPECT_EQ(plotter.curves()[1].numerator.coef[0], 4.0);
    EXPECT_EQ(plotter.curves()[1].numerator.constant, -0.05);
    EXPECT_EQ(plotter.curves()[1].denominator.coef[1], -1.0);
    EXPECT_EQ(plotter.curves()[1].denominator.constant, 2.5);
}

// Every field of a result file is a whole number or a finite value, or the file is
// refused: nothing is shifted, wrapped or drawn as NaN.
TEST_F(PlotListTest, ResultFilesWithFieldsThatAreNotWholeAreRefused) {
    const std::vector<std::pair<std::string, std::string>> bad{
        {"degree past int", "2147483648\n1\n1\n"},
        {"degree wrapping to 1", "4294967297\n1\n1\n1\n"},
        {"negative degree", "-1\n7\n"},
        {"fractional degree", "1.5\n1\n1\n1\n"},
        {"degree with a unit", "1x\n1\n1\n1\n"},
        {"infinite constant", "0\n1\ninf\n"},
        {"NaN coefficient", "1\nnan\n1\n1\n"},
        {"number glued to text", "1\n1\n2abc\n1\n"},
        {"overflowing number", "0\n1e999\n1\n"},
    };
    const std::string d = writeFile("bom.d", lowPass);
    for (const auto& [name, text] : bad) {
        SCOPED_TRACE(name);
        const std::string n = dir.write("mau.n1", text);
        host.memo = n + "\n" + d;
        EXPECT_EQ(plot(), (Lines{"Lendo arquivo " + n, "Arquivo " + n + " inválido."}));
        EXPECT_FALSE(plotter.plotReady());
    }
    // Trailing words after the fields the reader takes are not its concern.
    const std::string n = dir.write("bom.n1", "0\n1\n1\nfim\n");
    host.memo = n + "\n" + d;
    EXPECT_EQ(plot().back(), "Lidas 1 funções");
}

TEST_F(PlotListTest, LinesUpTo1999CharactersNameFiles) {
    // Build a real path of exactly 1999 characters out of nested folders.
    std::string path = dir.path().string();
    while (path.size() < 1999 - 250) {
        path += "/" + std::string(200, 'p');
        std::filesystem::create_directory(path);
    }
    path += "/" + std::string(1999 - path.size() - 1, 'f');
    ASSERT_EQ(path.size(), 1999u);
    const std::string d = writeFile("x.d", lowPass);
    ASSERT_EQ(savePolynomial(path, one), SaveStatus::Saved);
    host.memo = path + "\n" + d;
    EXPECT_EQ(plot().back(), "Lidas 1 funções");

    // One character more is refused even though the file exists.
    const std::string longer =
        path.substr(0, path.rfind('/')) + "/" + std::string(1999 - path.rfind('/'), 'f');
    ASSERT_EQ(longer.size(), 2000u);
    ASSERT_EQ(savePolynomial(longer, one), SaveStatus::Saved);
    host.memo = longer + "\n" + d;
    EXPECT_EQ(plot(), (Lines{"Arquivo " + longer + " não encontrado."}));
}

TEST_F(PlotListTest, SegmentCountOutOfRangeFallsBackTo300) {
    const std::vector<std::pair<std::string, int>> segments{
        {"0", 300},   {"-5", 300}, {"601", 300}, {"99999999999", 300},
        {"600", 600}, {"1", 1},    {" 42 ", 42}, {"+7", 7}};
    for (const auto& [text, expected] : segments) {
        SCOPED_TRACE(text);
        host.edits[PlotEditBox::Esegmentos] = text;
        const Lines log = plot();
        EXPECT_EQ(plotter.plotParameters().segmentos, expected);
        const bool refused = expected == 300;
        EXPECT_EQ(log.front() == "Número inválido de segmentos", refused);
        EXPECT_EQ(log.back(), "Lidas 0 funções");
    }
}

TEST_F(PlotListTest, EitherDecimalSeparatorIsAccepted) {
    host.edits[PlotEditBox::Ewmin] = "2,5e-1";
    host.edits[PlotEditBox::Ewmax] = " 1e3 ";
    host.edits[PlotEditBox::Egmin] = "-.5";
    host.edits[PlotEditBox::Egmax] = "+7,5";
    host.edits[PlotEditBox::Efmin] = "-90.";
    EXPECT_EQ(plot().back(), "Lidas 0 funções");
    const PlotParameters& p = plotter.plotParameters();
    EXPECT_EQ(p.wmin, 0.25);
    EXPECT_EQ(p.wmax, 1000.0);
    EXPECT_EQ(p.gmin, -0.5);
    EXPECT_EQ(p.gmax, 7.5);
    EXPECT_EQ(p.fmin, -90.0);
}

// A box that is not entirely a number is named with its text, and "Plotar" stops there:
// the parameters, the curves and the plot window stay as the last good "Plotar" left them.
TEST_F(PlotListTest, BoxesThatAreNotNumbersStopPlotarAndChangeNothing) {
    struct Case {
        PlotEditBox box;
        std::string text;
        std::string caption;
    };
    const std::vector<Case> cases{
        {PlotEditBox::Ewmin, "abc", "Frequência mínima"},
        {PlotEditBox::Ewmax, " 1e3x", "Frequência máxima"},
        {PlotEditBox::Egmin, "", "Módulo mínimo (dB)"},
        {PlotEditBox::Egmax, "1,000.5", "Módulo máximo (dB)"},
        {PlotEditBox::Efmin, "nan", "Fase mínima (graus)"},
        {PlotEditBox::Efmax, "inf", "Fase máxima (graus)"},
        {PlotEditBox::Eamin, "0x10", "Atraso de grupo mínimo (s)"},
        {PlotEditBox::Eamax, "1e999", "Atraso de grupo máximo (s)"},
        {PlotEditBox::Esegmentos, "12.7", "Segmentos"},
        {PlotEditBox::Esegmentos, "42x", "Segmentos"},
        {PlotEditBox::Esegmentos, "abc", "Segmentos"},
    };
    addCurve("a", polynomial({1.0}), polynomial({1.0, 1.0}));
    host.edits[PlotEditBox::Egmax] = "33";
    ASSERT_EQ(plot().back(), "Lidas 1 funções");
    const test::FakeListHost good = host;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        host = good;
        host.edits[c.box] = c.text;
        host.memo = test::DefaultListText;
        host.calls.clear();
        const std::string message = "Valor inválido em \"" + c.caption + "\": " + c.text;
        EXPECT_EQ(plot(), (Lines{message}));
        // Also beside the boxes, since the plot window may hide the log.
        EXPECT_EQ(host.message, message);
        EXPECT_TRUE(host.calls.empty());
        EXPECT_TRUE(plotter.plotReady());
        EXPECT_EQ(plotter.curveCount(), 1);
        EXPECT_EQ(plotter.plotParameters().gmax, 33.0);
        EXPECT_EQ(plotter.plotParameters().wmin, 0.1);
    }
}

// The boxes read the netlist's suffixes; a good "Plotar" clears the message a refused one
// left, and a stopped list shows its own.
TEST_F(PlotListTest, BoxesTakeSuffixesAndTheWindowShowsWhatStopped) {
    host.edits[PlotEditBox::Ewmin] = "2m";
    host.edits[PlotEditBox::Ewmax] = "10k";
    host.edits[PlotEditBox::Eamax] = "2,5u";
    host.message = "Valor inválido em \"Tempo final\": 2x";
    EXPECT_EQ(plot().back(), "Lidas 0 funções");
    EXPECT_EQ(plotter.plotParameters().wmin, 2e-3);
    EXPECT_EQ(plotter.plotParameters().wmax, 1e4);
    EXPECT_EQ(plotter.plotParameters().amax, 2.5e-6);
    EXPECT_EQ(host.message, "");

    host.edits[PlotEditBox::Esegmentos] = "0";
    plot();
    EXPECT_EQ(host.message, "Número inválido de segmentos");

    host.memo = dir.file("nada.n1") + "\n" + dir.file("nada.d");
    EXPECT_EQ(plot().back(), "Arquivo " + dir.file("nada.n1") + " não encontrado.");
    EXPECT_EQ(host.message, "Arquivo " + dir.file("nada.n1") + " não encontrado.");
    EXPECT_EQ(plotter.fittedRanges(host, boxes), std::nullopt);
    EXPECT_EQ(host.message, "Arquivo " + dir.file("nada.n1") + " não encontrado.");
}

TEST_F(PlotListTest, StoppedListChangesNoParameter) {
    host.edits[PlotEditBox::Egmax] = "33";
    host.memo = dir.file("nada.n1");
    plot();
    EXPECT_EQ(plotter.plotParameters().gmax, PlotParameters{}.gmax);
    EXPECT_FALSE(plotter.plotReady());
}

struct AddCase {
    std::string chosen;
    Lines appended;
};

TEST_F(PlotListTest, AddPairsTheNumeratorWithItsDenominator) {
    const std::vector<AddCase> cases{
        {"/dados/filtro.n3", {"/dados/filtro.n3", "/dados/filtro.d"}},
        {"/dados/filtro.n12", {"/dados/filtro.n12", "/dados/filtro.d"}},
        {"/dados/filtro.N2", {"/dados/filtro.N2", "/dados/filtro.d"}},
        {"/dados/filtro.txt",
         {"* Não é um arquivo de numerador (nome.n1 a nome.n1000): /dados/filtro.txt"}},
        {"/dados/filtro.net",
         {"* Não é um arquivo de numerador (nome.n1 a nome.n1000): /dados/filtro.net"}},
        {"/dados/filtro.d", {"* Não é um arquivo de numerador (nome.n1 a nome.n1000): /dados/filtro.d"}},
        {"/dados/filtro.n0", {"* Não é um arquivo de numerador (nome.n1 a nome.n1000): /dados/filtro.n0"}},
        {"/dados/filtro.n26", {"/dados/filtro.n26", "/dados/filtro.d"}},
        {"/dados/filtro.n1000", {"/dados/filtro.n1000", "/dados/filtro.d"}},
        {"/dados/filtro.n1001",
         {"* Não é um arquivo de numerador (nome.n1 a nome.n1000): /dados/filtro.n1001"}},
        {"/dados/filtro.n25", {"/dados/filtro.n25", "/dados/filtro.d"}},
        {"/dados/a.nova/filtro.n1", {"/dados/a.nova/filtro.n1", "/dados/a.nova/filtro.d"}},
        {"/dados/a.nova/filtro.txt",
         {"* Não é um arquivo de numerador (nome.n1 a nome.n1000): /dados/a.nova/filtro.txt"}},
        {"/dados/a.N/f.n1", {"/dados/a.N/f.n1", "/dados/a.N/f.d"}},
        {"/dados/x.N1.n2", {"/dados/x.N1.n2", "/dados/x.N1.d"}},
        {"/dados/x.nivel.n2", {"/dados/x.nivel.n2", "/dados/x.nivel.d"}},
        {"/dados/amp.v1.n3", {"/dados/amp.v1.n3", "/dados/amp.v1.d"}},
        {"filtro.n1", {"filtro.n1", "filtro.d"}},
        {"/dados/.n5", {"/dados/.n5", "/dados/.d"}},
        {"/dados/filtro.n1/", {"* Não é um arquivo de numerador (nome.n1 a nome.n1000): /dados/filtro.n1/"}},
        {"/dados/com\nquebra.n1", {"* Arquivo com nome inválido."}},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.chosen);
        host = {};
        host.dialogChoice = c.chosen;
        plotter.addNumeratorFile(host);
        EXPECT_EQ(host.appended, c.appended);
    }
    EXPECT_TRUE(lines.empty());
}

TEST_F(PlotListTest, AddDoesNothingWhenTheDialogIsCancelled) {
    plotter.addNumeratorFile(host);
    EXPECT_EQ(host.calls, (Lines{"chooseNumeratorFile"}));
    EXPECT_TRUE(host.appended.empty());
}

TEST_F(PlotListTest, AddedLinesPlotAsAPair) {
    writeFile("f.n1", one);
    writeFile("f.d", lowPass);
    host.dialogChoice = dir.file("f.n1");
    plotter.addNumeratorFile(host);
    for (const std::string& line : host.appended)
        host.memo += "\n" + line;
    EXPECT_EQ(plot().back(), "Lidas 1 funções");
}

// A step document as varrer writes it, by hand: R1 of an RC low-pass (C = 1 µF) at 1 kΩ
// and 4,7 kΩ, with a value between them that could not be analysed.
std::string stepDocumentText() {
    return R"({"formato": "corvane-varredura", "versao": 1, "elemento": "R1", "valores": [
  {"valor": 1000, "legenda": "R1 = 1 kΩ", "calculado": true,
   "denominador": {"grau": 1, "coeficientes": [1, 0.001], "constante": 1},
   "numeradores": [{"numero": 2, "nome": "saida",
                    "numerador": {"grau": 0, "coeficientes": [1], "constante": 1}}]},
  {"valor": 0, "legenda": "R1 = 0 Ω", "calculado": false},
  {"valor": 4700, "legenda": "R1 = 4,7 kΩ", "calculado": true,
   "denominador": {"grau": 1, "coeficientes": [1, 0.0047], "constante": 1},
   "numeradores": [{"numero": 2, "nome": "saida",
                    "numerador": {"grau": 0, "coeficientes": [1], "constante": 1}}]}]})";
}

TEST_F(PlotListTest, AddListsTheComputedValuesOfAStepAndPlotsThemWithTheirLegends) {
    const std::string document = dir.write("rc.varredura.json", stepDocumentText());
    host.dialogChoice = document;
    plotter.addNumeratorFile(host);
    EXPECT_EQ(host.appended, (Lines{document + "#saida@1", document + "#saida@3"}));
    for (const std::string& line : host.appended)
        host.memo += "\n" + line;
    EXPECT_EQ(plot().back(), "Lidas 2 funções");
    EXPECT_EQ(plotter.curveLabels()[1], "R1 = 1 kΩ");
    EXPECT_EQ(plotter.curveLabels()[2], "R1 = 4,7 kΩ");
    // 1/(1 + sRC) at s = 1000j: the pole of 1 kΩ is there.
    const std::complex<double> s(0.0, 1000.0);
    for (const auto& [k, rc] : {std::pair{1, 1e-3}, std::pair{2, 4.7e-3}}) {
        const PlotCurve& curve = plotter.curves()[static_cast<std::size_t>(k)];
        const std::complex<double> d = curve.denominator.constant *
                                       (curve.denominator.coef[0] + curve.denominator.coef[1] * s);
        const std::complex<double> h = curve.numerator.constant * curve.numerator.coef[0] / d;
        EXPECT_LE(std::abs(h - 1.0 / (1.0 + s * rc)), 1e-12) << k;
    }
}

TEST_F(PlotListTest, AddSaysWhyAStepDocumentGivesNoCurve) {
    std::string withoutNumerators = stepDocumentText();
    for (std::size_t at; (at = withoutNumerators.find("\"numeradores\"")) != std::string::npos;)
        withoutNumerators.replace(at, 13, "\"outros\"");
    const std::string bare = dir.write("sem.json", withoutNumerators);
    const std::string none = dir.write(
        "nada.json", R"({"formato": "corvane-varredura", "versao": 1, "valores": [
            {"valor": 0, "legenda": "R1 = 0 Ω", "calculado": false}]})");
    const std::string later = dir.write("v2.json",
                                        R"({"formato": "corvane-varredura", "versao": 2})");
    const std::vector<AddCase> cases{
        {bare, {"* O documento " + bare + " não tem numeradores: grave a varredura com --variavel."}},
        {none, {"* O documento " + none + " não tem nenhum valor calculado."}},
        {later, {"* O documento " + later + " é de uma versão que este programa não lê."}},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.chosen);
        host = {};
        host.dialogChoice = c.chosen;
        plotter.addNumeratorFile(host);
        EXPECT_EQ(host.appended, c.appended);
    }
}

// Each case: the list line and the message the list window shows for it.
struct StepLineCase {
    const char* name;
    std::string line;
    std::string message;
};

TEST_F(PlotListTest, AStepLineThatCannotBeReadStopsTheListWithItsReason) {
    const std::string text = stepDocumentText();
    const std::string document = dir.write("rc.varredura.json", text);
    const std::string cut = dir.write("cortado.json", text.substr(0, text.size() / 2));
    const std::string results = dir.write(
        "rc.json", R"({"formato": "corvane-resultados", "versao": 1, "variaveis": []})");
    const std::string broken = dir.write(
        "torto.json", R"({"formato": "corvane-varredura", "versao": 1, "valores": [
            {"valor": 1, "legenda": "R1 = 1 Ω", "calculado": true,
             "denominador": {"grau": 1, "coeficientes": [1], "constante": 1},
             "numeradores": []}]})");
    const std::vector<StepLineCase> cases{
        {"past the last value", document + "#saida@4",
         "O documento " + document + " tem 3 valores; não tem o valor 4."},
        {"value zero", document + "#saida@0",
         "O documento " + document + " tem 3 valores; não tem o valor 0."},
        {"not computed", document + "#saida@2",
         "O documento " + document +
             " não tem as funções do valor 2 (R1 = 0 Ω): o circuito não pôde ser analisado com ele."},
        {"unknown variable", document + "#x9@1",
         "O documento " + document + " não tem a variável x9."},
        {"a run's document", results + "#saida@1",
         "O documento " + results + " não é um documento de varredura do Corvane."},
        {"truncated", cut + "#saida@1",
         "O documento " + cut + " está incompleto ou não é JSON."},
        {"degree without its coefficients", broken + "#saida@1",
         "O documento " + broken + " é inválido."},
    };
    for (const StepLineCase& c : cases) {
        SCOPED_TRACE(c.name);
        host = {};
        host.memo = c.line;
        const Lines log = plot();
        EXPECT_EQ(log.back(), c.message);
        EXPECT_EQ(host.message, c.message);
        EXPECT_FALSE(plotter.plotReady());
    }
}

TEST(PlotListLinesTest, SplitsAtLineEndsAndDropsOnlyAnEmptyLastLine) {
    EXPECT_EQ(splitListLines(""), Lines{});
    EXPECT_EQ(splitListLines("a"), Lines{"a"});
    EXPECT_EQ(splitListLines("a\n"), Lines{"a"});
    EXPECT_EQ(splitListLines("a\n\n"), (Lines{"a", ""}));
    EXPECT_EQ(splitListLines("\na"), (Lines{"", "a"}));
    EXPECT_EQ(splitListLines(" a \r\nb\rc\r\n"), (Lines{" a ", "b\rc"}));
}

}  // namespace
}  // namespace corvane
