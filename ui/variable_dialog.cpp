#include "variable_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane::ui {

namespace {

std::string fileNameOnly(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

QString variableRowText(const std::string& stem, const ResultVariable& variable) {
    const std::string file = fileNameOnly(stem) + ".n" + std::to_string(variable.number);
    return QFile::decodeName(QByteArray::fromStdString(file)) + QStringLiteral(" — ") +
           QString::fromStdString(variableLabel(variable));
}

VariableDialog::VariableDialog(QWidget* parent, const VariableChoice& choice) : QDialog(parent) {
    setObjectName(QStringLiteral("VariableDialog"));
    setWindowTitle(QStringLiteral("Adicionar variável"));

    Label1 = new QLabel(QStringLiteral("Variáveis de %1:")
                            .arg(QFile::decodeName(QByteArray::fromStdString(choice.stem))),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    LBvariaveis = new QListWidget(this);
    LBvariaveis->setObjectName(QStringLiteral("LBvariaveis"));
    // Several variables of one run are often plotted together.
    LBvariaveis->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const ResultVariable& variable : choice.variables) {
        auto* row = new QListWidgetItem(variableRowText(choice.stem, variable), LBvariaveis);
        row->setData(Qt::UserRole, variable.number);
    }
    if (LBvariaveis->count() > 0) LBvariaveis->setCurrentRow(0);

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->setObjectName(QStringLiteral("Buttons"));
    Buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Adicionar"));
    Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    Bsubstituir = Buttons->addButton(QStringLiteral("Substituir a lista"),
                                     QDialogButtonBox::ActionRole);
    Bsubstituir->setObjectName(QStringLiteral("Bsubstituir"));
    Bsubstituir->setToolTip(QStringLiteral("As variáveis escolhidas tomam o lugar das curvas da "
                                           "lista; os comentários do início ficam"));
    connect(Bsubstituir, &QPushButton::clicked, this, [this] {
        replaces_ = true;
        accept();
    });
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(LBvariaveis, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(LBvariaveis);
    layout->addWidget(Buttons);
    resize(320, 360);
}

std::vector<int> VariableDialog::chosenNumbers() const {
    std::vector<int> numbers;
    for (int i = 0; i < LBvariaveis->count(); ++i) {
        const QListWidgetItem* row = LBvariaveis->item(i);
        if (row->isSelected()) numbers.push_back(row->data(Qt::UserRole).toInt());
    }
    return numbers;
}

std::optional<VariablePick> chooseVariables(QWidget* parent, const VariableChoice& choice) {
    VariableDialog dialog(parent, choice);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return VariablePick{dialog.chosenNumbers(), dialog.replaces()};
}

}  // namespace corvane::ui
