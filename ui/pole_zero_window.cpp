#include "pole_zero_window.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QResizeEvent>

#include <cmath>

#include "analysis_log.h"
#include "c_locale.h"
#include "error_box.h"
#include "image_saving.h"
#include "noise_curves.h"
#include "number_text.h"
#include "open_dialog.h"
#include "output_target.h"
#include "painter_canvas.h"
#include "plot_image.h"
#include "plot_keys.h"
#include "plot_list.h"
#include "plot_list_window.h"
#include "listed_curves.h"
#include "pole_zero_paint.h"
#include "result_file_names.h"
#include "result_variables.h"
#include "remembered_line.h"
#include "window_style.h"

namespace corvane::ui {

namespace {

constexpr int BoxRowTop = 8;
constexpr int PlotTop = 38;

}  // namespace

PoleZeroWindow::PoleZeroWindow(AnalysisLog& log, ErrorBox& errors)
    : log_(log), errors_(errors) {
    setUpSecondaryWindow(*this, "TFormPZ", QStringLiteral("Polos e zeros"));
    setFocusPolicy(Qt::StrongFocus);

    Label1 = addLabel(this, "Label1", QStringLiteral("Elemento"), {8, BoxRowTop + 3, 56, 17});
    Eelemento = addEditBox(this, "Eelemento", {66, BoxRowTop, 70, 21});
    Label2 = addLabel(this, "Label2", QStringLiteral("De"), {146, BoxRowTop + 3, 20, 17});
    Ede = addEditBox(this, "Ede", {168, BoxRowTop, 80, 21});
    Label3 = addLabel(this, "Label3", QStringLiteral("Até"), {256, BoxRowTop + 3, 24, 17});
    Eate = addEditBox(this, "Eate", {282, BoxRowTop, 80, 21});
    Label4 = addLabel(this, "Label4", QStringLiteral("Pontos"), {372, BoxRowTop + 3, 44, 17});
    Epontos = addEditBox(this, "Epontos", {418, BoxRowTop, 50, 21});
    Epontos->setText(QString::number(DefaultLocusPoints));
    CBlog = addCheckBox(this, "CBlog", QStringLiteral("Logarítmica"), {478, BoxRowTop + 2, 96, 17},
                        false);
    Button1 = new QPushButton(QStringLiteral("Lugar"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(580, BoxRowTop - 2, 75, 25);
    const auto guarded = [this](auto handler) { return [this, handler] { errors_.run(handler); }; };
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    for (QLineEdit* edit : {Eelemento, Ede, Eate, Epontos})
        connect(edit, &QLineEdit::returnPressed, Button1, &QPushButton::click);

    Grafico = new PlaneArea(this, *this);
    Lcursor = addLabel(this, "Lcursor", QString(), {});

    const ImageSaveMenu imageMenu =
        addPlaneImageMenu(this, QStringLiteral("polos.png"), errors_,
                          [this](render::ImageBackground background) { Salvarimagem1Click(background); });
    PopupMenu1 = imageMenu.menu;
    Salvarimagem1 = imageMenu.saveImage;
    SaveDialog1 = imageMenu.dialog;
    Salvarimagemclara1 = imageMenu.saveLightImage;

    placeWindow(*this, {904, 356}, {696, 560});
}

void PoleZeroWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOutPlaneView(*this, *Grafico, *Lcursor, PlotTop);
}

void PoleZeroWindow::paintOn(PlotCanvas& canvas, int width, int height) const {
    PlanePicture picture;
    picture.map = &map_;
    picture.curveLabels = &labels_;
    picture.locus = locus_ ? &*locus_ : nullptr;
    picture.region = region_;
    drawPoleZeroPlane(canvas, width, height, picture);
}

std::optional<PlaneFrame> PoleZeroWindow::frame() const {
    return makePlaneFrame(Grafico->width(), Grafico->height(), region_);
}

void PoleZeroWindow::showCurves(const PlotCurves& functions, int count,
                                const std::array<std::string, MaxCurves + 1>& files,
                                std::string listText) {
    ScopedCLocale locale;
    curves_ = functions;
    curveCount_ = count;
    files_ = files;
    labels_ = curveLabels(files_, count);
    listText_ = std::move(listText);
    map_ = mapOfCurves(curves_, curveCount_);
    for (const std::string& problem : map_.problems)
        log_.print("%s", problem.c_str());
    locus_.reset();
    fitView();
    show();
    raise();
    activateWindow();
}

void PoleZeroWindow::fitView() {
    std::vector<std::complex<double>> points = rootValues(map_);
    if (locus_) {
        for (const LocusSample& sample : locus_->samples)
            points.insert(points.end(), sample.poles.begin(), sample.poles.end());
    }
    region_ = fittedRegion(points);
    Lcursor->clear();
    Grafico->update();
}

// The netlist of curve 1, beside its result files, read with the element of the box; what
// stops it goes to `log`.
std::optional<LocusCircuit> PoleZeroWindow::locusCircuit(AnalysisLog& log) const {
    const std::string element = Eelemento->text().trimmed().toStdString();
    const std::optional<NumeratorFileName> name =
        curveCount_ > 0 ? parseNumeratorFileName(files_[1]) : std::nullopt;
    if (!name || !variablesOfResults(name->stem)) {
        log.print(
            "O lugar das raízes pede o netlist dos arquivos de resultados da curva 1 ao "
            "lado deles, sem mudanças desde a análise: %s",
            name ? ResultFileNames::netlistOfResults(name->stem).c_str() : files_[1].c_str());
        return std::nullopt;
    }
    std::string error;
    std::optional<LocusCircuit> circuit = readLocusCircuit(ResultFileNames::netlistOfResults(name->stem), element, error);
    if (!circuit) log.print("Lugar das raízes: %s", error.c_str());
    return circuit;
}

// Numbers in the boxes read as everywhere in the program: "." or "," typed, and the
// netlist's suffixes. A refusal of the boxes is shown in the window's status line too,
// since the window may hide the log; the pointer's next reading replaces it.
void PoleZeroWindow::Button1Click() {
    ScopedCLocale locale;
    if (Eelemento->text().trimmed().isEmpty()) {
        locus_.reset();
        fitView();
        return;
    }
    std::string refusal;
    AnalysisLog log = rememberingLastLine(log_, refusal);
    const auto shown = [&] { Lcursor->setText(QString::fromStdString(refusal)); };
    const auto readBox = [&](QLineEdit* edit, const char* caption) -> std::optional<double> {
        const std::string text = edit->text().toStdString();
        const std::optional<double> value = parseLocusValue(text);
        if (!value) log.print("Valor inválido em \"%s\": %s", caption, text.c_str());
        return value;
    };
    const std::optional<double> from = readBox(Ede, "De");
    if (!from) return shown();
    const std::optional<double> to = readBox(Eate, "Até");
    if (!to) return shown();
    const std::optional<long long> points = parseWholeNumber(Epontos->text().toStdString());
    const LocusScale scale = CBlog->isChecked() ? LocusScale::Logarithmic : LocusScale::Linear;
    switch (checkLocusRange(*from, *to, points.value_or(0), scale)) {
        case LocusRangeProblem::None:
            break;
        case LocusRangeProblem::PointCount:
            log.print("Número inválido de pontos (de %d a %d)", MinLocusPoints, MaxLocusPoints);
            return shown();
        case LocusRangeProblem::NotIncreasing:
            log.print("O valor em \"De\" deve ser menor que o de \"Até\"");
            return shown();
        case LocusRangeProblem::NotPositive:
            log.print("A escala logarítmica pede valores positivos em \"De\" e \"Até\"");
            return shown();
    }
    Lcursor->clear();
    const std::optional<LocusCircuit> circuit = locusCircuit(log);
    if (!circuit) return shown();
    QProgressDialog progress(QStringLiteral("Calculando o lugar das raízes..."),
                             QStringLiteral("Cancelar"), 0, 1000, this);
    progress.setObjectName(QStringLiteral("Progresso"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    std::optional<RootLocus> locus =
        computeRootLocus(*circuit, locusValues(*from, *to, static_cast<int>(*points), scale),
                         [&progress](double fraction) {
                             progress.setValue(static_cast<int>(fraction * 1000));
                             QCoreApplication::processEvents();
                             return !progress.wasCanceled();
                         });
    if (!locus) {
        log_.print("Lugar das raízes cancelado.");
        return;
    }
    if (locus->failedSamples > 0) {
        log_.print(
            "Lugar das raízes de %s: a análise falhou em %d dos valores; o lugar tem "
            "lacunas neles.",
            locus->element.c_str(), locus->failedSamples);
    }
    locus_ = std::move(locus);
    fitView();
}

void PoleZeroWindow::keyPressEvent(QKeyEvent* event) {
    if (!runPlaneKey(*event, errors_, [this](int keyCode) { FormKeyDown(keyCode); }))
        QWidget::keyPressEvent(event);
}

void PoleZeroWindow::FormKeyDown(int keyCode) {
    applyPlaneKey(keyCode, region_, *Grafico, [this] { fitView(); });
}

void PoleZeroWindow::zoomAt(double x, double y, int steps) {
    if (const std::optional<PlaneRegion> zoomed = zoomedAbout(frame(), region_, x, y, steps)) {
        region_ = *zoomed;
        Grafico->update();
    }
}

void PoleZeroWindow::panBy(double dx, double dy) {
    const std::optional<PlaneFrame> f = frame();
    if (!f) return;
    region_ = panRegion(region_, {-dx / f->scale, dy / f->scale});
    Grafico->update();
}

void PoleZeroWindow::showCursorAt(double x, double y) {
    const std::optional<PlaneFrame> f = frame();
    if (!f || x < f->x0 || x > f->x1 || y < f->y0 || y > f->y1) {
        Lcursor->clear();
        return;
    }
    ScopedCLocale locale;
    Lcursor->setText(
        QString::fromStdString(planeReadingText(readPlane(f->valueAt(x, y), map_), labels_)));
}

void PoleZeroWindow::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
}

// The files this view was drawn from: every line of the list and the netlist of a locus.
bool PoleZeroWindow::imageSparesInputs(const std::string& path) const {
    std::vector<std::string> read = filesOfList(listText_);
    if (const auto name = parseNumeratorFileName(files_[1]); name && locus_)
        read.push_back(ResultFileNames::netlistOfResults(name->stem));
    return imageSparesFiles(log_, path, read);
}

void PoleZeroWindow::Salvarimagem1Click(render::ImageBackground background) {
    if (!SaveDialog1->execute()) return;
    const std::string path = QFile::encodeName(SaveDialog1->fileName()).toStdString();
    if (!imageSparesInputs(path)) return;
    const auto paint = [this](PlotCanvas& canvas) {
        paintOn(canvas, Grafico->width(), Grafico->height());
    };
    const render::ImageSaveStatus status =
        render::savePaintedImage(path, Grafico->width(), Grafico->height(), "Polos e zeros", paint,
                                 background);
    logImageSave(log_, status, path);
}

void PoleZeroWindow::openFrom(PlotListWindow& list) {
    // Result files are written with "." whatever the user's locale.
    ScopedCLocale locale;
    PlotCurves curves{};
    std::array<std::string, MaxCurves + 1> files{};
    const std::string text = list.listText();
    const std::optional<int> count = readListedCurves(text, curves, log_, &files);
    if (!count || !refuseDensityLines(curves, *count, files, NoPoleZeroMap, log_)) return;
    showCurves(curves, *count, files, text);
}

}  // namespace corvane::ui
