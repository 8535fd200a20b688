// TForm4, the plotter's file list window "Resposta em frequência - Arquivos", opened by
// "Gráficos" at any time.
#pragma once

#include <QWidget>

namespace corvane::ui {

class Program;

class TForm4 : public QWidget {
public:
    explicit TForm4(Program& program);

private:
    [[maybe_unused]] Program& program_;
};

}  // namespace corvane::ui
