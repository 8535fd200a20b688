// Covers the plot list window's view buttons as the window table gives them
// (plot_view.h, plot_list_window.cpp): a view added as one more row gets its button with
// its caption, name and place, Tab reaches it in the table's order, its click opens that
// view alone with this list, a failure of the view reaches the error box, Enter in an edit
// box opens only the view of the ranges, and every view hears of a changed check box.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <stdexcept>
#include <vector>

#include "plot_list_window.h"
#include "plot_view.h"
#include "program.h"
#include "window_style.h"
#include "window_test_main.h"

namespace corvane::ui {
namespace {

// Records what the plot list asks of it.
class RecordingView : public PlotView {
public:
    void openFrom(PlotListWindow& list) override {
        ++opened;
        openedFrom = &list;
        if (onOpen) onOpen();
    }
    void checkBoxesChanged() override { ++checkBoxChanges; }

    int opened = 0;
    int checkBoxChanges = 0;
    PlotListWindow* openedFrom = nullptr;
    std::function<void()> onOpen;
};

// The two views of the program and a pole-zero map beside "Tempo", as its row would add it.
const std::vector<PlotViewButton> Buttons = {
    {"Button2", "Plotar", {400, 344, 75, 25}, true},
    {"Button4", "Tempo", {560, 8, 75, 25}},
    {"Button6", "Polos e zeros", {560, 36, 105, 25}},
};

// The control Tab goes to from `widget`: labels take no focus.
QWidget* nextTabStop(QWidget* widget) {
    do {
        widget = widget->nextInFocusChain();
    } while (!(widget->focusPolicy() & Qt::TabFocus));
    return widget;
}

struct ViewedList {
    explicit ViewedList(Program& program) : views(Buttons.size()) {
        PlotViewEntries entries;
        for (std::size_t i = 0; i < Buttons.size(); ++i)
            entries.push_back({Buttons[i], [this, i]() -> PlotView& { return views[i]; }});
        list = std::make_unique<PlotListWindow>(program.errorBox(), program.plotter(),
                                                program.analysis(), std::move(entries));
    }

    std::vector<int> openCounts() const {
        std::vector<int> counts;
        for (const RecordingView& view : views)
            counts.push_back(view.opened);
        return counts;
    }

    std::vector<RecordingView> views;
    std::unique_ptr<PlotListWindow> list;
};

}  // namespace

class PlotViewsTest : public QObject {
    Q_OBJECT

private slots:
    void eachRowGivesItsButton_data() {
        QTest::addColumn<int>("row");
        QTest::newRow("Plotar") << 0;
        QTest::newRow("Tempo") << 1;
        QTest::newRow("a view added as a row") << 2;
    }

    void eachRowGivesItsButton() {
        QFETCH(int, row);
        Program program;
        ViewedList viewed(program);
        const PlotViewButton& expected = Buttons[static_cast<std::size_t>(row)];
        auto* button = viewed.list->findChild<QPushButton*>(expected.objectName);
        QVERIFY(button != nullptr);
        QCOMPARE(viewed.list->viewButton(expected.objectName), button);
        QCOMPARE(button->text(), QString::fromUtf8(expected.caption));
        QCOMPARE(button->geometry(), expected.geometry);

        QTest::mouseClick(button, Qt::LeftButton);
        std::vector<int> counts(Buttons.size(), 0);
        counts[static_cast<std::size_t>(row)] = 1;
        QCOMPARE(viewed.openCounts(), counts);
        QCOMPARE(viewed.views[static_cast<std::size_t>(row)].openedFrom, viewed.list.get());
    }

    void noButtonForANameNoRowHas() {
        Program program;
        ViewedList viewed(program);
        QCOMPARE(viewed.list->viewButton("Button3"), static_cast<QPushButton*>(nullptr));
        QCOMPARE(viewed.list->viewButton("Button7"), static_cast<QPushButton*>(nullptr));
    }

    // The view of the ranges right after "Ajustar"; the others after the check boxes, in
    // the table's order, before "Adicionar variável...".
    void tabReachesTheViewsInTheTablesOrder() {
        Program program;
        ViewedList viewed(program);
        PlotListWindow& list = *viewed.list;
        QCOMPARE(nextTabStop(list.Button3), list.viewButton("Button2"));
        QCOMPARE(nextTabStop(list.viewButton("Button2")), list.Ewmin);
        QCOMPARE(nextTabStop(list.CBcores), list.CBsemdegrau);
        QCOMPARE(nextTabStop(list.CBsemdegrau), list.viewButton("Button4"));
        QCOMPARE(nextTabStop(list.viewButton("Button4")), list.viewButton("Button6"));
        QCOMPARE(nextTabStop(list.viewButton("Button6")), list.Button5);
    }

    void enterInAnEditBoxOpensOnlyTheViewOfTheRanges_data() {
        QTest::addColumn<QString>("box");
        // The first, a middle and the last box of the column.
        for (const char* name : {"Ewmin", "Egmax", "Esegmentos"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void enterInAnEditBoxOpensOnlyTheViewOfTheRanges() {
        QFETCH(QString, box);
        Program program;
        ViewedList viewed(program);
        auto* edit = viewed.list->findChild<QLineEdit*>(box);
        QVERIFY(edit != nullptr);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(viewed.openCounts(), (std::vector<int>{1, 0, 0}));
    }

    // A view that draws with the check boxes repaints at once, without its button.
    void everyViewHearsOfAChangedCheckBox() {
        Program program;
        ViewedList viewed(program);
        for (QCheckBox* box : {viewed.list->CBgrade, viewed.list->CBfase, viewed.list->CBhz})
            box->click();
        for (const RecordingView& view : viewed.views) {
            QCOMPARE(view.checkBoxChanges, 3);
            QCOMPARE(view.opened, 0);
        }
    }

    void aFailureOfAViewReachesTheErrorBox() {
        Program program;
        std::vector<QString> shown;
        program.errorBox().setPresenter(
            [&shown](const QString&, const QString& text) { shown.push_back(text); });
        ViewedList viewed(program);
        viewed.views[2].onOpen = [] { throw std::runtime_error("mapa sem polos"); };
        viewed.list->viewButton("Button6")->click();
        QTRY_COMPARE(shown.size(), std::size_t{1});
        QCOMPARE(shown.front(), QString("mapa sem polos."));
        // The window goes on: the next click opens the view again.
        viewed.views[2].onOpen = {};
        viewed.list->viewButton("Button6")->click();
        QCOMPARE(viewed.views[2].opened, 2);
    }

    // A list of 696 × 480 and a view of 696 × 560 on screens of several widths; the view
    // never covers the list's right column of boxes (its last 290 pixels) when the screen
    // can hold both, and is always whole on the screen.
    void aViewStandsBesideTheList_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("list");
        QTest::addColumn<QPoint>("listAt");
        QTest::addColumn<QPoint>("viewAt");
        QTest::newRow("room on the right") << QRect(0, 0, 1920, 1080) << QRect(100, 100, 696, 480)
                                           << QPoint(100, 100) << QPoint(804, 100);
        QTest::newRow("room on the left only") << QRect(0, 0, 1920, 1080)
                                               << QRect(1100, 100, 696, 480) << QPoint(1100, 100)
                                               << QPoint(396, 100);
        QTest::newRow("centred on a full-HD screen")
            << QRect(0, 0, 1920, 1080) << QRect(612, 300, 696, 480) << QPoint(0, 300)
            << QPoint(704, 300);
        QTest::newRow("a laptop's 1366 pixels")
            << QRect(0, 0, 1366, 768) << QRect(335, 144, 696, 480) << QPoint(0, 144)
            << QPoint(670, 144);
        QTest::newRow("kept whole below") << QRect(0, 0, 1920, 768) << QRect(0, 500, 696, 480)
                                          << QPoint(0, 500) << QPoint(704, 208);
        QTest::newRow("narrower than the view") << QRect(0, 0, 640, 480) << QRect(0, 0, 696, 480)
                                                << QPoint(0, 0) << QPoint(0, 0);
    }

    void aViewStandsBesideTheList() {
        QFETCH(QRect, screen);
        QFETCH(QRect, list);
        QFETCH(QPoint, listAt);
        QFETCH(QPoint, viewAt);
        const SideBySide places = placeBeside(screen, list, QSize(696, 560));
        QCOMPARE(places.list, listAt);
        QCOMPARE(places.view, viewAt);
    }
};

}  // namespace corvane::ui

CORVANE_WINDOW_TEST_MAIN(corvane::ui::PlotViewsTest)
#include "plot_views_test.moc"
