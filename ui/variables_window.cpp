#include "variables_window.h"

#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "analysis.h"
#include "error_box.h"
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

VariablesWindow::VariablesWindow(ErrorBox& errorBox, Analysis& analysis)
    : analysis_(analysis) {
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

    connect(Button1, &QPushButton::clicked, this, errorBox.command([this] { Button1Click(); }));

    placeWindow(*this, {680, 170}, {194, 400});
}

void VariablesWindow::Button1Click() {
    analysis_.listResults();
}

}  // namespace corvane::ui
