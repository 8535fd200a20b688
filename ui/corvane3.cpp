#include "corvane3.h"

#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "program.h"
#include "window_style.h"

namespace corvane::ui {

namespace {

constexpr int ItemHeight = 13;

// Rows of a fixed height, whatever the font asks for: the list shows 24 variables at once.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), ItemHeight};
    }
};

}  // namespace

TForm3::TForm3(Program& program) : program_(program) {
    setUpSecondaryWindow(*this, "Form3", QStringLiteral("Variáveis"));

    LBsel = new QListWidget(this);
    LBsel->setObjectName(QStringLiteral("LBsel"));
    LBsel->setGeometry(8, 8, 161, 313);
    LBsel->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LBsel->setUniformItemSizes(true);
    LBsel->setItemDelegate(new FixedHeightDelegate(LBsel));

    Button1 = new QPushButton(QStringLiteral("Listar resultados"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 328, 89, 25);
    Button1->setEnabled(false);

    setTabOrder(LBsel, Button1);
    LBsel->setFocus();

    connect(Button1, &QPushButton::clicked, this, program.command([this] { Button1Click(); }));

    placeWindow(*this, {680, 170}, {194, 400});
}

void TForm3::Button1Click() {
    program_.analysis().listResults();
}

}  // namespace corvane::ui
