// Covers the table of commands: each command is found by its exact name only, and the
// help text, made from the table, has each command's usage line and paragraph; and the
// --memoria-cache reader at the edges it has always had.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "command_arguments.h"
#include "commands.h"
#include "option_readers.h"

namespace corvane::cli {
namespace {

TEST(CommandsTest, EachCommandIsFoundByItsExactNameAndHelped) {
    struct Expected {
        const char* name;
        const char* usageLine;
        const char* paragraph;
    };
    const std::string help = usageText();
    std::size_t lastParagraph = 0;
    for (const Expected& e : {
             Expected{"analisar", "Uso: corvane-cli analisar [opções] NETLIST\n",
                      "\nanalisar: analisa o circuito do NETLIST"},
             Expected{"plotar", "\n     corvane-cli plotar [opções] LISTA\n",
                      "\nplotar: calcula a resposta em frequência"},
             Expected{"tempo", "\n     corvane-cli tempo [opções] LISTA\n",
                      "\ntempo: calcula a resposta no tempo"},
             Expected{"polos", "\n     corvane-cli polos [opções] LISTA\n",
                      "\npolos: desenha ou tabela os polos e zeros"},
             Expected{"ruido", "\n     corvane-cli ruido --saida VARIÁVEL [opções] NETLIST\n",
                      "\nruido: calcula exatamente o ruído térmico"},
             Expected{"malha", "\n     corvane-cli malha --fonte NOME [opções] NETLIST\n",
                      "\nmalha: calcula exatamente o ganho de malha"},
             Expected{"varrer",
                      "\n     corvane-cli varrer --elemento NOME (--valores LISTA | --de V --ate V) "
                      "[opções] NETLIST\n",
                      "\nvarrer: analisa exatamente o circuito do NETLIST para cada valor"},
             Expected{"sensibilidade", "\n     corvane-cli sensibilidade [opções] NETLIST\n",
                      "\nsensibilidade: calcula exatamente as sensibilidades normalizadas"},
             Expected{"tolerancia", "\n     corvane-cli tolerancia --tol LISTA [opções] NETLIST\n",
                      "\ntolerancia: dá a dispersão de ω0 e Q"},
         }) {
        const Command* command = findCommand(e.name);
        ASSERT_NE(command, nullptr) << e.name;
        EXPECT_EQ(std::string(command->name), e.name);
        EXPECT_NE(help.find(e.usageLine), std::string::npos) << e.name;
        // The paragraphs come in the order of the table, after the usage lines.
        const std::size_t paragraph = help.find(e.paragraph);
        ASSERT_NE(paragraph, std::string::npos) << e.name;
        EXPECT_GT(paragraph, lastParagraph) << e.name;
        lastParagraph = paragraph;
    }
    EXPECT_EQ(commands().size(), 9u);
    for (const char* unknown : {"", "Analisar", "analisa", "analisar ", "plot", "--help"}) {
        EXPECT_EQ(findCommand(unknown), nullptr) << unknown;
    }
    const std::string last = "130 análise interrompida por Ctrl-C (nenhum arquivo gravado).\n";
    ASSERT_GT(help.size(), last.size());
    EXPECT_EQ(help.substr(help.size() - last.size()), last);
}

TEST(CommandsTest, MemoryForMinorsIsHeldAtOneExbibyte) {
    constexpr std::size_t MiB = std::size_t{1} << 20;
    EXPECT_EQ(parseMebibytes("64"), 64 * MiB);
    EXPECT_EQ(parseMebibytes("1099511627776"), std::size_t{1} << 60);
    // Ten times 1 EiB and nine MiB more is still read, and held at 1 EiB; one more is not.
    EXPECT_EQ(parseMebibytes("10995116277769"), std::size_t{1} << 60);
    for (const char* refused : {"10995116277770", "", "63", "64k"}) {
        EXPECT_THROW(parseMebibytes(refused), UsageError) << refused;
    }
    try {
        parseMebibytes("10995116277770");
    } catch (const UsageError& error) {
        EXPECT_EQ(error.message(), "--memoria-cache precisa de um número de MiB: 10995116277770");
    }
}

}  // namespace
}  // namespace corvane::cli
