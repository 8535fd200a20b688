// TForm5, the plot window "Resposta em frequência", shown by "Plotar" of the file list.
#pragma once

#include <QWidget>

namespace corvane::ui {

class Program;

class TForm5 : public QWidget {
public:
    explicit TForm5(Program& program);

private:
    [[maybe_unused]] Program& program_;
};

}  // namespace corvane::ui
